#include "shell/splash.h"

#include "util/strings.h"

uint32_t FrameCount = 0;

// The splash composition arrives with the drawing round trip; until then the timer only stops.
void CALLBACK SplashTimerProc(HWND window, UINT, UINT_PTR, DWORD) { KillTimer(window, 2); }

void CALLBACK FrameCounterTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    char text[1024];
    FormatUnsigned(FrameCount, text);
    SetWindowTextA(window, text);
    FrameCount = 0;
}
