// Layers on the headless driver: a window whose procedure runs the program's dispatcher (input
// state, repaint protocol), the graphics set-up made once per process, the layer timer, and a
// known work surface and backdrop. Each test starts with an empty list and frees what it made.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/framebuffer.h"
#include "layers/animation.h"
#include "layers/layer_list.h"
#include "platform/headless.h"
#include "platform/windows.h"
#include "shell/dispatch.h"
#include "shell/main_window.h"

constexpr uint32_t WORK_FILL = 0x00203040;      // the work surface before each test
constexpr uint32_t BACKDROP_FILL = 0x00102030;  // what the compose shows where no layer is

// wParam of every click request the test window received.
inline std::vector<int32_t> ClickRequests;

inline LRESULT CALLBACK LayerTestWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    PreDispatchMessage(window, message, wParam, lParam);
    if (message != WM_USER) return DefWindowProcA(window, message, wParam, lParam);
    if (lParam == RQ_CLICK) ClickRequests.push_back(int32_t(wParam));
    return 0;
}

// A 1024 x 768 image read back from a bitmap, top row first.
struct BitmapImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int32_t x, int32_t y) const {
        return pixels[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFF;
    }
};

inline BitmapImage ReadBitmap(HBITMAP bitmap, int32_t width, int32_t height) {
    BitmapImage image{width, height, std::vector<uint32_t>(size_t(width) * size_t(height))};
    GetBitmapBits(bitmap, LONG(image.pixels.size() * 4), image.pixels.data());
    return image;
}
inline BitmapImage ReadCanvas(const Canvas* canvas) {
    return ReadBitmap(GetCanvasBitmap(canvas), GetCanvasWidth(canvas), GetCanvasHeight(canvas));
}
inline BitmapImage ReadCompose() {
    return ReadBitmap(ComposeBitmap, int32_t(SURFACE_WIDTH), int32_t(SURFACE_HEIGHT));
}

// Component k of a gradient row i rows above the gradient's bottom row, of h rows in all.
inline uint32_t GradientRow(uint32_t colour, uint32_t i, uint32_t h) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t k = (colour >> shift) & 0xFF;
        out |= ((k + k * i / h) & 0xFF) << shift;
    }
    return out;
}
inline uint32_t AverageWithGrey(uint32_t colour) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= ((((colour >> shift) & 0xFF) + 0x7F) >> 1) << shift;
    return out;
}

class LayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("VELMORA_DRIVER", "headless", 1);  // read once, at the first platform call
        ASSERT_TRUE(HeadlessActive());
        PlatformResetForTest();
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = LayerTestWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "LayerTest";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window = CreateWindowExA(0, "LayerTest", "layers", WS_OVERLAPPEDWINDOW, 0, 0, 600, 480,
                                 nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        // The drawing memory and device contexts outlive a window; only the window's own
        // context is taken anew.
        static HFONT font = nullptr;
        if (font == nullptr) {
            InitGraphics(window);
            LOGFONTA description = {};
            description.lfHeight = -12;
            description.lfWeight = FW_NORMAL;
            description.lfCharSet = DEFAULT_CHARSET;
            std::strcpy(description.lfFaceName, "Lucida Console");
            font = CreateFontIndirectA(&description);
        } else {
            WindowDC = GetDC(window);
        }
        SelectDrawingFont(font);
        SetTextColor(ScratchDC, 0x0000FF00);
        std::fill_n(static_cast<uint32_t*>(WorkSurface.pixels), SURFACE_WIDTH * SURFACE_HEIGHT,
                    WORK_FILL);
        std::fill_n(BackdropBuffer, SURFACE_WIDTH * SURFACE_HEIGHT, BACKDROP_FILL);
        FocusIndex = -1;
        KeyCode = 0;
        ViewMode = 0;
        EffectLayerIndex = 0;
        ClickRequests.clear();
        MovePointer(599, 479);
        SetTimer(window, 4, 50, LayerTimerProc);
    }

    void TearDown() override {
        FreeLayers();
        PlatformResetForTest();
    }

    // Frees every layer in the list with its canvases and empties the list.
    static void FreeLayers() {
        for (uint32_t i = 0; i < GetLayerCount(); ++i) {
            Layer* layer = GetLayer(i);
            for (Canvas* canvas : {layer->image, layer->background, layer->scrollBarImage})
                if (canvas != nullptr && canvas != CANVAS_FAILED) DestroyCanvas(canvas);
            delete layer;
        }
        ClearLayers();
    }

    // A redraw request: the backdrop, then every layer in list order.
    void Compose() { SendMessageA(window, WM_USER, 0, RQ_REDRAW); }
    void MovePointer(int32_t x, int32_t y) {
        HeadlessMouseMove(x, y);
        HeadlessRunFor(0);
    }
    // One press and release: the key-down composes once with the key held.
    void Press(UINT key) {
        HeadlessKeyDown(key);
        HeadlessKeyUp(key);
        HeadlessRunFor(0);
    }
    // One layer-timer tick: present ComposeDC, then hit-test the layers.
    void Tick() { HeadlessRunFor(50); }

    HWND window = nullptr;
};
