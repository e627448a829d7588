// The platform's own objects behind the handles of windows.h, shared by the window, GDI and
// text parts of the core. Every handle a caller passes in is checked against the live objects
// before use, so a stale or made-up handle fails the call instead of touching memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows.h"

constexpr uint32_t GDI_KIND_BITMAP = 0x504D4221;  // "!BMP"
constexpr uint32_t GDI_KIND_FONT = 0x544E4621;    // "!FNT"

// Rows of 32-bit pixels addressed top row first, whatever their order in memory.
struct PixelPlane {
    uint32_t* base = nullptr;  // row 0
    int32_t width = 0;
    int32_t height = 0;
    ptrdiff_t stride = 0;  // words from one row to the next; negative for bottom-up storage
    uint32_t* Row(int32_t y) const { return base + y * stride; }
};

struct BitmapObject : PlatformBitmap {
    int32_t width = 0;
    int32_t height = 0;
    bool bottomUp = false;
    bool stock = false;
    std::unique_ptr<uint32_t[]> bits;
    PlatformDC* selectedInto = nullptr;
    PixelPlane Plane() const;
};

struct FontFace;  // the rasterizer's side of a font (text.cpp)

struct FontObject : PlatformFont {
    LOGFONTA logFont{};
    bool stock = false;
    uint32_t selections = 0;  // contexts holding it
    std::shared_ptr<FontFace> face;
};

struct PlatformDC {
    PlatformWindow* window = nullptr;  // set for a window's client-area context
    bool screen = false;               // GetDC(NULL)
    BitmapObject* bitmap = nullptr;
    FontObject* font = nullptr;
    int bkMode = OPAQUE;
    COLORREF bkColour = 0x00FFFFFF;
    COLORREF textColour = 0x00000000;
};

// Live-object checks; each answers the object or null.
BitmapObject* LiveBitmap(HGDIOBJ object);
FontObject* LiveFont(HGDIOBJ object);
PlatformDC* LiveDC(HDC dc);
FontObject* StockFont();

// The pixels a context draws on (width 0 when it has none). A window context covers the
// client area of a window that is alive.
PixelPlane ContextPlane(PlatformDC* dc);
// Called after drawing on a window context, with the changed rectangle of the client area.
void WindowDrawn(PlatformWindow* window, int32_t left, int32_t top, int32_t right, int32_t bottom);
// The shared client-area context of a live window, or null, and its pixels.
PlatformDC* WindowContext(PlatformWindow* window);
PixelPlane WindowPlane(PlatformWindow* window);

// Text rasterizer (text.cpp): draws count characters with the cell's top-left at (x, y) and
// returns the drawn rectangle through the out parameters (empty when nothing was drawn).
void DrawText(const PixelPlane& plane, FontObject* font, const PlatformDC& dc, int32_t x, int32_t y,
              const char* text, int32_t count, int32_t* left, int32_t* top, int32_t* right,
              int32_t* bottom);
