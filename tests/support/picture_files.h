// Small picture files made on the spot for tests: JPEGs written with libjpeg from a pixel
// function, a temporary directory, and the pixels of a bitmap read back top row first.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/windows.h"

// Writes a baseline JPEG with no chroma subsampling; colour(x, y) gives 0x00RRGGBB.
inline bool WriteJpegFile(const std::string& path, int32_t width, int32_t height,
                          const std::function<uint32_t(int32_t, int32_t)>& colour,
                          int quality = 95) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    jpeg_compress_struct encoder;
    jpeg_error_mgr errors;
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    jpeg_stdio_dest(&encoder, file);
    encoder.image_width = JDIMENSION(width);
    encoder.image_height = JDIMENSION(height);
    encoder.input_components = 3;
    encoder.in_color_space = JCS_RGB;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, quality, TRUE);
    for (int i = 0; i < 3; ++i)
        encoder.comp_info[i].h_samp_factor = encoder.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&encoder, TRUE);
    std::vector<uint8_t> row(size_t(width) * 3);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            row[size_t(x) * 3] = uint8_t(c >> 16);
            row[size_t(x) * 3 + 1] = uint8_t(c >> 8);
            row[size_t(x) * 3 + 2] = uint8_t(c);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&encoder, rows, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    return std::fclose(file) == 0;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Each component within tolerance of the expected colour word.
inline bool NearColour(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = int((actual >> shift) & 0xFF), e = int((expected >> shift) & 0xFF);
        if (a - e > tolerance || e - a > tolerance) return false;
    }
    return (actual >> 24) == 0;
}

// Four flat quadrants, so a mirrored or flipped picture shows at once.
constexpr uint32_t QUADRANT_COLOURS[4] = {0xE02020, 0x20C040, 0x2040E0, 0xF0F0F0};
inline uint32_t QuadrantColour(int32_t x, int32_t y, int32_t width, int32_t height) {
    return QUADRANT_COLOURS[(x >= width / 2 ? 1 : 0) + (y >= height / 2 ? 2 : 0)];
}

// A bitmap's size and pixels, top row first, read through a memory context.
struct BitmapPixels {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int32_t x, int32_t y) const {
        return pixels[size_t(y) * size_t(width) + size_t(x)];
    }
};

inline BitmapPixels ReadBitmap(HBITMAP bitmap) {
    BitmapPixels result;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    if (previous != nullptr) {
        result.width = GetDeviceCaps(dc, HORZRES);
        result.height = GetDeviceCaps(dc, VERTRES);
        SelectObject(dc, previous);
    }
    DeleteDC(dc);
    result.pixels.resize(size_t(result.width) * size_t(result.height));
    if (!result.pixels.empty())
        GetBitmapBits(bitmap, LONG(result.pixels.size() * 4), result.pixels.data());
    return result;
}

// A fresh directory, removed with the object.
struct TempDirectory {
    std::filesystem::path path;
    TempDirectory() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-pic-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~TempDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
};
