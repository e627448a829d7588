// The 3D view: the OpenGL context on the window and the key-steered scene that timer 4 renders
// in view mode 1.
#pragma once
#include <cstdint>

#include "platform/windows.h"

// Sets up the pixel format and rendering context on the window's device context; false when no
// pixel format can be set.
bool CreateSceneContext(HDC windowDC);
void SetSceneViewport(int32_t width, int32_t height);
void RenderScene();
void SteerScene();
