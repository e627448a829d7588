#include "gfx/roundtrip.h"

#include "gfx/framebuffer.h"
#include "gfx/raster.h"
#include "util/picture.h"

namespace {

// The target's 1024 x 768 region into WorkSurface, top row first.
void CaptureTarget(HDC target) {
    BitBlt(ScratchDC, 0, 0, SURFACE_WIDTH, SURFACE_HEIGHT, target, 0, 0, SRCCOPY);
    GetBitmapBits(ScratchBitmap, SURFACE_BYTES, WorkSurface.pixels);
}

// WorkSurface back through ScratchDC; the block of width x height at ScratchDC's origin goes
// to the target at (x, y).
void ReturnBlock(HDC target, int32_t x, int32_t y, int32_t width, int32_t height) {
    SetBitmapBits(ScratchBitmap, SURFACE_BYTES, WorkSurface.pixels);
    BitBlt(target, x, y, width, height, ScratchDC, 0, 0, SRCCOPY);
}

void ReturnRegion(HDC target) {
    ReturnBlock(target, 0, 0, SURFACE_WIDTH, SURFACE_HEIGHT);
}

}  // namespace

void DrawArcOnDC(HDC target, int32_t centreX, int32_t centreY, int32_t radius, int32_t startAngle,
                 int32_t pointCount, uint32_t colour) {
    CaptureTarget(target);
    DrawArc(&WorkSurface, centreX, centreY, radius, startAngle, pointCount, colour);
    ReturnRegion(target);
}

void FillGradientRectOnDC(HDC target, int32_t x, int32_t y, int32_t width, int32_t height,
                          uint32_t colour) {
    CaptureTarget(target);
    FillGradientRect(&WorkSurface, 0, 0, width, height, colour);
    ReturnBlock(target, x, y, width, height);
}

void FillDiscOnDC(HDC target, int32_t centreX, int32_t centreY, int32_t radius, uint32_t colour) {
    CaptureTarget(target);
    FillDisc(&WorkSurface, centreX, centreY, radius, colour);
    ReturnRegion(target);
}

void BlendRectOnDC(HDC target, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour,
                   uint32_t mode) {
    CaptureTarget(target);
    BlendRect(&WorkSurface, x, y, width, height, colour, mode);
    ReturnRegion(target);
}

void FillArcBandOnDC(HDC target, int32_t centreX, int32_t centreY, int32_t innerRadius,
                     int32_t ringCount, int32_t startAngle, int32_t pointsPerRing,
                     uint32_t colour) {
    CaptureTarget(target);
    FillArcBand(&WorkSurface, centreX, centreY, innerRadius, ringCount, startAngle, pointsPerRing,
                colour);
    ReturnRegion(target);
}

void DrawPictureOnDC(HDC templateDC, HDC destination, int32_t x, int32_t y, int32_t width,
                     int32_t height, LPCSTR fileName) {
    // GetCurrentDirectoryA leaves the buffer untouched when the directory does not fit, and a
    // long name could run past the buffer: either way there is no path, and so no picture.
    char path[PICTURE_PATH_CAPACITY];
    const DWORD directoryLength = GetCurrentDirectoryA(PICTURE_DIRECTORY_CAPACITY, path);
    if (directoryLength == 0 || directoryLength >= PICTURE_DIRECTORY_CAPACITY) return;
    if (fileName == nullptr ||
        directoryLength + uint32_t(lstrlenA(fileName)) >= PICTURE_PATH_CAPACITY)
        return;
    lstrcatA(path, fileName);
    HBITMAP bitmap = LoadPictureBitmap(path);
    // Copying without a picture would copy the memory context's stock 1 x 1 bitmap: one stray
    // pixel at (x, y). Without a picture the destination keeps what it shows.
    if (bitmap == nullptr) return;
    HDC pictureDC = CreateCompatibleDC(templateDC);
    SelectObject(pictureDC, bitmap);
    BitBlt(destination, x, y, width, height, pictureDC, 0, 0, SRCCOPY);
    DeleteDC(pictureDC);
    DeleteObject(bitmap);
}
