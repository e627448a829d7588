#include "layers/animation.h"

#include "gfx/framebuffer.h"
#include "gfx/raster.h"
#include "layers/layer_canvas.h"
#include "layers/layer_list.h"

int32_t EffectLayerIndex = 0;

namespace {

constexpr char NOT_READY_TEXT[] = "Frame Not Ready.";
constexpr int32_t SAMPLE_RADIUS = 50;
constexpr int32_t SAMPLE_FRAME_ROWS = 100;
constexpr int32_t SAMPLE_MOVED_FRAMES = 10;
constexpr int32_t SAMPLE_SHIFT = 20;

Layer* SampleTarget(Layer* given) {
    if (given != nullptr) return given->kind == LK_ANIMATION ? given : nullptr;
    if (EffectLayerIndex < 0 || uint32_t(EffectLayerIndex) >= GetLayerCount()) return nullptr;
    Layer* layer = GetLayer(uint32_t(EffectLayerIndex));
    return layer->kind == LK_ANIMATION ? layer : nullptr;
}

}  // namespace

int32_t CreateAnimationLayer(HWND window, int32_t x, int32_t y, int32_t width, int32_t frameHeight,
                             void (*loader)(Layer* layer), uint32_t frameCount) {
    if (GetLayerCount() >= LAYER_CAPACITY) return -1;
    Layer* layer = AddLayer(new Layer{});
    layer->kind = LK_ANIMATION;
    layer->x = x;
    layer->y = y + 1;
    layer->width = uint32_t(width);
    layer->height = uint32_t(frameHeight);
    // The strip's height is the low 32 bits of the unsigned product.
    layer->image =
        CreateCanvas(window, x, y + 1, width, int32_t(uint32_t(frameHeight) * frameCount));
    layer->imageDC = LayerCanvasDC(layer->image);
    layer->loader = loader;
    layer->frameCount = frameCount;
    return int32_t(GetLayerCount() - 1);
}

void DrawAnimationLayer(uint32_t index) {
    Layer* layer = GetLayer(index);
    if (layer->frameCount == 0) return;
    // The frames are drawn on first use; a loader that has not managed it is asked again at the
    // next compose. Without a loader the layer stays not ready.
    if (layer->ready == 0 && layer->loader != nullptr) layer->loader(layer);
    if (layer->ready == 0) {
        TextOutA(layer->imageDC, 0, 0, NOT_READY_TEXT, int(sizeof NOT_READY_TEXT - 1));
        BitBlt(ComposeDC, layer->x, layer->y, int32_t(layer->width), int32_t(layer->height),
               layer->imageDC, 0, 0, SRCCOPY);
        return;
    }
    if (FocusIndex == int32_t(index)) {
        // Giving the focus up makes the next hit test take it again and request a redraw.
        FocusIndex = -1;
        layer->frame += 1;
        if (int32_t(layer->frame) >= int32_t(layer->frameCount)) layer->frame = 0;
    }
    BitBlt(ComposeDC, layer->x, layer->y, int32_t(layer->width), int32_t(layer->height),
           layer->imageDC, 0, int32_t(layer->frame * layer->height), SRCCOPY);
}

void LoadSampleFrames(Layer* given) {
    Layer* layer = SampleTarget(given);
    if (layer == nullptr) return;
    const int32_t width = int32_t(layer->width), height = int32_t(layer->height);
    FillDisc(&WorkSurface, layer->x + SAMPLE_RADIUS, layer->y + SAMPLE_RADIUS, SAMPLE_RADIUS,
             PackColour(0x7F, 0x7F, 0x7F, 32));
    SetBitmapBits(ScratchBitmap, SURFACE_BYTES, WorkSurface.pixels);
    BitBlt(layer->imageDC, 0, 0, width, height, ScratchDC, layer->x, layer->y, SRCCOPY);
    // Frame k is frame 0 moved right; the columns left of the moved copy keep what they held.
    for (int32_t k = 1; k <= SAMPLE_MOVED_FRAMES; ++k)
        BitBlt(layer->imageDC, SAMPLE_SHIFT + k, SAMPLE_FRAME_ROWS * k, width, height,
               layer->imageDC, 0, 0, SRCCOPY);
    layer->ready = 1;
}
