#include "geom/integer_ops.h"

#include <cmath>

uint64_t MulWide(uint32_t a, uint32_t b) {
    return uint64_t(a) * b;
}

Point ScalePair(int32_t a, int32_t b, int32_t n, int32_t m) {
    return {int32_t(int64_t(a) * m / n), int32_t(int64_t(b) * m / n)};
}

Point PointDelta(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    return {int32_t(uint32_t(x1) - uint32_t(x0)), int32_t(uint32_t(y1) - uint32_t(y0))};
}

int32_t VectorLength(int32_t a, int32_t b) {
    const uint32_t ua = uint32_t(a), ub = uint32_t(b);
    const int32_t sum = int32_t(ua * ua + ub * ub);
    // A sum past 2^31 - 1 reads negative; its square root would be NaN, so such lengths are 0.
    if (sum <= 0) return 0;
    return RoundToInt(std::sqrt(double(sum)));
}

uint32_t MulDivUnsigned(uint32_t a, uint32_t b, uint32_t m) {
    return uint32_t(uint64_t(a) * m / b);
}

int32_t PointInRect(int32_t px, int32_t py, int32_t left, int32_t top, int32_t width,
                    int32_t height) {
    if (px < left) return -1;
    if (py < top) return -1;
    if (uint32_t(px) > uint32_t(left) + uint32_t(width)) return -1;
    if (uint32_t(py) > uint32_t(top) + uint32_t(height)) return -1;
    return 1;
}

Point HalvePair(uint32_t a, uint32_t b) {
    return {int32_t(a >> 1), int32_t(b >> 1)};
}

Point MirrorQuadrant(int32_t x, int32_t y, int32_t type) {
    const int32_t nx = int32_t(0u - uint32_t(x)), ny = int32_t(0u - uint32_t(y));
    switch (type) {
        case 1:
            return {nx, y};
        case 2:
            return {nx, ny};
        case 3:
            return {x, ny};
        default:
            return {x, y};
    }
}

int32_t ParseHex(const char* text, uint32_t* value) {
    if (!text || !value) return -1;
    uint32_t result = 0;
    int32_t digits = 0;
    for (const char* p = text; *p != '\0' && *p != '\r'; ++p) {
        const char c = *p;
        uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = uint32_t(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = uint32_t(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = uint32_t(c - 'A' + 10);
        } else {
            return -1;
        }
        if (result > 0x0FFFFFFFu) return -1;  // a fifth nibble would be shifted out
        result = (result << 4) | digit;
        ++digits;
    }
    if (digits == 0) return -1;
    *value = result;
    return 1;
}
