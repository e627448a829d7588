// Starts the demonstration program on the headless driver for a test: the window is created and
// shown, its whole set-up has run, and the message loop has not started yet.
#pragma once
#include <cstdlib>

#include "platform/headless.h"
#include "shell/main_window.h"

inline HWND StartProgramForTest() {
    setenv("VELMORA_DRIVER", "headless", 1);
    PlatformResetForTest();
    ResetProgramForTest();
    return CreateMainWindow(GetModuleHandleA(nullptr));
}
