#include "layers/textview.h"

#include <algorithm>

#include "geom/integer_ops.h"
#include "gfx/framebuffer.h"
#include "gfx/raster.h"
#include "layers/layer_canvas.h"
#include "layers/layer_list.h"
#include "text/text_doc.h"

namespace {

constexpr uint32_t VK_LEFT_CODE = 37;
constexpr uint32_t VK_UP_CODE = 38;
constexpr uint32_t VK_RIGHT_CODE = 39;
constexpr uint32_t VK_DOWN_CODE = 40;
constexpr uint32_t GREY_BAND = 0x7F7F7F;
constexpr int32_t GREY_BAND_ROWS = 20;
constexpr int32_t SCROLLBAR_WIDTH = 20;
constexpr int32_t SCROLLBAR_BOX = 20;

// Band 0 becomes the clean background, and is laid onto ScratchDC at the layer's place, where
// the lines are then written over it.
void RestoreBackground(const Layer* layer) {
    const int32_t width = int32_t(layer->width), height = int32_t(layer->height);
    BitBlt(layer->imageDC, 0, 0, width, height, layer->backgroundDC, 0, 0, SRCCOPY);
    BitBlt(ScratchDC, layer->x, layer->y, width, height, layer->imageDC, 0, 0, SRCCOPY);
}

// Writes lines first to first + 49 on ScratchDC starting at column left, then takes the result
// back into band 0. Lines past the document's end have no characters and write nothing.
void WriteLines(const Layer* layer, uint32_t first, int32_t left) {
    for (uint32_t k = 0; k < TEXTVIEW_LINES; ++k) {
        const TextSpan line = GetLineText(int32_t(first + k), layer->document);
        TextOutA(ScratchDC, left, layer->y + TEXTVIEW_TEXT_TOP + TEXTVIEW_PITCH * int32_t(k),
                 line.address, int(line.length));
    }
    BitBlt(layer->imageDC, 0, 0, int32_t(layer->width), int32_t(layer->height), ScratchDC, layer->x,
           layer->y, SRCCOPY);
}

}  // namespace

int32_t CreateTextViewLayer(HWND window, int32_t x, int32_t y, int32_t width, int32_t height,
                            uint32_t colour) {
    if (GetLayerCount() >= LAYER_CAPACITY) return -1;
    Layer* layer = AddLayer(new Layer{});
    layer->kind = LK_TEXTVIEW;
    layer->x = x;
    layer->y = y + 1;
    layer->width = uint32_t(width);
    layer->height = uint32_t(height);
    layer->image = CreateCanvas(window, x, y + 1, width, int32_t(3u * uint32_t(height)));
    layer->imageDC = LayerCanvasDC(layer->image);
    layer->colour = colour;
    layer->background = CreateCanvas(window, x, y + 1, width, height);
    layer->backgroundDC = LayerCanvasDC(layer->background);
    layer->scrollBarImage = CreateCanvas(window, x, y + 1, SCROLLBAR_WIDTH, height);
    layer->width = uint32_t(width) + 1;

    // The background: a gradient across the rest of the work surface, then a grey band over the
    // first 20 of every 21 rows (the first band always, the last possibly reaching below).
    FillGradientRect(&WorkSurface, x, y + 1, int32_t(SURFACE_WIDTH), height, colour);
    const int64_t bottom = int64_t{y} + 1 + height;
    int64_t top = int64_t{y} + 1;
    do {
        BlendRect(&WorkSurface, x, int32_t(top), width + 1, GREY_BAND_ROWS, GREY_BAND,
                  BLEND_AVERAGE);
        top += TEXTVIEW_PITCH;
    } while (top < bottom);
    // Destination column -1 drops the first work-surface column: picture column i is x + 1 + i.
    SetBitmapBits(ScratchBitmap, SURFACE_BYTES, WorkSurface.pixels);
    BitBlt(layer->imageDC, -1, 0, width + 1, height, ScratchDC, x, y + 1, SRCCOPY);
    BitBlt(layer->backgroundDC, -1, 0, width + 1, height, ScratchDC, x, y + 1, SRCCOPY);

    DrawScrollBar(&WorkSurface, x, y + 1, SCROLLBAR_WIDTH, height, 1, 100, SCROLLBAR_COLOUR);
    SetBitmapBits(ScratchBitmap, SURFACE_BYTES, WorkSurface.pixels);
    if (HDC barDC = LayerCanvasDC(layer->scrollBarImage)) {
        const Point size = GetCanvasSize(layer->scrollBarImage);
        BitBlt(barDC, -1, 0, size.x, size.y, ScratchDC, x, y + 1, SRCCOPY);
    }
    return int32_t(GetLayerCount() - 1);
}

void BindTextDoc(Layer* layer, TextDoc* document) {
    if (layer == nullptr || layer->kind != LK_TEXTVIEW || document == nullptr) return;
    layer->document = document;
    RestoreBackground(layer);
    SetTextColor(ScratchDC, 0x00FFFFFF);
    WriteLines(layer, 1, layer->x + TEXTVIEW_TEXT_LEFT);
    layer->topLine = 1;
    layer->hOffset = 0;
}

void RenderTextViewLines(uint32_t index) {
    const Layer* layer = GetLayer(index);
    if (layer->kind != LK_TEXTVIEW) return;
    RestoreBackground(layer);
    const TextDoc* document = layer->document;
    if (document == nullptr || document->lineCount == 0 || layer->topLine == 0 ||
        layer->topLine > document->lineCount)
        return;
    WriteLines(layer, layer->topLine,
               int32_t(uint32_t(layer->x) + TEXTVIEW_TEXT_LEFT - uint32_t(layer->hOffset)));
}

void DrawTextViewLayer(uint32_t index) {
    Layer* layer = GetLayer(index);
    const uint32_t page = layer->height / uint32_t(TEXTVIEW_PITCH);
    switch (KeyCode) {
        case VK_UP_CODE:
            layer->lastKey = uint8_t(VK_UP_CODE);
            if (layer->document != nullptr && layer->topLine <= layer->document->lineCount)
                layer->topLine += page;
            RenderTextViewLines(index);
            break;
        case VK_DOWN_CODE:
            layer->lastKey = uint8_t(VK_DOWN_CODE);
            if (layer->topLine > 1)
                layer->topLine = layer->topLine > page ? layer->topLine - page : 1;
            RenderTextViewLines(index);
            break;
        case VK_LEFT_CODE:
            // The compose after an acting one only clears lastKey, so a held key acts every
            // second compose; lastKey also survives from one press to the next.
            if (layer->lastKey == VK_LEFT_CODE) {
                layer->lastKey = 0;
                break;
            }
            layer->lastKey = uint8_t(VK_LEFT_CODE);
            if (layer->hOffset > 0)
                layer->hOffset = int32_t(uint32_t(layer->hOffset) - layer->height);
            RenderTextViewLines(index);
            break;
        case VK_RIGHT_CODE:
            if (layer->lastKey == VK_RIGHT_CODE) {
                layer->lastKey = 0;
                break;
            }
            layer->lastKey = uint8_t(VK_RIGHT_CODE);
            if (uint32_t(layer->hOffset) <= uint32_t(TEXTVIEW_H_LIMIT))
                layer->hOffset = int32_t(uint32_t(layer->hOffset) + layer->height);
            RenderTextViewLines(index);
            break;
        default:
            break;
    }
    if (FocusIndex != int32_t(index)) layer->shownBand = 0;
    BitBlt(ComposeDC, layer->x, layer->y, int32_t(layer->width), int32_t(layer->height),
           layer->imageDC, 0, int32_t(layer->height * layer->shownBand), SRCCOPY);
}

void DrawScrollBar(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
                   int32_t position, int32_t total, uint32_t colour) {
    const int32_t box = std::min(SCROLLBAR_BOX, height);
    FillGradientRect(surface, x, y, width, height, colour);
    FillGradientRect(surface, x, y, width, box, colour);
    FillGradientRect(surface, x, int32_t(uint32_t(y) + uint32_t(height) - uint32_t(box)), width,
                     box, colour);
    if (position >= total || position < 0 || height < 3 * SCROLLBAR_BOX) return;
    const uint32_t offset =
        MulDivUnsigned(uint32_t(position), uint32_t(total), uint32_t(height - 3 * SCROLLBAR_BOX));
    FillGradientRect(surface, x, int32_t(uint32_t(y) + SCROLLBAR_BOX + offset), width,
                     SCROLLBAR_BOX, colour);
}
