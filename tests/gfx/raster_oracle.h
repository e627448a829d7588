// The rasterizer's operations written as plainly as possible, one PutPixel or BlendPixel per
// step, in the documented order. The library's results (fast paths included) must equal these
// exactly; the tests and the benchmarks use them as the reference.
#pragma once
#include <cstdint>

#include "gfx/pixel.h"

namespace oracle {

void DrawLine(const Surface* surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              uint32_t colour);
void FillGradientRect(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
                      uint32_t colour);
void BlendRect(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
               uint32_t colour, uint32_t mode);
void CopyBlock(void* destination, const void* source, int32_t byteCount);
void FillDisc(const Surface* surface, int32_t centreX, int32_t centreY, int32_t radius,
              uint32_t colour);
void FillArcBand(const Surface* surface, int32_t centreX, int32_t centreY, int32_t innerRadius,
                 int32_t ringCount, int32_t startAngle, int32_t pointsPerRing, uint32_t colour);

}  // namespace oracle
