#include "layers/layer_list.h"

#include <cstring>

#include "layers/animation.h"
#include "layers/bar.h"
#include "layers/button.h"
#include "layers/textview.h"
#include "util/strings.h"

LayerListBlock* LayerList = nullptr;
int32_t FocusIndex = -1;
uint32_t PointerX = 0;
uint32_t PointerY = 0;
uint32_t KeyCode = 0;

void CreateLayerList() {
    if (!LayerList) LayerList = new LayerListBlock{};
}

Layer* AddLayer(Layer* layer) {
    LayerList->layers[LayerList->count++] = layer;
    return layer;
}

Layer* GetLayer(uint32_t index) { return LayerList->layers[index]; }
uint32_t GetLayerCount() { return LayerList->count; }
void ClearLayers() { LayerList->count = 0; }

void DrawLayer(uint32_t index) {
    switch (GetLayer(index)->kind) {
        case LK_BUTTON: DrawButtonLayer(index); break;
        case LK_TEXTVIEW: DrawTextViewLayer(index); break;
        case LK_ANIMATION: DrawAnimationLayer(index); break;
        case LK_BAR: DrawBarLayer(index); break;
        default: break;
    }
}

void HitTestLayer(HWND window, uint32_t index) {
    const Layer* layer = GetLayer(index);
    const int32_t inside = PointInRect(int32_t(PointerX), int32_t(PointerY), layer->x, layer->y,
                                       int32_t(layer->width), int32_t(layer->height));
    if (inside == 1 && FocusIndex != int32_t(index)) {
        FocusIndex = int32_t(index);
        SendMessageA(window, WM_USER, 0, RQ_REDRAW);
    }
}

void DumpLayer(uint32_t index, int32_t x, int32_t y) {
    if (GetLayerCount() == 0) return;
    const Layer* layer = GetLayer(index);
    char text[16];
    FormatHex8(uint32_t(reinterpret_cast<uintptr_t>(layer)), text);
    TextOutA(ComposeDC, x, y, text, 8);
    char kind[4];
    std::memcpy(kind, &layer->kind, 4);
    TextOutA(ComposeDC, x + 100, y, kind, 4);
    const uint32_t fields[] = {uint32_t(layer->x), uint32_t(layer->y), layer->width,
                               layer->height};
    for (int i = 0; i < 4; ++i) {
        const int length = int(FormatUnsigned(fields[i], text));
        TextOutA(ComposeDC, x + 100, y + 15 * (i + 1), text, length);
    }
}
