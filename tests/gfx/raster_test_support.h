// Helpers for the rasterizer tests: which pixels an operation changed.
#pragma once
#include <cstdint>
#include <set>
#include <utility>

#include "support/owned_surface.h"

using PixelSet = std::set<std::pair<int32_t, int32_t>>;

// Every (x, y) whose value differs between the two surfaces (same size and depth).
inline PixelSet ChangedPixels(const OwnedSurface& before, const OwnedSurface& after) {
    PixelSet changed;
    for (uint32_t y = 0; y < before.surface.height; ++y)
        for (uint32_t x = 0; x < before.surface.width; ++x)
            if (before.at(int32_t(x), int32_t(y)) != after.at(int32_t(x), int32_t(y)))
                changed.insert({int32_t(x), int32_t(y)});
    return changed;
}

// Every (x, y) holding the given value.
inline PixelSet PixelsOfValue(const OwnedSurface& s, uint32_t value) {
    PixelSet found;
    for (uint32_t y = 0; y < s.surface.height; ++y)
        for (uint32_t x = 0; x < s.surface.width; ++x)
            if (s.at(int32_t(x), int32_t(y)) == value) found.insert({int32_t(x), int32_t(y)});
    return found;
}
