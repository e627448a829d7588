// The OpenGL glue on the headless driver: pixel formats, rendering contexts and SwapBuffers
// over the driver's off-screen context, whose swapped frames land in the client image.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "headless_fixture.h"
#include "platform/wingdi_gl.h"

namespace {

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

PIXELFORMATDESCRIPTOR WindowDescriptor() {
    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 8;
    descriptor.cDepthBits = 16;
    return descriptor;
}

class GlGlueTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        unsetenv("VELMORA_GL_REFUSE");
        OpenWindow();
    }
    void TearDown() override {
        unsetenv("VELMORA_GL_REFUSE");
        HeadlessTest::TearDown();
    }
    void OpenWindow() {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(WNDCLASSEXA);
        windowClass.lpfnWndProc = PlainProc;
        windowClass.lpszClassName = "GlGlue";
        RegisterClassExA(&windowClass);
        window = CreateWindowExA(0, "GlGlue", "gl", WS_OVERLAPPEDWINDOW, 0, 0, 600, 480, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        dc = GetDC(window);
    }
    // Pixel format, context, current: the sequence a program runs.
    HGLRC MakeCurrentContext() {
        const PIXELFORMATDESCRIPTOR descriptor = WindowDescriptor();
        EXPECT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &descriptor), &descriptor));
        HGLRC context = wglCreateContext(dc);
        EXPECT_NE(context, nullptr);
        EXPECT_TRUE(wglMakeCurrent(dc, context));
        return context;
    }
    HWND window = nullptr;
    HDC dc = nullptr;
};

TEST_F(GlGlueTest, ChoosePixelFormatAcceptsOnlyOpenGlWindowRequests) {
    HDC memoryDC = CreateCompatibleDC(dc);
    struct Case {
        const char* why;
        HDC dc;
        void (*change)(PIXELFORMATDESCRIPTOR*);
        int expected;
    };
    const Case cases[] = {
        {"the program's request", dc, [](PIXELFORMATDESCRIPTOR*) {}, GL_WINDOW_PIXEL_FORMAT},
        {"colour and depth sizes are requests only", dc,
         [](PIXELFORMATDESCRIPTOR* d) { d->cColorBits = 32, d->cDepthBits = 24; },
         GL_WINDOW_PIXEL_FORMAT},
        {"a memory context has no window", memoryDC, [](PIXELFORMATDESCRIPTOR*) {}, 0},
        {"wrong record size", dc, [](PIXELFORMATDESCRIPTOR* d) { d->nSize = 20; }, 0},
        {"no OpenGL asked for", dc,
         [](PIXELFORMATDESCRIPTOR* d) { d->dwFlags = PFD_DRAW_TO_WINDOW; }, 0},
        {"colour-index pixels", dc, [](PIXELFORMATDESCRIPTOR* d) { d->iPixelType = 1; }, 0},
    };
    for (const Case& c : cases) {
        PIXELFORMATDESCRIPTOR descriptor = WindowDescriptor();
        c.change(&descriptor);
        EXPECT_EQ(ChoosePixelFormat(c.dc, &descriptor), c.expected) << c.why;
    }
    EXPECT_EQ(ChoosePixelFormat(dc, nullptr), 0);
    DeleteDC(memoryDC);
}

TEST_F(GlGlueTest, SetPixelFormatMakesContextsPossibleOncePerWindow) {
    const PIXELFORMATDESCRIPTOR descriptor = WindowDescriptor();
    EXPECT_EQ(wglCreateContext(dc), nullptr) << "no pixel format yet";
    EXPECT_FALSE(SetPixelFormat(dc, 0, &descriptor));
    EXPECT_FALSE(SetPixelFormat(dc, 2, &descriptor));
    HDC memoryDC = CreateCompatibleDC(dc);
    EXPECT_FALSE(SetPixelFormat(memoryDC, GL_WINDOW_PIXEL_FORMAT, &descriptor));
    DeleteDC(memoryDC);
    EXPECT_TRUE(SetPixelFormat(dc, GL_WINDOW_PIXEL_FORMAT, &descriptor));
    EXPECT_TRUE(SetPixelFormat(dc, GL_WINDOW_PIXEL_FORMAT, &descriptor)) << "the same again";
    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(wglCreateContext(dc), nullptr) << "one context per window";
    EXPECT_EQ(wglGetCurrentContext(), nullptr) << "created, not yet current";
    EXPECT_FALSE(SwapBuffers(dc)) << "nothing current to swap";
    EXPECT_TRUE(wglMakeCurrent(dc, context));
    EXPECT_EQ(wglGetCurrentContext(), context);
    EXPECT_NE(glGetString(GL_VERSION), nullptr) << "GL calls reach a real context";
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

TEST_F(GlGlueTest, RefusalsForTestsFailTheMatchingStep) {
    const PIXELFORMATDESCRIPTOR descriptor = WindowDescriptor();
    setenv("VELMORA_GL_REFUSE", "pixel-format", 1);
    EXPECT_EQ(ChoosePixelFormat(dc, &descriptor), 0);
    EXPECT_FALSE(SetPixelFormat(dc, GL_WINDOW_PIXEL_FORMAT, &descriptor));
    setenv("VELMORA_GL_REFUSE", "context", 1);
    EXPECT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &descriptor), &descriptor));
    EXPECT_EQ(wglCreateContext(dc), nullptr);
    unsetenv("VELMORA_GL_REFUSE");
    EXPECT_NE(wglCreateContext(dc), nullptr);
}

TEST_F(GlGlueTest, SwappedFrameLandsUprightAndExactInTheClientImage) {
    MakeCurrentContext();
    glViewport(0, 0, 600, 480);
    glClearColor(0x12 / 255.0f, 0x34 / 255.0f, 0x56 / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // A 10 x 20 block at GL's lower-left corner: the bottom-left of the client area.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 10, 20);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    ASSERT_TRUE(SwapBuffers(dc));

    const HeadlessImage image = HeadlessClientImage();
    ASSERT_EQ(image.width, 600);
    ASSERT_EQ(image.height, 480);
    EXPECT_EQ(image.at(300, 240), 0x123456u) << "exact 8-bit components, no alpha byte";
    EXPECT_EQ(image.at(0, 479), 0xFF0000u);
    EXPECT_EQ(image.at(9, 460), 0xFF0000u);
    EXPECT_EQ(image.at(10, 479), 0x123456u);
    EXPECT_EQ(image.at(0, 459), 0x123456u);
    EXPECT_EQ(image.at(0, 0), 0x123456u) << "the top row is GL's last row";
}

TEST_F(GlGlueTest, EachWindowGetsAFreshContext) {
    MakeCurrentContext();
    glEnable(GL_LIGHTING);
    ASSERT_TRUE(glIsEnabled(GL_LIGHTING));
    HGLRC old = wglGetCurrentContext();
    PlatformResetForTest();
    OpenWindow();
    EXPECT_FALSE(wglMakeCurrent(dc, old)) << "the context went with its window";
    MakeCurrentContext();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING)) << "no state carried over from the last window";
}

}  // namespace
