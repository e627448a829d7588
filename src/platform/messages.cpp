// Windows, the message queue, timers and the clock. One window at a time; the queue holds
// posted and input messages in arrival order, and timer ticks are made on demand when the
// queue is empty, so late ticks never pile up.
#include <strings.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core.h"
#include "platform/driver.h"
#include "platform/objects.h"

struct PlatformWindow {
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    std::string title;
    bool alive = false;
    bool visible = false;
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    std::vector<uint32_t> clientImage;  // top row first
    PlatformDC dc;
};

namespace {

struct WindowClass {
    WNDPROC procedure;
    UINT style;
};

struct Timer {
    HWND window;
    UINT_PTR id;
    uint32_t period;
    TIMERPROC procedure;
    uint32_t due;
};

struct Caseless {
    bool operator()(const std::string& a, const std::string& b) const {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

std::map<std::string, WindowClass, Caseless> classes;
// Windows are never freed, so a handle kept after DestroyWindow stays safe to pass in.
std::vector<std::unique_ptr<PlatformWindow>> allWindows;
PlatformWindow* liveWindow = nullptr;
std::vector<Timer> timers;
UINT_PTR nextThreadTimerId = 1;
bool quitRequested = false;
int quitCode = 0;
uint32_t presents = 0;

std::mutex queueLock;  // PostMessageA may come from any thread
std::deque<MSG> queue;

bool Due(uint32_t due, uint32_t now) {
    return static_cast<int32_t>(now - due) >= 0;
}

PlatformWindow* Live(HWND window) {
    return (window != nullptr && window == liveWindow && window->alive) ? window : nullptr;
}

void PresentArea(PlatformWindow* window, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!window->visible || left >= right || top >= bottom) return;
    ++presents;
    ActiveDriver()->present(window->clientImage.data(), window->clientWidth, window->clientHeight,
                            DriverRect{left, top, right, bottom});
}

void ResizeClient(PlatformWindow* window, int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<uint32_t> image(size_t(width) * size_t(height), 0);
    const int32_t keepWidth = std::min(width, window->clientWidth);
    for (int32_t y = 0; y < std::min(height, window->clientHeight); ++y)
        std::memcpy(&image[size_t(y) * size_t(width)],
                    &window->clientImage[size_t(y) * size_t(window->clientWidth)],
                    size_t(keepWidth) * 4);
    window->clientImage.swap(image);
    window->clientWidth = width;
    window->clientHeight = height;
}

LPARAM ClientSizeParam(const PlatformWindow* window) {
    return MAKELPARAM(static_cast<WORD>(window->clientWidth),
                      static_cast<WORD>(window->clientHeight));
}

void RemoveTimersOf(HWND window) {
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.window == window; }),
                 timers.end());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Driver callbacks

void PlatformPostInput(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (liveWindow == nullptr) return;
    PostMessageA(liveWindow, message, wParam, lParam);
}

void PlatformClientResized(int32_t width, int32_t height) {
    PlatformWindow* window = liveWindow;
    if (window == nullptr || (width == window->clientWidth && height == window->clientHeight))
        return;
    ResizeClient(window, width, height);
    SendMessageA(window, WM_SIZE, SIZE_RESTORED, ClientSizeParam(window));
}

void PlatformExposed() {
    if (liveWindow != nullptr)
        PresentArea(liveWindow, 0, 0, liveWindow->clientWidth, liveWindow->clientHeight);
}

void WindowDrawn(PlatformWindow* window, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (Live(window)) PresentArea(window, left, top, right, bottom);
}

PlatformDC* WindowContext(PlatformWindow* window) {
    return Live(window) ? &window->dc : nullptr;
}

PixelPlane WindowPlane(PlatformWindow* window) {
    PixelPlane plane;
    if (!Live(window) || window->clientImage.empty()) return plane;
    plane.base = window->clientImage.data();
    plane.width = window->clientWidth;
    plane.height = window->clientHeight;
    plane.stride = window->clientWidth;
    return plane;
}

// ---------------------------------------------------------------------------------------------
// Internals for the headless controls

bool MessageWaiting() {
    if (quitRequested) return true;
    {
        std::lock_guard<std::mutex> hold(queueLock);
        if (!queue.empty()) return true;
    }
    const uint32_t now = GetTickCount();
    return std::any_of(timers.begin(), timers.end(),
                       [&](const Timer& t) { return Due(t.due, now); });
}

bool EarliestTimerDue(uint32_t* due) {
    if (timers.empty()) return false;
    const uint32_t now = GetTickCount();
    uint32_t best = timers.front().due;
    for (const Timer& t : timers)
        if (static_cast<int32_t>((t.due - now) - (best - now)) < 0) best = t.due;
    *due = best;
    return true;
}

HWND LiveWindow() {
    return liveWindow;
}

std::string WindowTitle() {
    return liveWindow ? liveWindow->title : std::string();
}

void CopyClientImage(int32_t* width, int32_t* height, std::vector<uint32_t>* pixels) {
    if (liveWindow == nullptr) {
        *width = *height = 0;
        pixels->clear();
        return;
    }
    *width = liveWindow->clientWidth;
    *height = liveWindow->clientHeight;
    *pixels = liveWindow->clientImage;
}

uint32_t PresentCount() {
    return presents;
}

void ResetMessageState() {
    if (liveWindow != nullptr) {
        liveWindow->alive = false;
        ActiveDriver()->destroyWindow();
        liveWindow = nullptr;
    }
    classes.clear();
    timers.clear();
    quitRequested = false;
    quitCode = 0;
    presents = 0;
    std::lock_guard<std::mutex> hold(queueLock);
    queue.clear();
}

// ---------------------------------------------------------------------------------------------
// Windows

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXA) ||
        windowClass->lpfnWndProc == nullptr || windowClass->lpszClassName == nullptr ||
        windowClass->lpszClassName[0] == '\0')
        return 0;
    const std::string name = windowClass->lpszClassName;
    if (classes.count(name)) return 0;
    classes[name] = WindowClass{windowClass->lpfnWndProc, windowClass->style};
    return static_cast<ATOM>(0xC000 + classes.size());
}

HICON LoadIconA(HINSTANCE, LPCSTR name) {
    static PlatformResource* const applicationIcon = reinterpret_cast<PlatformResource*>(0x1001);
    return name == IDI_APPLICATION ? applicationIcon : nullptr;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) {
    static PlatformResource* const arrowCursor = reinterpret_cast<PlatformResource*>(0x1002);
    return name == IDC_ARROW ? arrowCursor : nullptr;
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, LPVOID) {
    if (className == nullptr || liveWindow != nullptr) return nullptr;
    const auto found = classes.find(className);
    if (found == classes.end()) return nullptr;
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = 600, height = 480;
    width = std::clamp(width, 1, 16384);
    height = std::clamp(height, 1, 16384);

    allWindows.push_back(std::make_unique<PlatformWindow>());
    PlatformWindow* window = allWindows.back().get();
    window->procedure = found->second.procedure;
    window->style = style;
    window->title = windowName ? windowName : "";
    window->dc.window = window;
    ResizeClient(window, width, height);
    if (!ActiveDriver()->createWindow(window->title.c_str(), x, y, width, height,
                                      (style & WS_THICKFRAME) != 0)) {
        std::fprintf(stderr, "velmora: cannot open a window on this display\n");
        ExitProcess(1);
    }
    window->alive = true;
    liveWindow = window;

    if (SendMessageA(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    if (!Live(window)) return nullptr;  // destroyed while being created
    SendMessageA(window, WM_SIZE, SIZE_RESTORED, ClientSizeParam(window));
    if (style & WS_VISIBLE) ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

BOOL DestroyWindow(HWND handle) {
    PlatformWindow* window = Live(handle);
    if (window == nullptr) return FALSE;
    SendMessageA(window, WM_DESTROY, 0, 0);
    window->alive = false;
    window->visible = false;
    RemoveTimersOf(window);
    liveWindow = nullptr;
    ActiveDriver()->destroyWindow();
    return TRUE;
}

BOOL IsWindow(HWND window) {
    return Live(window) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND handle, int command) {
    PlatformWindow* window = Live(handle);
    if (window == nullptr) return FALSE;
    const BOOL wasVisible = window->visible ? TRUE : FALSE;
    window->visible = command != SW_HIDE;
    ActiveDriver()->showWindow(window->visible);
    PresentArea(window, 0, 0, window->clientWidth, window->clientHeight);
    return wasVisible;
}

BOOL UpdateWindow(HWND handle) {
    PlatformWindow* window = Live(handle);
    if (window == nullptr) return FALSE;
    PresentArea(window, 0, 0, window->clientWidth, window->clientHeight);
    return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL) {
    PlatformWindow* window = Live(handle);
    if (window == nullptr) return FALSE;
    ActiveDriver()->moveWindow(x, y, std::max(width, 1), std::max(height, 1));
    const DriverRect outer = ActiveDriver()->windowRect();
    SendMessageA(window, WM_MOVE, 0,
                 MAKELPARAM(static_cast<WORD>(outer.left), static_cast<WORD>(outer.top)));
    SendMessageA(window, WM_SIZE, SIZE_RESTORED, ClientSizeParam(window));
    return TRUE;
}

BOOL GetWindowRect(HWND handle, LPRECT rect) {
    if (Live(handle) == nullptr || rect == nullptr) return FALSE;
    const DriverRect outer = ActiveDriver()->windowRect();
    *rect = RECT{outer.left, outer.top, outer.right, outer.bottom};
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    PlatformWindow* window = Live(handle);
    if (window == nullptr || rect == nullptr) return FALSE;
    *rect = RECT{0, 0, window->clientWidth, window->clientHeight};
    return TRUE;
}

BOOL SetWindowTextA(HWND handle, LPCSTR text) {
    PlatformWindow* window = Live(handle);
    if (window == nullptr) return FALSE;
    window->title = text ? text : "";
    ActiveDriver()->setTitle(window->title.c_str());
    return TRUE;
}

int GetWindowTextA(HWND handle, LPSTR text, int maxCount) {
    PlatformWindow* window = Live(handle);
    if (window == nullptr || text == nullptr || maxCount <= 0) return 0;
    const int length = std::min(static_cast<int>(window->title.size()), maxCount - 1);
    std::memcpy(text, window->title.data(), size_t(length));
    text[length] = '\0';
    return length;
}

// ---------------------------------------------------------------------------------------------
// Messages

BOOL GetMessageA(LPMSG message, HWND, UINT, UINT) {
    if (message == nullptr) return -1;
    const PlatformDriver* driver = ActiveDriver();
    for (;;) {
        driver->waitEvents(0);
        if (quitRequested) {
            quitRequested = false;
            *message = MSG{nullptr, WM_QUIT,        static_cast<WPARAM>(quitCode),
                           0,       GetTickCount(), POINT{0, 0}};
            return 0;
        }
        {
            std::lock_guard<std::mutex> hold(queueLock);
            if (!queue.empty()) {
                *message = queue.front();
                queue.pop_front();
                return TRUE;
            }
        }
        const uint32_t now = GetTickCount();
        Timer* overdue = nullptr;
        for (Timer& t : timers)
            if (Due(t.due, now) &&
                (overdue == nullptr || static_cast<int32_t>(t.due - overdue->due) < 0))
                overdue = &t;
        if (overdue != nullptr) {
            *message = MSG{overdue->window,
                           WM_TIMER,
                           overdue->id,
                           reinterpret_cast<LPARAM>(overdue->procedure),
                           now,
                           POINT{0, 0}};
            const uint32_t next = overdue->due + overdue->period;
            overdue->due = Due(next, now) ? now : next;
            return TRUE;
        }
        uint32_t due = 0;
        driver->waitEvents(EarliestTimerDue(&due) ? due - now : DRIVER_WAIT_FOREVER);
    }
}

BOOL TranslateMessage(const MSG* message) {
    return message != nullptr ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* message) {
    if (message == nullptr) return 0;
    if (message->message == WM_TIMER && message->lParam != 0) {
        // Only a procedure armed for this timer is called: a posted WM_TIMER cannot name an
        // arbitrary address.
        const auto procedure = reinterpret_cast<TIMERPROC>(message->lParam);
        const bool armed = std::any_of(timers.begin(), timers.end(), [&](const Timer& t) {
            return t.window == message->hwnd && t.id == message->wParam && t.procedure == procedure;
        });
        if (armed) procedure(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
        return 0;
    }
    PlatformWindow* window = Live(message->hwnd);
    if (window == nullptr) return 0;
    return window->procedure(window, message->message, message->wParam, message->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

void PostQuitMessage(int exitCode) {
    quitRequested = true;
    quitCode = exitCode;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    PlatformWindow* window = Live(handle);
    if (window == nullptr) return 0;
    return window->procedure(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard<std::mutex> hold(queueLock);
        queue.push_back(MSG{window, message, wParam, lParam, GetTickCount(), POINT{0, 0}});
    }
    ActiveDriver()->wake();
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Timers

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure) {
    if (window != nullptr && Live(window) == nullptr) return 0;
    if (window == nullptr) id = nextThreadTimerId++;
    const uint32_t period = std::clamp<uint32_t>(periodMs, USER_TIMER_MINIMUM, 0x7FFFFFFF);
    const uint32_t due = GetTickCount() + period;
    for (Timer& t : timers)
        if (t.window == window && t.id == id) {
            t = Timer{window, id, period, procedure, due};
            return window ? 1 : id;
        }
    timers.push_back(Timer{window, id, period, procedure, due});
    return window ? 1 : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    const auto found = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) {
        return t.window == window && t.id == id;
    });
    if (found == timers.end()) return FALSE;
    timers.erase(found);
    return TRUE;
}

DWORD GetTickCount() {
    return ActiveDriver()->ticks();
}
