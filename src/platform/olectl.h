// Picture loading services of the platform, under the COM and OLE names the program calls:
// COM start-up, task memory, the ANSI-to-wide path conversion, and OleLoadPicturePath with an
// IPicture of our own. JPEG files decode with libjpeg-turbo and BMP files with SDL; a picture
// reports its size in HIMETRIC for a 96-dpi screen, whatever density the file declares.
// Wide strings are UTF-16 code units, as on the platform the program was written for.
#pragma once
#include <cstdint>

#include "platform/windows.h"

using WCHAR = char16_t;
using OLECHAR = WCHAR;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPOLESTR = OLECHAR*;
using ULONG = uint32_t;
using OLE_COLOR = DWORD;
using OLE_XPOS_HIMETRIC = LONG;
using OLE_YPOS_HIMETRIC = LONG;
using OLE_XSIZE_HIMETRIC = LONG;
using OLE_YSIZE_HIMETRIC = LONG;
using LPCRECT = const RECT*;

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
using IID = GUID;
using REFIID = const IID&;

inline bool IsEqualGUID(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

extern const IID IID_IUnknown;  // {00000000-0000-0000-C000-000000000046}
extern const IID IID_IPicture;  // {7BF80980-BF32-101A-8BBB-00AA00300CAB}

// Result codes: negative means failure.
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT CTL_E_INVALIDPICTURE = static_cast<HRESULT>(0x800A01E1u);

// Last-error codes of the picture services.
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;

constexpr HRESULT HRESULT_FROM_WIN32(DWORD error) {
    return error == 0 ? S_OK : static_cast<HRESULT>((error & 0xFFFFu) | 0x80070000u);
}

constexpr bool SUCCEEDED(HRESULT result) {
    return result >= 0;
}
constexpr bool FAILED(HRESULT result) {
    return result < 0;
}

// The base of every interface; the last Release destroys the object.
struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

// A loaded picture. Only the methods the program calls exist, in their interface order.
struct IPicture : IUnknown {
    virtual HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) = 0;
    virtual HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) = 0;
    // Draws the source rectangle (HIMETRIC, y growing upward from the picture's bottom edge)
    // scaled into the destination rectangle (pixels). Starting the source at the picture's
    // height with a negative source height draws the picture upright. Destination sizes must be
    // positive and source sizes non-zero (E_INVALIDARG otherwise); source points outside the
    // picture take the nearest edge pixel. The bounds (metafiles only) are ignored.
    virtual HRESULT Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc,
                           OLE_YPOS_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc,
                           OLE_YSIZE_HIMETRIC cySrc, LPCRECT bounds) = 0;

  protected:
    ~IPicture() = default;
};

// COM start-up is counted per thread: S_OK the first time, S_FALSE when already started. The
// picture services work whether or not it was called.
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
LPVOID CoTaskMemAlloc(SIZE_T bytes);  // NULL when out of memory
void CoTaskMemFree(LPVOID block);

constexpr UINT CP_ACP = 0;  // the system's ANSI code page, Windows-1252 here
// Converts length bytes of text (-1: up to and including its NUL) into wide characters; returns
// the number written, or with wideLength 0 the number needed. Only CP_ACP is known. 0 on failure
// (last error ERROR_INVALID_PARAMETER, or ERROR_INSUFFICIENT_BUFFER when wide is too small).
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide,
                        int wideLength);

// Loads the picture file at path (`\` or `/` separators) as an IPicture (riid IID_IPicture or
// IID_IUnknown) into *result, which is cleared first. A missing or unreadable file fails with
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), a file that is no picture (or larger than 16 M pixels)
// with CTL_E_INVALIDPICTURE. A truncated JPEG still loads: its missing rows come out grey, as the
// decoder fills them. caller, reserved and reservedColour are ignored.
HRESULT OleLoadPicturePath(LPOLESTR path, LPUNKNOWN caller, DWORD reserved,
                           OLE_COLOR reservedColour, REFIID riid, LPVOID* result);
