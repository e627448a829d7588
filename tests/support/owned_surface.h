// A Surface that owns its pixels, for tests: filled with one value, compared whole.
#pragma once
#include <cstdint>
#include <vector>

#include "gfx/pixel.h"

struct OwnedSurface {
    std::vector<uint32_t> words;  // backing store, large enough for either depth
    Surface surface;

    OwnedSurface(uint32_t width, uint32_t height, uint32_t bitsPerPixel = 32, uint32_t fill = 0)
        : words(size_t(width) * height, 0), surface{nullptr, width, height, bitsPerPixel} {
        surface.pixels = words.data();
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) PutPixel(&surface, int32_t(x), int32_t(y), fill);
    }
    OwnedSurface(const OwnedSurface& other) : words(other.words), surface(other.surface) {
        surface.pixels = words.data();
    }
    OwnedSurface& operator=(const OwnedSurface&) = delete;

    const Surface* operator&() const { return &surface; }
    uint32_t at(int32_t x, int32_t y) const { return ReadPixel(&surface, x, y); }
    bool operator==(const OwnedSurface& other) const { return words == other.words; }
};
