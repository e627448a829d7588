// Drawing on device contexts with the software rasterizer: each ...OnDC operation copies the
// target's 1024 x 768 region at its origin into ScratchDC, reads the pixels into WorkSurface,
// draws one primitive there, writes the pixels back and copies the result to the target. The
// splash composes its picture this way. ScratchDC, ScratchBitmap and WorkSurface must be set up
// (InitGraphics); the operations share them and are not reentrant.
#pragma once
#include <cstdint>

#include "platform/windows.h"

// DrawArc on the target's image; the whole region goes back to the target.
void DrawArcOnDC(HDC target, int32_t centreX, int32_t centreY, int32_t radius, int32_t startAngle,
                 int32_t pointCount, uint32_t colour);
// A gradient drawn at the surface's origin and moved into place: target (x + u, y + v) gets the
// gradient for u, v >= 1 and the target's own pixel (u, v) in the block's top row and left
// column. Only the width x height block reaches the target.
void FillGradientRectOnDC(HDC target, int32_t x, int32_t y, int32_t width, int32_t height,
                          uint32_t colour);
void FillDiscOnDC(HDC target, int32_t centreX, int32_t centreY, int32_t radius, uint32_t colour);
void BlendRectOnDC(HDC target, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour,
                   uint32_t mode);
void FillArcBandOnDC(HDC target, int32_t centreX, int32_t centreY, int32_t innerRadius,
                     int32_t ringCount, int32_t startAngle, int32_t pointsPerRing, uint32_t colour);

// Directory part of the picture path: the current directory must be shorter than this.
constexpr uint32_t PICTURE_DIRECTORY_CAPACITY = 300;
// The joined path, NUL included.
constexpr uint32_t PICTURE_PATH_CAPACITY = 512;

// Copies the top-left width x height pixels of the picture file (current directory followed
// by fileName, which carries its own leading backslash) to destination at (x, y), unscaled.
// The memory context is made compatible with templateDC.
// A picture that cannot be loaded, or a path that does not fit the buffers, leaves the
// destination as it was.
void DrawPictureOnDC(HDC templateDC, HDC destination, int32_t x, int32_t y, int32_t width,
                     int32_t height, LPCSTR fileName);
