#include "gfx/pixel.h"

uint32_t ReadPixel(const Surface* surface, int32_t x, int32_t y) {
    const uint32_t i = PixelIndex(x, y, surface->width, surface->height);
    if (surface->bitsPerPixel == 16) return static_cast<const uint16_t*>(surface->pixels)[i];
    if (surface->bitsPerPixel == 32) return static_cast<const uint32_t*>(surface->pixels)[i];
    return 0;
}

void PutPixel(const Surface* surface, int32_t x, int32_t y, uint32_t colour) {
    const uint32_t i = PixelIndex(x, y, surface->width, surface->height);
    if (surface->bitsPerPixel == 16)
        static_cast<uint16_t*>(surface->pixels)[i] = static_cast<uint16_t>(colour);
    else if (surface->bitsPerPixel == 32)
        static_cast<uint32_t*>(surface->pixels)[i] = colour;
}

uint32_t PackColour(uint32_t red, uint32_t green, uint32_t blue, uint32_t bitsPerPixel) {
    red &= 0xFF;
    green &= 0xFF;
    blue &= 0xFF;
    if (bitsPerPixel == 16) return ((red >> 3) << 11) + ((green >> 3) << 6) + (blue >> 3);
    if (bitsPerPixel == 32) return (red << 16) + (green << 8) + blue;
    return 0;
}

void UnpackColour(uint32_t* out, uint32_t colour, uint32_t bitsPerPixel) {
    if (bitsPerPixel == 32) {
        out[0] = (colour >> 16) & 0xFF;
        out[1] = (colour >> 8) & 0xFF;
        out[2] = colour & 0xFF;
    } else {
        out[0] = (colour >> 11) << 3;
        out[1] = ((colour >> 6) & 0x1F) << 3;
        out[2] = (colour & 0x3F) << 3;
    }
}

uint32_t PackColourClamped(int32_t red, int32_t green, int32_t blue, uint32_t bitsPerPixel) {
    if (red > 31) red = 31;
    if (green > 31) green = 31;
    if (blue > 63) blue = 63;
    if (red < 0) red = 0;
    if (green < 0) green = 0;
    if (blue < 0) blue = 0;
    return PackColour(static_cast<uint32_t>(red), static_cast<uint32_t>(green),
                      static_cast<uint32_t>(blue), bitsPerPixel);
}

uint32_t BlendPixel(const Surface* surface, int32_t x, int32_t y, uint32_t colour, uint32_t mode) {
    const uint32_t depth = surface->bitsPerPixel;
    uint32_t a[3], b[3], c[3];
    UnpackColour(a, ReadPixel(surface, x, y), depth);
    UnpackColour(b, colour, depth);
    for (int k = 0; k < 3; ++k) {
        switch (mode) {
            case BLEND_AVERAGE: c[k] = (a[k] + b[k]) >> 1; break;
            case BLEND_ADD: c[k] = a[k] + b[k]; break;
            case BLEND_XOR: c[k] = a[k] ^ b[k]; break;
            default: c[k] = b[k]; break;
        }
    }
    return PackColour(c[0], c[1], c[2], depth);
}
