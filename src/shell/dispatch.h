// Message dispatch and the repaint protocol: PreDispatchMessage sees every message of the main
// window before WndProc. It keeps the input state, toggles the view, turns a left-button release
// into click and redraw requests and carries out the repaint requests that rebuild ComposeDC.
// LayerTimerProc (timer 4, 50 ms) presents ComposeDC and moves the focus, or renders the 3D view.
#pragma once
#include <cstdint>

#include "platform/windows.h"

extern uint32_t ViewMode;  // 0 layer view, 1 3D view

void PreDispatchMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CALLBACK LayerTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
// PointerX from the low 16 bits of a mouse-move lParam, PointerY from the high 16 bits.
void StorePointer(LPARAM lParam);
// Selects the font into ComposeDC, then ScratchDC.
void SelectDrawingFont(HFONT font);
// The layer view's place for key handling: nothing to do yet.
void LayerViewKeyDown(HWND window);
