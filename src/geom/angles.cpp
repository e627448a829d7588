#include "geom/angles.h"

#include <cmath>
#include <numbers>

AngleTableBlock* AngleTables = nullptr;

namespace {
// The tables and the vertex storage: made once, never freed.
AngleTableBlock TableBlock;

// Any index outside one turn is brought into it, so a caller past its limits reads the entry of
// the same direction and never memory outside the tables.
int32_t WrapIndex(int32_t index) {
    if (uint32_t(index) < uint32_t(ANGLE_STEPS)) return index;
    const int32_t wrapped = index % ANGLE_STEPS;
    return wrapped < 0 ? wrapped + ANGLE_STEPS : wrapped;
}
}  // namespace

double TenthsToRadians(int32_t angle) {
    return (angle / 10.0) * (std::numbers::pi / 180.0);
}

void BuildAngleTables() {
    AngleTables = &TableBlock;
    for (int32_t i = 0; i < ANGLE_STEPS; ++i) {
        const double theta = TenthsToRadians(i);
        AngleTables->cosTable[i] = float(std::cos(theta));
        AngleTables->sinTable[i] = float(std::sin(theta));
    }
    for (int32_t i = 0; i < ANGLE_STEPS; ++i) {
        AngleTables->tanTable[i] = float(std::tan(TenthsToRadians(i)));
    }
    VertexList = {AngleTables->vertexStorage, 0, VERTEX_CAPACITY_BYTES};
}

float TableCos(int32_t index) {
    return AngleTables->cosTable[WrapIndex(index)];
}
float TableSin(int32_t index) {
    return AngleTables->sinTable[WrapIndex(index)];
}
float TableTan(int32_t index) {
    return AngleTables->tanTable[WrapIndex(index)];
}

Point PolarPoint(int32_t r, int32_t angle) {
    // One subtraction lets a start angle plus a sweep pass one full turn.
    if (angle >= ANGLE_STEPS) angle -= ANGLE_STEPS;
    angle = WrapIndex(angle);
    return {RoundToInt(r * double(AngleTables->cosTable[angle])),
            RoundToInt(r * double(AngleTables->sinTable[angle]))};
}

Point PolarPointDirect(int32_t r, int32_t angle) {
    const double theta = angle * std::numbers::pi / 1800.0;
    return {RoundToInt(r * std::sin(theta)), RoundToInt(r * std::cos(theta))};
}

Point PolarPointRad20(int32_t r, int32_t angle) {
    const double theta = angle / 20.0;
    return {RoundToInt(r * std::sin(theta)), RoundToInt(r * std::cos(theta))};
}

int32_t DivideByTan(int32_t a, int32_t index) {
    return RoundToInt(a / double(TableTan(index)));
}

double ArcTangent(int32_t y, int32_t x) {
    return std::atan2(double(y), double(x));
}

int32_t RadiansToTwentieths(double angle) {
    return RoundToInt(angle * 3600.0 / std::numbers::pi);
}

int32_t VectorAngle(int32_t y, int32_t x) {
    return RadiansToTwentieths(ArcTangent(y, x));
}
