// Shared by the rasterizer's fast paths: the run-time switch and the surface shapes they accept.
// A fast path must leave exactly the surface its plain path leaves; anything it does not accept
// goes down the plain path.
#pragma once
#include <cstdint>

#include "gfx/pixel.h"

// False when VELMORA_NO_FAST_PATHS is set in the environment (read once, at first use).
bool RasterFastPathsEnabled();

// A 16- or 32-bit surface small enough that x + y*width never wraps and every coordinate that
// PixelIndex accepts is a non-negative int32: the fast paths can then clip in 64-bit arithmetic.
inline bool SurfaceSuitsFastPath(const Surface* surface) {
    return (surface->bitsPerPixel == 16 || surface->bitsPerPixel == 32) &&
           surface->width <= 0x7FFFFFFFu && surface->height <= 0x7FFFFFFFu &&
           uint64_t(surface->width) * surface->height <= 0x100000000ull;
}

// Coordinate sums wrap at 32 bits, like the plain paths' arithmetic.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) + uint32_t(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) - uint32_t(b));
}
