// The pixel-format and rendering-context calls over the driver's one OpenGL context. The
// driver makes the context on the first glMakeCurrent(true) of a window and deletes it with the
// window; this file keeps which window has its format set and which context is current.
#include "platform/wingdi_gl.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/driver.h"
#include "platform/objects.h"

struct PlatformGlContext {
    PlatformWindow* window = nullptr;
};

namespace {

// Windows are never freed, so their addresses stay unique for the life of the process.
PlatformWindow* formattedWindow = nullptr;
std::vector<std::unique_ptr<PlatformGlContext>> contexts;  // kept, so old handles stay safe
PlatformGlContext* currentContext = nullptr;

bool Refused(const char* what) {
    const char* refuse = std::getenv("VELMORA_GL_REFUSE");
    return refuse != nullptr && std::strcmp(refuse, what) == 0;
}

// The live window whose client-area context dc is, or null.
PlatformWindow* WindowOf(HDC dc) {
    PlatformDC* context = LiveDC(dc);
    if (context == nullptr || context->window == nullptr) return nullptr;
    return WindowContext(context->window) == context ? context->window : nullptr;
}

PlatformGlContext* LiveContext(HGLRC handle) {
    for (const auto& context : contexts)
        if (context.get() == handle) return WindowContext(handle->window) ? handle : nullptr;
    return nullptr;
}

}  // namespace

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor) {
    if (WindowOf(dc) == nullptr || descriptor == nullptr ||
        descriptor->nSize != sizeof(PIXELFORMATDESCRIPTOR) ||
        (descriptor->dwFlags & (PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW)) !=
            (PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW) ||
        descriptor->iPixelType != PFD_TYPE_RGBA || Refused("pixel-format"))
        return 0;
    return GL_WINDOW_PIXEL_FORMAT;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    PlatformWindow* window = WindowOf(dc);
    if (window == nullptr || format != GL_WINDOW_PIXEL_FORMAT || Refused("pixel-format"))
        return FALSE;
    if (window == formattedWindow) return TRUE;
    const PlatformDriver* driver = ActiveDriver();
    if (driver->glMakeCurrent == nullptr || !driver->glMakeCurrent(true)) return FALSE;
    // The context exists now; it becomes current through wglMakeCurrent.
    driver->glMakeCurrent(false);
    if (currentContext != nullptr && currentContext->window != window) currentContext = nullptr;
    formattedWindow = window;
    return TRUE;
}

HGLRC wglCreateContext(HDC dc) {
    PlatformWindow* window = WindowOf(dc);
    if (window == nullptr || window != formattedWindow || Refused("context")) return nullptr;
    for (const auto& context : contexts)
        if (context->window == window) return nullptr;
    contexts.push_back(std::make_unique<PlatformGlContext>());
    contexts.back()->window = window;
    return contexts.back().get();
}

BOOL wglMakeCurrent(HDC dc, HGLRC handle) {
    const PlatformDriver* driver = ActiveDriver();
    if (handle == nullptr) {
        if (currentContext != nullptr && WindowContext(currentContext->window) != nullptr)
            driver->glMakeCurrent(false);
        currentContext = nullptr;
        return TRUE;
    }
    PlatformGlContext* context = LiveContext(handle);
    if (context == nullptr || WindowOf(dc) != context->window) return FALSE;
    if (!driver->glMakeCurrent(true)) return FALSE;
    currentContext = context;
    return TRUE;
}

HGLRC wglGetCurrentContext() {
    return LiveContext(currentContext);
}

BOOL SwapBuffers(HDC dc) {
    PlatformWindow* window = WindowOf(dc);
    PlatformGlContext* context = LiveContext(currentContext);
    if (window == nullptr || context == nullptr || context->window != window) return FALSE;
    ActiveDriver()->glSwap();
    return TRUE;
}
