#include "layers/button.h"

#include "geom/integer_ops.h"
#include "gfx/raster.h"
#include "layers/layer_list.h"
#include "util/strings.h"

namespace {
constexpr int32_t CAPTION_SCAN = 128;
}

int32_t CreateButtonLayer(HWND window, int32_t x, int32_t y, int32_t width, int32_t height,
                          uint32_t colour, const char* caption) {
    if (GetLayerCount() >= LAYER_CAPACITY) return -1;
    Layer* layer = AddLayer(new Layer{});
    layer->kind = LK_BUTTON;
    layer->x = x + 1;
    layer->y = y + 1;
    layer->width = uint32_t(width);
    layer->height = uint32_t(height);
    layer->image = CreateCanvas(window, x + 1, y + 1, width, 3 * height);
    layer->imageDC = layer->image == CANVAS_FAILED ? nullptr : GetCanvasDC(layer->image);
    FillGradientRect(&WorkSurface, x, y, width, height, colour);
    layer->colour = colour;
    if (!caption) {
        layer->caption = "Layer";
        layer->captionLength = 5;
    } else {
        layer->caption = caption;
        const int32_t end = FindLineEnd(caption, CAPTION_SCAN);
        layer->captionLength = end < 0 ? CAPTION_SCAN : end - 1;
    }
    const int32_t cx = int32_t(MulDivUnsigned(uint32_t(width), 100, 10));
    const int32_t cy = int32_t(MulDivUnsigned(uint32_t(height), 100, 10));

    // Band 0: the gradient as drawn, with its caption.
    SetBitmapBits(ScratchBitmap, SURFACE_BYTES, WorkSurface.pixels);
    BitBlt(layer->imageDC, 0, 0, width, height, ScratchDC, x + 1, y + 1, SRCCOPY);
    TextOutA(layer->imageDC, cx, cy, layer->caption, layer->captionLength);

    // Band 1: the same gradient one pixel right and down, averaged with grey: paler, pressed.
    FillGradientRect(&WorkSurface, x + 1, y + 1, width, height, colour);
    BlendRect(&WorkSurface, x + 1, y + 1, width, height, 0x7F7F7F, BLEND_AVERAGE);
    SetBitmapBits(ScratchBitmap, SURFACE_BYTES, WorkSurface.pixels);
    BitBlt(layer->imageDC, 0, height, width, height, ScratchDC, x + 1, y + 1, SRCCOPY);
    TextOutA(layer->imageDC, cx, cy + height, layer->caption, layer->captionLength);

    layer->shownBand = 0;
    return int32_t(GetLayerCount() - 1);
}

void DrawButtonLayer(uint32_t index) {
    Layer* layer = GetLayer(index);
    layer->shownBand = FocusIndex == int32_t(index) ? 1 : 0;
    BitBlt(ComposeDC, layer->x, layer->y, int32_t(layer->width), int32_t(layer->height),
           layer->imageDC, 0, int32_t(layer->height * layer->shownBand), SRCCOPY);
}
