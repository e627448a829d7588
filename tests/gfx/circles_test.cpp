// Exact pixels of arcs, discs, ring bands and ellipse quarters.
#include <gtest/gtest.h>

#include <cmath>

#include "geom/angles.h"
#include "gfx/raster.h"
#include "gfx/raster_test_support.h"

namespace {

constexpr uint32_t BACKGROUND = 0x00111111;
constexpr uint32_t INK = 0x00ABCDEF;

class Circles : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!AngleTables) BuildAngleTables();
    }
};

PixelSet Block(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    PixelSet block;
    for (int32_t y = y0; y <= y1; ++y)
        for (int32_t x = x0; x <= x1; ++x) block.insert({x, y});
    return block;
}

// The 5 x 5 block round (x, y) without its corners: 2 cos 45 degrees rounds to 1.
PixelSet RoundedBlock(int32_t x, int32_t y) {
    PixelSet block = Block(x - 2, y - 2, x + 2, y + 2);
    for (auto [dx, dy] : {std::pair{-2, -2}, std::pair{2, -2}, std::pair{-2, 2}, std::pair{2, 2}})
        block.erase({x + dx, y + dy});
    return block;
}

TEST_F(Circles, SmallDiscs) {
    struct Case {
        uint32_t depth, colour;
        int32_t radius;
        uint32_t centre;
        PixelSet changed;
        const char* why;
    };
    const Case cases[] = {
        {32, 0x00404040, 1, 0x00404040, Block(4, 4, 6, 6), "radius 1 fills the 3 x 3 block"},
        {32, 0x00404040, 2, 0x00606060, RoundedBlock(5, 5), "radius 2: the centre is 1.5 times"},
        {16, 0x4208, 2, 0x630C, RoundedBlock(5, 5), "the same at 16 bpp"},
        {32, 0, 3, BACKGROUND, {}, "black draws nothing"},
        {32, INK, 0, BACKGROUND, {}, "radius 0 draws nothing"},
        {32, INK, -4, BACKGROUND, {}, "negative radius draws nothing"},
    };
    for (const Case& c : cases) {
        OwnedSurface s(11, 11, c.depth, BACKGROUND & (c.depth == 16 ? 0xFFFF : ~0u));
        const OwnedSurface before = s;
        FillDisc(&s, 5, 5, c.radius, c.colour);
        EXPECT_EQ(ChangedPixels(before, s), c.changed) << c.why;
        EXPECT_EQ(s.at(5, 5), c.centre) << c.why;
    }
}

TEST_F(Circles, DiscRingsThatPackToBlackAreSkipped) {
    // Red 0x80 with bit 31 set: the outer ring (radius 2) is skipped; ring radius 1 gets
    // 128 + 0 = 128, the centre 128 + 128*1/2 = 192.
    OwnedSurface s(5, 5, 32, BACKGROUND);
    FillDisc(&s, 2, 2, 2, 0x80800000);
    EXPECT_EQ(s.at(2, 0), BACKGROUND) << "outer ring skipped";
    EXPECT_EQ(s.at(1, 1), 0x00800000u);
    EXPECT_EQ(s.at(2, 2), 0x00C00000u);
    // Red 248 in a disc of radius 31: ring radius 29 gets 248 + 248*1/31 = 256, which packs to
    // 0, so its pixels keep what they had; the rings either side are drawn.
    for (uint32_t depth : {32u, 16u}) {
        OwnedSurface t(64, 64, depth, 0x0421);
        FillDisc(&t, 32, 32, 31, PackColour(248, 0, 0, depth));
        EXPECT_EQ(t.at(62, 32), PackColour(248, 0, 0, depth)) << "radius 30";
        EXPECT_EQ(t.at(61, 32), 0x0421u) << "radius 29 skipped";
        EXPECT_EQ(t.at(60, 32), PackColour(8, 0, 0, depth)) << "radius 28: 264 keeps 8";
    }
}

TEST_F(Circles, ArcBandRingColours) {
    // The splash's band: thirty quarter rings right of and above (0, 425).
    OwnedSurface s(100, 430, 32, BACKGROUND);
    FillArcBand(&s, 0, 425, 50, 30, 2700, 900, 0x007F7F00);
    EXPECT_EQ(s.at(0, 375), 0x00FEFE00u) << "radius 50 at 270 degrees: twice the colour";
    EXPECT_EQ(s.at(50, 425), 0x00FEFE00u) << "radius 50 at 359.9 degrees";
    EXPECT_EQ(s.at(0, 346), 0x00838300u) << "radius 79: 127 + 127/30 = 131";
    EXPECT_EQ(s.at(10, 400), BACKGROUND) << "inside the inner radius";
    EXPECT_EQ(s.at(0, 426), BACKGROUND) << "below the centre";

    // One ring: radius r0 in exactly twice the colour, all round the circle.
    OwnedSurface one(21, 21, 32, BACKGROUND);
    FillArcBand(&one, 10, 10, 7, 1, 0, 3600, 0x00102030);
    const PixelSet ring = PixelsOfValue(one, 0x00204060);
    EXPECT_EQ(ring.size() + PixelsOfValue(one, BACKGROUND).size(), 21u * 21u);
    for (auto [x, y] : ring) EXPECT_NEAR(std::hypot(x - 10, y - 10), 7.0, 0.75) << x << "," << y;
    for (auto [x, y] : {std::pair{17, 10}, std::pair{3, 10}, std::pair{10, 17}, std::pair{10, 3}})
        EXPECT_TRUE(ring.count({x, y})) << x << "," << y;
}

TEST_F(Circles, AnglesPastOneTurnContinueFromZero) {
    // Start 3500 with 200 points equals 3500..3599 followed by 0..99, for both operations.
    OwnedSurface a(31, 31, 32, BACKGROUND), b = a, c = a, d = a;
    DrawArc(&a, 15, 15, 12, 3500, 200, INK);
    DrawArc(&b, 15, 15, 12, 3500, 100, INK);
    DrawArc(&b, 15, 15, 12, 0, 100, INK);
    EXPECT_TRUE(a == b);
    FillArcBand(&c, 15, 15, 10, 3, 3500, 200, 0x00101010);
    FillArcBand(&d, 15, 15, 10, 3, 3500, 100, 0x00101010);
    FillArcBand(&d, 15, 15, 10, 3, 0, 100, 0x00101010);
    EXPECT_TRUE(c == d);
    EXPECT_FALSE(c == OwnedSurface(31, 31, 32, BACKGROUND));
}

TEST_F(Circles, FullCircleArc) {
    OwnedSurface s(31, 31, 32, BACKGROUND);
    DrawArc(&s, 15, 15, 12, 0, 3600, INK);
    const PixelSet drawn = PixelsOfValue(s, INK);
    for (auto [x, y] : {std::pair{27, 15}, std::pair{3, 15}, std::pair{15, 27}, std::pair{15, 3}})
        EXPECT_TRUE(drawn.count({x, y})) << x << "," << y;
    // The circle is closed and symmetric about both axes.
    for (auto [x, y] : drawn) {
        EXPECT_TRUE(drawn.count({30 - x, y}) && drawn.count({x, 30 - y})) << x << "," << y;
        EXPECT_NEAR(std::hypot(x - 15, y - 15), 12.0, 0.75);
    }
}

TEST_F(Circles, AngleAndCountLimits) {
    struct Case {
        int32_t start, count;
        bool draws;
        const char* why;
    };
    const Case cases[] = {
        {7199, 1, true, "the largest angle"},
        {7100, 100, true, "ends exactly at 7199"},
        {7100, 101, false, "would read angle 7200"},
        {-1, 10, false, "negative start"},
        {0, 0, false, "no points"},
        {0, -5, false, "negative count"},
    };
    for (const Case& c : cases) {
        OwnedSurface arc(21, 21, 32, BACKGROUND), band = arc;
        DrawArc(&arc, 10, 10, 5, c.start, c.count, INK);
        FillArcBand(&band, 10, 10, 5, 2, c.start, c.count, 0x00101010);
        EXPECT_EQ(PixelsOfValue(arc, BACKGROUND).size() < 21u * 21u, c.draws) << c.why;
        EXPECT_EQ(PixelsOfValue(band, BACKGROUND).size() < 21u * 21u, c.draws) << c.why;
    }
    for (int32_t rings : {0, -3}) {
        OwnedSurface band(21, 21, 32, BACKGROUND);
        const OwnedSurface before = band;
        FillArcBand(&band, 10, 10, 5, rings, 0, 900, INK);
        EXPECT_TRUE(band == before) << rings << " rings";
    }
}

TEST_F(Circles, EllipseQuarterRunsFromBottomToRight) {
    OwnedSurface s(120, 120, 32, BACKGROUND);
    DrawEllipseQuarter(&s, 100, 100, 10, 10, INK);
    const PixelSet drawn = PixelsOfValue(s, INK);
    EXPECT_TRUE(drawn.count({100, 110})) << "angle 90.0: the bottom point";
    EXPECT_TRUE(drawn.count({110, 100})) << "angle 0.1 rounds onto the right-hand point";
    for (auto [x, y] : drawn) EXPECT_TRUE(x >= 100 && y >= 100) << x << "," << y;

    // Unequal radii: the horizontal radius scales x, the vertical one y.
    OwnedSurface e(40, 40, 32, BACKGROUND);
    DrawEllipseQuarter(&e, 5, 5, 30, 8, INK);
    const PixelSet flat = PixelsOfValue(e, INK);
    EXPECT_TRUE(flat.count({5, 13}) && flat.count({35, 5}));
    for (auto [x, y] : flat) EXPECT_TRUE(x <= 35 && y <= 13) << x << "," << y;
}

TEST_F(Circles, OpposedQuarters) {
    // An untouched record draws on a surface of depth 0: nothing is written, done is set.
    QuarterArcParams = {};
    DrawOpposedQuarters();
    EXPECT_EQ(QuarterArcParams.done, 1u);

    OwnedSurface s(41, 41, 32, BACKGROUND);
    QuarterArcParams = {0, 20, 20, INK, 5, 10, s.surface};
    DrawOpposedQuarters();
    EXPECT_EQ(QuarterArcParams.done, 1u);
    const PixelSet drawn = PixelsOfValue(s, INK);
    // Angle 90.0: x = 10 sin = 10, y = 5 cos = 0; angle 179.9: x = 0, y = -5; and mirrors.
    for (auto [x, y] : {std::pair{30, 20}, std::pair{10, 20}, std::pair{20, 15}, std::pair{20, 25}})
        EXPECT_TRUE(drawn.count({x, y})) << x << "," << y;
    for (auto [x, y] : drawn) {
        const bool upperRight = x >= 20 && y <= 20, lowerLeft = x <= 20 && y >= 20;
        EXPECT_TRUE(upperRight || lowerLeft) << x << "," << y;
        EXPECT_TRUE(drawn.count({40 - x, 40 - y})) << "mirrored through the centre";
    }
}

}  // namespace
