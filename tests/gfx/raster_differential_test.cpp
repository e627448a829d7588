// Seeded random cases run through the library and through the plain reference, which must leave
// identical surfaces: every pixel, pixel (0, 0) included (it collects the writes that fall off
// the surface, in order). Run with VELMORA_NO_FAST_PATHS set to check the plain paths instead.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <sstream>
#include <vector>

#include "geom/angles.h"
#include "gfx/raster.h"
#include "gfx/raster_oracle.h"
#include "support/owned_surface.h"

namespace {

class Random {
  public:
    explicit Random(uint32_t seed) : engine_(seed) {}
    int32_t In(int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(engine_);
    }
    uint32_t Word() { return uint32_t(engine_()); }
    bool Chance(int percent) { return In(0, 99) < percent; }

    // Mostly near the surface (a margin either side), sometimes at the ends of the int32 range
    // where coordinate sums wrap.
    int32_t Coordinate(uint32_t size) {
        if (Chance(4)) return Chance(50) ? INT32_MAX - In(0, 40) : INT32_MIN + In(0, 40);
        return In(-12, int32_t(size) + 12);
    }
    // Ordinary colours, black, words with bit 31 set, and noise in the upper bits.
    uint32_t Colour(uint32_t depth) {
        switch (In(0, 5)) {
            case 0:
                return 0;
            case 1:
                return Word() | 0x80000000u;
            case 2:
                return Word();
            case 3:
                return depth == 16 ? (Word() & 0xFFFF) : (Word() & 0xFFFFFF);
            default:
                return depth == 16 ? (Word() & 0xFFDF) : (Word() & 0x7F7F7F);
        }
    }
    OwnedSurface Surface(uint32_t maxSide = 24) {
        return Surface(uint32_t(In(1, int32_t(maxSide))), uint32_t(In(1, int32_t(maxSide))));
    }
    OwnedSurface Surface(uint32_t width, uint32_t height) {
        OwnedSurface s(width, height, Chance(50) ? 32 : 16);
        for (uint32_t& word : s.words) word = Word();
        if (s.surface.bitsPerPixel == 32)
            for (uint32_t& word : s.words) word &= Chance(20) ? ~0u : 0xFFFFFFu;
        return s;
    }

  private:
    std::mt19937 engine_;
};

std::string Describe(const OwnedSurface& s) {
    std::ostringstream out;
    out << s.surface.width << "x" << s.surface.height << "@" << s.surface.bitsPerPixel;
    return out.str();
}

// Index of the first differing 32-bit word, or -1.
long FirstDifference(const OwnedSurface& a, const OwnedSurface& b) {
    for (size_t i = 0; i < a.words.size(); ++i)
        if (a.words[i] != b.words[i]) return long(i);
    return -1;
}

#define EXPECT_SAME_SURFACE(library, reference, what)                                         \
    do {                                                                                      \
        const long at = FirstDifference(library, reference);                                  \
        ASSERT_EQ(at, -1) << what << " on " << Describe(library) << ": word " << at << " is " \
                          << std::hex << library.words[size_t(at < 0 ? 0 : at)] << ", want "  \
                          << reference.words[size_t(at < 0 ? 0 : at)];                        \
    } while (0)

class RasterDifferential : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!AngleTables) BuildAngleTables();
    }
};

TEST_F(RasterDifferential, DrawLine) {
    Random random(1);
    for (int n = 0; n < 6000; ++n) {
        OwnedSurface library = random.Surface(), reference = library;
        const uint32_t w = library.surface.width, h = library.surface.height;
        int32_t x1 = random.Coordinate(w), y1 = random.Coordinate(h);
        int32_t x2 = random.Coordinate(w), y2 = random.Coordinate(h);
        if (random.Chance(5)) {  // long lines round the length limit
            x2 = int32_t(uint32_t(x1) + uint32_t(random.In(-46341, 46341)));
            y2 = int32_t(uint32_t(y1) + uint32_t(random.In(-3, 3)));
        }
        const uint32_t colour = random.Colour(library.surface.bitsPerPixel);
        DrawLine(&library, x1, y1, x2, y2, colour);
        oracle::DrawLine(&reference, x1, y1, x2, y2, colour);
        EXPECT_SAME_SURFACE(library, reference,
                            "line " << x1 << "," << y1 << " to " << x2 << "," << y2);
    }
}

TEST_F(RasterDifferential, FillGradientRect) {
    Random random(2);
    for (int n = 0; n < 3000; ++n) {
        OwnedSurface library = random.Surface(), reference = library;
        const uint32_t w = library.surface.width, h = library.surface.height;
        const int32_t x = random.Coordinate(w), y = random.Coordinate(h);
        const int32_t width = random.Chance(3) ? random.In(46000, 46400) : random.In(-30, 30);
        const int32_t height = random.Chance(5) ? random.In(-2, 0) : random.In(1, 30);
        const uint32_t colour = random.Colour(library.surface.bitsPerPixel);
        FillGradientRect(&library, x, y, width, height, colour);
        oracle::FillGradientRect(&reference, x, y, width, height, colour);
        EXPECT_SAME_SURFACE(library, reference,
                            "gradient " << x << "," << y << " " << width << "x" << height);
    }
}

TEST_F(RasterDifferential, BlendRect) {
    Random random(3);
    for (int n = 0; n < 3000; ++n) {
        OwnedSurface library = random.Surface(), reference = library;
        const uint32_t w = library.surface.width, h = library.surface.height;
        const int32_t x = random.Coordinate(w), y = random.Coordinate(h);
        // Some rectangles large enough that hundreds of points blend the origin over and over.
        const int32_t limit = random.Chance(5) ? 200 : 30;
        const int32_t width = random.In(-2, limit), height = random.In(-2, limit);
        const uint32_t colour = random.Colour(library.surface.bitsPerPixel);
        const uint32_t mode = uint32_t(random.In(0, 5));
        BlendRect(&library, x, y, width, height, colour, mode);
        oracle::BlendRect(&reference, x, y, width, height, colour, mode);
        EXPECT_SAME_SURFACE(library, reference,
                            "blend " << x << "," << y << " " << width << "x" << height << " mode "
                                     << mode << " colour " << std::hex << colour);
    }
}

TEST_F(RasterDifferential, CopyBlock) {
    Random random(4);
    for (int n = 0; n < 4000; ++n) {
        std::vector<unsigned char> library(80);
        for (unsigned char& byte : library) byte = static_cast<unsigned char>(random.Word());
        std::vector<unsigned char> reference = library;
        const int32_t from = random.In(0, 40), to = random.In(0, 40), count = random.In(-3, 40);
        CopyBlock(library.data() + to, library.data() + from, count);
        oracle::CopyBlock(reference.data() + to, reference.data() + from, count);
        ASSERT_EQ(library, reference) << "copy " << count << " bytes from " << from << " to " << to;
    }
}

TEST_F(RasterDifferential, FillDisc) {
    Random random(5);
    for (int n = 0; n < 400; ++n) {
        const int32_t radius = random.Chance(3)   ? random.In(-3, 0)
                               : random.Chance(3) ? random.In(60, 150)
                                                  : random.In(1, 24);
        // Half the discs lie wholly on a surface just large enough, the others anywhere.
        const bool whole = radius > 0 && radius < 30 && random.Chance(50);
        OwnedSurface library = whole ? random.Surface(uint32_t(2 * radius + random.In(1, 4)),
                                                      uint32_t(2 * radius + random.In(1, 4)))
                                     : random.Surface(40);
        OwnedSurface reference = library;
        const uint32_t w = library.surface.width, h = library.surface.height;
        const int32_t cx =
            whole ? radius + random.In(0, int32_t(w) - 2 * radius - 1) : random.Coordinate(w);
        const int32_t cy =
            whole ? radius + random.In(0, int32_t(h) - 2 * radius - 1) : random.Coordinate(h);
        const uint32_t colour = random.Colour(library.surface.bitsPerPixel);
        FillDisc(&library, cx, cy, radius, colour);
        oracle::FillDisc(&reference, cx, cy, radius, colour);
        EXPECT_SAME_SURFACE(
            library, reference,
            "disc " << cx << "," << cy << " radius " << radius << " colour " << std::hex << colour);
    }
}

TEST_F(RasterDifferential, FillArcBand) {
    Random random(6);
    for (int n = 0; n < 600; ++n) {
        // Radii round the edge of the per-radius tables too, and now and then counts or angles
        // out of range.
        const int32_t inner = random.Chance(3)   ? random.In(2040, 2050)
                              : random.Chance(5) ? random.In(-20, -1)
                                                 : random.In(0, 30);
        const int32_t rings = random.Chance(3) ? random.In(-1, 0) : random.In(1, 12);
        const int32_t start = random.Chance(3) ? random.In(-5, -1) : random.In(0, 7199);
        const int32_t points = random.Chance(3)   ? random.In(-1, 0)
                               : random.Chance(3) ? 7201 - start
                                                  : random.In(1, std::max(1, 7200 - start));
        // Half the bands lie wholly on a surface just large enough, the others anywhere.
        const int32_t reach = inner + std::max(rings, 1);
        const bool whole = inner >= 0 && reach < 40 && random.Chance(50);
        OwnedSurface library = whole ? random.Surface(uint32_t(2 * reach + random.In(1, 4)),
                                                      uint32_t(2 * reach + random.In(1, 4)))
                                     : random.Surface(40);
        OwnedSurface reference = library;
        const uint32_t w = library.surface.width, h = library.surface.height;
        const int32_t cx =
            whole ? reach + random.In(0, int32_t(w) - 2 * reach - 1) : random.Coordinate(w);
        const int32_t cy =
            whole ? reach + random.In(0, int32_t(h) - 2 * reach - 1) : random.Coordinate(h);
        const uint32_t colour = random.Colour(library.surface.bitsPerPixel);
        FillArcBand(&library, cx, cy, inner, rings, start, points, colour);
        oracle::FillArcBand(&reference, cx, cy, inner, rings, start, points, colour);
        EXPECT_SAME_SURFACE(library, reference,
                            "band " << cx << "," << cy << " r0 " << inner << " rings " << rings
                                    << " angles " << start << "+" << points);
    }
}

}  // namespace
