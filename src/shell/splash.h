// The splash and the frame counter: timer 2 (20 ms) composes the intro splash once and stops;
// timer 3 (1000 ms) writes the frames counted since its last tick into the window title.
#pragma once
#include <cstdint>

#include "platform/windows.h"

extern uint32_t FrameCount;  // frames counted since the last tick of timer 3

void CALLBACK SplashTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
void CALLBACK FrameCounterTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
