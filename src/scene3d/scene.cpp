#include "scene3d/scene.h"

// The OpenGL view is not built yet: the context set-up succeeds without a context, and the
// viewport, the frame and the steering keys change nothing.
bool CreateSceneContext(HDC) { return true; }
void SetSceneViewport(int32_t, int32_t) {}
void RenderScene() {}
void SteerScene() {}
