// Test controls of the headless driver (VELMORA_DRIVER=headless): the window is a memory image,
// time is a virtual clock that only moves when a test or an idle message loop moves it, and
// input is injected as the window driver would deliver it. For tests only.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/windows.h"

// True when the headless driver runs (the first platform call chooses the driver).
bool HeadlessActive();

// Moves the virtual clock forward; timers that fall due tick at the next GetMessageA.
void HeadlessAdvanceClock(uint32_t ms);

// Posts input to the window's queue as the window driver does: lParam = x | y << 16.
void HeadlessMouseMove(int32_t x, int32_t y);
void HeadlessButtonUp(UINT message, int32_t x, int32_t y);  // WM_LBUTTONUP or WM_RBUTTONUP
void HeadlessKeyDown(UINT virtualKey);
void HeadlessKeyUp(UINT virtualKey);
void HeadlessClose();  // the title-bar close button: WM_CLOSE

// Runs action when the virtual clock reaches tick, from inside a GetMessageA that has nothing
// else to deliver at that time (several actions at one tick run in the order given). When a
// message loop has nothing left to wait for (no timer, no action), the window is closed.
void HeadlessAt(uint32_t tick, std::function<void()> action);

// Runs a message loop for ms of virtual time: delivers everything due, moving the clock from
// timer to timer. Returns false as soon as it retrieves WM_QUIT.
bool HeadlessRunFor(uint32_t ms);

// The client image, top row first, 0x00RRGGBB words.
struct HeadlessImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int32_t x, int32_t y) const {
        return pixels[size_t(y) * size_t(width) + size_t(x)];
    }
};
HeadlessImage HeadlessClientImage();
std::string HeadlessWindowTitle();
// Number of presents the window has received (UpdateWindow and drawing on the window context).
uint32_t HeadlessPresentCount();

// Destroys the window without messages and forgets classes, timers, queued messages, pending
// actions and the quit request; the clock restarts at 0. GDI objects stay valid.
void PlatformResetForTest();
