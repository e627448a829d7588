// The vertex list: one global list of integer 3D vertices with colours, kept in the angle-table
// block, and the perspective wireframes drawn through it (a projection, an open path, a box).
// The list is empty and usable once BuildAngleTables has run; before that it refuses every vertex.
#pragma once
#include <cstdint>

#include "geom/integer_ops.h"

struct Surface;

struct Vertex {
    int32_t x;        // 0 at the projection centre
    int32_t y;        // 0 at the projection centre, growing with surface rows
    int32_t depth;    // z + 512; the projection divides by it
    uint32_t colour;  // colour word of the target surface's format
    bool operator==(const Vertex&) const = default;
};

constexpr int32_t VERTEX_CAPACITY_BYTES = 160000;  // room for 10000 records
constexpr int32_t VERTEX_DEPTH_OFFSET = 512;       // depth = z + 512: z = 0 lies at depth 512

struct VertexListState {
    Vertex* storage;   // inside the AngleTables block
    int32_t count;     // records in use
    int32_t capacity;  // bytes of storage
};
extern VertexListState VertexList;

// Replaces the list with n records copied as they are (depth already z + 512); 0, or -1 with the
// list unchanged when n >= 10000.
// n = 0 empties the list; a negative n, or a null source with n > 0, gives -1, list unchanged.
int32_t LoadVertices(const Vertex* source, int32_t n);
// Appends (x, y, z + 512, colour); 0, or -1 with the list unchanged when it is full.
int32_t AddVertex(int32_t x, int32_t y, int32_t z, uint32_t colour);
// Copies record index to destination and returns 0.
// An index outside 0..count-1 zero-fills destination and returns -1; no read outside the list.
int32_t GetVertex(Vertex* destination, int32_t index);
int32_t GetVertexCount();
// Empties the list; the storage keeps its old contents.
void ClearVertices();

// Perspective projection of (x, y) at depth onto a width x height surface:
// width / tan * x / depth + width / 2, and the same with height for y. There is no clipping:
// a negative depth mirrors the point through the centre. A depth of 0 lands far off the surface.
Point ProjectPoint(int32_t x, int32_t y, int32_t depth, int32_t width, int32_t height,
                   int32_t angle);
// Projects the listed vertices in order (angle index 450, 90 degrees of view) and joins each to
// the next with a line in the colour of its first vertex: an open path of count - 1 segments.
void DrawVertexPath(const Surface* surface);
// A wireframe box of 12 edges: front face centred on (x, y) at distance z, back face at
// z + length. It draws through the shared list (vertices already there start the front face's
// path) and leaves it empty; a negative z draws nothing and leaves the list alone.
void DrawWireBox(const Surface* surface, int32_t x, int32_t y, int32_t z, int32_t width,
                 int32_t height, int32_t length, uint32_t colour);

struct Point3 {
    int32_t x;
    int32_t y;
    int32_t z;
    bool operator==(const Point3&) const = default;
};
// Rotates (x, y, z) about the three axes with the table values, rounded once at the end.
// Order: (y, z) by a, then (x, z) by b, then (x, y) by c; each turns its first axis to its second.
Point3 RotatePoint(int32_t x, int32_t y, int32_t z, int32_t a, int32_t b, int32_t c);
