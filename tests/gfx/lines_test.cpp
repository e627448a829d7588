// Exact pixels of lines, gradient rectangles, blended rectangles and block copies.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "gfx/raster.h"
#include "gfx/raster_test_support.h"

namespace {

constexpr uint32_t BACKGROUND = 0x00111111;
constexpr uint32_t INK = 0x00ABCDEF;

TEST(DrawLine, WritesExactlyTheStepPoints) {
    struct Case {
        int32_t x1, y1, x2, y2;
        PixelSet expected;
        const char* why;
    };
    const Case cases[] = {
        {0,
         0,
         10,
         0,
         {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}, {10, 0}},
         "horizontal: the start point is never set"},
        {10,
         0,
         0,
         0,
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}},
         "reversed: now (10, 0) is the untouched start"},
        {0,
         0,
         3,
         4,
         {{3, 4}, {2, 3}, {1, 2}, {1, 1}, {0, 0}},
         "count 5: the last step truncates onto the start"},
        {4,
         7,
         0,
         4,
         {{0, 4}, {1, 5}, {2, 6}, {3, 6}, {4, 7}},
         "negative deltas truncate toward zero"},
        {0, 3, 0, 0, {{0, 0}, {0, 1}, {0, 2}}, "vertical, upwards"},
        {6, 6, 6, 6, {}, "equal end points draw nothing"},
    };
    for (const Case& c : cases) {
        for (uint32_t depth : {32u, 16u}) {
            OwnedSurface s(12, 9, depth, BACKGROUND & 0xFFFF);
            const OwnedSurface before = s;
            DrawLine(&s, c.x1, c.y1, c.x2, c.y2, INK & 0xFFFF);
            EXPECT_EQ(ChangedPixels(before, s), c.expected) << c.why << " at " << depth << " bpp";
            EXPECT_EQ(PixelsOfValue(s, INK & 0xFFFF), c.expected) << c.why;
        }
    }
}

TEST(DrawLine, PointsOffTheSurfaceWriteTheOrigin) {
    OwnedSurface s(8, 4, 32, BACKGROUND);
    DrawLine(&s, -5, 2, 2, 2, INK);  // points -4..2: four of them off the surface
    EXPECT_EQ(PixelsOfValue(s, INK), (PixelSet{{0, 0}, {0, 2}, {1, 2}, {2, 2}}));
}

TEST(DrawLine, TooLongLinesDrawNothing) {
    // 46340^2 < 2^31 <= 46341^2. The 65537 line's 32-bit squared sum wraps to a small positive
    // number that would give a sparse wrong line; it draws nothing like every line past the limit.
    struct Case {
        int32_t x2, y2;
        bool draws;
        const char* why;
    };
    const Case cases[] = {
        {46340, 0, true, "longest horizontal line"},
        {46341, 0, false, "first horizontal line past the limit"},
        {32768, 32769, false, "squared length exactly 2^31"},
        {65537, 0, false, "squared sum wraps to a positive value"},
        {-46341, 1, false, "negative delta past the limit"},
    };
    for (const Case& c : cases) {
        OwnedSurface s(4, 2, 32, BACKGROUND);
        DrawLine(&s, 0, 1, c.x2, c.y2, INK);
        EXPECT_EQ(PixelsOfValue(s, INK).empty(), !c.draws) << c.why;
    }
}

TEST(FillGradientRect, RowsBrightenUpwardsAndSkipTheFirstRowAndColumn) {
    OwnedSurface s(6, 4, 32, BACKGROUND);
    FillGradientRect(&s, 0, 0, 4, 2, 0x00404040);
    EXPECT_EQ(PixelsOfValue(s, 0x00404040), (PixelSet{{1, 2}, {2, 2}, {3, 2}, {4, 2}}));
    EXPECT_EQ(PixelsOfValue(s, 0x00606060), (PixelSet{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
    EXPECT_EQ(PixelsOfValue(s, BACKGROUND).size(), 24u - 8u);
}

TEST(FillGradientRect, RowColours) {
    struct Case {
        uint32_t depth, colour;
        int32_t height, row;
        uint32_t expected;
        const char* why;
    };
    const Case cases[] = {
        {32, 0x00C80000, 2, 2, 0x00C80000, "bottom row has the colour"},
        {32, 0x00C80000, 2, 1, 0x002C0000, "200 + 100 wraps to 44"},
        {32, 0x00102030, 4, 1, 0x001C3854, "top row of 4: v + v*3/4"},
        {16, 0xFC08, 2, 2, 0xFC08, "16 bpp bottom row"},
        {16, 0x4208, 2, 1, 0x630C, "16 bpp top row: 64 + 32 = 96 in every component"},
    };
    for (const Case& c : cases) {
        OwnedSurface s(3, 5, c.depth);
        FillGradientRect(&s, 0, 0, 2, c.height, c.colour);
        EXPECT_EQ(s.at(1, c.row), c.expected) << c.why;
        EXPECT_EQ(s.at(2, c.row), c.expected) << c.why;
    }
}

TEST(FillGradientRect, EmptyRectanglesDrawNothing) {
    struct Case {
        int32_t width, height;
        const char* why;
    };
    const Case cases[] = {{0, 3, "width 0"}, {3, 0, "height 0"}, {3, -2, "negative height"}};
    for (const Case& c : cases) {
        OwnedSurface s(6, 6, 32, BACKGROUND);
        const OwnedSurface before = s;
        FillGradientRect(&s, 1, 1, c.width, c.height, INK);
        EXPECT_TRUE(s == before) << c.why;
    }
}

TEST(FillGradientRect, OriginTakesTheLastRowThatLeavesTheSurface) {
    // Rows drawn: 3 (the colour), 2, 1 (the brightest); each spans columns -1..1, so column -1
    // sends every row to the origin and the last one drawn, row 1, wins it.
    OwnedSurface s(4, 5, 32, BACKGROUND);
    FillGradientRect(&s, -2, 0, 3, 3, 0x00303030);
    EXPECT_EQ(s.at(0, 3), 0x00303030u);
    EXPECT_EQ(s.at(1, 2), 0x00404040u);
    EXPECT_EQ(s.at(1, 1), 0x00505050u);
    EXPECT_EQ(s.at(0, 0), 0x00505050u) << "30 + 30*2/3 = 50 (hex)";
    EXPECT_EQ(s.at(2, 2), BACKGROUND);
}

TEST(BlendRect, CoversItsRectangleFromTheCorner) {
    for (uint32_t depth : {32u, 16u}) {
        OwnedSurface s(4, 4, depth, 0x0421);
        const OwnedSurface before = s;
        BlendRect(&s, 0, 0, 2, 2, 0x7BDE, BLEND_XOR);
        EXPECT_EQ(ChangedPixels(before, s), (PixelSet{{0, 0}, {1, 0}, {0, 1}, {1, 1}})) << depth;
    }
}

TEST(BlendRect, ModesOnOneRow) {
    struct Case {
        uint32_t mode, expected;
        const char* why;
    };
    const Case cases[] = {
        {BLEND_AVERAGE, 0x00107F60, "halves, rounding down"},
        {BLEND_ADD, 0x0020FFC0, "adds, wrapping at 8 bits"},
        {BLEND_XOR, 0x0000FFC0, "exclusive or"},
        {BLEND_COPY, 0x0010FF40, "copies the colour"},
        {9, 0x0010FF40, "unknown modes copy"},
    };
    for (const Case& c : cases) {
        OwnedSurface s(3, 1, 32, 0xFF100080);  // the pixel's top byte is ignored
        BlendRect(&s, 0, 0, 3, 1, 0x0010FF40, c.mode);
        for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(s.at(x, 0), c.expected) << c.why;
    }
}

TEST(BlendRect, EveryOutsidePointBlendsTheOriginAgain) {
    // Three points left of the surface: (0, 0) is averaged with black three times.
    OwnedSurface s(4, 2, 32, 0x00808080);
    BlendRect(&s, -3, 0, 3, 1, 0, BLEND_AVERAGE);
    EXPECT_EQ(s.at(0, 0), 0x00101010u);
    EXPECT_EQ(s.at(1, 0), 0x00808080u);
    // A rectangle wholly off the surface: XOR flips the origin once per point, so 999 x 1001
    // points (odd) leave it flipped and 999 x 1000 (even) restore it.
    for (auto [height, expected] : {std::pair{1001, 0x00FF00FFu}, std::pair{1000, 0x00808080u}}) {
        OwnedSurface t(4, 2, 32, 0x00808080);
        BlendRect(&t, 10, 10, 999, height, 0x007F807F, BLEND_XOR);
        EXPECT_EQ(t.at(0, 0), expected) << height;
    }
}

TEST(BlendRect, EmptyRectanglesDrawNothing) {
    for (auto [w, h] : {std::pair{0, 2}, std::pair{2, 0}, std::pair{-1, 3}, std::pair{3, -1}}) {
        OwnedSurface s(4, 4, 32, BACKGROUND);
        const OwnedSurface before = s;
        BlendRect(&s, 0, 0, w, h, INK, BLEND_COPY);
        EXPECT_TRUE(s == before) << w << "x" << h;
    }
}

std::string CopyInto(int32_t count) {
    std::string destination(16, '.');
    const std::string source = "ABCDEFGHIJKLMNOP";
    CopyBlock(destination.data(), source.data(), count);
    return destination;
}

TEST(CopyBlock, CopiesExactlyTheCount) {
    struct Case {
        int32_t count;
        const char* expected;
        const char* why;
    };
    const Case cases[] = {
        {13, "ABCDEFGHIJKLM...", "one unit and five single bytes; the 14th byte is untouched"},
        {16, "ABCDEFGHIJKLMNOP", "two whole units"},
        {5, "ABCDE...........", "under one unit: exactly the count"},
        {0, "................", "nothing"},
        {-8, "................", "negative counts copy nothing"},
    };
    for (const Case& c : cases) EXPECT_EQ(CopyInto(c.count), c.expected) << c.why;
}

TEST(CopyBlock, OverlapCopiesForwards) {
    struct Case {
        int32_t shift, count;
        const char* expected;
        const char* why;
    };
    const Case cases[] = {
        {4, 16, "ABCDABCDABCDABCDABCD", "destination one word ahead: the first word smears"},
        {1, 9, "AABCDDFGHHKLMNOPQRST", "one byte ahead: each word rereads bytes just written"},
        {-4, 16, "EFGHIJKLMNOPQRSTQRST", "destination behind the source: a plain move"},
    };
    for (const Case& c : cases) {
        std::string buffer = "ABCDEFGHIJKLMNOPQRST";
        char* const base = buffer.data() + (c.shift < 0 ? -c.shift : 0);
        CopyBlock(base + c.shift, base, c.count);
        EXPECT_EQ(buffer, c.expected) << c.why;
    }
}

}  // namespace
