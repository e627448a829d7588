#include "gfx/raster_oracle.h"

#include <cstring>

#include "geom/angles.h"

namespace oracle {
namespace {

int32_t Add(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) + uint32_t(b));
}
int32_t Sub(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) - uint32_t(b));
}

bool AnglesInRange(int32_t startAngle, int32_t count) {
    return count >= 1 && startAngle >= 0 && int64_t(startAngle) + count - 1 <= 7199;
}

}  // namespace

void DrawLine(const Surface* surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              uint32_t colour) {
    const int32_t dx = Sub(x2, x1), dy = Sub(y2, y1);
    // Lines whose squared length reaches 2^31 draw nothing.
    if (int64_t(dx) * dx + int64_t(dy) * dy >= (int64_t(1) << 31)) return;
    const int32_t count = VectorLength(dx, dy);
    if (count <= 0) return;
    for (int32_t i = count; i >= 1; --i) {
        const int32_t x = Add(x1, int32_t(int64_t(dx) * i / count));
        const int32_t y = Add(y1, int32_t(int64_t(dy) * i / count));
        PutPixel(surface, x, y, colour);
    }
}

void FillGradientRect(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
                      uint32_t colour) {
    if (height <= 0) return;
    uint32_t c[3];
    UnpackColour(c, colour, surface->bitsPerPixel);
    const uint32_t h = uint32_t(height);
    for (uint32_t i = 0; i < h; ++i) {
        const uint32_t row =
            PackColour(c[0] + c[0] * uint64_t(i) / h, c[1] + c[1] * uint64_t(i) / h,
                       c[2] + c[2] * uint64_t(i) / h, surface->bitsPerPixel);
        const int32_t ry = Sub(Add(y, height), int32_t(i));
        DrawLine(surface, x, ry, Add(x, width), ry, row);
    }
}

void BlendRect(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
               uint32_t colour, uint32_t mode) {
    if (width <= 0 || height <= 0) return;
    for (int32_t r = 0; r < height; ++r) {
        for (int32_t q = 0; q < width; ++q) {
            const int32_t px = Add(x, q), py = Add(y, r);
            PutPixel(surface, px, py, BlendPixel(surface, px, py, colour, mode));
        }
    }
}

void CopyBlock(void* destination, const void* source, int32_t byteCount) {
    if (byteCount <= 0) return;
    auto* to = static_cast<unsigned char*>(destination);
    const auto* from = static_cast<const unsigned char*>(source);
    int32_t offset = 0;
    for (int32_t unit = 0; unit < byteCount / 8; ++unit) {
        for (int word = 0; word < 2; ++word, offset += 4) {
            uint32_t value;
            std::memcpy(&value, from + offset, 4);
            std::memcpy(to + offset, &value, 4);
        }
    }
    for (; offset < byteCount; ++offset) to[offset] = from[offset];
}

void FillDisc(const Surface* surface, int32_t centreX, int32_t centreY, int32_t radius,
              uint32_t colour) {
    if (radius <= 0) return;
    uint32_t c[3];
    UnpackColour(c, colour, surface->bitsPerPixel);
    const uint32_t big = uint32_t(radius);
    uint32_t ringColour = colour;
    for (uint32_t k = 0; k <= big; ++k) {
        const int32_t r = int32_t(big - k);
        for (int32_t a = 900; a >= 1 && int32_t(ringColour) > 0; --a) {
            const Point p = PolarPoint(r, a);
            PutPixel(surface, Add(centreX, p.x), Add(centreY, p.y), ringColour);
            PutPixel(surface, Sub(centreX, p.x), Add(centreY, p.y), ringColour);
            PutPixel(surface, Sub(centreX, p.x), Sub(centreY, p.y), ringColour);
            PutPixel(surface, Add(centreX, p.x), Sub(centreY, p.y), ringColour);
        }
        ringColour = PackColour(c[0] + c[0] * uint64_t(k) / big, c[1] + c[1] * uint64_t(k) / big,
                                c[2] + c[2] * uint64_t(k) / big, surface->bitsPerPixel);
    }
}

void FillArcBand(const Surface* surface, int32_t centreX, int32_t centreY, int32_t innerRadius,
                 int32_t ringCount, int32_t startAngle, int32_t pointsPerRing, uint32_t colour) {
    if (ringCount <= 0 || !AnglesInRange(startAngle, pointsPerRing)) return;
    uint32_t c[3];
    UnpackColour(c, colour, surface->bitsPerPixel);
    const uint32_t n = uint32_t(ringCount);
    for (uint32_t k = 0; k < n; ++k) {
        const uint32_t j = n - k;
        const uint32_t ringColour =
            PackColour(c[0] + c[0] * uint64_t(j) / n, c[1] + c[1] * uint64_t(j) / n,
                       c[2] + c[2] * uint64_t(j) / n, surface->bitsPerPixel);
        for (int32_t p = 0; p < pointsPerRing; ++p) {
            const Point point = PolarPoint(Add(innerRadius, int32_t(k)), startAngle + p);
            PutPixel(surface, Add(centreX, point.x), Add(centreY, point.y), ringColour);
        }
    }
}

}  // namespace oracle
