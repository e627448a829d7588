#include "geom/angles.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace {
class AngleTablesTest : public ::testing::Test {
  protected:
    void SetUp() override { BuildAngleTables(); }
};

// The exact value of a trigonometric function at i tenths of a degree, in long double.
long double Exact(long double (*f)(long double), int32_t i) {
    return f(i * std::numbers::pi_v<long double> / 1800.0L);
}

// True when the single-precision entry is within one unit in the last place of the exact value,
// plus slack for the angle itself, which double precision holds only to about 4e-16.
bool WithinOneUlp(float entry, long double exact, long double slack) {
    const float nearest = float(exact);
    const long double ulp = std::fabs(std::nextafter(nearest, FLT_MAX) - nearest);
    return std::fabs(entry - exact) <= ulp + slack;
}
}  // namespace

TEST_F(AngleTablesTest, BlockHoldsThreeTablesThenTheVertexStorage) {
    EXPECT_EQ(offsetof(AngleTableBlock, cosTable), 0u);
    EXPECT_EQ(offsetof(AngleTableBlock, sinTable), 3600 * sizeof(float));
    EXPECT_EQ(offsetof(AngleTableBlock, tanTable), 7200 * sizeof(float));
    EXPECT_EQ(offsetof(AngleTableBlock, vertexStorage), 10800 * sizeof(float));
    EXPECT_EQ(sizeof(AngleTableBlock), 10800 * sizeof(float) + 160000);
    EXPECT_EQ(sizeof(Vertex), 16u);
}

TEST_F(AngleTablesTest, BuildPointsTheVertexListAtTheBlockAndEmptiesIt) {
    ASSERT_NE(AngleTables, nullptr);
    AngleTableBlock* const first = AngleTables;
    ASSERT_EQ(AddVertex(1, 2, 3, 4), 0);
    ASSERT_EQ(AddVertex(5, 6, 7, 8), 0);
    BuildAngleTables();
    EXPECT_EQ(AngleTables, first) << "a second build reuses the block";
    EXPECT_EQ(VertexList.storage, AngleTables->vertexStorage);
    EXPECT_EQ(VertexList.capacity, 160000);
    EXPECT_EQ(VertexList.count, 0);
    EXPECT_EQ(GetVertexCount(), 0);
}

TEST_F(AngleTablesTest, ExactEntries) {
    const AngleTableBlock& t = *AngleTables;
    EXPECT_EQ(t.cosTable[600], 0.5f);
    EXPECT_EQ(t.sinTable[300], 0.5f);
    EXPECT_EQ(t.tanTable[450], 1.0f);
    EXPECT_EQ(t.tanTable[1350], -1.0f);
    EXPECT_EQ(t.tanTable[0], 0.0f);
    EXPECT_EQ(t.cosTable[0], 1.0f);
    EXPECT_EQ(t.sinTable[900], 1.0f);
    EXPECT_EQ(t.cosTable[1800], -1.0f);
    EXPECT_EQ(t.sinTable[2700], -1.0f);
    EXPECT_LT(std::fabs(t.tanTable[1800]), 1e-12f) << "tan of a half turn is very close to 0";
    for (int32_t i : {900, 2700}) {
        EXPECT_TRUE(std::isfinite(t.tanTable[i])) << i;
        EXPECT_GT(std::fabs(t.tanTable[i]), 1e15f) << i;
    }
}

TEST_F(AngleTablesTest, EveryEntryIsTheNearestSingleOfTheExactValue) {
    const AngleTableBlock& t = *AngleTables;
    for (int32_t i = 0; i < 3600; ++i) {
        ASSERT_TRUE(WithinOneUlp(t.cosTable[i], Exact(cosl, i), 1e-15L)) << "cos " << i;
        ASSERT_TRUE(WithinOneUlp(t.sinTable[i], Exact(sinl, i), 1e-15L)) << "sin " << i;
        // The tangent magnifies the angle's error by 1 + tan^2; at 90 and 270 degrees it has no
        // exact value (see ExactEntries).
        if (i % 1800 == 900) continue;
        const long double tangent = Exact(tanl, i);
        ASSERT_TRUE(WithinOneUlp(t.tanTable[i], tangent, 1e-15L * (1 + tangent * tangent)))
            << "tan " << i;
    }
}

TEST_F(AngleTablesTest, TableReadsWrapIndexesOutsideOneTurn) {
    struct Case {
        int32_t index, same;
        const char* why;
    };
    const Case cases[] = {
        {3599, 3599, "last entry"},
        {3600, 0, "one turn"},
        {4500, 900, "past a turn"},
        {-1, 3599, "just below zero"},
        {-900, 2700, "a negative quarter turn"},
        {INT32_MIN, int32_t(((int64_t(INT32_MIN) % 3600) + 3600) % 3600), "most negative"},
        {INT32_MAX, INT32_MAX % 3600, "largest"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TableCos(c.index), AngleTables->cosTable[c.same]) << c.why;
        EXPECT_EQ(TableSin(c.index), AngleTables->sinTable[c.same]) << c.why;
        EXPECT_EQ(TableTan(c.index), AngleTables->tanTable[c.same]) << c.why;
    }
}

TEST_F(AngleTablesTest, PolarPoint) {
    struct Case {
        int32_t r, angle;
        Point expected;
        const char* why;
    };
    const Case cases[] = {
        {100, 0, {100, 0}, "along x"},
        {100, 900, {0, 100}, "a quarter turn: y grows"},
        {100, 1800, {-100, 0}, "a half turn"},
        {100, 3600, {100, 0}, "one subtraction of 3600"},
        {100, 4500, {0, 100}, "start plus sweep past a full turn"},
        {100, 7199, {100, 0}, "last accepted angle, cos 359.9 = 0.9999985"},
        {5, 600, {2, 4}, "2.5 rounds to even 2, 4.33 to 4"},
        {7, 600, {4, 6}, "3.5 rounds to even 4, not truncated to 3"},
        {3, 600, {2, 3}, "1.5 rounds to 2, 2.598 to 3"},
        {-5, 600, {-2, -4}, "negative ties go to even too"},
        {0, 1234, {0, 0}, "zero radius"},
        {100, -900, {0, -100}, "a negative angle reads the same direction as 2700"},
        {100, 7200, {100, 0}, "two turns wrap to 0 instead of reading past the tables"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PolarPoint(c.r, c.angle), c.expected)
            << c.r << " at " << c.angle << ": " << c.why;
    }
}

TEST_F(AngleTablesTest, PolarPointDirectGivesTheSineTermFirst) {
    struct Case {
        int32_t r, angle;
        Point expected;
        const char* why;
    };
    const Case cases[] = {
        {100, 900, {100, 0}, "sine term first"},
        {100, 0, {0, 100}, "cosine term second"},
        {100, -900, {-100, 0}, "negative angles are not reduced"},
        {100, 4500, {100, 0}, "angles past a turn are not reduced"},
        {1000, 1, {2, 1000}, "sin 0.1 degree * 1000 = 1.745"},
    };
    for (const Case& c : cases) EXPECT_EQ(PolarPointDirect(c.r, c.angle), c.expected) << c.why;
}

TEST(PolarPointRad20, AngleIsInTwentiethsOfARadian) {
    EXPECT_EQ(PolarPointRad20(100, 0), (Point{0, 100}));
    EXPECT_EQ(PolarPointRad20(1000, 20), (Point{841, 540})) << "one radian";
    EXPECT_EQ(PolarPointRad20(1000, -10), (Point{-479, 878})) << "minus half a radian";
}

TEST_F(AngleTablesTest, DivideByTan) {
    struct Case {
        int32_t a, index, expected;
        const char* why;
    };
    const Case cases[] = {
        {1000, 450, 1000, "tan 45 degrees is exactly 1"},
        {1000, 1350, -1000, "tan 135 degrees is exactly -1"},
        {1000, 600, 577, "1000 / 1.732 = 577.35"},
        {1000, 300, 1732, "1000 / 0.577 = 1732.05"},
        {-7, 450, -7, "negative dividend"},
        {1000, 4050, 1000, "index past a turn is wrapped"},
    };
    for (const Case& c : cases) EXPECT_EQ(DivideByTan(c.a, c.index), c.expected) << c.why;
}

TEST_F(AngleTablesTest, DivideByTanOutsideItsDomainIsDefined) {
    // Entry 0 is zero: the quotient is infinite and comes back as the integer-indefinite value.
    EXPECT_EQ(DivideByTan(1000, 0), INT32_MIN);
    EXPECT_EQ(DivideByTan(0, 0), INT32_MIN) << "0 / 0 is NaN";
}

TEST(AngleConversions, Table) {
    EXPECT_DOUBLE_EQ(TenthsToRadians(1800), std::numbers::pi);
    EXPECT_DOUBLE_EQ(TenthsToRadians(-900), -std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(ArcTangent(1, 0), std::numbers::pi / 2) << "the first argument is y";
    EXPECT_DOUBLE_EQ(ArcTangent(0, 1), 0.0);
    EXPECT_EQ(RadiansToTwentieths(std::numbers::pi), 3600);
    EXPECT_EQ(RadiansToTwentieths(-std::numbers::pi / 4), -900);
}

TEST(VectorAngle, HalfTurnIs3600) {
    struct Case {
        int32_t y, x, expected;
        const char* why;
    };
    const Case cases[] = {
        {1, 1, 900, "45 degrees in twentieths of a degree"},
        {0, -1, 3600, "pointing left is a half turn"},
        {-1, 0, -1800, "pointing up (negative y) is minus a quarter turn"},
        {1, 0, 1800, "y comes first"},
        {0, 1, 0, "along x"},
        {-1, -1, -2700, "third quadrant from both signs"},
        {0, 0, 0, "the zero vector"},
    };
    for (const Case& c : cases) EXPECT_EQ(VectorAngle(c.y, c.x), c.expected) << c.why;
}
