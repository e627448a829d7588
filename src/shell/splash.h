// The splash and the frame counter: timer 2 (20 ms) composes the intro splash once and stops;
// timer 3 (1000 ms) writes the frames counted since its last tick into the window title.
// The splash is a picture file with translucent grey panels, a red notice line, an olive
// gradient bar and ring band, drawn into SplashStripA's canvas through the drawing round trip,
// shown through SplashDC, and then captured as the backdrop of the buttons.
#pragma once
#include <cstdint>

#include "gfx/framebuffer.h"
#include "platform/windows.h"

extern uint32_t FrameCount;  // frames counted since the last tick of timer 3

// The splash background, looked up in the current directory.
inline constexpr char SPLASH_PICTURE_NAME[] = "\\093070B.jpg";
// The notice drawn over the top band, exactly 76 characters.
inline constexpr char SPLASH_NOTICE[] =
    "Velmora: a splash drawn by hand in software - picture, panels, bar and ring.";
inline constexpr int32_t SPLASH_NOTICE_LENGTH = 76;
static_assert(sizeof(SPLASH_NOTICE) == SPLASH_NOTICE_LENGTH + 1);
constexpr uint32_t FPS_HISTORY_LENGTH = 10;

// First tick: composes the splash into SplashStripA, stops timer 2 and sends the capture
// request. Later ticks (none in the program) play the strip's frames in turn, counting frames.
// Frames wrap from the last one back to frame 0, so every frame shown lies inside the canvas.
void CALLBACK SplashTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
void CALLBACK FrameCounterTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
// Composes the splash into frame 0 of strip, shows it through SplashDC, copies it into frame 1
// through SplashStripB (timed: the title becomes the milliseconds) and counts one play.
// Nothing is drawn when strip or SplashStripB has no canvas.
void ComposeSplash(FrameStrip* strip);
// Drops the oldest of the ten history values, appends newValue, and draws the values from
// oldest (y 100) to newest (y 235) at x 155, each beside an "FPS:" label at x 125.
void DrawFpsHistory(HDC dc, uint32_t* history, uint32_t newValue);
