#include "shell/main_window.h"

#include "geom/angles.h"
#include "layers/button.h"
#include "layers/layer_list.h"
#include "scene3d/scene.h"
#include "shell/dispatch.h"
#include "shell/splash.h"

HWND MainWindow = nullptr;
FrameStrip* SplashStripA = nullptr;
FrameStrip* SplashStripB = nullptr;
int32_t ExitButtonIndex = 0;
HFONT MainFont = nullptr;

namespace {

HINSTANCE ModuleInstance = nullptr;

// A memory device context with its own 1024 x 768 x 32 DIB section, transparent green text.
HBITMAP CreateSurfaceDC(HDC* dc, BITMAPINFOHEADER* header) {
    *dc = CreateCompatibleDC(WindowDC);
    *header = {};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = SURFACE_WIDTH;
    header->biHeight = SURFACE_HEIGHT;
    header->biPlanes = 1;
    header->biBitCount = 32;
    header->biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(*dc, reinterpret_cast<const BITMAPINFO*>(header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(*dc, bitmap);
    return bitmap;
}

void SetTransparentGreenText(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0x0000FF00);
}

void RunSetUp(HWND window) {
    SplashDC = GetDC(window);
    InitGraphics(window);
    SplashStripA = CreateFrameStrip(window, 0, 0, 600, 500, 2);
    SplashStripB = CreateFrameStrip(window, 0, 0, 600, 500, 1);
    SetTimer(window, 2, 20, SplashTimerProc);
    SetTimer(window, 3, 1000, FrameCounterTimerProc);
    MainWindow = window;
    SetTimer(window, 4, 50, LayerTimerProc);
    CreateButtonLayer(window, 10, 32, 105, 30, 0x7F0000, "No Function");
    CreateButtonLayer(window, 10, 64, 105, 30, 0x7F0000, "No Function");
    ExitButtonIndex = CreateButtonLayer(window, 10, 96, 105, 30, 0x007F00, "Exit");
    const LOGFONTA font = ProgramFontDescription(-12);
    MainFont = CreateFontIndirectA(&font);
    SelectDrawingFont(MainFont);
    SendMessageA(window, WM_USER, 0, RQ_CAPTURE);
}

}  // namespace

void InitGraphics(HWND window) {
    // The pixel block: WorkSurface's image, then the backdrop. Not cleared, like the original
    // block; a failed allocation stops the program (std::bad_alloc), as nothing could be drawn.
    static uint32_t* const block = new uint32_t[2 * SURFACE_WIDTH * SURFACE_HEIGHT];
    WorkSurface.pixels = block;
    BackdropBuffer = block + SURFACE_WIDTH * SURFACE_HEIGHT;
    WindowDC = GetDC(window);
    WorkSurface.width = SURFACE_WIDTH;
    WorkSurface.height = SURFACE_HEIGHT;
    WorkSurface.bitsPerPixel = 32;
    ComposeBitmap = CreateSurfaceDC(&ComposeDC, &SharedBitmapHeader);
    SetTransparentGreenText(ComposeDC);
    ReleaseDC(window, WindowDC);
    WindowDC = GetDC(window);
    static BITMAPINFOHEADER scratchHeader;
    ScratchBitmap = CreateSurfaceDC(&ScratchDC, &scratchHeader);
    SetupCanvas = CreateCanvas(window, 0, 0, 800, 600);
    SetTransparentGreenText(ScratchDC);
    ReleaseDC(window, WindowDC);
    CreateLayerList();
    BuildAngleTables();
    WindowDC = GetDC(window);
    if (!CreateSceneContext(WindowDC)) PostQuitMessage(0);
}

HWND CreateMainWindow(HINSTANCE instance) {
    ModuleInstance = instance;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = ModuleInstance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "MOWL";
    RegisterClassExA(&windowClass);
    MainWindow = CreateWindowExA(0, "MOWL", "Loading...", WS_OVERLAPPEDWINDOW, 0, 0, 600, 480,
                                 nullptr, nullptr, ModuleInstance, nullptr);
    ShowWindow(MainWindow, SW_SHOWNORMAL);
    UpdateWindow(MainWindow);
    return MainWindow;
}

int RunMessageLoop() {
    MSG message = {};
    // Only WM_QUIT (0) ends the loop; an error result (-1) does not.
    while (GetMessageA(&message, nullptr, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CreateMainWindow(instance);
    return RunMessageLoop();
}

void ResetProgramForTest() {
    if (LayerList) ClearLayers();
    FocusIndex = -1;
    PointerX = PointerY = KeyCode = 0;
    ViewMode = 0;
    MainWindow = nullptr;
    ExitButtonIndex = 0;
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PreDispatchMessage(window, message, wParam, lParam);
    switch (message) {
        case WM_DESTROY: PostQuitMessage(0); return 0;
        case WM_CREATE: RunSetUp(window); return 0;
        case WM_USER:
            if (lParam == RQ_CLICK && int32_t(wParam) == ExitButtonIndex) PostQuitMessage(0);
            return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
