// Small integer operations on numbers, points and pairs shared by the rasterizer, the layers and
// the splash. Wrap-around arithmetic is done on unsigned values so it is defined behaviour.
#pragma once
#include <cmath>
#include <cstdint>

struct Point {
    int32_t x;
    int32_t y;
    bool operator==(const Point&) const = default;
};

// Nearest integer, ties to even. NaN and values outside the 32-bit range give INT32_MIN (the
// integer-indefinite value of the x87 store), so a caller outside its domain gets a defined value.
inline int32_t RoundToInt(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return INT32_MIN;
    return int32_t(rounded);
}

// The full unsigned 64-bit product; callers use its low 32 bits.
uint64_t MulWide(uint32_t a, uint32_t b);
// (a * m / n, b * m / n): 64-bit products, quotients truncated toward zero. Needs n != 0.
Point ScalePair(int32_t a, int32_t b, int32_t n, int32_t m);
// (x1 - x0, y1 - y0) with 32-bit wrap-around.
Point PointDelta(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
// sqrt(a*a + b*b) rounded to nearest even; the squares and their sum wrap at 32 bits and are read
// as a signed number. A sum that wraps negative (a*a + b*b >= 2^31) gives 0.
int32_t VectorLength(int32_t a, int32_t b);
// (a * m) / b with a 64-bit product, truncated; the divisor is the second argument. Needs b != 0.
uint32_t MulDivUnsigned(uint32_t a, uint32_t b, uint32_t m);
// 1 when left <= px <= left + width and top <= py <= top + height (edges included), else -1.
// px and py are compared signed with the left and top, unsigned with the far edges.
int32_t PointInRect(int32_t px, int32_t py, int32_t left, int32_t top, int32_t width,
                    int32_t height);
// (a / 2, b / 2) by logical shift.
Point HalvePair(uint32_t a, uint32_t b);
// Type 1: (-x, y); type 2: (-x, -y); type 3: (x, -y); any other type returns (x, y) unchanged.
Point MirrorQuadrant(int32_t x, int32_t y, int32_t type);
// Reads hexadecimal text (0-9, a-f, A-F) that ends at a NUL or a carriage return.
// 1 with *value set; -1, *value untouched, for no digits, any other byte, over 32 bits, or null.
int32_t ParseHex(const char* text, uint32_t* value);
