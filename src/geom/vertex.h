// The vertex list: one global list of integer 3D vertices with colours, kept in the angle-table
// block, and the perspective wireframes drawn through it (a projection, an open path, a box).
#pragma once
#include <cstdint>

struct Vertex {
    int32_t x;       // 0 at the projection centre
    int32_t y;       // 0 at the projection centre, growing with surface rows
    int32_t depth;   // z + 512; the projection divides by it
    uint32_t colour; // colour word of the target surface's format
};

constexpr int32_t VERTEX_CAPACITY_BYTES = 160000;  // room for 10000 records

struct VertexListState {
    Vertex* storage;   // inside the AngleTables block
    int32_t count;     // records in use
    int32_t capacity;  // bytes of storage
};
extern VertexListState VertexList;
