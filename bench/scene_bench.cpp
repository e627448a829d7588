// The 3D view's frame on Mesa's software renderer at 600 x 480: RenderScene with the scene built
// (two lit spheres), the demonstration's frame without it (clear and swap), and the headless
// driver's read-back of a frame into the client image, which the real window does not do, with
// memcpy of the same bytes beside it. Runs on the headless driver.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/headless.h"
#include "scene3d/scene.h"

namespace {

constexpr int32_t WIDTH = 600, HEIGHT = 480;
constexpr size_t FRAME_BYTES = size_t(WIDTH) * HEIGHT * 4;

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// A fresh window and context; the scene built when lit.
void OpenScene(bool lit) {
    setenv("VELMORA_DRIVER", "headless", 0);
    PlatformResetForTest();
    ResetSceneForTest();
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = PlainProc;
    windowClass.lpszClassName = "SceneBench";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "SceneBench", "scene", WS_OVERLAPPEDWINDOW, 0, 0, WIDTH,
                                  HEIGHT, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr || !CreateSceneContext(GetDC(window))) std::abort();
    SetSceneViewport(WIDTH, HEIGHT);
    if (lit) InitScene();
    SceneObjects[0].steps[0] = -0.3f;  // turning, as after three presses of A
    SceneObjects[0].steps[1] = 0.2f;
}

void BM_RenderSceneLit(benchmark::State& state) {
    OpenScene(true);
    for (auto _ : state) RenderScene();
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(FRAME_BYTES));
}

void BM_RenderSceneUnbuilt(benchmark::State& state) {
    OpenScene(false);
    for (auto _ : state) RenderScene();
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(FRAME_BYTES));
}

void BM_FrameReadback(benchmark::State& state) {
    OpenScene(true);
    std::vector<uint32_t> frame(size_t(WIDTH) * HEIGHT);
    for (auto _ : state) {
        glReadPixels(0, 0, WIDTH, HEIGHT, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, frame.data());
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(FRAME_BYTES));
}

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<uint8_t> source(FRAME_BYTES, 1), target(FRAME_BYTES);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), FRAME_BYTES);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(FRAME_BYTES));
}

BENCHMARK(BM_RenderSceneLit)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RenderSceneUnbuilt)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameReadback)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_MemcpyFrame)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
