// The program's spine: WinMain registers the "MOWL" class, creates the 600 x 480 main window
// (whose WM_CREATE runs the whole set-up) and runs the message loop; WndProc handles creation,
// destruction and the Exit rule (a click request for the "Exit" button quits).
#pragma once
#include <cstdint>

#include "gfx/framebuffer.h"
#include "platform/windows.h"

extern HWND MainWindow;
extern FrameStrip* SplashStripA;  // 600 x 500, 2 frames
extern FrameStrip* SplashStripB;  // 600 x 500, 1 frame
extern int32_t ExitButtonIndex;
extern HFONT MainFont;

// Allocates the pixel block, the device contexts, the setup canvas, the layer list, the angle
// tables and the OpenGL context, in that order; a failed pixel format posts the quit message.
void InitGraphics(HWND window);
// The set-up and the message loop, as WinMain runs them: registers the class and creates the
// main window (its WM_CREATE runs the whole set-up); then shows it.
HWND CreateMainWindow(HINSTANCE instance);
// Dispatches messages until WM_QUIT; returns the quit code.
int RunMessageLoop();
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Forgets the layers, the focus, the input state and the view for a new program run in the same
// process (tests); the pixel block and device contexts are made anew by the next set-up.
void ResetProgramForTest();
