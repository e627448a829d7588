// The layer gallery: one window with every layer kind the library draws itself, over a drawn
// backdrop: three buttons ("Exit" quits), a text view of a CR LF document that the arrow keys
// scroll, an animation of the sample frames that plays while the pointer rests on it, and a bar.
// It runs on the program's own graphics set-up, dispatcher and layer timer.
#include <cstdlib>
#include <cstring>

#include "gfx/framebuffer.h"
#include "gfx/raster.h"
#include "layers/animation.h"
#include "layers/bar.h"
#include "layers/button.h"
#include "layers/layer_list.h"
#include "layers/textview.h"
#include "shell/dispatch.h"
#include "shell/main_window.h"
#include "text/text_doc.h"
#include "util/files.h"

namespace {

constexpr int32_t VIEW_X = 130, VIEW_Y = 30, VIEW_W = 290, VIEW_H = 300;
constexpr int32_t ANIMATION_X = 460, ANIMATION_Y = 60, ANIMATION_W = 130;
constexpr int32_t SAMPLE_FRAME_HEIGHT = 100, SAMPLE_FRAME_COUNT = 11;
constexpr const char* DOCUMENT_NAME = "gallery.txt";

int32_t GalleryExitIndex = -1;

// The document from the current directory, else from the source tree's assets.
TextDoc* LoadGalleryDocument() {
    if (TextDoc* doc = LoadTextDoc(DOCUMENT_NAME)) return doc;
    return LoadTextDoc(VELMORA_ASSET_DIR "/gallery.txt");
}

void Label(int32_t x, int32_t y, const char* text) {
    TextOutA(ScratchDC, x, y, text, int(std::strlen(text)));
}

// A dark gradient with captions, drawn on the work surface and kept as the backdrop that every
// compose starts from. The layers made afterwards take their edges from the same surface.
void DrawBackdrop() {
    FillGradientRect(&WorkSurface, -1, -1, int32_t(SURFACE_WIDTH), int32_t(SURFACE_HEIGHT),
                     0x101828);
    SetBitmapBits(ScratchBitmap, SURFACE_BYTES, WorkSurface.pixels);
    SetTextColor(ScratchDC, 0x00C0E0FF);
    Label(10, 8, "Velmora layer gallery");
    Label(VIEW_X, VIEW_Y + VIEW_H + 8, "Text view: arrow keys scroll");
    Label(ANIMATION_X, ANIMATION_Y - 20, "Animation: hover");
    Label(40, 150, "Bar");
    GetBitmapBits(ScratchBitmap, SURFACE_BYTES, BackdropBuffer);
}

// The text view's scroll-bar picture, made with the view, placed beside it on the backdrop.
void PlaceScrollBar(const Layer* view) {
    SetBitmapBits(ScratchBitmap, SURFACE_BYTES, BackdropBuffer);
    const Point size = GetCanvasSize(view->scrollBarImage);
    BitBlt(ScratchDC, view->x + int32_t(view->width) + 2, view->y, size.x, size.y,
           GetCanvasDC(view->scrollBarImage), 0, 0, SRCCOPY);
    GetBitmapBits(ScratchBitmap, SURFACE_BYTES, BackdropBuffer);
}

void SetUpGallery(HWND window) {
    InitGraphics(window);
    LOGFONTA font = {};
    font.lfHeight = -12;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(font.lfFaceName, "Lucida Console");
    SelectDrawingFont(CreateFontIndirectA(&font));
    DrawBackdrop();

    CreateButtonLayer(window, 10, 32, 105, 30, 0x7F0000, "No Function");
    CreateButtonLayer(window, 10, 64, 105, 30, 0x7F0000, "No Function");
    GalleryExitIndex = CreateButtonLayer(window, 10, 96, 105, 30, 0x007F00, "Exit");
    const int32_t view = CreateTextViewLayer(window, VIEW_X, VIEW_Y, VIEW_W, VIEW_H, 0x203870);
    BindTextDoc(GetLayer(uint32_t(view)), LoadGalleryDocument());
    PlaceScrollBar(GetLayer(uint32_t(view)));
    // The sample loader fills the layer it is handed at the first compose.
    CreateAnimationLayer(window, ANIMATION_X, ANIMATION_Y, ANIMATION_W, SAMPLE_FRAME_HEIGHT,
                         LoadSampleFrames, SAMPLE_FRAME_COUNT);
    CreateBarLayer(window, 50, 170, 200, 0x7F3F00);

    SetTimer(window, 4, 50, LayerTimerProc);
    SendMessageA(window, WM_USER, 0, RQ_REDRAW);
}

LRESULT CALLBACK GalleryWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The gallery has no 3D view: a right-button release stays in the layer view.
    if (message != WM_RBUTTONUP) PreDispatchMessage(window, message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            SetUpGallery(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_USER:
            if (lParam == RQ_CLICK && int32_t(wParam) == GalleryExitIndex) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = GalleryWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "VelmoraGallery";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "VelmoraGallery", "Velmora layer gallery", WS_OVERLAPPEDWINDOW,
                                  0, 0, 600, 480, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}
