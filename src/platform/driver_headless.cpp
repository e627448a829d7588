// The headless driver: no display. The window is its client image in the core, time is a
// virtual clock that jumps to the next timer or scripted action whenever the message loop would
// wait, and tests inject input and read the image through headless.h.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <utility>

#include "platform/core.h"
#include "platform/driver.h"
#include "platform/headless.h"
#include "platform/headless_gl.h"

namespace {

uint64_t now = 0;
DriverRect outer{0, 0, 0, 0};
// Scripted actions by tick; a multimap keeps the order of actions given for the same tick.
std::multimap<uint64_t, std::function<void()>> actions;

// Runs every action due by now; true when one ran.
bool RunDueActions() {
    bool ran = false;
    while (!actions.empty() && actions.begin()->first <= now) {
        auto action = std::move(actions.begin()->second);
        actions.erase(actions.begin());
        action();
        ran = true;
    }
    return ran;
}

bool CreateWindow(const char*, int32_t x, int32_t y, int32_t width, int32_t height, bool) {
    outer = DriverRect{x, y, x + width, y + height};
    return true;
}

void DestroyWindow() {
    HeadlessGlRelease();
}
void ShowWindow(bool) {}
void SetTitle(const char*) {}

void MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height) {
    outer = DriverRect{x, y, x + width, y + height};
    PlatformClientResized(width, height);  // no frame: the client area is the whole window
}

DriverRect WindowRect() {
    return outer;
}
void Present(const uint32_t*, int32_t, int32_t, DriverRect) {}
uint32_t Ticks() {
    return static_cast<uint32_t>(now);
}

void WaitEvents(uint32_t timeoutMs) {
    if (timeoutMs == 0 || RunDueActions()) return;
    bool bounded = timeoutMs != DRIVER_WAIT_FOREVER;
    uint64_t target = now + timeoutMs;
    if (!actions.empty() && (!bounded || actions.begin()->first < target)) {
        target = actions.begin()->first;
        bounded = true;
    }
    if (!bounded) {
        // The script has ended and nothing would ever happen again: close the window, as a
        // user would, so the program ends its own way.
        if (LiveWindow() != nullptr) {
            PostMessageA(LiveWindow(), WM_CLOSE, 0, 0);
            return;
        }
        std::fprintf(stderr, "headless message loop waits forever with no window\n");
        std::abort();
    }
    now = target;
    RunDueActions();
}

void Wake() {}
void Shutdown() {
    HeadlessGlShutdown();
}

}  // namespace

const PlatformDriver HeadlessDriver = {
    "headless",
    CreateWindow,
    DestroyWindow,
    ShowWindow,
    SetTitle,
    MoveWindow,
    WindowRect,
    Present,
    Ticks,
    WaitEvents,
    Wake,
    Shutdown,
    HeadlessGlMakeCurrent,
    HeadlessGlSwap,
};

bool HeadlessActive() {
    return ActiveDriver() == &HeadlessDriver;
}

void HeadlessAdvanceClock(uint32_t ms) {
    now += ms;
}

void HeadlessMouseMove(int32_t x, int32_t y) {
    PlatformPostInput(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

void HeadlessButtonUp(UINT message, int32_t x, int32_t y) {
    PlatformPostInput(message, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

void HeadlessKeyDown(UINT virtualKey) {
    PlatformPostInput(WM_KEYDOWN, virtualKey, 1);
}

void HeadlessKeyUp(UINT virtualKey) {
    PlatformPostInput(WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void HeadlessClose() {
    PlatformPostInput(WM_CLOSE, 0, 0);
}

void HeadlessAt(uint32_t tick, std::function<void()> action) {
    actions.emplace(tick, std::move(action));
}

bool HeadlessRunFor(uint32_t ms) {
    const uint64_t end = now + ms;
    for (;;) {
        if (MessageWaiting()) {
            MSG message;
            if (GetMessageA(&message, nullptr, 0, 0) == 0) return false;
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        if (RunDueActions()) continue;
        uint64_t next = end;
        uint32_t due = 0;
        if (EarliestTimerDue(&due)) next = std::min<uint64_t>(next, now + (due - Ticks()));
        if (!actions.empty()) next = std::min(next, actions.begin()->first);
        if (next <= now) return true;
        now = next;
    }
}

HeadlessImage HeadlessClientImage() {
    HeadlessImage image;
    CopyClientImage(&image.width, &image.height, &image.pixels);
    return image;
}

std::string HeadlessWindowTitle() {
    return WindowTitle();
}

uint32_t HeadlessPresentCount() {
    return PresentCount();
}

void PlatformResetForTest() {
    ResetMessageState();
    actions.clear();
    now = 0;
    outer = DriverRect{0, 0, 0, 0};
}
