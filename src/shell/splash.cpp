#include "shell/splash.h"

#include "geom/integer_ops.h"
#include "gfx/roundtrip.h"
#include "layers/layer_list.h"
#include "shell/main_window.h"
#include "util/strings.h"

uint32_t FrameCount = 0;

namespace {

constexpr UINT_PTR SPLASH_TIMER = 2;
constexpr uint32_t PANEL_GREY = 0xAAAAAA;
constexpr uint32_t OLIVE = 0x7F7F00;
constexpr COLORREF NOTICE_RED = 0x0000FF;  // GDI order 0x00BBGGRR

bool HasCanvas(const FrameStrip* strip) {
    return strip != nullptr && strip->canvas != nullptr && strip->canvas != CANVAS_FAILED;
}

// First canvas row of a frame (the low 32 bits of the wide product).
int32_t FrameTop(const FrameStrip* strip, uint32_t frame) {
    return static_cast<int32_t>(static_cast<uint32_t>(MulWide(frame, strip->frameHeight)));
}

// One frame of the strip onto the window; frames past the last one start again at frame 0.
void PlayFrame(FrameStrip* strip) {
    if (strip->currentFrame >= strip->frameCount) strip->currentFrame = 0;
    BitBlt(SplashDC, strip->x, strip->y, int32_t(strip->width), int32_t(strip->frameHeight),
           GetCanvasDC(strip->canvas), 0, FrameTop(strip, strip->currentFrame), SRCCOPY);
    ++strip->currentFrame;
    if (strip->currentFrame >= strip->frameCount) strip->currentFrame = 0;
    ++FrameCount;
}

}  // namespace

void CALLBACK SplashTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    if (SplashStripA == nullptr) return;
    if (SplashStripA->playCount == 0) {
        ComposeSplash(SplashStripA);
        KillTimer(window, SPLASH_TIMER);
        SendMessageA(window, WM_USER, 0, RQ_CAPTURE);
        return;
    }
    if (HasCanvas(SplashStripA)) PlayFrame(SplashStripA);
}

void ComposeSplash(FrameStrip* strip) {
    if (!HasCanvas(strip) || !HasCanvas(SplashStripB)) return;
    HDC a = GetCanvasDC(strip->canvas);
    HDC b = GetCanvasDC(SplashStripB->canvas);
    DrawPictureOnDC(SplashDC, a, 0, 0, 600, 500, SPLASH_PICTURE_NAME);
    BlendRectOnDC(a, 5, 30, 120, 100, PANEL_GREY, BLEND_AVERAGE);
    BlendRectOnDC(a, 0, 350, 590, 100, PANEL_GREY, BLEND_AVERAGE);
    BlendRectOnDC(a, 0, 0, 590, 25, PANEL_GREY, BLEND_AVERAGE);
    SetTextColor(a, NOTICE_RED);
    TextOutA(a, 0, 10, SPLASH_NOTICE, SPLASH_NOTICE_LENGTH);
    FillGradientRectOnDC(a, 49, 425, 600, 25, OLIVE);
    FillArcBandOnDC(a, 0, 425, 50, 30, 2700, 900, OLIVE);
    const int32_t width = int32_t(strip->width), frameHeight = int32_t(strip->frameHeight);
    BitBlt(SplashDC, 0, 0, width, frameHeight, a, 0, 0, SRCCOPY);

    // Only the copies between the strips lie inside the measurement.
    const DWORD start = GetTickCount();
    for (uint32_t k = 0; k < 2; ++k) {
        BitBlt(b, 0, 0, width, frameHeight, a, 0, 0, SRCCOPY);
        BitBlt(a, 0, FrameTop(strip, k), width, frameHeight, b, 0, 0, SRCCOPY);
    }
    const DWORD elapsed = GetTickCount() - start;
    char text[1024];
    FormatUnsigned(elapsed, text);
    SetWindowTextA(MainWindow, text);
    ++strip->playCount;
}

void CALLBACK FrameCounterTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    char text[1024];
    FormatUnsigned(FrameCount, text);
    SetWindowTextA(window, text);
    FrameCount = 0;
}

void DrawFpsHistory(HDC dc, uint32_t* history, uint32_t newValue) {
    for (uint32_t i = 0; i + 1 < FPS_HISTORY_LENGTH; ++i) history[i] = history[i + 1];
    history[FPS_HISTORY_LENGTH - 1] = newValue;
    char digits[16];
    for (uint32_t i = 0; i < FPS_HISTORY_LENGTH; ++i) {
        const int32_t y = int32_t(100 + 15 * i);
        const uint32_t count = FormatUnsigned(history[i], digits);
        TextOutA(dc, 155, y, digits, int32_t(count));
        TextOutA(dc, 125, y, "FPS:", 4);
    }
}
