#include "shell/dispatch.h"

#include "gfx/framebuffer.h"
#include "layers/layer_list.h"
#include "media/sound.h"
#include "scene3d/scene.h"

uint32_t ViewMode = 0;

namespace {

// Composes every layer, in list order, over what ComposeDC holds.
void ComposeLayers() {
    for (uint32_t i = 0; i < GetLayerCount(); ++i) DrawLayer(i);
}

void CarryOutRepaint(LPARAM code) {
    if (code == RQ_CAPTURE) {
        BitBlt(ScratchDC, 0, 0, SURFACE_WIDTH, SURFACE_HEIGHT, WindowDC, 0, 0, SRCCOPY);
        void* const workPixels = WorkSurface.pixels;
        WorkSurface.pixels = BackdropBuffer;
        GetBitmapBits(ScratchBitmap, SURFACE_BYTES, BackdropBuffer);
        WorkSurface.pixels = workPixels;
    } else if (code != RQ_REDRAW) {
        return;
    }
    SetBitmapBits(ComposeBitmap, SURFACE_BYTES, BackdropBuffer);
    ComposeLayers();
}

}  // namespace

void PreDispatchMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RECT rect;
    GetWindowRect(window, &rect);
    switch (message) {
        case WM_MOUSEMOVE: StorePointer(lParam); break;
        case WM_USER: CarryOutRepaint(lParam); break;
        case WM_RBUTTONUP: ViewMode = ViewMode == 0 ? 1 : 0; break;
        case WM_LBUTTONUP:
            SendMessageA(window, WM_USER, WPARAM(FocusIndex), RQ_CLICK);
            SendMessageA(window, WM_USER, WPARAM(FocusIndex), RQ_REDRAW);
            break;
        case WM_SIZE: SetSceneViewport(rect.right, rect.bottom); break;
        case WM_KEYDOWN:
            KeyCode = uint32_t(wParam);
            SendMessageA(window, WM_USER, WPARAM(FocusIndex), RQ_REDRAW);
            if (ViewMode == 0)
                LayerViewKeyDown(window);
            else
                SteerScene(window, KeyCode);
            break;
        case WM_KEYUP: KeyCode = 0; break;
        // Wave playback has ended: close the device, whatever the notification says.
        case MM_MCINOTIFY: mciSendCommandA(WaveDeviceId, MCI_CLOSE, 0, 0); break;
        default: break;
    }
}

void CALLBACK LayerTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    if (ViewMode == 0) {
        BitBlt(WindowDC, 0, 0, SURFACE_WIDTH, SURFACE_HEIGHT, ComposeDC, 0, 0, SRCCOPY);
        for (uint32_t i = GetLayerCount(); i-- > 0;) HitTestLayer(window, i);
    } else {
        RECT rect;
        GetWindowRect(window, &rect);
        SetSceneViewport(rect.right, rect.bottom);
        RenderScene();
    }
}

void StorePointer(LPARAM lParam) {
    PointerX = uint32_t(lParam) & 0xFFFF;
    PointerY = uint32_t(lParam) >> 16;
}

void SelectDrawingFont(HFONT font) {
    SelectObject(ComposeDC, font);
    SelectObject(ScratchDC, font);
}

void LayerViewKeyDown(HWND) {}
