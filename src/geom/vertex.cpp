#include "geom/vertex.h"

#include <cstring>

#include "geom/angles.h"
#include "gfx/pixel.h"
#include "gfx/raster.h"

// Empty with no room until BuildAngleTables hands it the storage of the table block.
VertexListState VertexList = {nullptr, 0, 0};

namespace {
constexpr int32_t VERTEX_BYTES = int32_t(sizeof(Vertex));
constexpr int32_t VIEW_ANGLE_INDEX = 450;  // tangent 1.0: x = +-256 at z = 0 reaches the edges

int32_t WrapAdd(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) + uint32_t(b));
}
int32_t WrapSub(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) - uint32_t(b));
}
}  // namespace

int32_t LoadVertices(const Vertex* source, int32_t n) {
    // The batch bound is one record below what AddVertex accepts (9999 against 10000).
    if (n < 0 || n >= VertexList.capacity / VERTEX_BYTES) return -1;
    if (n > 0 && !source) return -1;
    if (n > 0) std::memmove(VertexList.storage, source, size_t(n) * sizeof(Vertex));
    VertexList.count = n;
    return 0;
}

int32_t AddVertex(int32_t x, int32_t y, int32_t z, uint32_t colour) {
    if (VertexList.count * VERTEX_BYTES >= VertexList.capacity) return -1;
    VertexList.storage[VertexList.count] = {x, y, WrapAdd(z, VERTEX_DEPTH_OFFSET), colour};
    ++VertexList.count;
    return 0;
}

int32_t GetVertex(Vertex* destination, int32_t index) {
    if (!destination) return -1;
    if (index < 0 || index >= VertexList.count) {
        *destination = {};
        return -1;
    }
    *destination = VertexList.storage[index];
    return 0;
}

int32_t GetVertexCount() {
    return VertexList.count;
}

void ClearVertices() {
    VertexList.count = 0;
}

Point ProjectPoint(int32_t x, int32_t y, int32_t depth, int32_t width, int32_t height,
                   int32_t angle) {
    const int32_t focalX = DivideByTan(width, angle);
    const int32_t focalY = DivideByTan(height, angle);
    const Point centre = HalvePair(uint32_t(width), uint32_t(height));
    const int32_t px = RoundToInt(double(focalX) * x / depth);
    const int32_t py = RoundToInt(double(focalY) * y / depth);
    return {WrapAdd(px, centre.x), WrapAdd(py, centre.y)};
}

void DrawVertexPath(const Surface* surface) {
    const int32_t n = VertexList.count;
    const int32_t width = int32_t(surface->width), height = int32_t(surface->height);
    for (int32_t i = 0; i + 1 < n; ++i) {
        Vertex from, to;
        GetVertex(&from, i);
        GetVertex(&to, i + 1);
        const Point a = ProjectPoint(from.x, from.y, from.depth, width, height, VIEW_ANGLE_INDEX);
        const Point b = ProjectPoint(to.x, to.y, to.depth, width, height, VIEW_ANGLE_INDEX);
        DrawLine(surface, a.x, a.y, b.x, b.y, from.colour);
    }
}

void DrawWireBox(const Surface* surface, int32_t x, int32_t y, int32_t z, int32_t width,
                 int32_t height, int32_t length, uint32_t colour) {
    if (z < 0) return;
    const int32_t halfWidth = int32_t(uint32_t(width) >> 1);
    const int32_t halfHeight = int32_t(uint32_t(height) >> 1);
    const int32_t left = WrapSub(x, halfWidth), right = WrapAdd(x, halfWidth);
    const int32_t top = WrapSub(y, halfHeight), bottom = WrapAdd(y, halfHeight);
    const int32_t back = WrapAdd(z, length);
    const Point corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};

    // The two faces, each a closed loop of five points.
    const int32_t faceDistances[2] = {z, back};
    for (const int32_t faceZ : faceDistances) {
        for (int32_t i = 0; i <= 4; ++i) {
            const Point& corner = corners[i % 4];
            AddVertex(corner.x, corner.y, faceZ, colour);
        }
        DrawVertexPath(surface);
        ClearVertices();
    }
    // The four edges along z.
    for (const Point& corner : corners) {
        AddVertex(corner.x, corner.y, z, colour);
        AddVertex(corner.x, corner.y, back, colour);
        DrawVertexPath(surface);
        ClearVertices();
    }
}

Point3 RotatePoint(int32_t x, int32_t y, int32_t z, int32_t a, int32_t b, int32_t c) {
    // Turning (u, v) by an angle: u' = u cos - v sin, v' = u sin + v cos.
    auto turn = [](double& u, double& v, int32_t angle) {
        const double cosine = TableCos(angle), sine = TableSin(angle);
        const double turnedU = u * cosine - v * sine;
        v = u * sine + v * cosine;
        u = turnedU;
    };
    double px = x, py = y, pz = z;
    turn(py, pz, a);
    turn(px, pz, b);
    turn(px, py, c);
    return {RoundToInt(px), RoundToInt(py), RoundToInt(pz)};
}
