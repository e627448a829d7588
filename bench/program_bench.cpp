// The program's two recurring costs against memcpy of the same bytes: one redraw request (restore
// the backdrop into ComposeDC and compose the three buttons) and one present (the layer timer's
// copy of ComposeDC to the window). Runs on the headless driver unless VELMORA_DRIVER says
// otherwise (VELMORA_DRIVER=window with a DISPLAY times the real window's presents).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "gfx/framebuffer.h"
#include "layers/layer_list.h"
#include "platform/headless.h"
#include "shell/main_window.h"

namespace {

HWND StartProgram() {
    static HWND window = [] {
        setenv("VELMORA_DRIVER", "headless", 0);
        return CreateMainWindow(GetModuleHandleA(nullptr));
    }();
    return window;
}

void BM_Memcpy3MB(benchmark::State& state) {
    std::vector<uint8_t> source(SURFACE_BYTES, 1), target(SURFACE_BYTES);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), SURFACE_BYTES);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * SURFACE_BYTES);
}

void BM_RedrawRequest(benchmark::State& state) {
    HWND window = StartProgram();
    for (auto _ : state) SendMessageA(window, WM_USER, 0, RQ_REDRAW);
    state.SetBytesProcessed(int64_t(state.iterations()) * SURFACE_BYTES);
}

void BM_Present(benchmark::State& state) {
    StartProgram();
    for (auto _ : state)
        BitBlt(WindowDC, 0, 0, SURFACE_WIDTH, SURFACE_HEIGHT, ComposeDC, 0, 0, SRCCOPY);
    state.SetBytesProcessed(int64_t(state.iterations()) * SURFACE_BYTES);
}

BENCHMARK(BM_Memcpy3MB)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedrawRequest)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Present)->Repetitions(5)->ReportAggregatesOnly(true);

// Prints the medians of each operation against memcpy after the run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.aggregate_name == "median") medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double base = medians_["BM_Memcpy3MB"];
        if (base <= 0) return;
        std::printf("\nratio to memcpy of 3,145,728 bytes (median): redraw %.2f (goal <= 1.3), present %.2f (goal <= 3)\n",
                    medians_["BM_RedrawRequest"] / base, medians_["BM_Present"] / base);
    }

private:
    std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
