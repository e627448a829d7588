// The program's drawing memory and off-screen device contexts: one pixel block holding the
// software WorkSurface and the BackdropBuffer, ComposeDC (where layers are composed) and
// ScratchDC (the device-context side of the drawing round trip), each with a 1024 x 768 x 32
// DIB section, and the two records through which layers and the splash own pictures: the Canvas
// and the FrameStrip. InitGraphics runs once, from the main window's creation.
#pragma once
#include <cstdint>

#include "gfx/pixel.h"
#include "geom/integer_ops.h"
#include "platform/windows.h"

constexpr uint32_t SURFACE_WIDTH = 1024;
constexpr uint32_t SURFACE_HEIGHT = 768;
constexpr uint32_t SURFACE_BYTES = 0x300000;  // one 1024 x 768 x 32 image

struct Canvas {
    HDC dc;                    // memory device context holding bitmap and the canvas font
    HBITMAP bitmap;            // 32-bit DIB section, bottom-up
    int32_t x;                 // position given at creation, kept for the owner
    int32_t y;
    BITMAPINFOHEADER* header;  // private header: only its width and height are read
    HFONT font;                // the canvas font, kept so DestroyCanvas can release it
};

// A canvas of frameCount equal frames stacked from the top, with its play state.
struct FrameStrip {
    int32_t x;
    int32_t y;
    uint32_t width;
    uint32_t frameHeight;
    Canvas* canvas;  // CANVAS_FAILED when the canvas could not be made
    uint32_t currentFrame;
    uint32_t frameCount;
    uint32_t playCount;
};

// CreateCanvas's failure result (-1 as an address).
inline Canvas* const CANVAS_FAILED = reinterpret_cast<Canvas*>(intptr_t(-1));

// The program's "Lucida Console" font description at the given LOGFONT height (-12 for the main
// font, -10 for every canvas).
LOGFONTA ProgramFontDescription(LONG height);

extern Surface WorkSurface;
extern uint32_t* BackdropBuffer;
extern HDC ComposeDC;
extern HBITMAP ComposeBitmap;
extern HDC ScratchDC;
extern HBITMAP ScratchBitmap;
extern HDC WindowDC;
extern HDC SplashDC;
extern Canvas* SetupCanvas;
extern BITMAPINFOHEADER SharedBitmapHeader;

// InitGraphics, which fills these globals, sits in the shell: it also makes the layer list, the
// angle tables and the OpenGL context, all of which sit above this module.
// A canvas with its own DIB section, font (white, height -10) and transparent text; -1 when no
// memory device context can be made. A failed canvas frees its record and header.
Canvas* CreateCanvas(HWND window, int32_t x, int32_t y, int32_t width, int32_t height);
// Deletes the device context, the bitmap and the canvas font, then frees the header and record.
void DestroyCanvas(Canvas* canvas);
HDC GetCanvasDC(const Canvas* canvas);
HBITMAP GetCanvasBitmap(const Canvas* canvas);
BITMAPINFOHEADER* GetCanvasHeader(const Canvas* canvas);
int32_t GetCanvasWidth(const Canvas* canvas);
int32_t GetCanvasHeight(const Canvas* canvas);
Point GetCanvasSize(const Canvas* canvas);  // (width, height)
FrameStrip* CreateFrameStrip(HWND window, int32_t x, int32_t y, uint32_t width,
                             uint32_t frameHeight, uint32_t frameCount);
Surface* GetWorkSurface();
HDC GetComposeDC();
