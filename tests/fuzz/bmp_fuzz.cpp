// Fuzz target of the BMP drawers: the input is the file. It is written to a temporary file and
// drawn with both drawers onto small surfaces of both depths, at a point inside and one outside.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "input_file.h"
#include "gfx/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteInputFile(data, size);

    uint8_t header[BMP_HEADER_SIZE];
    ReadBmpHeader(header, path.c_str());
    for (uint32_t bitsPerPixel : {32u, 16u}) {
        std::vector<uint32_t> pixels(24 * 16, 0x00808080);
        const Surface surface{pixels.data(), 24, 16, bitsPerPixel};
        DrawBmpFile(path.c_str(), &surface, 2, 3);
        DrawBmpFileBlended(path.c_str(), &surface, 2, 3);
        DrawBmpFile(path.c_str(), &surface, -5, 20);
        DrawBmpFileBlended(path.c_str(), &surface, -5, 20);
    }
    return 0;
}
