// Device contexts, bitmaps and the copies between them. Every pixel lives in memory: bitmaps in
// their own arrays, a window's client area in the window's image, which the driver shows after
// each drawing on the window context.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <unordered_set>

#include "platform/objects.h"

namespace {

constexpr int64_t MAX_BITMAP_PIXELS = int64_t{1} << 26;  // 256 MB of 32-bit pixels

std::map<PlatformDC*, std::unique_ptr<PlatformDC>> memoryContexts;
std::unordered_set<PlatformDC*> windowContexts;  // never freed with their windows
std::map<PlatformGdiObject*, std::unique_ptr<BitmapObject>> bitmaps;
std::map<PlatformGdiObject*, std::unique_ptr<FontObject>> fonts;
PlatformDC screenContext{nullptr, true};

BitmapObject* StockBitmap() {
    static BitmapObject* const stock = [] {
        auto* bitmap = new BitmapObject;
        bitmap->gdiKind = GDI_KIND_BITMAP;
        bitmap->width = bitmap->height = 1;
        bitmap->stock = true;
        bitmap->bits.reset(new uint32_t[1]());
        return bitmap;
    }();
    return stock;
}

HBITMAP NewBitmap(int64_t width, int64_t height, bool bottomUp) {
    if (width <= 0 || height <= 0 || width * height > MAX_BITMAP_PIXELS) return nullptr;
    auto bitmap = std::make_unique<BitmapObject>();
    bitmap->gdiKind = GDI_KIND_BITMAP;
    bitmap->width = static_cast<int32_t>(width);
    bitmap->height = static_cast<int32_t>(height);
    bitmap->bottomUp = bottomUp;
    bitmap->bits.reset(new (std::nothrow) uint32_t[size_t(width * height)]());
    if (!bitmap->bits) return nullptr;
    BitmapObject* handle = bitmap.get();
    bitmaps[handle] = std::move(bitmap);
    return handle;
}

// Moves bytes between a bitmap and a caller's buffer, top row first; toBitmap picks the way.
LONG MoveBitmapBits(BitmapObject* bitmap, int64_t bytes, uint8_t* buffer, bool toBitmap) {
    if (bitmap == nullptr || buffer == nullptr || bytes <= 0) return 0;
    const int64_t rowBytes = int64_t{bitmap->width} * 4;
    const int64_t moved = std::min(bytes, rowBytes * bitmap->height);
    const PixelPlane plane = bitmap->Plane();
    for (int64_t done = 0, y = 0; done < moved; done += rowBytes, ++y) {
        auto* row = reinterpret_cast<uint8_t*>(plane.Row(static_cast<int32_t>(y)));
        const size_t length = size_t(std::min(rowBytes, moved - done));
        if (toBitmap)
            std::memcpy(row, buffer + done, length);
        else
            std::memcpy(buffer + done, row, length);
    }
    return static_cast<LONG>(moved);
}

}  // namespace

PixelPlane BitmapObject::Plane() const {
    PixelPlane plane;
    plane.width = width;
    plane.height = height;
    plane.stride = bottomUp ? -ptrdiff_t{width} : ptrdiff_t{width};
    plane.base = bits.get() + (bottomUp ? ptrdiff_t{height - 1} * width : 0);
    return plane;
}

BitmapObject* LiveBitmap(HGDIOBJ object) {
    if (object == StockBitmap()) return StockBitmap();
    const auto found = bitmaps.find(object);
    return found == bitmaps.end() ? nullptr : found->second.get();
}

FontObject* LiveFont(HGDIOBJ object) {
    if (object == StockFont()) return StockFont();
    const auto found = fonts.find(object);
    return found == fonts.end() ? nullptr : found->second.get();
}

FontObject* StockFont() {
    static FontObject* const stock = [] {
        auto* font = new FontObject;
        font->gdiKind = GDI_KIND_FONT;
        font->stock = true;
        font->logFont.lfHeight = -12;
        font->logFont.lfWeight = FW_NORMAL;
        font->logFont.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        return font;
    }();
    return stock;
}

PlatformDC* LiveDC(HDC dc) {
    if (dc == &screenContext) return dc;
    if (windowContexts.count(dc)) return dc->window ? dc : nullptr;
    const auto found = memoryContexts.find(dc);
    return found == memoryContexts.end() ? nullptr : found->second.get();
}

PixelPlane ContextPlane(PlatformDC* dc) {
    if (dc->window != nullptr) return WindowPlane(dc->window);
    if (dc->screen || dc->bitmap == nullptr) return PixelPlane{};
    return dc->bitmap->Plane();
}

// ---------------------------------------------------------------------------------------------

HDC GetDC(HWND window) {
    if (window == nullptr) return &screenContext;
    PlatformDC* dc = WindowContext(window);
    if (dc != nullptr) windowContexts.insert(dc);
    return dc;
}

int ReleaseDC(HWND, HDC dc) {
    return LiveDC(dc) ? 1 : 0;
}

HDC CreateCompatibleDC(HDC dc) {
    if (dc != nullptr && LiveDC(dc) == nullptr) return nullptr;
    auto context = std::make_unique<PlatformDC>();
    context->bitmap = StockBitmap();
    context->font = StockFont();
    PlatformDC* handle = context.get();
    memoryContexts[handle] = std::move(context);
    return handle;
}

BOOL DeleteDC(HDC handle) {
    const auto found = memoryContexts.find(handle);
    if (found == memoryContexts.end()) return FALSE;
    PlatformDC* dc = found->second.get();
    if (dc->bitmap != nullptr && !dc->bitmap->stock) dc->bitmap->selectedInto = nullptr;
    if (dc->font != nullptr && dc->font->selections > 0) --dc->font->selections;
    memoryContexts.erase(found);
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (LiveDC(dc) == nullptr) return nullptr;
    return NewBitmap(width, height, false);
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD) {
    if (bits != nullptr) *bits = nullptr;
    if ((dc != nullptr && LiveDC(dc) == nullptr) || info == nullptr || section != nullptr ||
        usage != DIB_RGB_COLORS)
        return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
        header.biBitCount != 32 || header.biCompression != BI_RGB)
        return nullptr;
    const int64_t height = header.biHeight;
    HBITMAP handle = NewBitmap(header.biWidth, height < 0 ? -height : height, height > 0);
    if (handle != nullptr && bits != nullptr)
        *bits = static_cast<BitmapObject*>(handle)->bits.get();
    return handle;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    PlatformDC* dc = LiveDC(handle);
    if (dc == nullptr || object == nullptr) return nullptr;
    if (BitmapObject* bitmap = LiveBitmap(object)) {
        if (dc->window != nullptr || dc->screen) return nullptr;
        if (bitmap->selectedInto != nullptr && bitmap->selectedInto != dc) return nullptr;
        BitmapObject* previous = dc->bitmap;
        if (!previous->stock) previous->selectedInto = nullptr;
        if (!bitmap->stock) bitmap->selectedInto = dc;
        dc->bitmap = bitmap;
        return previous;
    }
    if (FontObject* font = LiveFont(object)) {
        FontObject* previous = dc->font ? dc->font : StockFont();
        if (previous->selections > 0) --previous->selections;
        ++font->selections;
        dc->font = font;
        return previous;
    }
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (object == StockBitmap() || object == StockFont()) return TRUE;
    if (BitmapObject* bitmap = LiveBitmap(object)) {
        if (bitmap->selectedInto != nullptr) return FALSE;
        bitmaps.erase(object);
        return TRUE;
    }
    if (FontObject* font = LiveFont(object)) {
        if (font->selections > 0) return FALSE;
        fonts.erase(object);
        return TRUE;
    }
    return FALSE;
}

HFONT CreateFontIndirectA(const LOGFONTA* logFont) {
    if (logFont == nullptr) return nullptr;
    auto font = std::make_unique<FontObject>();
    font->gdiKind = GDI_KIND_FONT;
    font->logFont = *logFont;
    font->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    FontObject* handle = font.get();
    fonts[handle] = std::move(font);
    return handle;
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rop) {
    PlatformDC* to = LiveDC(destination);
    PlatformDC* from = LiveDC(source);
    if (to == nullptr || from == nullptr || rop != SRCCOPY) return FALSE;
    const PixelPlane target = ContextPlane(to);
    const PixelPlane origin = ContextPlane(from);
    const bool windowSource = from->window != nullptr;
    if (width <= 0 || height <= 0 || target.width == 0) return TRUE;
    if (origin.width == 0 && !windowSource) return TRUE;

    // Destination columns [left, right) and rows [top, bottom) that get written; a window
    // source supplies 0 outside its client area, a bitmap source limits the copy to itself.
    const int64_t shiftX = int64_t{sourceX} - x, shiftY = int64_t{sourceY} - y;
    int64_t left = std::max<int64_t>(x, 0),
            right = std::min<int64_t>(int64_t{x} + width, target.width);
    int64_t top = std::max<int64_t>(y, 0),
            bottom = std::min<int64_t>(int64_t{y} + height, target.height);
    if (!windowSource) {
        left = std::max(left, -shiftX);
        right = std::min(right, origin.width - shiftX);
        top = std::max(top, -shiftY);
        bottom = std::min(bottom, origin.height - shiftY);
    }
    if (left >= right || top >= bottom) return TRUE;

    // Within one image, rows go in the order that reads each source row before it is written.
    const bool sameImage = target.base == origin.base && target.stride == origin.stride;
    const bool upward = sameImage && shiftY < 0;
    for (int64_t i = 0; i < bottom - top; ++i) {
        const int64_t row = upward ? bottom - 1 - i : top + i;
        uint32_t* out = target.Row(static_cast<int32_t>(row));
        const int64_t fromRow = row + shiftY;
        if (fromRow < 0 || fromRow >= origin.height) {
            std::fill(out + left, out + right, 0u);
            continue;
        }
        const uint32_t* in = origin.Row(static_cast<int32_t>(fromRow));
        const int64_t copyLeft = std::max(left, -shiftX);
        const int64_t copyRight = std::min(right, origin.width - shiftX);
        if (copyLeft >= copyRight) {
            std::fill(out + left, out + right, 0u);
            continue;
        }
        std::fill(out + left, out + copyLeft, 0u);
        std::memmove(out + copyLeft, in + copyLeft + shiftX, size_t(copyRight - copyLeft) * 4);
        std::fill(out + copyRight, out + right, 0u);
    }
    if (to->window != nullptr)
        WindowDrawn(to->window, static_cast<int32_t>(left), static_cast<int32_t>(top),
                    static_cast<int32_t>(right), static_cast<int32_t>(bottom));
    return TRUE;
}

LONG GetBitmapBits(HBITMAP bitmap, LONG bytes, LPVOID bits) {
    return MoveBitmapBits(LiveBitmap(bitmap), bytes, static_cast<uint8_t*>(bits), false);
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD bytes, const void* bits) {
    BitmapObject* object = LiveBitmap(bitmap);
    if (object != nullptr && object->stock) return 0;
    return MoveBitmapBits(object, bytes, static_cast<uint8_t*>(const_cast<void*>(bits)), true);
}

int SetBkMode(HDC handle, int mode) {
    PlatformDC* dc = LiveDC(handle);
    if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

COLORREF SetBkColor(HDC handle, COLORREF colour) {
    PlatformDC* dc = LiveDC(handle);
    if (dc == nullptr) return 0xFFFFFFFF;
    const COLORREF previous = dc->bkColour;
    dc->bkColour = colour & 0x00FFFFFF;
    return previous;
}

COLORREF SetTextColor(HDC handle, COLORREF colour) {
    PlatformDC* dc = LiveDC(handle);
    if (dc == nullptr) return 0xFFFFFFFF;
    const COLORREF previous = dc->textColour;
    dc->textColour = colour & 0x00FFFFFF;
    return previous;
}

BOOL TextOutA(HDC handle, int x, int y, LPCSTR text, int count) {
    PlatformDC* dc = LiveDC(handle);
    if (dc == nullptr || (text == nullptr && count > 0)) return FALSE;
    if (count <= 0) return TRUE;
    const PixelPlane plane = ContextPlane(dc);
    if (plane.width == 0) return TRUE;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    DrawText(plane, dc->font ? dc->font : StockFont(), *dc, x, y, text, count, &left, &top, &right,
             &bottom);
    if (dc->window != nullptr) WindowDrawn(dc->window, left, top, right, bottom);
    return TRUE;
}

int GetDeviceCaps(HDC handle, int index) {
    PlatformDC* dc = LiveDC(handle);
    if (dc == nullptr) return 0;
    switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case BITSPIXEL:
            return 32;
        case PLANES:
            return 1;
        case HORZRES:
            return ContextPlane(dc).width;
        case VERTRES:
            return ContextPlane(dc).height;
        default:
            return 0;
    }
}
