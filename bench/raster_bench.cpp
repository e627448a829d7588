// Rasterizer throughput beside its peers, all drawing on the same 1024 x 768 x 32 pixels:
// SDL2's 50 % alpha blit and SDL_FillRect, memcpy, SDL2_gfx through a software renderer on the
// same surface, and our own plain per-pixel reference. After the run a table gives, per
// operation, the median time of ours over the peer's and over the plain reference's.
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "geom/angles.h"
#include "gfx/raster.h"
#include "gfx/raster_oracle.h"

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;
constexpr int RECT_X = 100, RECT_Y = 100, RECT_W = 600, RECT_H = 480;

struct Target {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t(WIDTH) * HEIGHT);
    Surface surface{pixels.data(), WIDTH, HEIGHT, 32};
    SDL_Surface* sdl = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* blendSource = nullptr;  // RECT_W x RECT_H of one colour, alpha mod 128

    void Fill(uint32_t seed) {
        std::mt19937 random(seed);
        for (uint32_t& p : pixels) p = random() & 0xFFFFFF;
    }
};
Target* target = nullptr;

constexpr uint32_t BLEND_COLOUR = 0x00336699;

// Sets up SDL on our pixels and checks once that SDL's 50 % blit gives exactly BLEND_AVERAGE.
bool SetUp() {
    BuildAngleTables();
    target = new Target;
    target->Fill(1);
    target->sdl = SDL_CreateRGBSurfaceWithFormatFrom(target->pixels.data(), WIDTH, HEIGHT, 32,
                                                     WIDTH * 4, SDL_PIXELFORMAT_RGB888);
    target->renderer = target->sdl ? SDL_CreateSoftwareRenderer(target->sdl) : nullptr;
    target->blendSource =
        SDL_CreateRGBSurfaceWithFormat(0, RECT_W, RECT_H, 32, SDL_PIXELFORMAT_RGB888);
    if (!target->renderer || !target->blendSource) {
        std::fprintf(stderr, "SDL set-up failed: %s\n", SDL_GetError());
        return false;
    }
    SDL_FillRect(target->blendSource, nullptr, BLEND_COLOUR);
    SDL_SetSurfaceAlphaMod(target->blendSource, 128);
    SDL_SetSurfaceBlendMode(target->blendSource, SDL_BLENDMODE_BLEND);

    std::vector<uint32_t> ours = target->pixels;
    Surface oursSurface{ours.data(), WIDTH, HEIGHT, 32};
    BlendRect(&oursSurface, RECT_X, RECT_Y, RECT_W, RECT_H, BLEND_COLOUR, BLEND_AVERAGE);
    SDL_Rect where{RECT_X, RECT_Y, RECT_W, RECT_H};
    SDL_BlitSurface(target->blendSource, nullptr, target->sdl, &where);
    size_t differing = 0;
    for (size_t i = 0; i < ours.size(); ++i)
        differing += (ours[i] & 0xFFFFFF) != (target->pixels[i] & 0xFFFFFF);
    std::printf("SDL 50%% alpha blit vs BlendRect(BLEND_AVERAGE): %s (%zu of %zu pixels differ)\n",
                differing == 0 ? "bit-exact" : "NOT bit-exact", differing, ours.size());
    target->Fill(1);
    return true;
}

void SetPixelsCounter(benchmark::State& state, double pixelsPerIteration) {
    state.counters["Mpx/s"] = benchmark::Counter(pixelsPerIteration * 1e-6,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

// ---- BlendRect ----

void BlendOurs(benchmark::State& state) {
    for (auto _ : state)
        BlendRect(&target->surface, RECT_X, RECT_Y, RECT_W, RECT_H, BLEND_COLOUR, BLEND_AVERAGE);
    SetPixelsCounter(state, RECT_W * RECT_H);
}
void BlendPlain(benchmark::State& state) {
    for (auto _ : state)
        oracle::BlendRect(&target->surface, RECT_X, RECT_Y, RECT_W, RECT_H, BLEND_COLOUR,
                          BLEND_AVERAGE);
    SetPixelsCounter(state, RECT_W * RECT_H);
}
void BlendPeer(benchmark::State& state) {
    for (auto _ : state) {
        SDL_Rect where{RECT_X, RECT_Y, RECT_W, RECT_H};
        SDL_BlitSurface(target->blendSource, nullptr, target->sdl, &where);
    }
    SetPixelsCounter(state, RECT_W * RECT_H);
}

// ---- FillGradientRect ----

constexpr uint32_t GRADIENT_COLOUR = 0x007F7F00;

void GradientOurs(benchmark::State& state) {
    for (auto _ : state)
        FillGradientRect(&target->surface, RECT_X, RECT_Y, RECT_W, RECT_H, GRADIENT_COLOUR);
    SetPixelsCounter(state, RECT_W * RECT_H);
}
void GradientPlain(benchmark::State& state) {
    for (auto _ : state)
        oracle::FillGradientRect(&target->surface, RECT_X, RECT_Y, RECT_W, RECT_H, GRADIENT_COLOUR);
    SetPixelsCounter(state, RECT_W * RECT_H);
}
void GradientPeer(benchmark::State& state) {
    for (auto _ : state) {
        SDL_Rect where{RECT_X + 1, RECT_Y + 1, RECT_W, RECT_H};
        SDL_FillRect(target->sdl, &where, GRADIENT_COLOUR);
    }
    SetPixelsCounter(state, RECT_W * RECT_H);
}

// ---- CopyBlock: the whole 3 MB surface into a second buffer ----

std::vector<uint32_t>& CopyDestination() {
    static std::vector<uint32_t> destination(size_t(WIDTH) * HEIGHT);
    return destination;
}
constexpr int32_t COPY_BYTES = WIDTH * HEIGHT * 4;

void SetBytesCounter(benchmark::State& state) {
    state.counters["MB/s"] =
        benchmark::Counter(COPY_BYTES * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
void CopyOurs(benchmark::State& state) {
    for (auto _ : state) {
        CopyBlock(CopyDestination().data(), target->pixels.data(), COPY_BYTES);
        benchmark::ClobberMemory();
    }
    SetBytesCounter(state);
}
void CopyPlain(benchmark::State& state) {
    for (auto _ : state) {
        oracle::CopyBlock(CopyDestination().data(), target->pixels.data(), COPY_BYTES);
        benchmark::ClobberMemory();
    }
    SetBytesCounter(state);
}
void CopyPeer(benchmark::State& state) {
    for (auto _ : state) {
        std::memcpy(CopyDestination().data(), target->pixels.data(), size_t(COPY_BYTES));
        benchmark::ClobberMemory();
    }
    SetBytesCounter(state);
}

// ---- DrawLine: a fan of 64 lines of length 300 from the centre, every direction ----

struct Line {
    int32_t x1, y1, x2, y2;
};
const std::vector<Line>& Fan() {
    static const std::vector<Line> fan = [] {
        std::vector<Line> lines;
        for (int32_t i = 0; i < 64; ++i) {
            const Point end = PolarPoint(300, i * 3600 / 64);
            lines.push_back({WIDTH / 2, HEIGHT / 2, WIDTH / 2 + end.x, HEIGHT / 2 + end.y});
        }
        return lines;
    }();
    return fan;
}
double FanPixels() {
    double pixels = 0;
    for (const Line& l : Fan()) pixels += VectorLength(l.x2 - l.x1, l.y2 - l.y1);
    return pixels;
}
void LineOurs(benchmark::State& state) {
    for (auto _ : state)
        for (const Line& l : Fan()) DrawLine(&target->surface, l.x1, l.y1, l.x2, l.y2, 0x00FF8040);
    SetPixelsCounter(state, FanPixels());
}
void LinePlain(benchmark::State& state) {
    for (auto _ : state)
        for (const Line& l : Fan())
            oracle::DrawLine(&target->surface, l.x1, l.y1, l.x2, l.y2, 0x00FF8040);
    SetPixelsCounter(state, FanPixels());
}
void LinePeer(benchmark::State& state) {
    for (auto _ : state)
        for (const Line& l : Fan())
            lineColor(target->renderer, int16_t(l.x1), int16_t(l.y1), int16_t(l.x2), int16_t(l.y2),
                      0xFF4080FF);
    SetPixelsCounter(state, FanPixels());
}

// ---- FillDisc, radius 50 ----

constexpr double DISC_PIXELS = 3.14159265 * 50 * 50;

void DiscOurs(benchmark::State& state) {
    for (auto _ : state) FillDisc(&target->surface, 300, 300, 50, 0x00406080);
    SetPixelsCounter(state, DISC_PIXELS);
}
void DiscPlain(benchmark::State& state) {
    for (auto _ : state) oracle::FillDisc(&target->surface, 300, 300, 50, 0x00406080);
    SetPixelsCounter(state, DISC_PIXELS);
}
void DiscPeer(benchmark::State& state) {
    for (auto _ : state) filledCircleColor(target->renderer, 300, 300, 50, 0xFF806040);
    SetPixelsCounter(state, DISC_PIXELS);
}

// ---- FillArcBand: the splash's thirty quarter rings ----

constexpr double BAND_PIXELS = 3.14159265 / 4 * (80 * 80 - 50 * 50);

void BandOurs(benchmark::State& state) {
    for (auto _ : state) FillArcBand(&target->surface, 0, 425, 50, 30, 2700, 900, 0x007F7F00);
    SetPixelsCounter(state, BAND_PIXELS);
}
void BandPlain(benchmark::State& state) {
    for (auto _ : state)
        oracle::FillArcBand(&target->surface, 0, 425, 50, 30, 2700, 900, 0x007F7F00);
    SetPixelsCounter(state, BAND_PIXELS);
}
void BandPeer(benchmark::State& state) {
    for (auto _ : state)
        for (int16_t k = 0; k < 30; ++k) {
            const uint32_t level = uint32_t(127 + 127 * (30 - k) / 30) & 0xFF;
            arcColor(target->renderer, 0, 425, int16_t(50 + k), 270, 360,
                     0xFF000000u | (level << 8) | level);
        }
    SetPixelsCounter(state, BAND_PIXELS);
}

// Median CPU time per iteration of every benchmark over its repetitions (CPU time, since the
// wall clock of a shared machine also counts other work). With only aggregates reported, the
// reported median is taken.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Iteration)
                times_[name].push_back(run.GetAdjustedCPUTime());
            else if (run.aggregate_name == "median")
                medians_[name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Median(const std::string& name) const {
        if (auto reported = medians_.find(name); reported != medians_.end())
            return reported->second;
        auto found = times_.find(name);
        if (found == times_.end() || found->second.empty()) return 0;
        std::vector<double> t = found->second;
        std::sort(t.begin(), t.end());
        return t[t.size() / 2];
    }

  private:
    std::map<std::string, std::vector<double>> times_;
    std::map<std::string, double> medians_;
};

struct Operation {
    const char* name;
    const char* peer;
    void (*ours)(benchmark::State&);
    void (*peerRun)(benchmark::State&);
    void (*plain)(benchmark::State&);
    double goal;  // largest acceptable time ours / time peer; 0 = none set
};

const Operation OPERATIONS[] = {
    {"BlendRect", "SDL 50% alpha blit", BlendOurs, BlendPeer, BlendPlain, 1.5},
    {"FillGradientRect", "SDL_FillRect", GradientOurs, GradientPeer, GradientPlain, 2},
    {"CopyBlock", "memcpy", CopyOurs, CopyPeer, CopyPlain, 1.2},
    {"DrawLine", "lineColor", LineOurs, LinePeer, LinePlain, 1},
    {"FillDisc(50)", "filledCircleColor", DiscOurs, DiscPeer, DiscPlain, 3},
    {"FillArcBand", "arcColor x 30", BandOurs, BandPeer, BandPlain, 0},
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!SetUp()) return 1;
    for (const Operation& op : OPERATIONS) {
        const std::string base = op.name;
        benchmark::RegisterBenchmark((base + "/ours").c_str(), op.ours);
        benchmark::RegisterBenchmark((base + "/peer").c_str(), op.peerRun);
        benchmark::RegisterBenchmark((base + "/plain").c_str(), op.plain);
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-18s %-20s %12s %12s %8s %12s\n", "operation", "peer", "ours/peer",
                "ours/plain", "goal", "");
    for (const Operation& op : OPERATIONS) {
        const std::string base = op.name;
        const double ours = reporter.Median(base + "/ours");
        const double peer = reporter.Median(base + "/peer");
        const double plain = reporter.Median(base + "/plain");
        if (ours <= 0 || peer <= 0 || plain <= 0) continue;  // filtered out
        const double ratio = ours / peer;
        char goal[16] = "-";
        if (op.goal > 0) std::snprintf(goal, sizeof goal, "<= %.1f", op.goal);
        std::printf("%-18s %-20s %12.2f %12.3f %8s %12s\n", op.name, op.peer, ratio, ours / plain,
                    goal,
                    op.goal <= 0       ? ""
                    : ratio <= op.goal ? "met"
                                       : "missed");
    }
    benchmark::Shutdown();
    return 0;
}
