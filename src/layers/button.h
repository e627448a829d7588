// Button layer: a gradient rectangle with a one-line caption. Its normal and highlighted
// pictures are drawn once at creation into bands 0 and 1 of its canvas; drawing copies the band
// that matches the focus into ComposeDC. Clicks are handled by the main window, not here.
#pragma once
#include <cstdint>

#include "platform/windows.h"

// Index of the new button, or -1 when the list is full. The layer is placed at (x + 1, y + 1);
// the caption is not copied (0 gives "Layer") and shows up to its first NUL or carriage return
// within 128 bytes. A caption with neither in its first 128 bytes shows those 128 bytes.
int32_t CreateButtonLayer(HWND window, int32_t x, int32_t y, int32_t width, int32_t height,
                          uint32_t colour, const char* caption);
// Copies the highlighted band when the button holds the focus, else the normal one.
void DrawButtonLayer(uint32_t index);
