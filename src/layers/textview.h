// Text-view layer: up to 50 lines of a text document over a striped background (grey line bands
// on a colour gradient), scrolled with the arrow keys held at compose time. The background and a
// scroll-bar image are prepared at creation; text is rendered into the picture only when a
// document is bound or a scroll key acts, and each compose just copies the picture.
#pragma once
#include <cstdint>

#include "gfx/pixel.h"
#include "platform/windows.h"

struct Layer;
struct TextDoc;

// Layout of the rendered lines.
constexpr uint32_t TEXTVIEW_LINES = 50;     // lines rendered each time
constexpr int32_t TEXTVIEW_PITCH = 21;      // rows from one line to the next
constexpr int32_t TEXTVIEW_TEXT_LEFT = 20;  // text starts this far right of x, less hOffset
constexpr int32_t TEXTVIEW_TEXT_TOP = 10;   // the first line starts this far below y
constexpr int32_t TEXTVIEW_H_LIMIT = 400;   // Right shifts only while hOffset is at most this
constexpr uint32_t SCROLLBAR_COLOUR = 0x00007F;

// Index of the new view, or -1 when the list is full. The layer sits at (x, y + 1) and is one
// column wider than given (that column is never drawn); no document is bound yet.
int32_t CreateTextViewLayer(HWND window, int32_t x, int32_t y, int32_t width, int32_t height,
                            uint32_t colour);
// Shows document from line 1 with no sideways shift; a record of another kind or no document
// changes nothing. The document is not copied and must stay loaded while it is bound.
void BindTextDoc(Layer* layer, TextDoc* document);
// Redraws the picture: the clean background, then lines topLine to topLine + 49 shifted left by
// hOffset; with no document, or topLine outside 1 to lineCount, the background alone.
void RenderTextViewLines(uint32_t index);
// Scrolls by the key held (KeyCode): Up and Down a page of height / 21 lines, Left and Right
// height pixels at every second compose that sees them; then copies the picture into ComposeDC.
void DrawTextViewLayer(uint32_t index);
// A vertical bar of gradient boxes in one colour: the track, a 20-row box at each end and a
// 20-row thumb at position x (height - 60) / total below the top box; no thumb when position is
// not in 0 to total - 1 (so a total of 0 draws none).
// Under 60 rows no thumb fits and none is drawn; under 20 rows the end boxes shrink to the bar.
void DrawScrollBar(const Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
                   int32_t position, int32_t total, uint32_t colour);
