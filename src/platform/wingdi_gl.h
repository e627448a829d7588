// OpenGL on the window, in the platform's manner: a pixel format is chosen and set on the
// window's device context, a rendering context is made on it and made current, and SwapBuffers
// shows the frame. Behind these calls is one OpenGL context of the driver (compatibility profile,
// double buffer, 8-8-8 colour, 16-bit depth): SDL's on the real window, an off-screen one on the
// headless driver, whose swapped frames land in the client image. The GL 1.1 and GLU calls
// themselves come from <GL/gl.h> and <GL/glu.h>. Everything runs on the window's thread.
//
// For tests, VELMORA_GL_REFUSE (read at each call) makes the set-up fail the way a machine
// without OpenGL would: "pixel-format" -> ChoosePixelFormat gives 0 and SetPixelFormat fails;
// "context" -> wglCreateContext gives NULL.
#pragma once
#include "platform/windows.h"

struct PlatformGlContext;
using HGLRC = PlatformGlContext*;

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;  // must be sizeof(PIXELFORMATDESCRIPTOR): 40
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);

constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
constexpr BYTE PFD_TYPE_RGBA = 0;
constexpr BYTE PFD_MAIN_PLANE = 0;

// The one pixel format there is: RGBA 8-8-8, 16-bit depth, double buffered, on a window.
constexpr int GL_WINDOW_PIXEL_FORMAT = 1;

// GL_WINDOW_PIXEL_FORMAT for a window's context and a descriptor of the right size that asks
// for OpenGL RGBA drawing to a window; 0 otherwise. Colour, depth and stencil sizes are
// requests, answered with the one format.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor);
// Sets the format of the context's window, once per window; this is where the driver's OpenGL
// context is made, so FALSE also means the display has no OpenGL. Setting the format that is
// already set succeeds.
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor);
// A rendering context on a window whose pixel format is set; one per window (NULL for a
// second). It lives as long as the window.
HGLRC wglCreateContext(HDC dc);
// Makes context current on this thread (NULL: none current). FALSE for a context of another
// window, or a window that is gone.
BOOL wglMakeCurrent(HDC dc, HGLRC context);
HGLRC wglGetCurrentContext();
// Shows the frame drawn on the current context of the context's window.
BOOL SwapBuffers(HDC dc);
