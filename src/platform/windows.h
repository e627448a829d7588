// The platform layer: the window, message, timer, GDI and kernel services the program is written
// against, under the names, argument orders and types of the Win32 calls it makes, so the program
// reads like its documented call sequences. Handles are typed pointers to the platform's own
// objects; all drawing happens in memory and a driver (a real SDL/X11 window, or a headless image
// with a virtual clock, chosen by VELMORA_DRIVER=headless) only shows the result.
// Program code includes only this header. Everything runs on the thread that made the window,
// except PostMessageA, which any thread may call.
#pragma once
#include <cstddef>
#include <cstdint>

// Calling-convention markers keep program code source-compatible with the native headers.
#ifndef WINAPI
#define WINAPI
#endif
#ifndef CALLBACK
#define CALLBACK
#endif
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// ---------------------------------------------------------------------------------------------
// Scalar types

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using INT = int32_t;
using BOOL = int32_t;
using ATOM = uint16_t;
using COLORREF = uint32_t;  // 0x00BBGGRR
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using SIZE_T = size_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using HRESULT = LONG;
using LPVOID = void*;
using LPCVOID = const void*;
using LPSTR = char*;
using LPCSTR = const char*;

// ---------------------------------------------------------------------------------------------
// Handles: pointers to platform objects whose contents stay private to the platform.

struct PlatformWindow;
struct PlatformDC;
struct PlatformModule;
struct PlatformResource;  // icons, cursors, brushes and menus: accepted and otherwise unused
struct PlatformGdiObject {
    uint32_t gdiKind;
};
struct PlatformBitmap : PlatformGdiObject {};
struct PlatformFont : PlatformGdiObject {};

using HWND = PlatformWindow*;
using HDC = PlatformDC*;
using HGDIOBJ = PlatformGdiObject*;
using HBITMAP = PlatformBitmap*;
using HFONT = PlatformFont*;
using HINSTANCE = PlatformModule*;
using HMODULE = PlatformModule*;
using HICON = PlatformResource*;
using HCURSOR = PlatformResource*;
using HBRUSH = PlatformResource*;
using HMENU = PlatformResource*;
using HANDLE = void*;
using HGLOBAL = void*;  // fixed blocks: the handle is the block's address
using HLOCAL = void*;

// ---------------------------------------------------------------------------------------------
// Records

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

struct WNDCLASSEXA {
    UINT cbSize;  // must be sizeof(WNDCLASSEXA)
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    LONG lfHeight;  // -N: em size of N pixels; +N: cell height (ascent + descent) of N pixels
    LONG lfWidth;   // ignored: glyphs keep the face's own proportions
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;  // 600 and above asks for a bold face
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;  // NONANTIALIASED_QUALITY renders bilevel glyphs, anything else antialiased
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: bottom-up rows; negative: top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

// ---------------------------------------------------------------------------------------------
// Constants

// Messages
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT MM_MCINOTIFY = 0x03B9;
constexpr UINT WM_USER = 0x0400;

constexpr WPARAM SIZE_RESTORED = 0;

// Virtual-key codes; letters and digits are their upper-case ASCII codes.
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_F1 = 0x70;  // VK_F1 + n is F(n + 1), up to F12

// Window classes, styles and show commands
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWDEFAULT = 10;
constexpr int COLOR_BTNFACE = 15;
constexpr UINT USER_TIMER_MINIMUM = 10;  // shorter timer periods are raised to this

// Resource names as the system's integer atoms
inline const LPCSTR IDI_APPLICATION = reinterpret_cast<LPCSTR>(uintptr_t{32512});
inline const LPCSTR IDC_ARROW = reinterpret_cast<LPCSTR>(uintptr_t{32512});

// GDI
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD BI_RGB = 0;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// Fonts
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_STROKE_PRECIS = 3;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;

// Memory
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT LMEM_FIXED = 0x0000;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

constexpr DWORD MAX_PATH = 260;

// ---------------------------------------------------------------------------------------------
// Word and colour helpers

constexpr WORD LOWORD(uintptr_t value) {
    return static_cast<WORD>(value & 0xFFFF);
}
constexpr WORD HIWORD(uintptr_t value) {
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}
constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) |
           (static_cast<COLORREF>(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF colour) {
    return static_cast<BYTE>(colour);
}
constexpr BYTE GetGValue(COLORREF colour) {
    return static_cast<BYTE>(colour >> 8);
}
constexpr BYTE GetBValue(COLORREF colour) {
    return static_cast<BYTE>(colour >> 16);
}

// ---------------------------------------------------------------------------------------------
// Process and kernel

HMODULE GetModuleHandleA(LPCSTR moduleName);   // NULL: the program itself (never NULL)
LPSTR GetCommandLineA();                       // the program's arguments joined by spaces
[[noreturn]] void ExitProcess(UINT exitCode);  // shuts the driver down, then ends the process
// Path of the program file with `\` separators; returns the characters written (truncated to
// size - 1 and NUL-terminated when it does not fit).
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
// Current directory with `\` separators; returns the length, or the size needed (NUL included)
// when the buffer is too small, leaving the buffer untouched.
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
DWORD GetTickCount();  // milliseconds; the virtual clock under the headless driver
DWORD GetLastError();
void SetLastError(DWORD errorCode);

// Blocks are always fixed: the handle is the address. GMEM_ZEROINIT zero-fills; otherwise the
// contents are undefined. NULL when out of memory.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
HGLOBAL GlobalFree(HGLOBAL block);  // NULL on success
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalFree(HLOCAL block);  // NULL on success

// Byte-string helpers of the system's ANSI code page (Windows-1252).
int lstrlenA(LPCSTR text);  // 0 for NULL
LPSTR lstrcatA(LPSTR destination, LPCSTR source);
LPSTR lstrcpyA(LPSTR destination, LPCSTR source);
// Formats at most 1024 bytes (NUL excluded). Conversions: %d %i %u %x %X %c %s %%, with flags
// '-' and '0', a width and an optional 'l' or 'h'; every integer argument is 32-bit.
int wsprintfA(LPSTR buffer, LPCSTR format, ...);
LPSTR CharUpperA(LPSTR text);  // upper-cases in place, Windows-1252 letters included
// value * numerator / denominator with a 64-bit product, rounded half away from zero; -1 when
// the denominator is 0 or the result does not fit.
int MulDiv(int value, int numerator, int denominator);

// ---------------------------------------------------------------------------------------------
// Windows and messages

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);  // 0 when cbSize or the name is wrong
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Makes the window with a client area of width x height (CW_USEDEFAULT: 600 x 480); WM_CREATE
// reaches the window procedure inside this call (returning -1 from it fails the creation, NULL),
// followed by WM_SIZE with the client size. Only one window exists at a time; a second call
// while one lives returns NULL.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL DestroyWindow(HWND window);  // sends WM_DESTROY, removes the window's timers
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);  // presents the whole client image
BOOL IsWindow(HWND window);
// Moves and resizes the window (outer rectangle), then sends WM_MOVE and WM_SIZE.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND window, LPRECT rect);  // outer rectangle in screen coordinates
BOOL GetClientRect(HWND window, LPRECT rect);  // (0, 0, client width, client height)
BOOL SetWindowTextA(HWND window, LPCSTR text);
int GetWindowTextA(HWND window, LPSTR text, int maxCount);

// Delivers the next message: posted and input messages first, in order; when none is waiting,
// one WM_TIMER for the most overdue timer (late ticks coalesce into one); otherwise waits.
// Returns 0 for WM_QUIT, after PostQuitMessage; the window and range filters are ignored.
BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* message);  // makes no WM_CHAR: nothing here reads it
// Calls the window procedure, or for WM_TIMER with a procedure in lParam that procedure only.
LRESULT DispatchMessageA(const MSG* message);
// WM_CLOSE destroys the window; every other message is answered with 0.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Runs the window procedure at once, nested in the caller; 0 for a window that does not exist.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Re-arming an existing (window, id) pair replaces its period and procedure and restarts it.
// A tick is due every period ms; a late tick reschedules at max(due + period, now).
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);

// ---------------------------------------------------------------------------------------------
// Device contexts, bitmaps and text (pixels are 32-bit words 0x00RRGGBB)

// The window's client area (one shared context per window; NULL: the screen, which has no
// pixels of its own but serves as a template). Reading outside the client area gives 0.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// A memory context holding a 1 x 1 stock bitmap until another is selected.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);  // its selected objects become free to delete
// Always a 32-bit top-down bitmap, whatever the template context holds; contents 0.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// 32-bit BI_RGB headers only; the rows lie in memory as the header's height sign says, and
// *bits (when given) receives their address. Contents 0.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// Returns the object of the same kind that was selected before, or NULL when the object does
// not exist or a bitmap is already selected into another context.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// FALSE, and nothing released, while the object is selected into a context.
BOOL DeleteObject(HGDIOBJ object);
// SRCCOPY only. Copies the pixels whose source and destination both lie inside their bitmaps;
// others are left as they were. A window context source reads 0 outside its client area.
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rop);
// Move the bitmap's pixels top row first, one 32-bit word per pixel; the count is clamped to the
// bitmap's size and the number of bytes moved is returned.
LONG GetBitmapBits(HBITMAP bitmap, LONG bytes, LPVOID bits);
LONG SetBitmapBits(HBITMAP bitmap, DWORD bytes, const void* bits);

int SetBkMode(HDC dc, int mode);  // returns the previous mode, 0 on error
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF SetTextColor(HDC dc, COLORREF colour);
// The face comes from fontconfig; "Lucida Console" and other fixed-pitch names resolve to a
// monospaced face (DejaVu Sans Mono when nothing better is installed).
HFONT CreateFontIndirectA(const LOGFONTA* font);
// Draws count characters with the top-left corner of the first character cell at (x, y).
// TRANSPARENT writes glyph pixels only (antialiased edges blended over what is there).
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count);
// LOGPIXELSX/Y: 96; BITSPIXEL: 32; PLANES: 1; HORZRES/VERTRES: the context's pixel size.
int GetDeviceCaps(HDC dc, int index);
