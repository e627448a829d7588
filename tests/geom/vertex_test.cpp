#include "geom/vertex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geom/angles.h"
#include "gfx/raster.h"
#include "support/owned_surface.h"

namespace {
constexpr uint32_t BACKGROUND = 0x00111111;
constexpr uint32_t RED = 0x00FF0000, GREEN = 0x0000FF00, BLUE = 0x000000FF, WHITE = 0x00FFFFFF;

struct Segment {
    int32_t x1, y1, x2, y2;
    uint32_t colour;
};

// The surface that the given DrawLine calls make, in order.
OwnedSurface DrawnWith(uint32_t width, uint32_t height, const std::vector<Segment>& segments) {
    OwnedSurface s(width, height, 32, BACKGROUND);
    for (const Segment& g : segments) DrawLine(&s, g.x1, g.y1, g.x2, g.y2, g.colour);
    return s;
}

bool Contains(const OwnedSurface& s, uint32_t colour) {
    for (uint32_t y = 0; y < s.surface.height; ++y)
        for (uint32_t x = 0; x < s.surface.width; ++x)
            if (s.at(int32_t(x), int32_t(y)) == colour) return true;
    return false;
}

std::vector<Vertex> ListContents() {
    std::vector<Vertex> out(static_cast<size_t>(GetVertexCount()));
    for (int32_t i = 0; i < GetVertexCount(); ++i) GetVertex(&out[size_t(i)], i);
    return out;
}

class VertexListTest : public ::testing::Test {
  protected:
    void SetUp() override { BuildAngleTables(); }
    void TearDown() override { BuildAngleTables(); }
};
}  // namespace

TEST_F(VertexListTest, AddVertexStoresDepthAsZPlus512) {
    ASSERT_EQ(AddVertex(1, 2, 3, RED), 0);
    ASSERT_EQ(AddVertex(-4, -5, -512, GREEN), 0);
    ASSERT_EQ(GetVertexCount(), 2);
    Vertex v{};
    EXPECT_EQ(GetVertex(&v, 0), 0);
    EXPECT_EQ(v, (Vertex{1, 2, 515, RED}));
    EXPECT_EQ(GetVertex(&v, 1), 0);
    EXPECT_EQ(v, (Vertex{-4, -5, 0, GREEN}));
    EXPECT_EQ(VertexList.storage[1], v) << "records lie in the table block's storage";
}

TEST_F(VertexListTest, AddVertexRefusesThe10001stVertex) {
    for (int32_t i = 0; i < 10000; ++i) ASSERT_EQ(AddVertex(i, -i, i, uint32_t(i)), 0) << i;
    EXPECT_EQ(AddVertex(7, 7, 7, 7), -1);
    EXPECT_EQ(GetVertexCount(), 10000);
    Vertex last{};
    GetVertex(&last, 9999);
    EXPECT_EQ(last, (Vertex{9999, -9999, 9999 + 512, 9999}));
}

TEST_F(VertexListTest, LoadVertices) {
    const std::vector<Vertex> before = {{1, 1, 513, RED}, {2, 2, 514, GREEN}};
    std::vector<Vertex> batch(10000);
    for (size_t i = 0; i < batch.size(); ++i) {
        batch[i] = {int32_t(i), -int32_t(i), int32_t(i) * 3, uint32_t(i) ^ 0xABCDu};
    }
    struct Case {
        const Vertex* source;
        int32_t n, result, count;
        const char* why;
    };
    const Case cases[] = {
        {batch.data(), 10000, -1, 2, "one record below what AddVertex holds: refused"},
        {batch.data(), 9999, 0, 9999, "largest batch"},
        {batch.data(), 1, 0, 1, "one record"},
        {batch.data(), 0, 0, 0, "zero records empty the list"},
        {nullptr, 0, 0, 0, "zero records need no source"},
        {batch.data(), -1, -1, 2, "a negative count is refused"},
        {nullptr, 3, -1, 2, "no source to copy from"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(LoadVertices(before.data(), 2), 0);
        EXPECT_EQ(LoadVertices(c.source, c.n), c.result) << c.why;
        ASSERT_EQ(GetVertexCount(), c.count) << c.why;
        const std::vector<Vertex> expected =
            c.result == 0 ? std::vector<Vertex>(batch.begin(), batch.begin() + c.n) : before;
        EXPECT_EQ(ListContents(), expected) << c.why;
    }
}

TEST_F(VertexListTest, GetVertexOutsideTheListReadsNothing) {
    ASSERT_EQ(AddVertex(1, 2, 3, RED), 0);
    ASSERT_EQ(AddVertex(4, 5, 6, GREEN), 0);
    ClearVertices();
    ASSERT_EQ(AddVertex(7, 8, 9, BLUE), 0);  // record 1 still holds (4, 5, 518) in storage
    for (int32_t index : {-1, 1, 2, 10000, INT32_MAX, INT32_MIN}) {
        Vertex v{9, 9, 9, 9};
        EXPECT_EQ(GetVertex(&v, index), -1) << index;
        EXPECT_EQ(v, (Vertex{0, 0, 0, 0})) << index;
    }
    Vertex v{};
    EXPECT_EQ(GetVertex(&v, 0), 0);
    EXPECT_EQ(v, (Vertex{7, 8, 521, BLUE})) << "clearing restarts the list at record 0";
    EXPECT_EQ(GetVertex(nullptr, 0), -1);
}

TEST_F(VertexListTest, ListBeforeTheTablesAreBuiltRefusesVertices) {
    VertexList = {nullptr, 0, 0};
    EXPECT_EQ(AddVertex(1, 2, 3, RED), -1);
    const Vertex one{1, 2, 515, RED};
    EXPECT_EQ(LoadVertices(&one, 1), -1);
    EXPECT_EQ(GetVertexCount(), 0);
    Vertex v{};
    EXPECT_EQ(GetVertex(&v, 0), -1);
    OwnedSurface s(8, 8, 32, BACKGROUND);
    DrawVertexPath(&s);
    DrawWireBox(&s, 0, 0, 0, 10, 10, 10, RED);
    EXPECT_TRUE(s == OwnedSurface(8, 8, 32, BACKGROUND));
}

TEST_F(VertexListTest, ProjectPoint) {
    struct Case {
        int32_t x, y, depth, width, height, angle;
        Point expected;
        const char* why;
    };
    const Case cases[] = {
        {0, 0, 512, 1024, 768, 450, {512, 384}, "the origin lands on the centre"},
        {256, 192, 512, 1024, 768, 450, {1024, 672}, "x and y scale with width and height"},
        {-256, 0, 512, 1024, 768, 450, {0, 384}, "x = -256 at z = 0 is the left edge"},
        {0, -256, 512, 1024, 768, 450, {512, 0}, "y = -256 at z = 0 is the top edge"},
        {1, 0, 4, 10, 10, 450, {7, 5}, "2.5 rounds to even 2"},
        {-1, 0, 4, 10, 10, 450, {3, 5}, "-2.5 rounds to even -2"},
        {3, 0, 4, 10, 10, 450, {13, 5}, "7.5 rounds to even 8"},
        {0, 0, 512, 1025, 767, 450, {512, 383}, "halves truncated"},
        {256, 0, 1024, 1024, 768, 450, {768, 384}, "twice as deep, half as far out"},
        {256, 128, -512, 1024, 768, 450, {0, 192}, "negative depth mirrors through the centre"},
        {512, 0, 512, 1024, 768, 600, {1103, 384}, "60 degrees: 1024 / tan = 591.2 -> 591"},
        {1, 0, 0, 10, 10, 450, {INT32_MIN + 5, INT32_MIN + 5}, "depth 0: far off, not a fault"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProjectPoint(c.x, c.y, c.depth, c.width, c.height, c.angle), c.expected) << c.why;
    }
}

// On a 64 x 64 surface a vertex at z = 0 (depth 512) lands on (x / 8 + 32, y / 8 + 32).
TEST_F(VertexListTest, DrawVertexPathJoinsEachVertexToTheNextInItsColour) {
    struct Input {
        int32_t x, y, z;
        uint32_t colour;
    };
    struct Case {
        std::vector<Input> vertices;
        std::vector<Segment> expected;
        const char* why;
    };
    const Case cases[] = {
        {{}, {}, "no vertex, nothing drawn"},
        {{{-128, -128, 0, RED}}, {}, "one vertex, nothing drawn"},
        {{{-128, -128, 0, RED}, {128, 128, 0, WHITE}},
         {{16, 16, 48, 48, RED}},
         "one segment in the first vertex's colour"},
        {{{-128, -128, 0, RED}, {128, -128, 0, GREEN}, {-128, -128, 0, BLUE}, {128, 128, 0, WHITE}},
         {{16, 16, 48, 16, RED}, {48, 16, 16, 16, GREEN}, {16, 16, 48, 48, BLUE}},
         "segments in list order: the way back overdraws the way out; the path stays open"},
        {{{0, 0, 0, RED}, {1000, 0, 512, GREEN}, {0, 128, 512, BLUE}},
         {{32, 32, 94, 32, RED}, {94, 32, 32, 40, GREEN}},
         "a deeper vertex off the surface: 62.5 rounds to 62, DrawLine handles the rest"},
    };
    for (const Case& c : cases) {
        ClearVertices();
        for (const Input& v : c.vertices) ASSERT_EQ(AddVertex(v.x, v.y, v.z, v.colour), 0);
        OwnedSurface s(64, 64, 32, BACKGROUND);
        DrawVertexPath(&s);
        EXPECT_TRUE(s == DrawnWith(64, 64, c.expected)) << c.why;
        EXPECT_FALSE(Contains(s, WHITE)) << "the last vertex's colour is not used: " << c.why;
        EXPECT_EQ(GetVertexCount(), int32_t(c.vertices.size())) << "the path keeps the list";
    }
}

// A 128 x 128 surface projects (x, y) at z = 0 to (x / 4 + 64, y / 4 + 64) and at z = 512 to
// (x / 8 + 64, y / 8 + 64). The box centred on (64, -32), 65 x 33 (halves 32 and 16), has its
// front face at x 72..88, y 52..60 and its back face at x 68..76, y 58..62.
TEST_F(VertexListTest, DrawWireBoxDrawsTwelveEdgesAndLeavesTheListEmpty) {
    const std::vector<Segment> box = {
        {72, 52, 88, 52, RED}, {88, 52, 88, 60, RED}, {88, 60, 72, 60, RED}, {72, 60, 72, 52, RED},
        {68, 58, 76, 58, RED}, {76, 58, 76, 62, RED}, {76, 62, 68, 62, RED}, {68, 62, 68, 58, RED},
        {72, 52, 68, 58, RED}, {88, 52, 76, 58, RED}, {88, 60, 76, 62, RED}, {72, 60, 68, 62, RED},
    };
    OwnedSurface s(128, 128, 32, BACKGROUND);
    DrawWireBox(&s, 64, -32, 0, 65, 33, 512, RED);
    EXPECT_TRUE(s == DrawnWith(128, 128, box));
    EXPECT_EQ(GetVertexCount(), 0);

    // A vertex already in the list starts the front face's path and is cleared with it.
    std::vector<Segment> withLead = {{64, 64, 72, 52, GREEN}};
    withLead.insert(withLead.end(), box.begin(), box.end());
    ASSERT_EQ(AddVertex(0, 0, 0, GREEN), 0);
    OwnedSurface led(128, 128, 32, BACKGROUND);
    DrawWireBox(&led, 64, -32, 0, 65, 33, 512, RED);
    EXPECT_TRUE(led == DrawnWith(128, 128, withLead));
    EXPECT_EQ(GetVertexCount(), 0);
}

TEST_F(VertexListTest, DrawWireBoxBehindTheEyeDrawsNothing) {
    const std::vector<Vertex> before = {{1, 2, 3, RED}, {4, 5, 6, GREEN}, {7, 8, 9, BLUE}};
    ASSERT_EQ(LoadVertices(before.data(), 3), 0);
    OwnedSurface s(64, 64, 32, BACKGROUND);
    DrawWireBox(&s, 0, 0, -1, 32, 32, 32, WHITE);
    EXPECT_TRUE(s == OwnedSurface(64, 64, 32, BACKGROUND));
    EXPECT_EQ(ListContents(), before);
}

TEST_F(VertexListTest, RotatePointTurnsEachPlaneInOrder) {
    struct Case {
        int32_t x, y, z, a, b, c;
        Point3 expected;
        const char* why;
    };
    const Case cases[] = {
        {1, 2, 3, 0, 0, 0, {1, 2, 3}, "no turn"},
        {100, 0, 0, 0, 0, 900, {0, 100, 0}, "(x, y) plane: x turns toward y"},
        {0, 100, 0, 900, 0, 0, {0, 0, 100}, "(y, z) plane: y turns toward z"},
        {100, 0, 0, 0, 900, 0, {0, 0, 100}, "(x, z) plane: x turns toward z"},
        {0, 100, 0, 900, 900, 0, {-100, 0, 0}, "(y, z) first, then (x, z)"},
        {0, 100, 0, 900, 900, 900, {0, -100, 0}, "then (x, y) last"},
        {1000, 0, 0, 0, 0, 600, {500, 866, 0}, "rounded once at the end"},
        {100, 0, 0, 0, 0, -900, {0, -100, 0}, "negative angles wrap like the tables"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RotatePoint(c.x, c.y, c.z, c.a, c.b, c.c), c.expected) << c.why;
    }
    // A turn keeps the distance from the origin, up to the rounding of each coordinate.
    const Point3 p = RotatePoint(300, -400, 1200, 123, 2345, 3333);
    const double length = std::sqrt(double(p.x) * p.x + double(p.y) * p.y + double(p.z) * p.z);
    EXPECT_NEAR(length, 1300.0, 1.0);
}
