#include "geom/integer_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(RoundToInt, NearestTiesToEvenAndDefinedOutsideTheRange) {
    struct Case {
        double value;
        int32_t expected;
        const char* why;
    };
    const Case cases[] = {
        {2.5, 2, "tie to even, down"},
        {3.5, 4, "tie to even, up"},
        {-2.5, -2, "negative tie to even"},
        {2.4999999, 2, "below the tie"},
        {-0.4, 0, "negative zero is 0"},
        {2147483647.0, INT32_MAX, "largest"},
        {-2147483648.0, INT32_MIN, "smallest"},
        {2147483648.0, INT32_MIN, "one past the range"},
        {-1e20, INT32_MIN, "far below"},
        {std::numeric_limits<double>::infinity(), INT32_MIN, "infinite"},
        {std::nan(""), INT32_MIN, "not a number"},
    };
    for (const Case& c : cases) EXPECT_EQ(RoundToInt(c.value), c.expected) << c.why;
}

TEST(MulWide, FullUnsignedProduct) {
    EXPECT_EQ(MulWide(0xFFFFFFFFu, 0xFFFFFFFFu), 0xFFFFFFFE00000001ull);
    EXPECT_EQ(MulWide(65536, 65536), 0x100000000ull) << "low 32 bits 0, the carry kept";
    EXPECT_EQ(uint32_t(MulWide(0x80000001u, 3)), 0x80000003u) << "callers use the low word";
}

TEST(ScalePair, SixtyFourBitProductTruncatedTowardZero) {
    struct Case {
        int32_t a, b, n, m;
        Point expected;
        const char* why;
    };
    const Case cases[] = {
        {-10, 6, 10, 5, {-5, 3}, "halving a point"},
        {-7, 7, 2, 1, {-3, 3}, "truncated toward zero on both sides"},
        {7, -7, -2, 1, {-3, 3}, "negative divisor"},
        {2000000000,
         -2000000000,
         2000000000,
         1999999999,
         {1999999999, -1999999999},
         "the product needs 64 bits"},
        {5, 9, 9, 9, {5, 9}, "m equal to n is the identity"},
        {5, 9, 9, 0, {0, 0}, "m = 0"},
    };
    for (const Case& c : cases) EXPECT_EQ(ScalePair(c.a, c.b, c.n, c.m), c.expected) << c.why;
}

TEST(PointDelta, WrapsAround) {
    EXPECT_EQ(PointDelta(0, 0, 3, -4), (Point{3, -4}));
    EXPECT_EQ(PointDelta(10, 20, 4, 7), (Point{-6, -13}));
    EXPECT_EQ(PointDelta(1, -1, INT32_MIN, INT32_MAX), (Point{INT32_MAX, INT32_MIN}))
        << "both differences wrap at 32 bits";
}

TEST(VectorLength, SquaresWrapAt32Bits) {
    struct Case {
        int32_t a, b, expected;
        const char* why;
    };
    const Case cases[] = {
        {3, 4, 5, "3-4-5"},
        {-3, -4, 5, "signs do not matter"},
        {1, 1, 1, "1.414 rounds to 1"},
        {1, 2, 2, "2.236 rounds to 2"},
        {0, 0, 0, "zero vector"},
        {32767, 32767, 46340, "both below 2^15: 46339.54"},
        {46340, 0, 46340, "largest square below 2^31"},
        {46341, 0, 0, "sum past 2^31 reads negative: no length"},
        {65536, 1, 1, "65536^2 wraps to 0"},
    };
    for (const Case& c : cases) EXPECT_EQ(VectorLength(c.a, c.b), c.expected) << c.why;
}

TEST(MulDivUnsigned, DivisorIsTheSecondArgument) {
    EXPECT_EQ(MulDivUnsigned(7, 2, 3), 10u) << "21 / 2 truncated";
    EXPECT_EQ(MulDivUnsigned(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu), 0xFFFFFFFFu)
        << "64-bit product";
    EXPECT_EQ(MulDivUnsigned(4000000000u, 3, 2), 2666666666u) << "unsigned, above 2^31";
}

TEST(PointInRect, EdgesIncluded) {
    struct Case {
        int32_t px, py, left, top, width, height, expected;
        const char* why;
    };
    const Case cases[] = {
        {10, 10, 10, 10, 0, 0, 1, "an empty rectangle contains its corner"},
        {21, 15, 10, 10, 10, 10, -1, "one past the right edge"},
        {20, 20, 10, 10, 10, 10, 1, "far corner included"},
        {15, 21, 10, 10, 10, 10, -1, "one past the bottom edge"},
        {9, 15, 10, 10, 10, 10, -1, "left of the left edge"},
        {15, 9, 10, 10, 10, 10, -1, "above the top edge"},
        {-5, 5, 10, 10, 10, 10, -1, "negative x against a positive left (signed compare)"},
        {2147483647, 0, 2147483640, 0, 100, 0, 1,
         "far edge summed unsigned: left + width passes 2^31 without overflow"},
        {-5, 0, -10, 0, 20, 20, -1,
         "negative points fail the unsigned far-edge test; callers pass none"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PointInRect(c.px, c.py, c.left, c.top, c.width, c.height), c.expected) << c.why;
    }
}

TEST(HalvePair, LogicalShift) {
    EXPECT_EQ(HalvePair(7, 9), (Point{3, 4}));
    EXPECT_EQ(HalvePair(0xFFFFFFFFu, 1), (Point{0x7FFFFFFF, 0})) << "no sign is shifted in";
}

TEST(MirrorQuadrant, Types) {
    struct Case {
        int32_t type;
        Point expected;
        const char* why;
    };
    const Case cases[] = {
        {1, {-3, 4}, "mirror x"},
        {2, {-3, -4}, "mirror both"},
        {3, {3, -4}, "mirror y"},
        {0, {3, 4}, "other types leave the point unchanged"},
        {4, {3, 4}, "other types leave the point unchanged"},
    };
    for (const Case& c : cases) EXPECT_EQ(MirrorQuadrant(3, 4, c.type), c.expected) << c.why;
    EXPECT_EQ(MirrorQuadrant(INT32_MIN, 1, 2), (Point{INT32_MIN, -1})) << "negation wraps";
}

TEST(ParseHex, DigitsUpToNulOrCarriageReturn) {
    struct Case {
        const char* text;
        int32_t result;
        uint32_t value;
        const char* why;
    };
    const uint32_t untouched = 0xA5A5A5A5u;
    const Case cases[] = {
        {"0", 1, 0, "zero"},
        {"1aF", 1, 0x1AF, "both letter cases"},
        {"FFFFFFFF", 1, 0xFFFFFFFF, "all 32 bits"},
        {"000000001", 1, 1, "leading zeros do not count against the width"},
        {"12\r\n34", 1, 0x12, "stops at the carriage return"},
        {"", -1, untouched, "no digits"},
        {"\r", -1, untouched, "no digits before the carriage return"},
        {"12G", -1, untouched, "a letter past F"},
        {"1 2", -1, untouched, "a space"},
        {"-1", -1, untouched, "a sign"},
        {"0x10", -1, untouched, "no prefix"},
        {"12\n", -1, untouched, "a line feed is not an end"},
        {"100000000", -1, untouched, "past 32 bits"},
        {"\xC1", -1, untouched, "a byte above 127"},
    };
    for (const Case& c : cases) {
        uint32_t value = untouched;
        EXPECT_EQ(ParseHex(c.text, &value), c.result) << c.why;
        EXPECT_EQ(value, c.value) << c.why;
    }
    uint32_t value = 0;
    EXPECT_EQ(ParseHex(nullptr, &value), -1);
    EXPECT_EQ(ParseHex("1", nullptr), -1);
}
