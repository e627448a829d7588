// Decoders behind OleLoadPicturePath: a picture file's bytes into 0x00RRGGBB pixels, top row
// first. Each refuses what it cannot read in full safety and never reads past the given bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Pictures above this many pixels are refused before any pixel memory is taken.
constexpr int64_t MAX_PICTURE_PIXELS = int64_t{1} << 24;

struct DecodedPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // width * height words, 0x00RRGGBB
};

// Baseline and progressive JPEG, greyscale, YCbCr, RGB and CMYK. A stream that ends early
// still decodes: the decoder fills the rows it never got with grey.
bool DecodeJpeg(const uint8_t* data, size_t size, DecodedPicture* picture);
// Windows BMP as SDL reads it (1 to 32 bits per pixel, RLE included).
bool DecodeBmp(const uint8_t* data, size_t size, DecodedPicture* picture);
