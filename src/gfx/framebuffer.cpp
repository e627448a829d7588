#include "gfx/framebuffer.h"

#include <cstring>

Surface WorkSurface = {nullptr, 0, 0, 0};
uint32_t* BackdropBuffer = nullptr;
HDC ComposeDC = nullptr;
HBITMAP ComposeBitmap = nullptr;
HDC ScratchDC = nullptr;
HBITMAP ScratchBitmap = nullptr;
HDC WindowDC = nullptr;
HDC SplashDC = nullptr;
Canvas* SetupCanvas = nullptr;
BITMAPINFOHEADER SharedBitmapHeader = {};

LOGFONTA ProgramFontDescription(LONG height) {
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_STROKE_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DRAFT_QUALITY;
    font.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    std::strcpy(font.lfFaceName, "Lucida Console");
    return font;
}

Canvas* CreateCanvas(HWND, int32_t x, int32_t y, int32_t width, int32_t height) {
    HDC dc = CreateCompatibleDC(WindowDC);
    if (!dc) return CANVAS_FAILED;
    auto* canvas = new Canvas{};
    auto* header = new BITMAPINFOHEADER{};
    canvas->dc = dc;
    const LOGFONTA font = ProgramFontDescription(-10);
    canvas->font = CreateFontIndirectA(&font);
    SelectObject(dc, canvas->font);
    canvas->x = x;
    canvas->y = y;
    canvas->header = header;
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    SharedBitmapHeader = {};
    SharedBitmapHeader.biSize = sizeof(BITMAPINFOHEADER);
    SharedBitmapHeader.biWidth = width;
    SharedBitmapHeader.biHeight = height;
    SharedBitmapHeader.biPlanes = 1;
    SharedBitmapHeader.biBitCount = 32;
    SharedBitmapHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    canvas->bitmap = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&SharedBitmapHeader),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, canvas->bitmap);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0x00FFFFFF);
    return canvas;
}

void DestroyCanvas(Canvas* canvas) {
    DeleteDC(canvas->dc);
    DeleteObject(canvas->bitmap);
    DeleteObject(canvas->font);
    delete canvas->header;
    delete canvas;
}

HDC GetCanvasDC(const Canvas* canvas) { return canvas->dc; }
HBITMAP GetCanvasBitmap(const Canvas* canvas) { return canvas->bitmap; }
BITMAPINFOHEADER* GetCanvasHeader(const Canvas* canvas) { return canvas->header; }
int32_t GetCanvasWidth(const Canvas* canvas) { return canvas->header->biWidth; }
int32_t GetCanvasHeight(const Canvas* canvas) { return canvas->header->biHeight; }
Point GetCanvasSize(const Canvas* canvas) { return {GetCanvasWidth(canvas), GetCanvasHeight(canvas)}; }

FrameStrip* CreateFrameStrip(HWND window, int32_t x, int32_t y, uint32_t width,
                             uint32_t frameHeight, uint32_t frameCount) {
    const uint32_t height = uint32_t(MulWide(frameHeight, frameCount));
    Canvas* canvas = CreateCanvas(window, x, y, int32_t(width), int32_t(height));
    return new FrameStrip{x, y, width, frameHeight, canvas, 0, frameCount, 0};
}

Surface* GetWorkSurface() { return &WorkSurface; }
HDC GetComposeDC() { return ComposeDC; }
