// The layer list: on-screen controls that the program draws itself (buttons, text views, frame
// animations, bars), kept in creation order, drawn in that order over the backdrop in ComposeDC
// and hit-tested against the pointer from the last to the first. Also the input state the
// layers react to (pointer, key) and the repaint request codes they send.
#pragma once
#include <cstdint>

#include "gfx/framebuffer.h"
#include "platform/windows.h"

constexpr uint32_t LK_BUTTON = 0x46464646;  // "FFFF"
constexpr uint32_t LK_TEXTVIEW = 0x00000F0F;
constexpr uint32_t LK_ANIMATION = 0x00000F00;
constexpr uint32_t LK_BAR = 0x00000F01;
constexpr uint32_t LAYER_CAPACITY = 249;

// Repaint requests: WM_USER sent to the main window with the code in lParam.
constexpr LPARAM RQ_CAPTURE = 0;  // capture the window as the backdrop, then compose
constexpr LPARAM RQ_REDRAW = 1;   // restore the backdrop, then compose
constexpr LPARAM RQ_CLICK = 15;   // wParam: the clicked layer's index

struct TextDoc;

// One record for every kind; the kind tag decides which fields after imageDC mean anything.
struct Layer {
    uint32_t kind;
    int32_t x;        // left edge in ComposeDC (client) coordinates
    int32_t y;        // top edge
    uint32_t width;   // of the drawn picture
    uint32_t height;  // of the drawn picture (an animation: of one frame)
    Canvas* image;    // pictures stacked in bands of height rows
    HDC imageDC;
    // button and text view
    uint32_t colour;
    uint32_t shownBand;  // the band drawn last
    // button
    const char* caption;
    int32_t captionLength;
    // text view
    TextDoc* document;
    Canvas* background;
    HDC backgroundDC;
    uint32_t topLine;
    uint8_t lastKey;
    int32_t hOffset;
    Canvas* scrollBarImage;
    // animation
    void (*loader)(Layer* layer);
    uint32_t ready;
    uint32_t frame;
    uint32_t frameCount;
};

struct LayerListBlock {
    uint32_t count;
    Layer* layers[LAYER_CAPACITY];
};

extern LayerListBlock* LayerList;  // made by CreateLayerList during the graphics set-up
extern int32_t FocusIndex;         // the layer the pointer entered last, -1 before any
extern uint32_t PointerX;          // pointer position in client coordinates
extern uint32_t PointerY;
extern uint32_t KeyCode;           // virtual key held, 0 after any key release

// Allocates the empty list (once).
void CreateLayerList();
Layer* AddLayer(Layer* layer);  // the caller has checked the capacity
Layer* GetLayer(uint32_t index);
uint32_t GetLayerCount();
void ClearLayers();  // forgets every layer; frees nothing
// Draws the layer by its kind; an unknown kind is not drawn.
void DrawLayer(uint32_t index);
// Moves the focus to the layer when the pointer is inside it (edges included) and sends a redraw.
void HitTestLayer(HWND window, uint32_t index);
// Debug aid: the record's address, kind and rectangle as text into ComposeDC at (x, y).
void DumpLayer(uint32_t index, int32_t x, int32_t y);
