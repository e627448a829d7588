// Animation and bar layers: loading, playback at the layer timer's rate while hovered, the focus
// given up at each step, the sample frames, and the bar's picture.
#include <gtest/gtest.h>

#include <vector>

#include "layer_fixture.h"
#include "layers/animation.h"
#include "layers/bar.h"
#include "layers/button.h"
#include "layers/textview.h"

namespace {

constexpr int32_t ANIM_X = 300, ANIM_Y = 100, ANIM_W = 60, ANIM_H = 40;

uint32_t FrameColour(uint32_t k) {
    return 0x00100000 * (k + 1) + 0x55;
}

// A loader that paints frame k in FrameColour(k) straight into the canvas, then sets ready.
std::vector<Layer*> LoaderCalls;
void PaintFrames(Layer* layer) {
    LoaderCalls.push_back(layer);
    std::vector<uint32_t> pixels(size_t(layer->width) * layer->height * layer->frameCount);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = FrameColour(uint32_t(i / (size_t(layer->width) * layer->height)));
    SetBitmapBits(GetCanvasBitmap(layer->image), DWORD(pixels.size() * 4), pixels.data());
    layer->ready = 1;
}
// A loader that never manages to fill the frames.
void NeverReady(Layer* layer) {
    LoaderCalls.push_back(layer);
}

class AnimationTest : public LayerTest {
  protected:
    void SetUp() override {
        LayerTest::SetUp();
        LoaderCalls.clear();
    }
    int32_t MakeAnimation(uint32_t frameCount, void (*loader)(Layer*) = PaintFrames) {
        return CreateAnimationLayer(window, ANIM_X, ANIM_Y, ANIM_W, ANIM_H, loader, frameCount);
    }
    // The pixel the compose and the window show inside the animation.
    static uint32_t Composed() { return ReadCompose().at(ANIM_X + 5, ANIM_Y + 6); }
    static uint32_t Shown() { return HeadlessClientImage().at(ANIM_X + 5, ANIM_Y + 6) & 0xFFFFFF; }
};

TEST_F(AnimationTest, CreationKeepsTheFramesForTheFirstDraw) {
    ASSERT_EQ(MakeAnimation(11), 0);
    const Layer* layer = GetLayer(0);
    EXPECT_EQ(layer->kind, LK_ANIMATION);
    EXPECT_EQ(layer->x, ANIM_X);
    EXPECT_EQ(layer->y, ANIM_Y + 1);
    EXPECT_EQ(layer->width, uint32_t(ANIM_W));
    EXPECT_EQ(layer->height, uint32_t(ANIM_H));
    EXPECT_EQ(layer->frameCount, 11u);
    EXPECT_EQ(layer->ready, 0u);
    EXPECT_EQ(layer->frame, 0u);
    EXPECT_EQ(GetCanvasSize(layer->image), (Point{ANIM_W, ANIM_H * 11}));
    EXPECT_TRUE(LoaderCalls.empty());

    Compose();
    ASSERT_EQ(LoaderCalls, std::vector<Layer*>{GetLayer(0)}) << "the loader is handed its layer";
    EXPECT_EQ(layer->ready, 1u);
    EXPECT_EQ(Composed(), FrameColour(0));
    Compose();
    EXPECT_EQ(LoaderCalls.size(), 1u) << "a ready layer is not loaded again";
}

TEST_F(AnimationTest, PlaysOneFramePerTickWhileHoveredAndStandsStillOtherwise) {
    ASSERT_EQ(MakeAnimation(11), 0);
    Compose();
    Tick();
    EXPECT_EQ(GetLayer(0)->frame, 0u) << "the pointer is elsewhere";

    MovePointer(ANIM_X + 10, ANIM_Y + 10);
    const uint32_t expected[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1};
    uint32_t previous = 0;
    for (uint32_t frame : expected) {
        Tick();  // presents the last compose, then the hit test redraws and steps
        EXPECT_EQ(GetLayer(0)->frame, frame);
        EXPECT_EQ(FocusIndex, -1) << "the step gives the focus up";
        EXPECT_EQ(Composed(), FrameColour(frame));
        EXPECT_EQ(Shown(), FrameColour(previous));
        previous = frame;
    }
    MovePointer(10, 450);
    for (int i = 0; i < 3; ++i) Tick();
    EXPECT_EQ(GetLayer(0)->frame, 1u);
    EXPECT_EQ(Shown(), FrameColour(1));
}

TEST_F(AnimationTest, FrameCountsDecideTheCycle) {
    struct Case {
        uint32_t frameCount;
        std::vector<uint32_t> frames;  // after each hovered tick
        const char* why;
    };
    const Case cases[] = {
        {1, {0, 0, 0}, "a single frame always shows frame 0"},
        {3, {1, 2, 0, 1}, "wraps after the last frame"},
        {0, {0, 0, 0}, "no frames: never loaded, never drawn, never steps"},
    };
    for (const Case& c : cases) {
        LoaderCalls.clear();
        ASSERT_EQ(MakeAnimation(c.frameCount), 0);
        Compose();
        MovePointer(ANIM_X + 10, ANIM_Y + 10);
        for (uint32_t frame : c.frames) {
            Tick();
            EXPECT_EQ(GetLayer(0)->frame, frame) << c.why;
        }
        if (c.frameCount == 0) {
            EXPECT_TRUE(LoaderCalls.empty()) << c.why;
            EXPECT_EQ(Composed(), BACKDROP_FILL) << c.why;
            EXPECT_EQ(FocusIndex, 0) << "it keeps the focus it took";
        }
        MovePointer(10, 450);
        FreeLayers();
    }
}

TEST_F(AnimationTest, ALeftReleaseRightAfterAStepClicksNoLayer) {
    ASSERT_EQ(MakeAnimation(11), 0);
    Compose();
    MovePointer(ANIM_X + 10, ANIM_Y + 10);
    Tick();
    ASSERT_EQ(GetLayer(0)->frame, 1u);
    HeadlessButtonUp(WM_LBUTTONUP, ANIM_X + 10, ANIM_Y + 10);
    HeadlessRunFor(0);
    EXPECT_EQ(ClickRequests, std::vector<int32_t>{-1});
}

TEST_F(AnimationTest, ALayerThatIsNeverReadyAsksAgainAndSaysSo) {
    struct Case {
        void (*loader)(Layer*);
        size_t callsAfterThree;
    };
    for (const Case& c : {Case{NeverReady, 3}, Case{nullptr, 0}}) {
        LoaderCalls.clear();
        ASSERT_EQ(MakeAnimation(4, c.loader), 0);
        for (int i = 0; i < 3; ++i) Compose();
        EXPECT_EQ(LoaderCalls.size(), c.callsAfterThree);
        EXPECT_EQ(GetLayer(0)->ready, 0u);
        // "Frame Not Ready." in white over the empty frame 0, which the compose shows.
        const BitmapImage canvas = ReadCanvas(GetLayer(0)->image);
        const BitmapImage compose = ReadCompose();
        int bright = 0, mismatched = 0;
        for (int32_t r = 0; r < ANIM_H; ++r)
            for (int32_t col = 0; col < ANIM_W; ++col) {
                bright += canvas.at(col, r) > 0x808080 && r < 16;
                mismatched += compose.at(ANIM_X + col, ANIM_Y + 1 + r) != canvas.at(col, r);
                EXPECT_EQ(canvas.at(col, r + ANIM_H), 0u) << "frame 1 stays empty";
            }
        EXPECT_GT(bright, 20);
        EXPECT_EQ(mismatched, 0);
        FreeLayers();
    }
}

TEST_F(AnimationTest, SampleFramesAreADiscSlidingRight) {
    constexpr int32_t X = 200, Y = 150, W = 150;
    ASSERT_EQ(CreateAnimationLayer(window, X, Y, W, 100, LoadSampleFrames, 11), 0);
    Compose();
    const Layer* layer = GetLayer(0);
    ASSERT_EQ(layer->ready, 1u);
    const BitmapImage canvas = ReadCanvas(layer->image);
    // Frame 0 is the work surface under the layer, with the disc centred 50 in and 50 down.
    const auto work = [](int32_t x, int32_t y) {
        return static_cast<const uint32_t*>(WorkSurface.pixels)[y * int32_t(SURFACE_WIDTH) + x] &
               0xFFFFFF;
    };
    int wrong = 0;
    for (int32_t r = 0; r < 100; ++r)
        for (int32_t c = 0; c < W; ++c) wrong += canvas.at(c, r) != work(X + c, Y + 1 + r);
    EXPECT_EQ(wrong, 0);
    EXPECT_NE(canvas.at(50, 50), WORK_FILL) << "the disc's centre";
    EXPECT_EQ(canvas.at(50, 0), 0x7F7F7Fu) << "its outer ring, 50 rows above the centre";
    EXPECT_EQ(canvas.at(140, 50), WORK_FILL) << "right of the disc";
    // Frame k: frame 0 moved 20 + k columns right; the columns before it are never written.
    for (int32_t k = 1; k <= 10; ++k) {
        wrong = 0;
        for (int32_t r = 0; r < 100; ++r)
            for (int32_t c = 0; c < W; ++c) {
                const uint32_t expected = c < 20 + k ? 0u : canvas.at(c - 20 - k, r);
                wrong += canvas.at(c, 100 * k + r) != expected;
            }
        EXPECT_EQ(wrong, 0) << "frame " << k;
    }
}

TEST_F(AnimationTest, SampleLoaderCalledWithoutALayerFillsOnlyAnAnimationAtEffectLayerIndex) {
    CreateButtonLayer(window, 10, 10, 50, 20, 0x7F, "b");              // 0
    CreateAnimationLayer(window, 200, 150, 150, 100, NeverReady, 11);  // 1
    CreateBarLayer(window, 400, 10, 50, 0x7F00);                       // 2
    struct Case {
        int32_t effectIndex;
        bool fills;
    };
    for (const Case& c :
         {Case{0, false}, Case{2, false}, Case{3, false}, Case{-1, false}, Case{1, true}}) {
        EffectLayerIndex = c.effectIndex;
        LoadSampleFrames(nullptr);
        EXPECT_EQ(GetLayer(1)->ready, c.fills ? 1u : 0u) << c.effectIndex;
        EXPECT_EQ(GetLayer(0)->ready, 0u) << c.effectIndex;
    }
    // Handed a layer of another kind, it fills nothing.
    LoadSampleFrames(GetLayer(2));
    EXPECT_EQ(GetLayer(2)->ready, 0u);
}

TEST_F(LayerTest, BarIsAGradientDrawnOneRightAndDownAndIgnoresTheFocus) {
    constexpr uint32_t COLOUR = 0x00306090;
    ASSERT_EQ(CreateBarLayer(window, 10, 200, 100, COLOUR), 0);
    const Layer* layer = GetLayer(0);
    EXPECT_EQ(layer->kind, LK_BAR);
    EXPECT_EQ(layer->x, 11);
    EXPECT_EQ(layer->y, 201);
    EXPECT_EQ(layer->width, 20u);
    EXPECT_EQ(layer->height, 100u);
    EXPECT_EQ(layer->imageDC, nullptr);
    EXPECT_EQ(GetCanvasSize(layer->image), (Point{20, 300}));

    for (int32_t focus : {-1, 0}) {
        FocusIndex = focus;
        Compose();
        const BitmapImage compose = ReadCompose();
        int wrong = 0;
        for (int32_t y = 190; y < 310; ++y)
            for (int32_t x = 0; x < 40; ++x) {
                uint32_t expected = BACKDROP_FILL;
                if (x >= 11 && x <= 30 && y >= 201 && y <= 300) {
                    // Column 0 and row 0 of the picture lie outside the gradient.
                    const int32_t c = x - 11, r = y - 201;
                    expected =
                        c == 0 || r == 0 ? WORK_FILL : GradientRow(COLOUR, uint32_t(100 - r), 100);
                }
                wrong += compose.at(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0) << "focus " << focus;
    }
}

TEST_F(LayerTest, AFullListOfMixedKindsComposesAndRefusesEveryCreator) {
    for (uint32_t i = 0; i < LAYER_CAPACITY; ++i) {
        const int32_t x = int32_t(i % 20) * 28, y = int32_t(i / 20) * 36;
        int32_t index = -1;
        switch (i % 4) {
            case 0:
                index = CreateButtonLayer(window, x, y, 25, 30, 0x7F0000, "b");
                break;
            case 1:
                index = CreateTextViewLayer(window, x, y, 25, 30, 0x00007F);
                break;
            case 2:
                index = CreateAnimationLayer(window, x, y, 25, 30, PaintFrames, 3);
                break;
            default:
                index = CreateBarLayer(window, x, y, 30, 0x007F00);
                break;
        }
        ASSERT_EQ(index, int32_t(i));
    }
    EXPECT_EQ(CreateButtonLayer(window, 0, 0, 10, 10, 0x7F, nullptr), -1);
    EXPECT_EQ(CreateTextViewLayer(window, 0, 0, 10, 10, 0x7F), -1);
    EXPECT_EQ(CreateAnimationLayer(window, 0, 0, 10, 10, PaintFrames, 2), -1);
    EXPECT_EQ(CreateBarLayer(window, 0, 0, 10, 0x7F), -1);
    EXPECT_EQ(GetLayerCount(), LAYER_CAPACITY);

    // Every kind is drawn by the compose: the last animation shows its frame 0 where it lies.
    Compose();
    const Layer* animation = GetLayer(246);
    ASSERT_EQ(animation->kind, LK_ANIMATION);
    EXPECT_EQ(animation->ready, 1u);
    EXPECT_EQ(ReadCompose().at(animation->x + 3, animation->y + 3), FrameColour(0));
}

TEST_F(LayerTest, DrawLayerSkipsUnknownKinds) {
    ASSERT_EQ(CreateBarLayer(window, 10, 10, 50, 0x7F), 0);
    GetLayer(0)->kind = 0x12345678;
    Compose();
    EXPECT_EQ(ReadCompose().at(20, 30), BACKDROP_FILL);
}

}  // namespace
