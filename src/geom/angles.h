// Angle tables: cosine, sine and tangent of every tenth of a degree in single precision, built
// once by BuildAngleTables so circle drawing turns an angle and a radius into a point with two
// table reads. Also the direct (table-free) trigonometric variants. Angles are integers in tenths
// of a degree; every real-to-integer conversion rounds to nearest, ties to even.
#pragma once
#include <cstdint>

#include "geom/integer_ops.h"
#include "geom/vertex.h"

constexpr int32_t ANGLE_STEPS = 3600;  // table entries: one full turn in tenths of a degree

struct AngleTableBlock {
    float cosTable[ANGLE_STEPS];
    float sinTable[ANGLE_STEPS];
    float tanTable[ANGLE_STEPS];
    Vertex vertexStorage[VERTEX_CAPACITY_BYTES / sizeof(Vertex)];  // owned by VertexList
};
// Null until BuildAngleTables has run; then read-only and never freed.
extern AngleTableBlock* AngleTables;

// Points AngleTables at the block and fills the tables; empties the vertex list. Every call uses
// the same block.
// The block is reserved in static storage, so there is no allocation that could fail.
void BuildAngleTables();

double TenthsToRadians(int32_t angle);
// Table reads take indexes 0..3599; any other index is wrapped into one turn rather than read
// from beside the tables.
float TableCos(int32_t index);
float TableSin(int32_t index);
float TableTan(int32_t index);
// (r * cos, r * sin) from the tables; angles 3600..7199 are taken as 0..3599 (one subtraction),
// angles outside 0..7199 are wrapped like the table reads.
Point PolarPoint(int32_t r, int32_t angle);
// (r * sin, r * cos) computed directly: note the order, sine term first.
Point PolarPointDirect(int32_t r, int32_t angle);
// (r * sin, r * cos) with the angle in twentieths of a radian, computed directly.
Point PolarPointRad20(int32_t r, int32_t angle);
// a / tanTable[index], rounded. Index 0 and those next to 1800 are outside its domain.
int32_t DivideByTan(int32_t a, int32_t index);
// Angle of the vector (x, y) in radians, -pi..pi; y is the first argument.
double ArcTangent(int32_t y, int32_t x);
// angle * 3600 / pi, rounded: a half turn is 3600.
int32_t RadiansToTwentieths(double angle);
int32_t VectorAngle(int32_t y, int32_t x);
