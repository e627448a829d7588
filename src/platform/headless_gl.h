// The headless driver's OpenGL: a real context on SDL's off-screen video driver (EGL), sized
// like the client area when it is made. A swap reads the frame into the client image, so tests
// see GL frames as they see GDI pictures. Internal to the platform's drivers.
#pragma once

// Makes the context (on first use for a window) and makes it current, or releases it; false
// when no OpenGL context can be made.
bool HeadlessGlMakeCurrent(bool current);
// Copies the drawn frame into the client image, its bottom-left corner on the client area's
// bottom-left corner (a client area resized since keeps its other pixels), then swaps.
void HeadlessGlSwap();
// Deletes the context with its window.
void HeadlessGlRelease();
// Ends the off-screen video subsystem when the platform shuts down.
void HeadlessGlShutdown();
