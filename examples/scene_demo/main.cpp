// The 3D view with its scene built: the lit brownish sphere and the small yellow one carried
// around it. A and D turn it faster to one side or the other, W and S about the horizontal
// axis, X and Z widen and narrow the field of view; Escape or closing the window ends it. The
// title shows the steering state.
#include <cstdio>

#include "platform/windows.h"
#include "scene3d/scene.h"

namespace {

constexpr UINT_PTR FRAME_TIMER = 1;
constexpr UINT FRAME_PERIOD_MS = 50;
constexpr UINT KEY_ESCAPE = 0x1B;

void ShowState(HWND window) {
    char title[128];
    std::snprintf(title, sizeof title,
                  "Scene: turn %.1f / %.1f deg a frame, field of view %.0f deg",
                  double(SceneObjects[0].steps[0]), double(SceneObjects[0].steps[1]), fieldOfView);
    SetWindowTextA(window, title);
}

void SizeViewport(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    SetSceneViewport(rect.right, rect.bottom);
}

void CALLBACK FrameTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    SizeViewport(window);
    RenderScene();
}

LRESULT CALLBACK SceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            if (!CreateSceneContext(GetDC(window))) {
                std::fprintf(stderr, "scene demo: no OpenGL pixel format on this display\n");
                return -1;
            }
            InitScene();
            SetTimer(window, FRAME_TIMER, FRAME_PERIOD_MS, FrameTimerProc);
            ShowState(window);
            return 0;
        case WM_SIZE:
            SizeViewport(window);
            return 0;
        case WM_KEYDOWN:
            if (wParam == KEY_ESCAPE) {
                DestroyWindow(window);
                return 0;
            }
            SteerScene(window, uint32_t(wParam));
            ShowState(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = SceneWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelmoraScene";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "VelmoraScene", "Scene", WS_OVERLAPPEDWINDOW, 0, 0, 600, 480,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}
