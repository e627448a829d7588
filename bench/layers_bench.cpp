// Layer throughput on the headless driver, each beside memcpy of the same bytes:
// - a text view's render: 50 lines written through ScratchDC between the three copies of its
//   picture (background into band 0, band 0 onto ScratchDC, ScratchDC back into band 0);
// - a compose of a full list (249 layers of the four kinds): the backdrop restored into
//   ComposeDC, then every layer's picture copied in.
// Counters give megabytes per second of picture moved; compare ours with the memcpy row.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/framebuffer.h"
#include "layers/animation.h"
#include "layers/bar.h"
#include "layers/button.h"
#include "layers/layer_list.h"
#include "layers/textview.h"
#include "shell/dispatch.h"
#include "shell/main_window.h"
#include "text/text_doc.h"
#include "util/files.h"

namespace {

constexpr int32_t VIEW_W = 600, VIEW_H = 700;
constexpr int32_t TILE_W = 40, TILE_H = 30;

HWND Window = nullptr;
TextDoc* Document = nullptr;
int32_t ViewIndex = -1;

void ReadyFrames(Layer* layer) {
    layer->ready = 1;
}

bool SetUp() {
    setenv("VELMORA_DRIVER", "headless", 1);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "LayerBench";
    RegisterClassExA(&windowClass);
    Window = CreateWindowExA(0, "LayerBench", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 600, 480, nullptr,
                             nullptr, windowClass.hInstance, nullptr);
    if (Window == nullptr) return false;
    InitGraphics(Window);
    LOGFONTA font = {};
    font.lfHeight = -12;
    std::strcpy(font.lfFaceName, "Lucida Console");
    SelectDrawingFont(CreateFontIndirectA(&font));

    // 60 lines of 60 characters, CR LF.
    std::string text;
    for (int n = 0; n < 60; ++n)
        text += std::string(59, char('A' + n % 26)) + std::to_string(n % 10) + "\r\n";
    char path[] = "/tmp/velmora_layers_benchXXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return false;
    close(fd);
    WriteFileBytes(text.data(), path, nullptr, uint32_t(text.size()));
    Document = LoadTextDoc(path);
    std::remove(path);
    return Document != nullptr;
}

void BM_TextViewRender(benchmark::State& state) {
    ClearLayers();
    ViewIndex = CreateTextViewLayer(Window, 0, 0, VIEW_W, VIEW_H, 0x203870);
    BindTextDoc(GetLayer(uint32_t(ViewIndex)), Document);
    for (auto _ : state) RenderTextViewLines(uint32_t(ViewIndex));
    const Layer* layer = GetLayer(uint32_t(ViewIndex));
    const int64_t bytes = 3 * int64_t(layer->width) * layer->height * 4;
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["lines/s"] = benchmark::Counter(double(state.iterations()) * TEXTVIEW_LINES,
                                                   benchmark::Counter::kIsRate);
}

// The same three picture copies as the render, as plain memcpy, without the text.
void BM_TextViewRenderMemcpy(benchmark::State& state) {
    const size_t bytes = size_t(VIEW_W + 1) * VIEW_H * 4;
    std::vector<char> a(bytes), b(bytes), c(bytes);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), bytes);
        std::memcpy(c.data(), b.data(), bytes);
        std::memcpy(b.data(), c.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(3 * bytes));
}

// Bytes a compose of the current list moves: the backdrop and every layer's picture.
int64_t ComposeBytes() {
    int64_t bytes = int64_t(SURFACE_BYTES);
    for (uint32_t i = 0; i < GetLayerCount(); ++i)
        bytes += int64_t(GetLayer(i)->width) * GetLayer(i)->height * 4;
    return bytes;
}

void FillList() {
    ClearLayers();
    for (uint32_t i = 0; i < LAYER_CAPACITY; ++i) {
        const int32_t x = int32_t(i % 14) * (TILE_W + 2), y = int32_t(i / 14) * (TILE_H + 2);
        switch (i % 4) {
            case 0:
                CreateButtonLayer(Window, x, y, TILE_W, TILE_H, 0x7F0000, "b");
                break;
            case 1:
                CreateTextViewLayer(Window, x, y, TILE_W, TILE_H, 0x00007F);
                break;
            case 2:
                CreateAnimationLayer(Window, x, y, TILE_W, TILE_H, ReadyFrames, 4);
                break;
            default:
                CreateBarLayer(Window, x, y, TILE_H, 0x007F00);
                break;
        }
    }
}

void BM_ComposeFullList(benchmark::State& state) {
    FillList();
    for (auto _ : state) {
        SetBitmapBits(ComposeBitmap, SURFACE_BYTES, BackdropBuffer);
        for (uint32_t i = 0; i < GetLayerCount(); ++i) DrawLayer(i);
    }
    state.SetBytesProcessed(state.iterations() * ComposeBytes());
    state.counters["layers"] = double(GetLayerCount());
}

// One memcpy of the backdrop's bytes and one per layer picture, of the same sizes.
void BM_ComposeFullListMemcpy(benchmark::State& state) {
    FillList();
    std::vector<size_t> sizes = {SURFACE_BYTES};
    for (uint32_t i = 0; i < GetLayerCount(); ++i)
        sizes.push_back(size_t(GetLayer(i)->width) * GetLayer(i)->height * 4);
    std::vector<char> source(SURFACE_BYTES), target(SURFACE_BYTES);
    for (auto _ : state) {
        for (size_t size : sizes) std::memcpy(target.data(), source.data(), size);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * ComposeBytes());
}

}  // namespace

BENCHMARK(BM_TextViewRender);
BENCHMARK(BM_TextViewRenderMemcpy);
BENCHMARK(BM_ComposeFullList);
BENCHMARK(BM_ComposeFullListMemcpy);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!SetUp()) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
