// Bar layer: a 20-pixel-wide vertical gradient bar, prepared once at creation and copied into
// ComposeDC at every compose. It has no highlight and ignores the focus.
#pragma once
#include <cstdint>

#include "platform/windows.h"

constexpr uint32_t BAR_WIDTH = 20;

// Index of the new bar, or -1 when the list is full. The bar sits at (x + 1, y + 1), 20 x height;
// its left column and top row show what the work surface held there.
int32_t CreateBarLayer(HWND window, int32_t x, int32_t y, int32_t height, uint32_t colour);
void DrawBarLayer(uint32_t index);
