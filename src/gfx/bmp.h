// Drawing of uncompressed 24-bit BMP files onto a Surface, as they are or averaged with what the
// surface holds. The picture's top-left corner goes to (x, y + 1): the file's first (bottom) row
// lands on row y + h, its last on row y + 1; row y is not drawn. The pixel data is taken to begin
// at offset 54 whatever the header says; bytes that pad each row to a multiple of 4 are skipped.
// Points outside the surface go to pixel (0, 0), as everywhere in the rasterizer.
#pragma once
#include <cstdint>

#include "gfx/pixel.h"

constexpr uint32_t BMP_HEADER_SIZE = 54;

// Reads the first 54 bytes of the file into header and returns how many the file had; the rest
// of the header is zero-filled. A missing file reads as 0 bytes and is not created.
uint32_t ReadBmpHeader(void* header, const char* fileName);

// Both drawers read the file whole, whatever its size, and draw every pixel it really holds:
// nothing for a header shorter than 54 bytes, a depth other than 24 bits, a zero width or height
// or a missing file (which is not created); for a truncated file only its complete pixels.
// Width and height are the low 16 bits of their header fields.
void DrawBmpFile(const char* fileName, const Surface* surface, int32_t x, int32_t y);
// As DrawBmpFile, each pixel written as the BLEND_AVERAGE of the surface's pixel and the file's.
void DrawBmpFileBlended(const char* fileName, const Surface* surface, int32_t x, int32_t y);
