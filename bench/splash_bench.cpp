// The splash composition on the headless driver against the memory traffic it cannot avoid:
// six round trips of a 1024 x 768 x 32 image each way, timed as memcpy in the same run. Also
// the picture load alone, the composition without a picture, and the time from creating the
// main window to the first splash frame on it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "gfx/framebuffer.h"
#include "platform/headless.h"
#include "shell/main_window.h"
#include "shell/splash.h"
#include "util/picture.h"

namespace {

constexpr int ROUND_TRIP_COPIES = 12;  // six round trips, each way
double startupMs = 0;

// Creates the program in the assets directory and runs it to its first splash frame, once.
void StartProgram() {
    static const bool started = [] {
        setenv("VELMORA_DRIVER", "headless", 1);
        if (chdir(VELMORA_ASSETS_DIR) != 0) std::perror(VELMORA_ASSETS_DIR);
        const auto begin = std::chrono::steady_clock::now();
        CreateMainWindow(GetModuleHandleA(nullptr));
        HeadlessRunFor(20);  // the virtual clock skips the 20 ms wait itself
        startupMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count();
        return SplashStripA != nullptr && SplashStripA->playCount == 1;
    }();
    if (!started) std::fprintf(stderr, "the splash was not composed\n");
}

void BM_MemcpyRoundTrips(benchmark::State& state) {
    std::vector<uint8_t> image(SURFACE_BYTES, 1), copy(SURFACE_BYTES);
    for (auto _ : state) {
        for (int i = 0; i < ROUND_TRIP_COPIES / 2; ++i) {
            std::memcpy(copy.data(), image.data(), SURFACE_BYTES);
            benchmark::ClobberMemory();
            std::memcpy(image.data(), copy.data(), SURFACE_BYTES);
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * ROUND_TRIP_COPIES * SURFACE_BYTES);
}

void BM_ComposeSplash(benchmark::State& state) {
    StartProgram();
    for (auto _ : state) ComposeSplash(SplashStripA);
}

void BM_ComposeSplashWithoutPicture(benchmark::State& state) {
    StartProgram();
    if (chdir("/") != 0) state.SkipWithError("no root directory");
    for (auto _ : state) ComposeSplash(SplashStripA);
    if (chdir(VELMORA_ASSETS_DIR) != 0) state.SkipWithError("assets directory lost");
}

void BM_LoadSplashPicture(benchmark::State& state) {
    StartProgram();
    const std::string path = std::string(VELMORA_ASSETS_DIR) + "/093070B.jpg";
    for (auto _ : state) DeleteObject(LoadPictureBitmap(path.c_str()));
}

BENCHMARK(BM_MemcpyRoundTrips)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeSplash)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeSplashWithoutPicture)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSplashPicture)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// Prints the medians against the round trips' memcpy after the run.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double base = medians_["BM_MemcpyRoundTrips"];
        if (base <= 0) return;
        std::printf(
            "\nmedians against memcpy of 12 x 3,145,728 bytes: compose %.2f (goal <= 2), "
            "compose without picture %.2f, picture load %.2f\n",
            medians_["BM_ComposeSplash"] / base, medians_["BM_ComposeSplashWithoutPicture"] / base,
            medians_["BM_LoadSplashPicture"] / base);
        std::printf("window creation to first splash frame (headless, in process): %.1f ms\n",
                    startupMs);
    }

  private:
    std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    StartProgram();  // first, so the start-up is measured on a fresh process
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
