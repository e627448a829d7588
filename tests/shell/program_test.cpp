// The demonstration program on the headless driver: start-up, buttons, focus, clicks, views,
// title and the repaint protocol, checked on the client image and the program's state.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "layers/button.h"
#include "layers/layer_list.h"
#include "platform/headless.h"
#include "shell/dispatch.h"
#include "shell/main_window.h"
#include "shell/program_start.h"

// The program keeps every set-up object for its whole life by design, and these tests start it
// several times in one process: what an earlier start made is not a leak to report.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {

struct ButtonSpec {
    int32_t x, y;  // as given to CreateButtonLayer
    uint32_t colour;
    const char* caption;
};
constexpr int32_t BUTTON_W = 105, BUTTON_H = 30;
const ButtonSpec DEMO_BUTTONS[] = {{10, 32, 0x7F0000, "No Function"},
                                   {10, 64, 0x7F0000, "No Function"},
                                   {10, 96, 0x007F00, "Exit"}};

// One component of a vertical gradient of height h at i rows above its bottom row.
uint32_t GradientComponent(uint32_t k, int32_t i, int32_t h) { return k + k * uint32_t(i) / h; }

uint32_t MapComponents(uint32_t colour, auto&& f) {
    return ((f((colour >> 16) & 0xFF) & 0xFF) << 16) | ((f((colour >> 8) & 0xFF) & 0xFF) << 8) |
           (f(colour & 0xFF) & 0xFF);
}

// The expected pixel (c, r) of a button's band: band 0 is the gradient as drawn; band 1 is the
// same gradient one pixel right and down (its left column and top row keep the first one),
// averaged with grey 0x7F7F7F.
uint32_t ExpectedBandPixel(uint32_t colour, int band, int32_t c, int32_t r) {
    if (band == 0)
        return MapComponents(colour, [&](uint32_t k) { return GradientComponent(k, BUTTON_H - 1 - r, BUTTON_H); });
    const int32_t i = (c == 0 || r == 0) ? BUTTON_H - 1 - r : BUTTON_H - r;
    return MapComponents(colour, [&](uint32_t k) { return (GradientComponent(k, i, BUTTON_H) + 0x7F) >> 1; });
}

// The caption cell area within a band, left out of exact comparisons (glyphs depend on the font).
bool InCaption(const ButtonSpec& b, int32_t c, int32_t r) {
    const int32_t len = int32_t(std::string(b.caption).size());
    return c >= 9 && c < 12 + 8 * len && r >= 2 && r < 18;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = StartProgramForTest();
        ASSERT_NE(window, nullptr);
    }
    // Runs the message loop for ms of virtual time; false once the program has quit.
    bool Run(uint32_t ms) { return HeadlessRunFor(ms); }
    void PointAt(int32_t x, int32_t y) {
        HeadlessMouseMove(x, y);
        ASSERT_TRUE(Run(110));  // one tick hit-tests, the next presents
    }
    // Counts differences between the client image and the expected band of button b.
    int BandMismatches(const HeadlessImage& image, int index, int band) {
        const ButtonSpec& b = DEMO_BUTTONS[index];
        int bad = 0, bright = 0;
        for (int32_t r = 0; r < BUTTON_H; ++r)
            for (int32_t c = 0; c < BUTTON_W; ++c) {
                const uint32_t actual = image.at(b.x + 1 + c, b.y + 1 + r);
                if (InCaption(b, c, r)) {
                    bright += (actual & 0xC0C0C0) == 0xC0C0C0;
                    continue;
                }
                bad += actual != ExpectedBandPixel(b.colour, band, c, r);
            }
        EXPECT_GT(bright, 0) << "the white caption of button " << index << " is missing";
        return bad;
    }
    HWND window = nullptr;
};

TEST_F(ProgramTest, StartsTitledLoadingWithThreeButtons) {
    EXPECT_EQ(HeadlessWindowTitle(), "Loading...");
    ASSERT_EQ(GetLayerCount(), 3u);
    EXPECT_EQ(ExitButtonIndex, 2);
    for (uint32_t i = 0; i < 3; ++i) {
        const Layer* layer = GetLayer(i);
        EXPECT_EQ(layer->kind, LK_BUTTON);
        EXPECT_EQ(layer->x, 11);
        EXPECT_EQ(layer->y, 33 + 32 * int32_t(i));
        EXPECT_EQ(layer->width, 105u);
        EXPECT_EQ(layer->height, 30u);
    }
    EXPECT_EQ(GetLayer(2)->captionLength, 4);
    EXPECT_EQ(FocusIndex, -1);
}

TEST_F(ProgramTest, ButtonsAreDrawnFromTheirExactGradients) {
    ASSERT_TRUE(Run(60));
    HeadlessImage image = HeadlessClientImage();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(BandMismatches(image, i, 0), 0) << "button " << i;
    // Outside the buttons the backdrop captured after the splash shows, unchanged.
    int outside = 0, different = 0;
    for (int32_t y = 0; y < 480; y += 7)
        for (int32_t x = 0; x < 600; x += 7) {
            if (x >= 11 && x < 11 + BUTTON_W && y >= 33 && y < 127) continue;
            ++outside;
            different += image.at(x, y) != BackdropBuffer[y * 1024 + x];
        }
    EXPECT_EQ(different, 0) << "of " << outside << " sampled backdrop pixels";

    for (int focused = 0; focused < 3; ++focused) {
        const ButtonSpec& b = DEMO_BUTTONS[focused];
        PointAt(b.x + 40, b.y + 15);
        EXPECT_EQ(FocusIndex, focused);
        image = HeadlessClientImage();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(BandMismatches(image, i, i == focused ? 1 : 0), 0)
                << "button " << i << " with focus on " << focused;
    }
}

TEST_F(ProgramTest, FocusFollowsTheLastLayerEnteredAndStaysWhenThePointerLeaves) {
    struct Step { int32_t x, y; int32_t focus; const char* why; };
    const Step steps[] = {
        {300, 300, -1, "background before any layer: no focus"},
        {11, 33, 0, "top-left corner of the first button"},
        {116, 63, 0, "far edges are inside the hit area"},
        {116, 64, 0, "the row between two buttons keeps the focus"},
        {300, 300, 0, "background keeps the last focus"},
        {11, 65, 1, "second button"},
        {60, 127, 2, "bottom edge of Exit"},
        {117, 100, 2, "one column right of Exit's hit area"},
    };
    for (const Step& s : steps) {
        PointAt(s.x, s.y);
        EXPECT_EQ(FocusIndex, s.focus) << s.why;
    }
}

TEST_F(ProgramTest, OverlappingLayersEndEachPassOnTheLowerIndex) {
    ASSERT_EQ(CreateButtonLayer(window, 200, 200, 50, 50, 0x7F0000, "A"), 3);
    ASSERT_EQ(CreateButtonLayer(window, 220, 220, 50, 50, 0x7F0000, "B"), 4);
    PointAt(240, 240);  // inside both
    EXPECT_EQ(FocusIndex, 3);
    PointAt(265, 265);  // inside the upper one only
    EXPECT_EQ(FocusIndex, 4);
}

TEST_F(ProgramTest, ExitRuleQuitsWhereverThePointerIs) {
    struct Case { const char* why; bool leave; bool view3d; };
    const Case cases[] = {{"pointer on Exit", false, false},
                          {"pointer left Exit for the background", true, false},
                          {"in the 3D view", false, true}};
    for (const Case& c : cases) {
        SetUp();
        PointAt(50, 110);
        ASSERT_EQ(FocusIndex, 2);
        if (c.leave) PointAt(400, 400);
        if (c.view3d) {
            HeadlessButtonUp(WM_RBUTTONUP, 400, 400);
            ASSERT_TRUE(Run(60));
            ASSERT_EQ(ViewMode, 1u);
        }
        HeadlessButtonUp(WM_LBUTTONUP, 400, 400);
        EXPECT_FALSE(Run(100)) << c.why;
    }
}

TEST_F(ProgramTest, LeftReleaseOnNoFunctionOrBeforeAnyFocusOnlyRecomposes) {
    HeadlessButtonUp(WM_LBUTTONUP, 300, 300);  // focus -1: click and redraw carry -1
    EXPECT_TRUE(Run(200));
    PointAt(50, 40);
    HeadlessButtonUp(WM_LBUTTONUP, 50, 40);
    EXPECT_TRUE(Run(200));
    EXPECT_EQ(FocusIndex, 0);
    EXPECT_EQ(BandMismatches(HeadlessClientImage(), 0, 1), 0);
}

TEST_F(ProgramTest, RightReleaseTogglesTheViewAndFreezesTheFocus) {
    HeadlessButtonUp(WM_RBUTTONUP, 300, 300);
    ASSERT_TRUE(Run(60));
    EXPECT_EQ(ViewMode, 1u);
    PointAt(50, 110);
    EXPECT_EQ(FocusIndex, -1) << "no hit test in the 3D view";
    HeadlessButtonUp(WM_RBUTTONUP, 50, 110);
    ASSERT_TRUE(Run(110));
    EXPECT_EQ(ViewMode, 0u);
    EXPECT_EQ(FocusIndex, 2) << "back in the layer view the hit test runs again";
}

TEST_F(ProgramTest, SizeMessageSetsTheViewportFromTheWindowsScreenRectangle) {
    // The right and bottom edges in screen coordinates, not the client size: a window moved to
    // (100, 50) with an outer size of 600 x 480 gets a 700 x 530 viewport.
    struct Case { int x, y; GLint width, height; };
    for (const Case& c : {Case{100, 50, 700, 530}, Case{0, 0, 600, 480}}) {
        MoveWindow(window, c.x, c.y, 600, 480, TRUE);  // sends WM_SIZE
        RECT rect;
        GetWindowRect(window, &rect);
        ASSERT_EQ(rect.right, c.width) << "no frame around the headless window";
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.height);
    }
}

TEST_F(ProgramTest, KeysSetAndClearTheKeyCode) {
    HeadlessKeyDown(VK_LEFT);
    ASSERT_TRUE(Run(10));
    EXPECT_EQ(KeyCode, uint32_t(VK_LEFT));
    HeadlessKeyUp(VK_RIGHT);  // releasing any key clears it
    ASSERT_TRUE(Run(10));
    EXPECT_EQ(KeyCode, 0u);
}

TEST_F(ProgramTest, TitleShowsTheSplashTimeThenTheFrameCountEverySecond) {
    ASSERT_TRUE(Run(10));
    EXPECT_EQ(HeadlessWindowTitle(), "Loading...");
    ASSERT_TRUE(Run(20));
    const std::string splashTime = HeadlessWindowTitle();
    EXPECT_NE(splashTime, "Loading...");
    EXPECT_EQ(splashTime.find_first_not_of("0123456789"), std::string::npos) << splashTime;
    for (int second = 1; second <= 3; ++second) {
        SetWindowTextA(window, "marker");
        ASSERT_TRUE(Run(1000));
        EXPECT_EQ(HeadlessWindowTitle(), "0") << "after second " << second;
    }
}

TEST_F(ProgramTest, OnlyCaptureAndRedrawRebuildTheComposition) {
    std::vector<uint32_t> composed(1024 * 768), after(1024 * 768);
    GetBitmapBits(ComposeBitmap, 0x300000, composed.data());
    DumpLayer(2, 300, 300);  // green text into ComposeDC
    GetBitmapBits(ComposeBitmap, 0x300000, after.data());
    ASSERT_NE(after, composed) << "the dump wrote nothing";
    for (LPARAM code : {LPARAM(2), LPARAM(3), LPARAM(15), LPARAM(0x7FFF)}) {
        SendMessageA(window, WM_USER, 0, code);
        std::vector<uint32_t> now(1024 * 768);
        GetBitmapBits(ComposeBitmap, 0x300000, now.data());
        EXPECT_EQ(now, after) << "code " << code << " must change nothing";
    }
    SendMessageA(window, WM_USER, 0, RQ_REDRAW);
    GetBitmapBits(ComposeBitmap, 0x300000, after.data());
    EXPECT_EQ(after, composed) << "a redraw starts again from the backdrop";
    ClearLayers();
    DumpLayer(0, 300, 300);
    GetBitmapBits(ComposeBitmap, 0x300000, after.data());
    EXPECT_EQ(after, composed) << "an empty list dumps nothing";
}

TEST_F(ProgramTest, TheListTakes249LayersThenRefuses) {
    while (GetLayerCount() < LAYER_CAPACITY) {
        const int32_t index = CreateButtonLayer(window, 500, 10, 4, 4, 0x7F0000, nullptr);
        ASSERT_EQ(index, int32_t(GetLayerCount() - 1));
    }
    EXPECT_EQ(CreateButtonLayer(window, 500, 10, 4, 4, 0x7F0000, "x"), -1);
    EXPECT_EQ(GetLayerCount(), LAYER_CAPACITY);
    EXPECT_STREQ(GetLayer(5)->caption, "Layer");
    ASSERT_TRUE(Run(60)) << "composing and hit-testing a full list";
}

TEST_F(ProgramTest, CaptionStopsAtCarriageReturnOrAfter128Bytes) {
    static const char withReturn[] = "Exit\rmore text";
    static char unterminated[200];
    std::fill(std::begin(unterminated), std::end(unterminated), 'x');
    unterminated[199] = 0;
    const int32_t a = CreateButtonLayer(window, 300, 10, 40, 20, 0x007F00, withReturn);
    const int32_t b = CreateButtonLayer(window, 300, 40, 40, 20, 0x007F00, unterminated);
    EXPECT_EQ(GetLayer(uint32_t(a))->captionLength, 4);
    EXPECT_EQ(GetLayer(uint32_t(b))->captionLength, 128);
}

TEST_F(ProgramTest, AFloodOfInputLeavesAConsistentProgram) {
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        const int32_t x = int32_t(random() % 700), y = int32_t(random() % 600);
        switch (random() % 5) {
            case 0: HeadlessMouseMove(x, y); break;
            case 1: HeadlessButtonUp(WM_RBUTTONUP, x, y); break;
            case 2: HeadlessKeyDown(0x41 + random() % 26); break;
            case 3: HeadlessKeyUp(VK_LEFT); break;
            default: HeadlessMouseMove(x, y); break;
        }
        if (i % 100 == 0 && !Run(20)) break;
    }
    Run(200);
    EXPECT_GE(FocusIndex, -1);
    EXPECT_LE(FocusIndex, 2);
    EXPECT_LE(ViewMode, 1u);
}

TEST(StorePointer, SplitsTheMouseMoveParameter) {
    struct Case { LPARAM lParam; uint32_t x, y; };
    const Case cases[] = {{0x00320014, 20, 50}, {0xFFFF0000, 0, 0xFFFF}, {0x0000FFFF, 0xFFFF, 0}};
    for (const Case& c : cases) {
        StorePointer(c.lParam);
        EXPECT_EQ(PointerX, c.x);
        EXPECT_EQ(PointerY, c.y);
    }
}

TEST(WinMain, ClosingTheWindowAtAnyMomentEndsWithExitCodeZero) {
    // Before the splash, on its tick, right after its capture, mid-run, and after input that
    // arrives before the first tick.
    for (uint32_t closeAt : {0u, 19u, 20u, 21u, 50u, 1001u, 2500u}) {
        setenv("VELMORA_DRIVER", "headless", 1);
        PlatformResetForTest();
        ResetProgramForTest();
        HeadlessAt(0, [] {
            HeadlessButtonUp(WM_LBUTTONUP, 50, 110);
            HeadlessButtonUp(WM_RBUTTONUP, 50, 110);
            HeadlessMouseMove(50, 110);
        });
        HeadlessAt(closeAt, [] { HeadlessClose(); });
        EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT), 0)
            << "closed at " << closeAt << " ms";
    }
}

}  // namespace
