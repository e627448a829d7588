// Canvas access shared by the layer kinds: a layer whose canvas could not be made keeps the
// failure value in its record, and every copy to or from it then goes to a null device context,
// which the platform ignores, instead of reading through the failure value.
#pragma once
#include "gfx/framebuffer.h"

inline HDC LayerCanvasDC(const Canvas* canvas) {
    return canvas == nullptr || canvas == CANVAS_FAILED ? nullptr : GetCanvasDC(canvas);
}
