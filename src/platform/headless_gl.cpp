#include "platform/headless_gl.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/core.h"
#include "platform/objects.h"

namespace {

SDL_Window* surfaceWindow = nullptr;
SDL_GLContext context = nullptr;
bool videoStarted = false;
bool reported = false;

void Report(const char* what) {
    if (reported) return;
    reported = true;
    std::fprintf(stderr, "velmora: no off-screen OpenGL (%s): %s\n", what, SDL_GetError());
}

bool StartVideo() {
    if (videoStarted) return true;
    // The off-screen driver whatever SDL_VIDEODRIVER says: the headless driver has no display.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Report("video");
        return false;
    }
    // Held for the life of the platform: otherwise destroying the last GL window unloads the
    // driver, and each window would load it anew.
    if (SDL_GL_LoadLibrary(nullptr) != 0) {
        Report("library");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    videoStarted = true;
    return true;
}

bool MakeContext() {
    const PixelPlane client = WindowPlane(LiveWindow());
    if (client.width <= 0 || client.height <= 0 || !StartVideo()) return false;
    // Exactly 8 bits a colour: EGL's first config is 10-bit, which would change the pixels.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    surfaceWindow = SDL_CreateWindow("velmora", 0, 0, client.width, client.height,
                                     SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (surfaceWindow == nullptr) {
        Report("surface");
        return false;
    }
    context = SDL_GL_CreateContext(surfaceWindow);
    if (context == nullptr) {
        Report("context");
        SDL_DestroyWindow(surfaceWindow);
        surfaceWindow = nullptr;
        return false;
    }
    return true;
}

}  // namespace

bool HeadlessGlMakeCurrent(bool current) {
    if (!current) {
        if (context != nullptr) SDL_GL_MakeCurrent(surfaceWindow, nullptr);
        return true;
    }
    if (context == nullptr && !MakeContext()) return false;
    return SDL_GL_MakeCurrent(surfaceWindow, context) == 0;
}

void HeadlessGlSwap() {
    if (context == nullptr || SDL_GL_GetCurrentContext() != context) return;
    const PixelPlane client = WindowPlane(LiveWindow());
    int surfaceWidth = 0, surfaceHeight = 0;
    SDL_GL_GetDrawableSize(surfaceWindow, &surfaceWidth, &surfaceHeight);
    const int32_t width = std::min(client.width, surfaceWidth);
    const int32_t height = std::min(client.height, surfaceHeight);
    if (width > 0 && height > 0) {
        // The off-screen surface has one buffer: what was drawn is read before the swap.
        std::vector<uint32_t> frame(size_t(width) * size_t(height));
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, frame.data());
        for (int32_t row = 0; row < height; ++row) {
            const uint32_t* in = &frame[size_t(row) * size_t(width)];
            uint32_t* out = client.Row(client.height - 1 - row);
            for (int32_t x = 0; x < width; ++x) out[x] = in[x] & 0x00FFFFFFu;
        }
    }
    SDL_GL_SwapWindow(surfaceWindow);
}

void HeadlessGlRelease() {
    if (context != nullptr) {
        SDL_GL_MakeCurrent(surfaceWindow, nullptr);
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    if (surfaceWindow != nullptr) SDL_DestroyWindow(surfaceWindow);
    surfaceWindow = nullptr;
}

void HeadlessGlShutdown() {
    HeadlessGlRelease();
    if (videoStarted) {
        SDL_GL_UnloadLibrary();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    videoStarted = false;
}
