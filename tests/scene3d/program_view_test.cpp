// The demonstration's 3D view on the headless driver: the program never builds the scene, so
// the view is a black client area whatever the steering keys do, and the layer view comes back
// as it was left. Without an OpenGL pixel format the program ends at once with code 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/headless.h"
#include "scene3d/scene.h"
#include "shell/dispatch.h"
#include "shell/main_window.h"

namespace {

class ProgramViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("VELMORA_DRIVER", "headless", 1);
        unsetenv("VELMORA_GL_REFUSE");
        PlatformResetForTest();
        ResetProgramForTest();
        ResetSceneForTest();
    }
    void TearDown() override {
        unsetenv("VELMORA_GL_REFUSE");
        PlatformResetForTest();
        ResetSceneForTest();
    }
    static bool AllBlack(const HeadlessImage& image) {
        return !image.pixels.empty() && std::all_of(image.pixels.begin(), image.pixels.end(),
                                                    [](uint32_t p) { return p == 0; });
    }
};

TEST_F(ProgramViewTest, ThreeDViewIsBlackWhateverTheKeysAndTheLayerViewComesBack) {
    ASSERT_NE(CreateMainWindow(GetModuleHandleA(nullptr)), nullptr);
    ASSERT_TRUE(HeadlessRunFor(1500));  // splash, capture, buttons presented
    const HeadlessImage layers = HeadlessClientImage();
    ASSERT_FALSE(AllBlack(layers));

    HeadlessButtonUp(WM_RBUTTONUP, 300, 300);
    ASSERT_TRUE(HeadlessRunFor(110));
    ASSERT_EQ(ViewMode, 1u);
    EXPECT_TRUE(AllBlack(HeadlessClientImage())) << "the scene was never built";

    for (const char key : {'A', 'D', 'W', 'S', 'X', 'Z', 'A', 'A'}) {
        HeadlessKeyDown(UINT(key));
        HeadlessKeyUp(UINT(key));
        ASSERT_TRUE(HeadlessRunFor(60));
        EXPECT_TRUE(AllBlack(HeadlessClientImage())) << "after " << key;
    }
    // The keys still changed the scene's state.
    EXPECT_FLOAT_EQ(SceneObjects[0].steps[0], -0.2f);
    EXPECT_NEAR(SceneObjects[0].steps[1], 0.0f, 1e-6f) << "W then S";
    EXPECT_EQ(fieldOfView, 5.0);

    HeadlessButtonUp(WM_RBUTTONUP, 300, 300);
    ASSERT_TRUE(HeadlessRunFor(110));
    ASSERT_EQ(ViewMode, 0u);
    const HeadlessImage back = HeadlessClientImage();
    EXPECT_TRUE(back.pixels == layers.pixels) << "the layer view shows the composition as left";
}

TEST_F(ProgramViewTest, NoGlSetUpEndsTheProgramWithCodeZero) {
    // A pixel format that cannot be set quits; so does a context that cannot be made.
    for (const char* refusal : {"pixel-format", "context"}) {
        SetUp();
        setenv("VELMORA_GL_REFUSE", refusal, 1);
        ASSERT_NE(CreateMainWindow(GetModuleHandleA(nullptr)), nullptr) << refusal;
        HeadlessAt(5000, [] { PostQuitMessage(7); });  // only if the program kept running
        EXPECT_EQ(RunMessageLoop(), 0) << refusal;
        EXPECT_LT(GetTickCount(), 5000u) << refusal << ": ends at once";
        EXPECT_EQ(wglGetCurrentContext(), nullptr) << refusal;
    }
}

}  // namespace
