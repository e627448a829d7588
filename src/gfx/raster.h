// The software rasterizer: lines, gradient and blended rectangles, raw block copies, and the
// round primitives (arcs, discs, ring bands, ellipse quarters) placed by angle from the angle
// tables. Every pixel goes where PutPixel would put it: no clipping, a point off the surface
// writes pixel (0, 0), in drawing order. BuildAngleTables must have run before the round ones.
// Each operation has a plain per-pixel path and, where it pays, a fast path that yields the very
// same surface; setting VELMORA_NO_FAST_PATHS in the environment switches the fast paths off.
#pragma once
#include <cstdint>

#include "gfx/pixel.h"

// Writes VectorLength(dx, dy) points from (x2, y2) back towards (x1, y1), the start excluded.
// A line whose dx*dx + dy*dy reaches 2^31 (wrapped deltas, true sum) draws nothing.
void DrawLine(const Surface* surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              uint32_t colour);

// Columns x+1..x+width, rows y+1..y+height: row y+height in the colour, each row above brighter
// (component k becomes k + k*i/height, wrapping at 8 bits). A height <= 0 draws nothing.
void FillGradientRect(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
                      uint32_t colour);

// Blends columns x..x+width-1 of rows y..y+height-1 with BlendPixel, row by row, each pixel
// written before the next is read. A width or height <= 0 draws nothing.
void BlendRect(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
               uint32_t colour, uint32_t mode);

// Copies byteCount bytes forwards: 8-byte units (each 32-bit word read just before it is
// written), then the rest byte by byte. Overlap smears forwards. Under 8 bytes copies exactly
// byteCount bytes; byteCount <= 0 copies nothing.
void CopyBlock(void* destination, const void* source, int32_t byteCount);

// count points at angles startAngle, startAngle+1, ... on the circle of the given radius.
// count <= 0, or angles outside 0..7199 (startAngle < 0, startAngle+count-1 > 7199), draw nothing.
void DrawArc(const Surface* surface, int32_t centreX, int32_t centreY, int32_t radius,
             int32_t startAngle, int32_t count, uint32_t colour);

// Rings of radius R down to 0, each 900 angles mirrored into four quadrants; the outer ring in
// the colour as given, inner rings brighter. Rings whose colour is 0 or negative write nothing.
// A radius <= 0 draws nothing.
void FillDisc(const Surface* surface, int32_t centreX, int32_t centreY, int32_t radius,
              uint32_t colour);

// ringCount rings of radii innerRadius, innerRadius+1, ..., each pointsPerRing points from
// startAngle; ring k has each component v as v + v*(ringCount-k)/ringCount (8-bit wrap).
// Counts <= 0, or angles outside 0..7199, draw nothing.
void FillArcBand(const Surface* surface, int32_t centreX, int32_t centreY, int32_t innerRadius,
                 int32_t ringCount, int32_t startAngle, int32_t pointsPerRing, uint32_t colour);

// Quarter ellipse from angle 90.0 down to 0.1 degrees (the bottom point first; angle 0 not drawn).
void DrawEllipseQuarter(const Surface* surface, int32_t centreX, int32_t centreY, int32_t radiusH,
                        int32_t radiusV, uint32_t colour);

// Parameters of DrawOpposedQuarters, filled by its caller; all zero at start.
struct QuarterArcRecord {
    uint32_t done;  // set to 1 when the drawing is finished
    int32_t centreX;
    int32_t centreY;
    uint32_t colour;
    int32_t radiusV;  // multiplies the cosine
    int32_t radiusH;  // multiplies the sine
    Surface surface;  // drawn on as a whole record
};
extern QuarterArcRecord QuarterArcParams;

// The upper-right and the opposite lower-left quarters of the ellipse in QuarterArcParams, with
// directly computed sines and cosines; then sets done. Not reentrant.
void DrawOpposedQuarters();
