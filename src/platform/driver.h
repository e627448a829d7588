// The display side of the platform layer: one table of functions per driver, chosen once, and
// the few core entry points a driver calls back. The core keeps every pixel in memory; a driver
// only shows finished rectangles, owns the native window and event queue, and tells time.
// Nothing here includes windows.h, so SDL and X11 headers can sit beside it.
#pragma once
#include <cstdint>

struct DriverRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

constexpr uint32_t DRIVER_WAIT_FOREVER = 0xFFFFFFFFu;

struct PlatformDriver {
    const char* name;
    // Opens the one native window, hidden, with a client area of width x height.
    bool (*createWindow)(const char* title, int32_t x, int32_t y, int32_t width, int32_t height,
                         bool resizable);
    void (*destroyWindow)();
    void (*showWindow)(bool visible);
    void (*setTitle)(const char* title);
    // Places the outer rectangle; the driver reports the new client size through
    // PlatformClientResized.
    void (*moveWindow)(int32_t x, int32_t y, int32_t outerWidth, int32_t outerHeight);
    DriverRect (*windowRect)();  // outer rectangle in screen coordinates
    // Shows area of the client image (top row first, 0x00RRGGBB, imageWidth words a row).
    void (*present)(const uint32_t* image, int32_t imageWidth, int32_t imageHeight,
                    DriverRect area);
    uint32_t (*ticks)();  // milliseconds
    // Hands pending native events to the core; when there were none, waits up to timeoutMs
    // (0: only look) for one to arrive.
    void (*waitEvents)(uint32_t timeoutMs);
    void (*wake)();  // any thread: ends a waitEvents early
    void (*shutdown)();
    // The OpenGL glue: the window's one GL context made current or released, and a swap.
    bool (*glMakeCurrent)(bool current);
    void (*glSwap)();
};

extern const PlatformDriver WindowDriver;
extern const PlatformDriver HeadlessDriver;

// The driver in use: the headless one when VELMORA_DRIVER=headless, else the window driver.
const PlatformDriver* ActiveDriver();

// Core entry points for drivers (called on the window's thread).
void PlatformPostInput(uint32_t message, uintptr_t wParam, intptr_t lParam);
void PlatformClientResized(int32_t width, int32_t height);
void PlatformExposed();  // the native window lost its picture: present the client image again
