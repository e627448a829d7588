// Pixel access and colour words: the few operations every software drawing ends in.
// A Surface is a caller-owned block of 16- or 32-bit pixels, rows without gaps, y growing
// downward. There is no clipping: a point outside the surface works on element 0, pixel (0, 0).
// Colour words are 0x00RRGGBB at 32 bpp and R5 G5 B6 (packing fills only B's low 5 bits) at 16.
#pragma once
#include <cstdint>

struct Surface {
    void* pixels;           // the pixel at (0, 0)
    uint32_t width;         // pixels per row
    uint32_t height;        // rows
    uint32_t bitsPerPixel;  // 16 or 32
};

// Blend modes of BlendPixel; any value above BLEND_COPY also copies.
constexpr uint32_t BLEND_AVERAGE = 0;  // (a + b) >> 1 per component
constexpr uint32_t BLEND_ADD = 1;      // a + b, wrapping at 8 bits
constexpr uint32_t BLEND_XOR = 2;      // a ^ b
constexpr uint32_t BLEND_COPY = 3;     // b

// Element index of (x, y), or 0 when the point lies outside (compared as unsigned).
inline uint32_t PixelIndex(int32_t x, int32_t y, uint32_t width, uint32_t height) {
    const uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y);
    return (uy < height && ux < width) ? ux + uy * width : 0;
}

// Depths other than 16 and 32 carry no colour: ReadPixel and PackColour answer 0 there and
// PutPixel writes nothing.
uint32_t ReadPixel(const Surface* surface, int32_t x, int32_t y);
void PutPixel(const Surface* surface, int32_t x, int32_t y, uint32_t colour);

// Cuts each component to 8 bits, then packs it at the given depth.
uint32_t PackColour(uint32_t red, uint32_t green, uint32_t blue, uint32_t bitsPerPixel);
// Writes red, green, blue to out[0..2]; every depth but 32 is read as 16 bpp.
void UnpackColour(uint32_t* out, uint32_t colour, uint32_t bitsPerPixel);
// Clamps (signed) to 0..31, 0..31, 0..63, then packs with PackColour.
uint32_t PackColourClamped(int32_t red, int32_t green, int32_t blue, uint32_t bitsPerPixel);
// The pixel at (x, y) combined with colour by mode; writes nothing.
uint32_t BlendPixel(const Surface* surface, int32_t x, int32_t y, uint32_t colour, uint32_t mode);
