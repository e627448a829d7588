#include "gfx/bmp.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "util/files.h"

namespace {

uint32_t ReadLittle16(const uint8_t* bytes) {
    return bytes[0] | (uint32_t(bytes[1]) << 8);
}

void DrawBmp(const char* fileName, const Surface* surface, int32_t x, int32_t y, bool blended) {
    uint8_t header[BMP_HEADER_SIZE];
    if (ReadBmpHeader(header, fileName) < BMP_HEADER_SIZE) return;
    const uint32_t width = ReadLittle16(header + 18);
    const uint32_t height = ReadLittle16(header + 22);
    if (ReadLittle16(header + 28) != 24 || width == 0 || height == 0) return;

    // Read what the rows need but never more than the file holds, so neither a lying header nor
    // a large picture can make the buffer too small or the allocation huge.
    const uint64_t rowBytes = (uint64_t(width) * 3 + 3) & ~uint64_t(3);
    const uint64_t wanted = BMP_HEADER_SIZE + rowBytes * height;
    const uint64_t limit =
        std::min<uint64_t>({wanted, FileByteCount(fileName), uint64_t(UINT32_MAX)});
    if (limit <= BMP_HEADER_SIZE) return;
    std::unique_ptr<uint8_t[]> file(new (std::nothrow) uint8_t[limit]);
    if (!file) return;
    uint32_t have = 0;
    ReadFileBytes(file.get(), fileName, &have, uint32_t(limit));

    const uint32_t depth = surface->bitsPerPixel;
    // Coordinates wrap as unsigned values; a point off the surface lands on pixel (0, 0).
    const uint32_t left = uint32_t(x), bottom = uint32_t(y) + height;
    for (uint32_t r = 0; r < height; ++r) {
        const uint64_t rowStart = BMP_HEADER_SIZE + rowBytes * r;
        const int32_t py = int32_t(bottom - r);
        for (uint32_t q = 0; q < width; ++q) {
            const uint64_t at = rowStart + uint64_t(q) * 3;
            if (at + 3 > have) return;  // a truncated file: the rest is not there
            const uint8_t* bgr = file.get() + at;
            const int32_t px = int32_t(left + q);
            uint32_t colour = PackColour(bgr[2], bgr[1], bgr[0], depth);
            if (blended) colour = BlendPixel(surface, px, py, colour, BLEND_AVERAGE);
            PutPixel(surface, px, py, colour);
        }
    }
}

}  // namespace

uint32_t ReadBmpHeader(void* header, const char* fileName) {
    std::memset(header, 0, BMP_HEADER_SIZE);
    // A read would create a missing file; look first.
    if (FileByteCount(fileName) == 0) return 0;
    uint32_t bytesRead = 0;
    ReadFileBytes(header, fileName, &bytesRead, BMP_HEADER_SIZE);
    return bytesRead;
}

void DrawBmpFile(const char* fileName, const Surface* surface, int32_t x, int32_t y) {
    DrawBmp(fileName, surface, x, y, false);
}

void DrawBmpFileBlended(const char* fileName, const Surface* surface, int32_t x, int32_t y) {
    DrawBmp(fileName, surface, x, y, true);
}
