// Lines, gradient rectangles, blended rectangles and block copies.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "geom/integer_ops.h"
#include "gfx/fast_paths.h"
#include "gfx/raster.h"

bool RasterFastPathsEnabled() {
    static const bool enabled = std::getenv("VELMORA_NO_FAST_PATHS") == nullptr;
    return enabled;
}

namespace {

// Points of a line with deltas (dx, dy); 0 when the line draws nothing, including a squared
// length of 2^31 or more, whose 32-bit sum would wrap into a wrong count.
int32_t LinePointCount(int32_t dx, int32_t dy) {
    const int64_t sum = int64_t(dx) * dx + int64_t(dy) * dy;
    if (sum >= (int64_t(1) << 31)) return 0;
    return VectorLength(dx, dy);
}

// ---- DrawLine ---------------------------------------------------------------------------------

void DrawLinePlain(const Surface* surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                   uint32_t colour) {
    const Point delta = PointDelta(x1, y1, x2, y2);
    const int32_t count = LinePointCount(delta.x, delta.y);
    for (int32_t i = count; i >= 1; --i) {
        const Point step = ScalePair(delta.x, delta.y, count, i);
        PutPixel(surface, WrapAdd(x1, step.x), WrapAdd(y1, step.y), colour);
    }
}

// The same points without a division per step: floor(|d| * i / count) is stepped down from
// i = count with its remainder (|d| <= count, so one correction per step suffices). A line's
// points all share one colour, so only the set of pixels written matters.
template <typename Pixel>
void DrawLineFast(const Surface* surface, int32_t x1, int32_t y1, int32_t dx, int32_t dy,
                  int32_t count, uint32_t colour) {
    Pixel* const pixels = static_cast<Pixel*>(surface->pixels);
    const Pixel value = Pixel(colour);
    const int32_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    const int32_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const int64_t width = surface->width, height = surface->height;
    const int64_t endX = int64_t(x1) + dx, endY = int64_t(y1) + dy;
    int32_t rx = 0, ry = 0;
    if (x1 >= 0 && x1 < width && endX >= 0 && endX < width && y1 >= 0 && y1 < height && endY >= 0 &&
        endY < height) {
        // Every point lies between the two ends: walk a pointer.
        const ptrdiff_t stepX = sx, stepY = sy * ptrdiff_t(width);
        Pixel* p = pixels + endX + endY * width;
        // Branch-free stepping: the sign of each remainder selects its correction.
        for (int32_t i = count; i >= 1; --i) {
            *p = value;
            rx -= ax;
            ry -= ay;
            const int32_t backX = rx >> 31, backY = ry >> 31;  // -1 when the quotient drops
            rx += count & backX;
            ry += count & backY;
            p -= (stepX & backX) + (stepY & backY);
        }
        return;
    }
    int32_t qx = ax, qy = ay;
    for (int32_t i = count; i >= 1; --i) {
        const int32_t x = WrapAdd(x1, sx * qx), y = WrapAdd(y1, sy * qy);
        pixels[PixelIndex(x, y, surface->width, surface->height)] = value;
        rx -= ax;
        if (rx < 0) rx += count, --qx;
        ry -= ay;
        if (ry < 0) ry += count, --qy;
    }
}

// ---- FillGradientRect -------------------------------------------------------------------------

uint32_t GradientRowColour(const uint32_t components[3], int32_t height, int32_t i,
                           uint32_t depth) {
    const uint32_t h = uint32_t(height), step = uint32_t(i);
    return PackColour(components[0] + MulDivUnsigned(components[0], h, step),
                      components[1] + MulDivUnsigned(components[1], h, step),
                      components[2] + MulDivUnsigned(components[2], h, step), depth);
}

void FillGradientRectPlain(const Surface* surface, int32_t x, int32_t y, int32_t width,
                           int32_t height, uint32_t colour) {
    uint32_t components[3];
    UnpackColour(components, colour, surface->bitsPerPixel);
    for (int32_t i = 0; i < height; ++i) {
        const uint32_t rowColour = GradientRowColour(components, height, i, surface->bitsPerPixel);
        const int32_t row = WrapSub(WrapAdd(y, height), i);
        DrawLinePlain(surface, x, row, WrapAdd(x, width), row, rowColour);
    }
}

// Each row is one horizontal line in one colour: fill its on-surface span, and give pixel
// (0, 0) the row colour whenever some point of the row falls off the surface. Rows go in the
// plain order, so the last such row wins pixel (0, 0) as it does there.
template <typename Pixel>
void FillGradientRectFast(const Surface* surface, int32_t x, int32_t y, int32_t width,
                          int32_t height, uint32_t colour) {
    if (LinePointCount(width, 0) == 0) return;
    Pixel* const pixels = static_cast<Pixel*>(surface->pixels);
    const int64_t surfaceWidth = surface->width, surfaceHeight = surface->height;
    // Columns x+1..x+width (or x+width..x-1 for a negative width), unwrapped: a column that
    // would wrap lands outside the surface either way.
    const int64_t first = width > 0 ? int64_t(x) + 1 : int64_t(x) + width;
    const int64_t last = width > 0 ? int64_t(x) + width : int64_t(x) - 1;
    const int64_t spanFirst = std::max<int64_t>(first, 0);
    const int64_t spanLast = std::min<int64_t>(last, surfaceWidth - 1);
    const bool spills = first < 0 || last >= surfaceWidth;
    uint32_t components[3];
    UnpackColour(components, colour, surface->bitsPerPixel);
    for (int32_t i = 0; i < height; ++i) {
        const Pixel value = Pixel(GradientRowColour(components, height, i, surface->bitsPerPixel));
        const int64_t row = int64_t(y) + height - i;
        if (row < 0 || row >= surfaceHeight) {
            pixels[0] = value;
            continue;
        }
        if (spanFirst <= spanLast)
            std::fill_n(pixels + row * surfaceWidth + spanFirst, spanLast - spanFirst + 1, value);
        if (spills) pixels[0] = value;
    }
}

// ---- BlendRect --------------------------------------------------------------------------------

void BlendRectPlain(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t colour, uint32_t mode) {
    for (int32_t r = 0; r < height; ++r) {
        for (int32_t q = 0; q < width; ++q) {
            const int32_t px = WrapAdd(x, q), py = WrapAdd(y, r);
            PutPixel(surface, px, py, BlendPixel(surface, px, py, colour, mode));
        }
    }
}

// One blend of a lone pixel value, exactly as BlendPixel and PutPixel do it on a surface.
uint32_t BlendValue(uint32_t value, uint32_t colour, uint32_t mode, uint32_t depth) {
    if (depth == 16) {
        uint16_t cell = uint16_t(value);
        const Surface one{&cell, 1, 1, 16};
        return BlendPixel(&one, 0, 0, colour, mode) & 0xFFFF;
    }
    uint32_t cell = value;
    const Surface one{&cell, 1, 1, depth};
    return BlendPixel(&one, 0, 0, colour, mode);
}

// The value after n blends of value with the same colour and mode. Long runs (a rectangle mostly
// off the surface blends pixel (0, 0) once per outside point) are cut short by finding where the
// sequence of values starts to repeat (Brent's cycle detection; the cycles are short).
uint32_t BlendRepeatedly(uint32_t value, uint64_t n, uint32_t colour, uint32_t mode,
                         uint32_t depth) {
    auto blend = [&](uint32_t v) { return BlendValue(v, colour, mode, depth); };
    if (n > 512) {
        uint64_t power = 1, cycle = 1;
        uint32_t tortoise = value, hare = blend(value);
        while (tortoise != hare) {
            if (power == cycle) tortoise = hare, power *= 2, cycle = 0;
            hare = blend(hare);
            ++cycle;
        }
        uint64_t lead = 0;
        tortoise = hare = value;
        for (uint64_t i = 0; i < cycle; ++i) hare = blend(hare);
        while (tortoise != hare) tortoise = blend(tortoise), hare = blend(hare), ++lead;
        if (n > lead) n = lead + (n - lead) % cycle;
    }
    for (uint64_t i = 0; i < n; ++i) value = blend(value);
    return value;
}

// Per-pixel blend of a 32-bit pixel, all three components at once.
template <uint32_t Mode>
inline uint32_t Blend32(uint32_t pixel, uint32_t colour) {
    const uint32_t a = pixel & 0xFFFFFF, b = colour & 0xFFFFFF;
    if constexpr (Mode == BLEND_AVERAGE) return (a & b) + (((a ^ b) & 0xFEFEFE) >> 1);
    if constexpr (Mode == BLEND_ADD)
        return ((a & 0x7F7F7F) + (b & 0x7F7F7F)) ^ ((a ^ b) & 0x808080);
    if constexpr (Mode == BLEND_XOR) return a ^ b;
    return b;
}

template <uint32_t Mode>
void BlendSpan32(uint32_t* p, int64_t count, uint32_t colour) {
    for (int64_t i = 0; i < count; ++i) p[i] = Blend32<Mode>(p[i], colour);
}

// On-surface pixels are each blended once, in place. Every other point of the rectangle blends
// pixel (0, 0) once more with the same colour and mode; since those blends are all the same
// function of the pixel, only their number matters, not how they interleave.
void BlendRectFast(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
                   uint32_t colour, uint32_t mode) {
    const int64_t surfaceWidth = surface->width, surfaceHeight = surface->height;
    const int64_t colFirst = std::max<int64_t>(x, 0);
    const int64_t colEnd = std::min<int64_t>(int64_t(x) + width, surfaceWidth);
    const int64_t rowFirst = std::max<int64_t>(y, 0);
    const int64_t rowEnd = std::min<int64_t>(int64_t(y) + height, surfaceHeight);
    const int64_t cols = std::max<int64_t>(colEnd - colFirst, 0);
    const int64_t rows = std::max<int64_t>(rowEnd - rowFirst, 0);
    const uint32_t depth = surface->bitsPerPixel;
    if (cols > 0) {
        for (int64_t row = rowFirst; row < rowEnd; ++row) {
            if (depth == 32) {
                uint32_t* p =
                    static_cast<uint32_t*>(surface->pixels) + row * surfaceWidth + colFirst;
                switch (mode) {
                    case BLEND_AVERAGE:
                        BlendSpan32<BLEND_AVERAGE>(p, cols, colour);
                        break;
                    case BLEND_ADD:
                        BlendSpan32<BLEND_ADD>(p, cols, colour);
                        break;
                    case BLEND_XOR:
                        BlendSpan32<BLEND_XOR>(p, cols, colour);
                        break;
                    default:
                        BlendSpan32<BLEND_COPY>(p, cols, colour);
                        break;
                }
            } else {
                uint16_t* p =
                    static_cast<uint16_t*>(surface->pixels) + row * surfaceWidth + colFirst;
                for (int64_t i = 0; i < cols; ++i)
                    p[i] = uint16_t(BlendValue(p[i], colour, mode, 16));
            }
        }
    }
    const uint64_t outside = uint64_t(width) * uint64_t(height) - uint64_t(rows) * uint64_t(cols);
    if (outside == 0) return;
    if (depth == 32) {
        uint32_t& origin = static_cast<uint32_t*>(surface->pixels)[0];
        origin = BlendRepeatedly(origin, outside, colour, mode, depth);
    } else {
        uint16_t& origin = static_cast<uint16_t*>(surface->pixels)[0];
        origin = uint16_t(BlendRepeatedly(origin, outside, colour, mode, depth));
    }
}

// ---- CopyBlock --------------------------------------------------------------------------------

void CopyBlockPlain(unsigned char* destination, const unsigned char* source, int32_t byteCount) {
    const int32_t words = byteCount / 8 * 2;
    for (int32_t i = 0; i < words; ++i) {
        uint32_t word;
        std::memcpy(&word, source + 4 * i, 4);
        std::memcpy(destination + 4 * i, &word, 4);
    }
    for (int32_t i = words * 4; i < byteCount; ++i) destination[i] = source[i];
}

}  // namespace

void DrawLine(const Surface* surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              uint32_t colour) {
    if (!RasterFastPathsEnabled() || !SurfaceSuitsFastPath(surface))
        return DrawLinePlain(surface, x1, y1, x2, y2, colour);
    const Point delta = PointDelta(x1, y1, x2, y2);
    const int32_t count = LinePointCount(delta.x, delta.y);
    if (count <= 0) return;
    if (surface->bitsPerPixel == 32)
        DrawLineFast<uint32_t>(surface, x1, y1, delta.x, delta.y, count, colour);
    else
        DrawLineFast<uint16_t>(surface, x1, y1, delta.x, delta.y, count, colour);
}

void FillGradientRect(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
                      uint32_t colour) {
    if (height <= 0) return;
    if (!RasterFastPathsEnabled() || !SurfaceSuitsFastPath(surface))
        return FillGradientRectPlain(surface, x, y, width, height, colour);
    if (surface->bitsPerPixel == 32)
        FillGradientRectFast<uint32_t>(surface, x, y, width, height, colour);
    else
        FillGradientRectFast<uint16_t>(surface, x, y, width, height, colour);
}

void BlendRect(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
               uint32_t colour, uint32_t mode) {
    if (width <= 0 || height <= 0) return;
    if (!RasterFastPathsEnabled() || !SurfaceSuitsFastPath(surface))
        return BlendRectPlain(surface, x, y, width, height, colour, mode);
    BlendRectFast(surface, x, y, width, height, colour, mode);
}

void CopyBlock(void* destination, const void* source, int32_t byteCount) {
    if (byteCount <= 0) return;
    auto* to = static_cast<unsigned char*>(destination);
    const auto* from = static_cast<const unsigned char*>(source);
    // Only a destination that starts inside the source sees bytes the copy itself wrote; every
    // other placement gives what a plain move gives.
    const uintptr_t toAddress = uintptr_t(to), fromAddress = uintptr_t(from);
    if (RasterFastPathsEnabled() &&
        (toAddress <= fromAddress || toAddress >= fromAddress + uintptr_t(byteCount))) {
        std::memmove(to, from, size_t(byteCount));
        return;
    }
    CopyBlockPlain(to, from, byteCount);
}
