#include "layers/bar.h"

#include "gfx/framebuffer.h"
#include "gfx/raster.h"
#include "layers/layer_canvas.h"
#include "layers/layer_list.h"

int32_t CreateBarLayer(HWND window, int32_t x, int32_t y, int32_t height, uint32_t colour) {
    if (GetLayerCount() >= LAYER_CAPACITY) return -1;
    Layer* layer = AddLayer(new Layer{});
    layer->kind = LK_BAR;
    layer->x = x + 1;
    layer->y = y + 1;
    layer->width = BAR_WIDTH;
    layer->height = uint32_t(height);
    layer->image =
        CreateCanvas(window, x + 1, y + 1, int32_t(BAR_WIDTH), int32_t(3u * uint32_t(height)));
    // The gradient covers columns x + 2 to x + 21 and rows y + 2 to y + height + 1.
    FillGradientRect(&WorkSurface, x + 1, y + 1, int32_t(BAR_WIDTH), height, colour);
    SetBitmapBits(ScratchBitmap, SURFACE_BYTES, WorkSurface.pixels);
    BitBlt(LayerCanvasDC(layer->image), 0, 0, int32_t(BAR_WIDTH), height, ScratchDC, x + 1, y + 1,
           SRCCOPY);
    return int32_t(GetLayerCount() - 1);
}

void DrawBarLayer(uint32_t index) {
    const Layer* layer = GetLayer(index);
    BitBlt(ComposeDC, layer->x, layer->y, int32_t(layer->width), int32_t(layer->height),
           LayerCanvasDC(layer->image), 0, 0, SRCCOPY);
}
