#include "geom/angles.h"

#include <cmath>
#include <new>
#include <numbers>

AngleTableBlock* AngleTables = nullptr;
VertexListState VertexList = {nullptr, 0, 0};

namespace {
int32_t RoundToInt(double value) { return int32_t(std::nearbyint(value)); }
}  // namespace

double TenthsToRadians(int32_t angle) { return (angle / 10.0) * (std::numbers::pi / 180.0); }

void BuildAngleTables() {
    if (!AngleTables) AngleTables = new (std::nothrow) AngleTableBlock;
    if (!AngleTables) return;
    for (int32_t i = 0; i < ANGLE_STEPS; ++i) {
        const double theta = TenthsToRadians(i);
        AngleTables->cosTable[i] = float(std::cos(theta));
        AngleTables->sinTable[i] = float(std::sin(theta));
        AngleTables->tanTable[i] = float(std::tan(theta));
    }
    VertexList = {AngleTables->vertexStorage, 0, VERTEX_CAPACITY_BYTES};
}

float TableCos(int32_t index) { return AngleTables->cosTable[index]; }
float TableSin(int32_t index) { return AngleTables->sinTable[index]; }
float TableTan(int32_t index) { return AngleTables->tanTable[index]; }

Point PolarPoint(int32_t r, int32_t angle) {
    if (angle >= ANGLE_STEPS) angle -= ANGLE_STEPS;
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
    return RoundToInt(a / double(AngleTables->tanTable[index]));
}

double ArcTangent(int32_t y, int32_t x) { return std::atan2(double(y), double(x)); }

int32_t RadiansToTwentieths(double angle) { return RoundToInt(angle * 3600.0 / std::numbers::pi); }

int32_t VectorAngle(int32_t y, int32_t x) { return RadiansToTwentieths(ArcTangent(y, x)); }
