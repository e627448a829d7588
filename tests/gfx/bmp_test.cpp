#include "gfx/bmp.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "support/owned_surface.h"

namespace fs = std::filesystem;

namespace {

using ColourOf = std::function<uint32_t(uint32_t q, uint32_t r)>;  // 0x00RRGGBB of stored pixel

void PutLittle(std::string& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

// A bottom-up BMP: rows in file order r = 0 (bottom) first, pixels blue, green, red, rows padded
// to a multiple of 4 with 0xAA so a missed padding skip shows.
std::string MakeBmp(uint32_t width, uint32_t height, const ColourOf& colourOf,
                    uint32_t bitsPerPixel = 24) {
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    std::string bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLittle(bytes, 2, 54 + rowBytes * height, 4);
    PutLittle(bytes, 10, 54, 4);
    PutLittle(bytes, 14, 40, 4);
    PutLittle(bytes, 18, width, 4);
    PutLittle(bytes, 22, height, 4);
    PutLittle(bytes, 26, 1, 2);
    PutLittle(bytes, 28, bitsPerPixel, 2);
    PutLittle(bytes, 34, rowBytes * height, 4);
    for (uint32_t r = 0; r < height; ++r) {
        for (uint32_t q = 0; q < width; ++q) {
            const uint32_t c = colourOf(q, r);
            bytes += char(c & 0xFF);
            bytes += char((c >> 8) & 0xFF);
            bytes += char((c >> 16) & 0xFF);
        }
        bytes.append(rowBytes - width * 3, char(0xAA));
    }
    return bytes;
}

uint32_t Pattern(uint32_t q, uint32_t r) {
    return (((q * 7 + 1) & 0xFF) << 16) | (((r * 13 + 2) & 0xFF) << 8) | ((q * 40 + r) & 0xFF);
}

// The picture as the drawers place it, computed pixel by pixel on a copy: file pixel (q, r)
// at (x + q, y + h - r), for the first `pixels` stored pixels.
OwnedSurface Expected(const OwnedSurface& before, uint32_t width, uint32_t height, int32_t x,
                      int32_t y, const ColourOf& colourOf, bool blended,
                      uint32_t pixels = UINT32_MAX) {
    OwnedSurface out(before);
    for (uint32_t r = 0; r < height; ++r)
        for (uint32_t q = 0; q < width; ++q) {
            if (r * width + q >= pixels) return out;
            const int32_t px = x + int32_t(q), py = y + int32_t(height - r);
            const uint32_t c = colourOf(q, r);
            uint32_t colour = PackColour(c >> 16, c >> 8, c, out.surface.bitsPerPixel);
            if (blended) colour = BlendPixel(&out.surface, px, py, colour, BLEND_AVERAGE);
            PutPixel(&out.surface, px, py, colour);
        }
    return out;
}

using Drawer = void (*)(const char*, const Surface*, int32_t, int32_t);
struct NamedDrawer {
    const char* name;
    Drawer draw;
    bool blended;
};
const NamedDrawer kDrawers[] = {{"DrawBmpFile", DrawBmpFile, false},
                                {"DrawBmpFileBlended", DrawBmpFileBlended, true}};

class BmpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmora-bmp-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Save(const std::string& name, const std::string& bytes) const {
        const std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    fs::path dir;
};

TEST_F(BmpTest, PictureLandsBelowAndRightOfThePointUpright) {
    const std::string path = Save("p.bmp", MakeBmp(100, 50, Pattern));
    for (const NamedDrawer& d : kDrawers) {
        const OwnedSurface before(128, 80, 32, 0x00123456);
        OwnedSurface surface(before);
        d.draw(path.c_str(), &surface, 10, 20);
        EXPECT_TRUE(surface == Expected(before, 100, 50, 10, 20, Pattern, d.blended)) << d.name;
        if (d.blended) continue;
        EXPECT_EQ(surface.at(10, 70), Pattern(0, 0));     // first stored pixel: bottom left
        EXPECT_EQ(surface.at(109, 21), Pattern(99, 49));  // last stored pixel: top right
        for (int32_t x = 0; x < 128; ++x) {
            EXPECT_EQ(surface.at(x, 20), 0x00123456u) << "row 20 is not drawn";
            EXPECT_EQ(surface.at(x, 71), 0x00123456u);
        }
        for (int32_t y = 0; y < 80; ++y) {
            EXPECT_EQ(surface.at(9, y), 0x00123456u);
            EXPECT_EQ(surface.at(110, y), 0x00123456u);
        }
    }
}

TEST_F(BmpTest, StoredBytesBlueGreenRedBecomeTheSurfacesColourWord) {
    const std::string path = Save("one.bmp", MakeBmp(4, 1, [](uint32_t, uint32_t) {
                                      return 0x00302010u;  // stored as 0x10, 0x20, 0x30
                                  }));
    struct Case {
        uint32_t bitsPerPixel;
        uint32_t expected;
    } cases[] = {{32, 0x00302010}, {16, (0x30u >> 3 << 11) | (0x20u >> 3 << 6) | (0x10u >> 3)}};
    for (const Case& c : cases) {
        OwnedSurface surface(8, 4, c.bitsPerPixel);
        DrawBmpFile(path.c_str(), &surface, 2, 1);
        for (int32_t x = 2; x < 6; ++x) EXPECT_EQ(surface.at(x, 2), c.expected) << c.bitsPerPixel;
        EXPECT_EQ(surface.at(1, 2), 0u);
    }
}

TEST_F(BmpTest, PaddedRowsStayInPlace) {
    // 5 pixels = 15 bytes + 1 padding byte per row; every row starts with a blue byte of 0, and
    // 6 pixels (2 bytes of padding), 7 (3 bytes) on a 16-bit surface as well.
    for (uint32_t width : {5u, 6u, 7u}) {
        const std::string path = Save("w.bmp", MakeBmp(width, 20, Pattern));
        for (uint32_t bitsPerPixel : {32u, 16u})
            for (const NamedDrawer& d : kDrawers) {
                const OwnedSurface before(12, 24, bitsPerPixel, 0x5555);
                OwnedSurface surface(before);
                d.draw(path.c_str(), &surface, 3, 2);
                EXPECT_TRUE(surface == Expected(before, width, 20, 3, 2, Pattern, d.blended))
                    << d.name << " width " << width << " at " << bitsPerPixel << " bpp";
            }
    }
}

TEST_F(BmpTest, DepthsOtherThan24DrawNothing) {
    for (uint32_t bitsPerPixel : {16u, 32u, 8u, 1u, 0u}) {
        const std::string path = Save("d.bmp", MakeBmp(8, 8, Pattern, bitsPerPixel));
        for (const NamedDrawer& d : kDrawers) {
            const OwnedSurface before(16, 16, 32, 0x00ABCDEF);
            OwnedSurface surface(before);
            d.draw(path.c_str(), &surface, 1, 1);
            EXPECT_TRUE(surface == before) << d.name << " " << bitsPerPixel << "-bit file";
        }
    }
}

TEST_F(BmpTest, BlendedWhiteOverBlackIsHalfGrey) {
    const std::string path =
        Save("white.bmp", MakeBmp(16, 8, [](uint32_t, uint32_t) { return 0x00FFFFFFu; }));
    OwnedSurface surface(20, 12, 32, 0);
    DrawBmpFileBlended(path.c_str(), &surface, 2, 1);
    for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 20; ++x) {
            const bool inside = x >= 2 && x <= 17 && y >= 2 && y <= 9;
            EXPECT_EQ(surface.at(x, y), inside ? 0x007F7F7Fu : 0u) << x << "," << y;
        }
}

TEST_F(BmpTest, SmallPicturesDrawTheirOwnPixels) {
    // Pictures whose file is longer than width x height x 4 bytes still show every stored pixel.
    struct Case {
        uint32_t width, height;
    } cases[] = {{1, 1}, {2, 2}, {3, 1}, {1, 7}, {4, 3}};
    for (const Case& c : cases) {
        const std::string path = Save("s.bmp", MakeBmp(c.width, c.height, Pattern));
        for (const NamedDrawer& d : kDrawers) {
            const OwnedSurface before(8, 10, 32, 0x00FFFFFF);
            OwnedSurface surface(before);
            d.draw(path.c_str(), &surface, 1, 1);
            EXPECT_TRUE(surface == Expected(before, c.width, c.height, 1, 1, Pattern, d.blended))
                << d.name << " " << c.width << "x" << c.height;
        }
    }
}

TEST_F(BmpTest, PicturesBeyondHalfAMegabyteDrawWhole) {
    // 400 x 420 pixels: a file of 504,054 bytes.
    const std::string path = Save("big.bmp", MakeBmp(400, 420, Pattern));
    for (const NamedDrawer& d : kDrawers) {
        const OwnedSurface before(402, 424, 32, 0x00010203);
        OwnedSurface surface(before);
        d.draw(path.c_str(), &surface, 1, 2);
        EXPECT_TRUE(surface == Expected(before, 400, 420, 1, 2, Pattern, d.blended)) << d.name;
    }
}

TEST_F(BmpTest, TruncatedFilesDrawOnlyTheirCompletePixels) {
    const std::string whole = MakeBmp(5, 4, Pattern);  // rows of 16 bytes
    struct Case {
        size_t keep;      // bytes of the file kept
        uint32_t pixels;  // complete stored pixels within them
        const char* why;
    } cases[] = {
        {54, 0, "header only"},
        {56, 0, "part of the first pixel"},
        {57, 1, "exactly one pixel"},
        {54 + 16 + 7, 7, "one row and a bit"},
        {54 + 15, 5, "first row without its padding"},
        {whole.size() - 1, 20, "last padding byte missing"},
        {whole.size() - 2, 19, "last pixel cut"},
    };
    for (const Case& c : cases) {
        const std::string path = Save("t.bmp", whole.substr(0, c.keep));
        for (const NamedDrawer& d : kDrawers) {
            const OwnedSurface before(8, 8, 32, 0x00777777);
            OwnedSurface surface(before);
            d.draw(path.c_str(), &surface, 2, 2);
            EXPECT_TRUE(surface == Expected(before, 5, 4, 2, 2, Pattern, d.blended, c.pixels))
                << d.name << ": " << c.why;
        }
    }
}

TEST_F(BmpTest, MalformedHeadersDrawNothing) {
    std::string zeroWidth = MakeBmp(4, 4, Pattern), zeroHeight = zeroWidth;
    PutLittle(zeroWidth, 18, 0, 4);
    PutLittle(zeroHeight, 22, 0x10000, 4);  // low 16 bits are 0
    struct Case {
        std::string bytes;
        const char* why;
    } cases[] = {
        {"", "empty file"},
        {MakeBmp(4, 4, Pattern).substr(0, 53), "header one byte short"},
        {MakeBmp(4, 4, Pattern).substr(0, 30), "header cut after the depth"},
        {zeroWidth, "width 0"},
        {zeroHeight, "height 0 in the low 16 bits"},
    };
    for (const Case& c : cases) {
        const std::string path = Save("m.bmp", c.bytes);
        for (const NamedDrawer& d : kDrawers) {
            const OwnedSurface before(8, 8, 32, 0x00424242);
            OwnedSurface surface(before);
            d.draw(path.c_str(), &surface, 1, 1);
            EXPECT_TRUE(surface == before) << d.name << ": " << c.why;
        }
    }
}

TEST_F(BmpTest, HeaderThatPromisesMoreThanTheFileHoldsReadsOnlyTheFile) {
    // 65535 x 65535 pixels claimed, two pixels present: no huge buffer, two pixels drawn.
    std::string bytes = MakeBmp(2, 1, Pattern);
    PutLittle(bytes, 18, 0xFFFF, 4);
    PutLittle(bytes, 22, 0xFFFF, 4);
    const std::string path = Save("liar.bmp", bytes);
    OwnedSurface surface(4, 4, 32, 0x00999999);
    DrawBmpFile(path.c_str(), &surface, 0, -65534);  // first row lands on row 1
    EXPECT_EQ(surface.at(0, 1), Pattern(0, 0));
    EXPECT_EQ(surface.at(1, 1), Pattern(1, 0));
    EXPECT_EQ(surface.at(2, 1), 0x00999999u);
}

TEST_F(BmpTest, MissingFileDrawsNothingAndIsNotCreated) {
    const std::string path = (dir / "missing.bmp").string();
    for (const NamedDrawer& d : kDrawers) {
        const OwnedSurface before(4, 4, 32, 0x00313131);
        OwnedSurface surface(before);
        d.draw(path.c_str(), &surface, 0, 0);
        EXPECT_TRUE(surface == before) << d.name;
    }
    uint8_t header[BMP_HEADER_SIZE];
    EXPECT_EQ(ReadBmpHeader(header, path.c_str()), 0u);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(BmpTest, ReadBmpHeaderZeroFillsWhatTheFileLacks) {
    const std::string bytes = MakeBmp(3, 2, Pattern);
    uint8_t header[BMP_HEADER_SIZE];
    std::memset(header, 0xEE, sizeof header);
    EXPECT_EQ(ReadBmpHeader(header, Save("full.bmp", bytes).c_str()), 54u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(header), 54), bytes.substr(0, 54));

    std::memset(header, 0xEE, sizeof header);
    EXPECT_EQ(ReadBmpHeader(header, Save("short.bmp", bytes.substr(0, 20)).c_str()), 20u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(header), 20), bytes.substr(0, 20));
    for (size_t i = 20; i < 54; ++i) EXPECT_EQ(header[i], 0) << i;
}

TEST_F(BmpTest, PixelsOffTheSurfaceGoToPixelZero) {
    const std::string path = Save("edge.bmp", MakeBmp(2, 1, [](uint32_t q, uint32_t) {
                                      return q == 0 ? 0x00AA0000u : 0x0000BB00u;
                                  }));
    OwnedSurface surface(4, 4, 32, 0);
    DrawBmpFile(path.c_str(), &surface, -1, 0);  // pixel 0 at (-1, 1), pixel 1 at (0, 1)
    EXPECT_EQ(surface.at(0, 0), 0x00AA0000u);
    EXPECT_EQ(surface.at(0, 1), 0x0000BB00u);
}

}  // namespace
