// The window driver: SDL2 owns the window (OpenGL-capable), its events and the clock's wait;
// software pictures go straight to SDL's X11 window with XShmPutImage (XPutImage where shared
// memory is refused), so presenting never touches OpenGL state.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/driver.h"

namespace {

// Message and key codes of windows.h, repeated here because X11 and windows.h cannot meet.
constexpr uint32_t MSG_CLOSE = 0x0010, MSG_KEYDOWN = 0x0100, MSG_KEYUP = 0x0101,
                   MSG_MOUSEMOVE = 0x0200, MSG_LBUTTONDOWN = 0x0201, MSG_LBUTTONUP = 0x0202,
                   MSG_RBUTTONDOWN = 0x0204, MSG_RBUTTONUP = 0x0205;
constexpr uintptr_t MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002;

SDL_Window* sdlWindow = nullptr;
SDL_GLContext glContext = nullptr;  // made by the first glMakeCurrent(true), gone with the window
uint32_t wakeEventType = 0;

struct X11Target {
    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    XImage* image = nullptr;
    XShmSegmentInfo segment{};
    bool shared = false;
} x11;

bool shmFailed = false;
int TrapShmError(Display*, XErrorEvent*) {
    shmFailed = true;
    return 0;
}

intptr_t PointParam(int32_t x, int32_t y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(x) & 0xFFFF) |
                                 ((static_cast<uint32_t>(y) & 0xFFFF) << 16));
}

void ReleaseImage() {
    if (x11.image == nullptr) return;
    if (x11.shared) {
        XShmDetach(x11.display, &x11.segment);
        XSync(x11.display, False);
        shmdt(x11.segment.shmaddr);
    }
    XDestroyImage(x11.image);  // frees the data of a plain image; a shared one is detached
    x11.image = nullptr;
    x11.shared = false;
}

void MakeImage(int32_t width, int32_t height) {
    ReleaseImage();
    if (x11.display == nullptr || width <= 0 || height <= 0) return;
    if (XShmQueryExtension(x11.display)) {
        XImage* image = XShmCreateImage(x11.display, x11.visual, unsigned(x11.depth), ZPixmap,
                                        nullptr, &x11.segment, unsigned(width), unsigned(height));
        if (image != nullptr) {
            x11.segment.shmid = shmget(IPC_PRIVATE, size_t(image->bytes_per_line) * size_t(height),
                                       IPC_CREAT | 0600);
            void* memory = x11.segment.shmid >= 0 ? shmat(x11.segment.shmid, nullptr, 0) : nullptr;
            if (memory != nullptr && memory != reinterpret_cast<void*>(-1)) {
                x11.segment.shmaddr = image->data = static_cast<char*>(memory);
                x11.segment.readOnly = False;
                shmFailed = false;
                XErrorHandler previous = XSetErrorHandler(TrapShmError);
                XShmAttach(x11.display, &x11.segment);
                XSync(x11.display, False);
                XSetErrorHandler(previous);
                shmctl(x11.segment.shmid, IPC_RMID, nullptr);  // goes once both sides detach
                if (!shmFailed) {
                    x11.image = image;
                    x11.shared = true;
                    return;
                }
                shmdt(memory);
            } else if (x11.segment.shmid >= 0) {
                shmctl(x11.segment.shmid, IPC_RMID, nullptr);
            }
            image->data = nullptr;
            XDestroyImage(image);
        }
    }
    char* data = static_cast<char*>(std::calloc(size_t(width) * size_t(height), 4));
    if (data == nullptr) return;
    x11.image = XCreateImage(x11.display, x11.visual, unsigned(x11.depth), ZPixmap, 0, data,
                             unsigned(width), unsigned(height), 32, 0);
    if (x11.image == nullptr) std::free(data);
}

bool AttachX11() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    x11.display = info.info.x11.display;
    x11.window = info.info.x11.window;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x11.display, x11.window, &attributes)) return false;
    x11.visual = attributes.visual;
    x11.depth = attributes.depth;
    x11.gc = XCreateGC(x11.display, x11.window, 0, nullptr);
    return true;
}

// The one pixel format of the OpenGL glue: 8-8-8 colour, 16-bit depth, double buffered,
// compatibility profile.
void RequestGlFormat() {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

bool CreateWindow(const char* title, int32_t x, int32_t y, int32_t width, int32_t height,
                  bool resizable) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "velmora: %s\n", SDL_GetError());
            return false;
        }
        wakeEventType = SDL_RegisterEvents(1);
    }
    const Uint32 flags = SDL_WINDOW_HIDDEN | (resizable ? SDL_WINDOW_RESIZABLE : 0);
    RequestGlFormat();  // the window's visual is chosen for these
    sdlWindow = SDL_CreateWindow(title, x, y, width, height, flags | SDL_WINDOW_OPENGL);
    if (sdlWindow == nullptr) sdlWindow = SDL_CreateWindow(title, x, y, width, height, flags);
    if (sdlWindow == nullptr) {
        std::fprintf(stderr, "velmora: %s\n", SDL_GetError());
        return false;
    }
    if (AttachX11())
        MakeImage(width, height);
    else
        std::fprintf(stderr, "velmora: not an X11 window; software pictures are not shown\n");
    return true;
}

void DestroyWindow() {
    if (glContext != nullptr) {
        SDL_GL_MakeCurrent(sdlWindow, nullptr);
        SDL_GL_DeleteContext(glContext);
        glContext = nullptr;
    }
    ReleaseImage();
    if (x11.gc != nullptr) XFreeGC(x11.display, x11.gc);
    x11 = X11Target{};
    if (sdlWindow != nullptr) SDL_DestroyWindow(sdlWindow);
    sdlWindow = nullptr;
}

void ShowWindow(bool visible) {
    if (sdlWindow == nullptr) return;
    if (visible)
        SDL_ShowWindow(sdlWindow);
    else
        SDL_HideWindow(sdlWindow);
}

void SetTitle(const char* title) {
    if (sdlWindow != nullptr) SDL_SetWindowTitle(sdlWindow, title);
}

void Borders(int* top, int* left, int* bottom, int* right) {
    *top = *left = *bottom = *right = 0;
    if (SDL_GetWindowBordersSize(sdlWindow, top, left, bottom, right) != 0)
        *top = *left = *bottom = *right = 0;
}

DriverRect WindowRect() {
    if (sdlWindow == nullptr) return DriverRect{0, 0, 0, 0};
    int x = 0, y = 0, width = 0, height = 0, top, left, bottom, right;
    SDL_GetWindowPosition(sdlWindow, &x, &y);
    SDL_GetWindowSize(sdlWindow, &width, &height);
    Borders(&top, &left, &bottom, &right);
    return DriverRect{x - left, y - top, x + width + right, y + height + bottom};
}

void MoveWindow(int32_t x, int32_t y, int32_t outerWidth, int32_t outerHeight) {
    if (sdlWindow == nullptr) return;
    int top, left, bottom, right;
    Borders(&top, &left, &bottom, &right);
    const int width = std::max(outerWidth - left - right, 1);
    const int height = std::max(outerHeight - top - bottom, 1);
    SDL_SetWindowPosition(sdlWindow, x + left, y + top);
    SDL_SetWindowSize(sdlWindow, width, height);
    MakeImage(width, height);
    PlatformClientResized(width, height);
}

void Present(const uint32_t* pixels, int32_t imageWidth, int32_t imageHeight, DriverRect area) {
    XImage* image = x11.image;
    if (image == nullptr) return;
    area.left = std::max(area.left, 0);
    area.top = std::max(area.top, 0);
    area.right = std::min({area.right, imageWidth, image->width});
    area.bottom = std::min({area.bottom, imageHeight, image->height});
    if (area.left >= area.right || area.top >= area.bottom) return;
    const int32_t width = area.right - area.left, height = area.bottom - area.top;
    const bool direct = image->bits_per_pixel == 32 && x11.visual->red_mask == 0xFF0000 &&
                        x11.visual->green_mask == 0xFF00 && x11.visual->blue_mask == 0xFF;
    const uint32_t opaque = x11.depth == 32 ? 0xFF000000u : 0;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const uint32_t* in = pixels + size_t(y) * size_t(imageWidth) + area.left;
        if (direct) {
            auto* out =
                reinterpret_cast<uint32_t*>(image->data + ptrdiff_t{y} * image->bytes_per_line) +
                area.left;
            if (opaque == 0)
                std::memcpy(out, in, size_t(width) * 4);
            else
                for (int32_t i = 0; i < width; ++i) out[i] = in[i] | opaque;
        } else {
            for (int32_t i = 0; i < width; ++i) {
                const uint32_t c = in[i];
                XColor colour{};
                colour.red = static_cast<unsigned short>(((c >> 16) & 0xFF) * 257);
                colour.green = static_cast<unsigned short>(((c >> 8) & 0xFF) * 257);
                colour.blue = static_cast<unsigned short>((c & 0xFF) * 257);
                const auto scale = [](unsigned long mask, unsigned short value) {
                    unsigned long shift = 0;
                    while (mask != 0 && !(mask & 1)) mask >>= 1, ++shift;
                    return ((static_cast<unsigned long>(value) * mask) / 65535) << shift;
                };
                XPutPixel(image, area.left + i, y,
                          scale(x11.visual->red_mask, colour.red) |
                              scale(x11.visual->green_mask, colour.green) |
                              scale(x11.visual->blue_mask, colour.blue));
            }
        }
    }
    if (x11.shared) {
        XShmPutImage(x11.display, x11.window, x11.gc, image, area.left, area.top, area.left,
                     area.top, unsigned(width), unsigned(height), False);
        XSync(x11.display, False);  // the server has read the segment before it is reused
    } else {
        XPutImage(x11.display, x11.window, x11.gc, image, area.left, area.top, area.left, area.top,
                  unsigned(width), unsigned(height));
        XFlush(x11.display);
    }
}

uint32_t Ticks() {
    timespec time;
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<uint32_t>(uint64_t(time.tv_sec) * 1000u + uint64_t(time.tv_nsec) / 1000000u);
}

uint32_t VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return uint32_t(key - SDLK_a) + 'A';
    if (key >= SDLK_0 && key <= SDLK_9) return uint32_t(key);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + uint32_t(key - SDLK_F1);
    switch (key) {
        case SDLK_LEFT:
            return 0x25;
        case SDLK_UP:
            return 0x26;
        case SDLK_RIGHT:
            return 0x27;
        case SDLK_DOWN:
            return 0x28;
        case SDLK_BACKSPACE:
            return 0x08;
        case SDLK_TAB:
            return 0x09;
        case SDLK_RETURN:
            return 0x0D;
        case SDLK_ESCAPE:
            return 0x1B;
        case SDLK_SPACE:
            return 0x20;
        case SDLK_PAGEUP:
            return 0x21;
        case SDLK_PAGEDOWN:
            return 0x22;
        case SDLK_END:
            return 0x23;
        case SDLK_HOME:
            return 0x24;
        case SDLK_INSERT:
            return 0x2D;
        case SDLK_DELETE:
            return 0x2E;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return 0x10;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return 0x11;
        case SDLK_LALT:
        case SDLK_RALT:
            return 0x12;
        default:
            return 0;
    }
}

void Handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEMOTION: {
            uintptr_t held = 0;
            if (event.motion.state & SDL_BUTTON_LMASK) held |= MK_LBUTTON;
            if (event.motion.state & SDL_BUTTON_RMASK) held |= MK_RBUTTON;
            PlatformPostInput(MSG_MOUSEMOVE, held, PointParam(event.motion.x, event.motion.y));
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool up = event.type == SDL_MOUSEBUTTONUP;
            uint32_t message = 0;
            if (event.button.button == SDL_BUTTON_LEFT)
                message = up ? MSG_LBUTTONUP : MSG_LBUTTONDOWN;
            if (event.button.button == SDL_BUTTON_RIGHT)
                message = up ? MSG_RBUTTONUP : MSG_RBUTTONDOWN;
            if (message != 0)
                PlatformPostInput(message, 0, PointParam(event.button.x, event.button.y));
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const uint32_t key = VirtualKey(event.key.keysym.sym);
            if (key == 0) break;
            if (event.type == SDL_KEYDOWN)
                PlatformPostInput(MSG_KEYDOWN, key, event.key.repeat ? 0x40000001 : 1);
            else
                PlatformPostInput(MSG_KEYUP, key, static_cast<intptr_t>(0xC0000001u));
            break;
        }
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                PlatformPostInput(MSG_CLOSE, 0, 0);
            } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                MakeImage(event.window.data1, event.window.data2);
                PlatformClientResized(event.window.data1, event.window.data2);
                PlatformExposed();
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       event.window.event == SDL_WINDOWEVENT_SHOWN) {
                PlatformExposed();
            }
            break;
        case SDL_QUIT:
            PlatformPostInput(MSG_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

void WaitEvents(uint32_t timeoutMs) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event event;
    bool any = false;
    while (SDL_PollEvent(&event)) {
        Handle(event);
        any = true;
    }
    if (any || timeoutMs == 0) return;
    const int wait =
        timeoutMs == DRIVER_WAIT_FOREVER ? -1 : int(std::min<uint32_t>(timeoutMs, INT_MAX));
    if (SDL_WaitEventTimeout(&event, wait)) {
        Handle(event);
        while (SDL_PollEvent(&event)) Handle(event);
    }
}

void Wake() {
    if (wakeEventType == 0 || wakeEventType == uint32_t(-1)) return;
    SDL_Event event{};
    event.type = wakeEventType;
    SDL_PushEvent(&event);
}

// The window's OpenGL context, made on first use (false when the window has no OpenGL), or
// released. A GL swap and a software present both draw on the window: the later one shows.
bool GlMakeCurrent(bool current) {
    if (sdlWindow == nullptr) return false;
    if (!current) {
        if (glContext != nullptr) SDL_GL_MakeCurrent(sdlWindow, nullptr);
        return true;
    }
    if (glContext == nullptr) {
        glContext = SDL_GL_CreateContext(sdlWindow);
        if (glContext == nullptr) {
            std::fprintf(stderr, "velmora: no OpenGL on this window: %s\n", SDL_GetError());
            return false;
        }
    }
    return SDL_GL_MakeCurrent(sdlWindow, glContext) == 0;
}

void GlSwap() {
    if (sdlWindow != nullptr && glContext != nullptr) SDL_GL_SwapWindow(sdlWindow);
}

void Shutdown() {
    DestroyWindow();
    if (SDL_WasInit(0) != 0) SDL_Quit();
}

}  // namespace

const PlatformDriver WindowDriver = {
    "window",   CreateWindow, DestroyWindow, ShowWindow, SetTitle,
    MoveWindow, WindowRect,   Present,       Ticks,      WaitEvents,
    Wake,       Shutdown,     GlMakeCurrent, GlSwap,
};
