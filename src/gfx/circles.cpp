// Arcs, discs, ring bands and ellipse quarters, placed by angle with PolarPoint.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <vector>

#include "geom/angles.h"
#include "gfx/fast_paths.h"
#include "gfx/raster.h"

QuarterArcRecord QuarterArcParams = {};

namespace {

constexpr int32_t LAST_ANGLE = 2 * ANGLE_STEPS - 1;  // PolarPoint takes 0..7199

// True when startAngle .. startAngle + count - 1 all lie in 0..7199 and count >= 1.
bool AnglesInRange(int32_t startAngle, int32_t count) {
    return count >= 1 && startAngle >= 0 && int64_t(startAngle) + count - 1 <= LAST_ANGLE;
}

void PutAt(const Surface* surface, int32_t centreX, int32_t centreY, int32_t x, int32_t y,
           uint32_t colour) {
    PutPixel(surface, WrapAdd(centreX, x), WrapAdd(centreY, y), colour);
}

// ---- Plain paths ------------------------------------------------------------------------------

// Ring colour after ring k of a disc of radius R: each component v becomes v + v*k/R.
uint32_t DiscRingColour(const uint32_t components[3], int32_t radius, int32_t k, uint32_t depth) {
    const uint32_t r = uint32_t(radius), step = uint32_t(k);
    return PackColour(components[0] + MulDivUnsigned(components[0], r, step),
                      components[1] + MulDivUnsigned(components[1], r, step),
                      components[2] + MulDivUnsigned(components[2], r, step), depth);
}

void DrawDiscRingPlain(const Surface* surface, int32_t centreX, int32_t centreY, int32_t r,
                       uint32_t colour) {
    for (int32_t a = 900; a >= 1; --a) {
        const Point p = PolarPoint(r, a);
        const int32_t nx = WrapSub(0, p.x), ny = WrapSub(0, p.y);
        PutAt(surface, centreX, centreY, p.x, p.y, colour);
        PutAt(surface, centreX, centreY, nx, p.y, colour);
        PutAt(surface, centreX, centreY, nx, ny, colour);
        PutAt(surface, centreX, centreY, p.x, ny, colour);
    }
}

void DrawBandRingPlain(const Surface* surface, int32_t centreX, int32_t centreY, int32_t r,
                       int32_t startAngle, int32_t count, uint32_t colour) {
    for (int32_t p = 0; p < count; ++p) {
        const Point point = PolarPoint(r, startAngle + p);
        PutAt(surface, centreX, centreY, point.x, point.y, colour);
    }
}

// ---- Per-radius point tables ------------------------------------------------------------------
// A ring's pixels depend only on its radius, so the fast paths keep, per radius, the point of
// every table angle (for arcs) and the distinct pixels of a disc ring (3600 writes shrink to
// about 8 * r). They are filled from PolarPoint itself on first use and kept for the process.

constexpr int32_t CACHED_RADII = 2048;

struct SmallPoint {
    int16_t x, y;
    bool operator==(const SmallPoint&) const = default;
    auto operator<=>(const SmallPoint&) const = default;
};
struct CircleTable {
    SmallPoint points[ANGLE_STEPS];  // PolarPoint(r, a) for a = 0..3599
};
using RingPixels = std::vector<SmallPoint>;

std::mutex cacheMutex;
std::atomic<const CircleTable*> circleCache[CACHED_RADII];
std::atomic<const RingPixels*> ringCache[CACHED_RADII];

const CircleTable& CircleFor(int32_t r) {
    if (const CircleTable* table = circleCache[r].load(std::memory_order_acquire)) return *table;
    std::lock_guard lock(cacheMutex);
    if (const CircleTable* table = circleCache[r].load(std::memory_order_relaxed)) return *table;
    auto* table = new CircleTable;
    for (int32_t a = 0; a < ANGLE_STEPS; ++a) {
        const Point p = PolarPoint(r, a);
        table->points[a] = {int16_t(p.x), int16_t(p.y)};
    }
    circleCache[r].store(table, std::memory_order_release);
    return *table;
}

const RingPixels& RingFor(int32_t r) {
    if (const RingPixels* ring = ringCache[r].load(std::memory_order_acquire)) return *ring;
    const CircleTable& circle = CircleFor(r);
    std::lock_guard lock(cacheMutex);
    if (const RingPixels* ring = ringCache[r].load(std::memory_order_relaxed)) return *ring;
    auto* ring = new RingPixels;
    ring->reserve(4 * 900);
    for (int32_t a = 900; a >= 1; --a) {
        const SmallPoint p = circle.points[a];
        const int16_t nx = int16_t(-p.x), ny = int16_t(-p.y);
        ring->insert(ring->end(), {p, {nx, p.y}, {nx, ny}, {p.x, ny}});
    }
    std::sort(ring->begin(), ring->end());
    ring->erase(std::unique(ring->begin(), ring->end()), ring->end());
    ring->shrink_to_fit();
    ringCache[r].store(ring, std::memory_order_release);
    return *ring;
}

// True when the square centre +- reach lies wholly on the surface.
bool SquareInside(const Surface* surface, int32_t centreX, int32_t centreY, int32_t reach) {
    return int64_t(centreX) - reach >= 0 && int64_t(centreX) + reach < int64_t(surface->width) &&
           int64_t(centreY) - reach >= 0 && int64_t(centreY) + reach < int64_t(surface->height);
}

// ---- FillDisc fast path -----------------------------------------------------------------------
// All writes of one ring share its colour, so a ring is its set of distinct pixels, written
// once each; rings keep their order, so each pixel (and pixel (0, 0)) ends with the colour of
// the last ring that wrote it, as in the plain loop.

template <typename Pixel>
void FillDiscFast(const Surface* surface, int32_t centreX, int32_t centreY, int32_t radius,
                  uint32_t colour) {
    Pixel* const pixels = static_cast<Pixel*>(surface->pixels);
    const uint32_t width = surface->width, height = surface->height;
    const bool inside = SquareInside(surface, centreX, centreY, radius);
    Pixel* const centre = inside ? pixels + centreX + int64_t(centreY) * width : nullptr;
    uint32_t components[3];
    UnpackColour(components, colour, surface->bitsPerPixel);
    uint32_t ringColour = colour;
    for (int32_t r = radius; r >= 0; --r) {
        const int32_t k = radius - r;
        if (int32_t(ringColour) > 0) {
            const Pixel value = Pixel(ringColour);
            const RingPixels& ring = RingFor(r);
            if (inside) {
                for (const SmallPoint p : ring) centre[p.x + ptrdiff_t(p.y) * width] = value;
            } else {
                for (const SmallPoint p : ring)
                    pixels[PixelIndex(WrapAdd(centreX, p.x), WrapAdd(centreY, p.y), width,
                                      height)] = value;
            }
        }
        if (r > 0) ringColour = DiscRingColour(components, radius, k, surface->bitsPerPixel);
    }
}

// ---- FillArcBand fast path --------------------------------------------------------------------
// Points come from the per-radius circle table; a point equal to the one before it in the same
// ring is the same write in the same colour and is skipped.

template <typename Pixel>
void DrawBandRingFast(const Surface* surface, int32_t centreX, int32_t centreY, int32_t r,
                      int32_t startAngle, int32_t count, uint32_t colour) {
    Pixel* const pixels = static_cast<Pixel*>(surface->pixels);
    const uint32_t width = surface->width, height = surface->height;
    const Pixel value = Pixel(colour);
    const SmallPoint* const circle = CircleFor(r).points;
    int32_t angle = startAngle >= ANGLE_STEPS ? startAngle - ANGLE_STEPS : startAngle;
    SmallPoint previous{};
    bool first = true;
    if (SquareInside(surface, centreX, centreY, r)) {
        Pixel* const centre = pixels + centreX + int64_t(centreY) * width;
        for (int32_t p = 0; p < count; ++p, angle = angle == ANGLE_STEPS - 1 ? 0 : angle + 1) {
            const SmallPoint point = circle[angle];
            if (!first && point == previous) continue;
            first = false, previous = point;
            centre[point.x + ptrdiff_t(point.y) * width] = value;
        }
        return;
    }
    for (int32_t p = 0; p < count; ++p, angle = angle == ANGLE_STEPS - 1 ? 0 : angle + 1) {
        const SmallPoint point = circle[angle];
        if (!first && point == previous) continue;
        first = false, previous = point;
        pixels[PixelIndex(WrapAdd(centreX, point.x), WrapAdd(centreY, point.y), width, height)] =
            value;
    }
}

}  // namespace

void DrawArc(const Surface* surface, int32_t centreX, int32_t centreY, int32_t radius,
             int32_t startAngle, int32_t count, uint32_t colour) {
    if (!AnglesInRange(startAngle, count)) return;
    DrawBandRingPlain(surface, centreX, centreY, radius, startAngle, count, colour);
}

void FillDisc(const Surface* surface, int32_t centreX, int32_t centreY, int32_t radius,
              uint32_t colour) {
    if (radius <= 0) return;
    if (RasterFastPathsEnabled() && SurfaceSuitsFastPath(surface) && radius < CACHED_RADII) {
        if (surface->bitsPerPixel == 32)
            FillDiscFast<uint32_t>(surface, centreX, centreY, radius, colour);
        else
            FillDiscFast<uint16_t>(surface, centreX, centreY, radius, colour);
        return;
    }
    uint32_t components[3];
    UnpackColour(components, colour, surface->bitsPerPixel);
    uint32_t ringColour = colour;
    for (int32_t r = radius; r >= 0; --r) {
        const int32_t k = radius - r;
        if (int32_t(ringColour) > 0) DrawDiscRingPlain(surface, centreX, centreY, r, ringColour);
        if (r > 0) ringColour = DiscRingColour(components, radius, k, surface->bitsPerPixel);
    }
}

void FillArcBand(const Surface* surface, int32_t centreX, int32_t centreY, int32_t innerRadius,
                 int32_t ringCount, int32_t startAngle, int32_t pointsPerRing, uint32_t colour) {
    if (ringCount <= 0 || !AnglesInRange(startAngle, pointsPerRing)) return;
    const bool fast = RasterFastPathsEnabled() && SurfaceSuitsFastPath(surface);
    uint32_t components[3];
    UnpackColour(components, colour, surface->bitsPerPixel);
    const uint32_t n = uint32_t(ringCount);
    for (int32_t k = 0; k < ringCount; ++k) {
        const uint32_t j = n - uint32_t(k);
        const uint32_t ringColour =
            PackColour(components[0] + MulDivUnsigned(components[0], n, j),
                       components[1] + MulDivUnsigned(components[1], n, j),
                       components[2] + MulDivUnsigned(components[2], n, j), surface->bitsPerPixel);
        const int32_t r = WrapAdd(innerRadius, k);
        if (fast && r >= 0 && r < CACHED_RADII) {
            if (surface->bitsPerPixel == 32)
                DrawBandRingFast<uint32_t>(surface, centreX, centreY, r, startAngle, pointsPerRing,
                                           ringColour);
            else
                DrawBandRingFast<uint16_t>(surface, centreX, centreY, r, startAngle, pointsPerRing,
                                           ringColour);
        } else {
            DrawBandRingPlain(surface, centreX, centreY, r, startAngle, pointsPerRing, ringColour);
        }
    }
}

void DrawEllipseQuarter(const Surface* surface, int32_t centreX, int32_t centreY, int32_t radiusH,
                        int32_t radiusV, uint32_t colour) {
    for (int32_t a = 900; a >= 1; --a) {
        const int32_t x = PolarPoint(radiusH, a).x, y = PolarPoint(radiusV, a).y;
        PutAt(surface, centreX, centreY, x, y, colour);
    }
}

void DrawOpposedQuarters() {
    QuarterArcRecord& q = QuarterArcParams;
    for (int32_t a = 900; a <= 1799; ++a) {
        const int32_t x = PolarPointDirect(q.radiusH, a).x, y = PolarPointDirect(q.radiusV, a).y;
        PutAt(&q.surface, q.centreX, q.centreY, x, y, q.colour);
        PutAt(&q.surface, q.centreX, q.centreY, WrapSub(0, x), WrapSub(0, y), q.colour);
    }
    q.done = 1;
}
