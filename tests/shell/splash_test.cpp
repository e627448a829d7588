// The splash on the headless driver: the composed picture checked pixel by pixel outside the
// notice glyphs, both strip frames and strip B, the title sequence, bad splash pictures, the
// play branch's frame wrap and the FPS history panel.
#include "shell/splash.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "gfx/raster.h"
#include "platform/headless.h"
#include "shell/main_window.h"
#include "support/owned_surface.h"
#include "support/picture_files.h"
#include "util/picture.h"

namespace {

constexpr int32_t FRAME_W = 600, FRAME_H = 500;

std::string AssetsDirectory() {
    const char* data = std::getenv("VELMORA_TEST_DATA");
    const std::filesystem::path tests =
        data != nullptr ? std::filesystem::path(data)
                        : std::filesystem::path(__FILE__).parent_path().parent_path();
    return (tests.parent_path() / "assets").string();
}

std::vector<uint32_t> CanvasPixels(const FrameStrip* strip) {
    const int32_t rows = int32_t(strip->frameHeight * strip->frameCount);
    std::vector<uint32_t> pixels(size_t(strip->width) * size_t(rows));
    GetBitmapBits(GetCanvasBitmap(strip->canvas), LONG(pixels.size() * 4), pixels.data());
    return pixels;
}

// The top-left 600 x 500 of the picture file as the splash would show it; zero where the
// picture does not reach (a fresh canvas is zero) or when it cannot be loaded.
std::vector<uint32_t> PictureRegion(const std::string& path) {
    std::vector<uint32_t> region(size_t(FRAME_W) * FRAME_H, 0);
    HBITMAP bitmap = LoadPictureBitmap(path.c_str());
    if (bitmap == nullptr) return region;
    const BitmapPixels picture = ReadBitmap(bitmap);
    DeleteObject(bitmap);
    for (int32_t y = 0; y < std::min(FRAME_H, picture.height); ++y)
        for (int32_t x = 0; x < std::min(FRAME_W, picture.width); ++x)
            region[size_t(y) * FRAME_W + size_t(x)] = picture.at(x, y);
    return region;
}

uint32_t Olive(uint32_t k) {
    return (k << 16) | (k << 8);
}

// The notice line's cells, and where the gradient block's left column copies part of them.
bool InNotice(int32_t x, int32_t y) {
    return (y >= 10 && y < 28 && x < 540) || (x == 49 && y >= 435 && y < 450);
}

class SplashTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("VELMORA_DRIVER", "headless", 1);
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previousDirectory = cwd;
    }
    void TearDown() override { ASSERT_EQ(chdir(previousDirectory.c_str()), 0); }

    // Starts the program with directory as its current directory.
    void Start(const std::string& directory) {
        ASSERT_EQ(chdir(directory.c_str()), 0);
        PlatformResetForTest();
        ResetProgramForTest();
        FrameCount = 0;
        window = CreateMainWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(window, nullptr);
    }

    // Frame 0 of SplashStripA against the splash composed over picture, exactly outside the
    // notice; inside it every pixel that differs must lean to the notice's red.
    void ExpectComposedOver(const std::vector<uint32_t>& picture, const std::string& what) {
        OwnedSurface model(FRAME_W, FRAME_H);
        model.words = picture;
        BlendRect(&model.surface, 5, 30, 120, 100, 0xAAAAAA, BLEND_AVERAGE);
        BlendRect(&model.surface, 0, 350, 590, 100, 0xAAAAAA, BLEND_AVERAGE);
        BlendRect(&model.surface, 0, 0, 590, 25, 0xAAAAAA, BLEND_AVERAGE);
        // The gradient block at (49, 425): the brightest step just below its top row; its top
        // row and left column are the canvas's own (0, 0) corner.
        const OwnedSurface beforeGradient(model);
        for (int32_t v = 0; v < 25; ++v)
            for (int32_t u = 0; 49 + u < FRAME_W; ++u)
                PutPixel(&model.surface, 49 + u, 425 + v,
                         (u == 0 || v == 0) ? beforeGradient.at(u, v)
                                            : Olive(127 + 127 * uint32_t(25 - v) / 25));
        FillArcBand(&model.surface, 0, 425, 50, 30, 2700, 900, 0x7F7F00);

        const std::vector<uint32_t> canvas = CanvasPixels(SplashStripA);
        int wrong = 0, inked = 0;
        for (int32_t y = 0; y < FRAME_H; ++y)
            for (int32_t x = 0; x < FRAME_W; ++x) {
                const uint32_t actual = canvas[size_t(y) * FRAME_W + size_t(x)];
                const uint32_t expected = model.at(x, y);
                if (actual == expected) continue;
                if (InNotice(x, y)) {
                    const bool redder = (actual >> 16) >= (expected >> 16) &&
                                        ((actual >> 8) & 0xFF) <= ((expected >> 8) & 0xFF) &&
                                        (actual & 0xFF) <= (expected & 0xFF);
                    inked += y < 28;
                    if (redder) continue;
                }
                if (++wrong <= 5)
                    ADD_FAILURE() << what << ": (" << x << ", " << y << ") is " << std::hex
                                  << actual << ", expected " << expected;
            }
        EXPECT_EQ(wrong, 0) << what;
        EXPECT_GT(inked, 200) << what << ": the notice line was not drawn";
    }

    HWND window = nullptr;
    std::string previousDirectory;
};

TEST_F(SplashTest, FirstTickComposesTheSplashOverThePicture) {
    Start(AssetsDirectory());
    ASSERT_TRUE(HeadlessRunFor(20));
    ASSERT_EQ(SplashStripA->playCount, 1u);
    ExpectComposedOver(PictureRegion(AssetsDirectory() + "/093070B.jpg"), "splash");

    const std::vector<uint32_t> a = CanvasPixels(SplashStripA);
    // The ring band along column 0, one pixel per ring at angle 270.0 degrees, brightest inside.
    for (uint32_t k = 0; k < 30; ++k)
        EXPECT_EQ(a[size_t(425 - 50 - k) * FRAME_W], Olive(127 + 127 * (30 - k) / 30)) << k;
    EXPECT_EQ(a[375 * FRAME_W], 0xFEFE00u);  // radius 50
    EXPECT_EQ(a[346 * FRAME_W], 0x838300u);  // radius 79
    // The bar's rows: brightest under its top row, one step above the plain colour at the bottom.
    EXPECT_EQ(a[426 * FRAME_W + 300], 0xF8F800u);
    EXPECT_EQ(a[449 * FRAME_W + 300], 0x848400u);
    // A panel pixel is the average of the picture's pixel with light grey.
    const uint32_t picture = PictureRegion(AssetsDirectory() + "/093070B.jpg")[80 * FRAME_W + 60];
    EXPECT_EQ(a[80 * FRAME_W + 60], ((picture >> 1) & 0x7F7F7F) + 0x555555);

    // Both frames of strip A and the one frame of strip B hold the same picture.
    const std::vector<uint32_t> b = CanvasPixels(SplashStripB);
    const std::vector<uint32_t> frame0(a.begin(), a.begin() + FRAME_W * FRAME_H);
    EXPECT_TRUE(std::equal(frame0.begin(), frame0.end(), a.begin() + FRAME_W * FRAME_H));
    EXPECT_EQ(b, frame0);
}

TEST_F(SplashTest, SplashBecomesTheBackdropOfTheButtons) {
    Start(AssetsDirectory());
    ASSERT_TRUE(HeadlessRunFor(120));  // composed at 20 ms, presented by the 50 ms timer
    const std::vector<uint32_t> a = CanvasPixels(SplashStripA);
    const HeadlessImage image = HeadlessClientImage();
    ASSERT_EQ(image.width, 600);
    ASSERT_EQ(image.height, 480);
    int differences = 0;
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 130; x < 600; ++x)  // right of the buttons
            differences += image.at(x, y) != a[size_t(y) * FRAME_W + size_t(x)];
    EXPECT_EQ(differences, 0);
    // The buttons cover the splash where they stand.
    EXPECT_NE(image.at(60, 110), a[110 * FRAME_W + 60]);
}

TEST_F(SplashTest, TitleShowsTheSplashTimeThenTheFrameCountEverySecond) {
    Start(AssetsDirectory());
    EXPECT_EQ(HeadlessWindowTitle(), "Loading...");
    ASSERT_TRUE(HeadlessRunFor(20));
    EXPECT_TRUE(std::regex_match(HeadlessWindowTitle(), std::regex("[0-9]+")))
        << HeadlessWindowTitle();
    EXPECT_FALSE(KillTimer(window, 2)) << "timer 2 still exists after the splash";
    // The counter's own text, so a title that merely stayed the same cannot pass.
    HeadlessAt(500, [] { SetWindowTextA(MainWindow, "marker"); });
    ASSERT_TRUE(HeadlessRunFor(980));
    EXPECT_EQ(HeadlessWindowTitle(), "0");
    FrameCount = 7;
    ASSERT_TRUE(HeadlessRunFor(1000));
    EXPECT_EQ(HeadlessWindowTitle(), "7");
    EXPECT_EQ(FrameCount, 0u);
    ASSERT_TRUE(HeadlessRunFor(1000));
    EXPECT_EQ(HeadlessWindowTitle(), "0");
    EXPECT_EQ(SplashStripA->playCount, 1u);
}

TEST_F(SplashTest, BadSplashPictureStillGivesPanelsNoticeBarAndBand) {
    const std::string good = ReadBytes(AssetsDirectory() + "/093070B.jpg");
    struct Case {
        const char* what;
        bool present;
        std::string bytes;
    };
    const Case cases[] = {
        {"missing picture", false, ""},
        {"empty picture", true, ""},
        {"truncated picture", true, good.substr(0, good.size() / 2)},
        {"not a JPEG", true, "GIF89a is what this file pretends to be, but it is text."},
        {"JPEG signature, then nothing sensible", true,
         std::string("\xFF\xD8\xFF\xE0", 4) + "junk"},
    };
    for (const Case& c : cases) {
        TempDirectory dir;
        if (c.present) WriteBytes(dir / "093070B.jpg", c.bytes);
        Start(dir.path.string());
        ASSERT_TRUE(HeadlessRunFor(20)) << c.what;
        EXPECT_TRUE(std::regex_match(HeadlessWindowTitle(), std::regex("[0-9]+"))) << c.what;
        ExpectComposedOver(PictureRegion(dir / "093070B.jpg"), c.what);
        ASSERT_EQ(chdir(previousDirectory.c_str()), 0);
    }
}

TEST_F(SplashTest, PlayBranchShowsEveryFrameFromInsideTheCanvas) {
    Start(AssetsDirectory());
    ASSERT_TRUE(HeadlessRunFor(20));
    // Frame 0 plain blue, frame 1 plain green; the window shows whichever was played.
    std::vector<uint32_t> frames(size_t(FRAME_W) * FRAME_H * 2, 0x0000FF);
    std::fill(frames.begin() + FRAME_W * FRAME_H, frames.end(), 0x00FF00);
    SetBitmapBits(GetCanvasBitmap(SplashStripA->canvas), DWORD(frames.size() * 4), frames.data());
    struct Case {
        const char* what;
        uint32_t startFrame;
        std::vector<uint32_t> shown;
    };
    const Case cases[] = {
        {"from frame 0 the frames alternate",
         0,
         {0x0000FF, 0x00FF00, 0x0000FF, 0x00FF00, 0x0000FF}},
        {"from the last frame it wraps to 0", 1, {0x00FF00, 0x0000FF, 0x00FF00}},
        {"a frame number past the end starts at 0", 7, {0x0000FF, 0x00FF00}},
    };
    for (const Case& c : cases) {
        SplashStripA->currentFrame = c.startFrame;
        FrameCount = 0;
        for (size_t i = 0; i < c.shown.size(); ++i) {
            SplashTimerProc(window, WM_TIMER, 2, 0);
            const HeadlessImage image = HeadlessClientImage();
            EXPECT_EQ(image.at(300, 240), c.shown[i]) << c.what << ", tick " << i;
            EXPECT_EQ(image.at(599, 479), c.shown[i]) << c.what << ", tick " << i;
            EXPECT_LT(SplashStripA->currentFrame, SplashStripA->frameCount) << c.what;
        }
        EXPECT_EQ(FrameCount, c.shown.size()) << c.what;
    }
    EXPECT_EQ(SplashStripA->playCount, 1u);
}

TEST_F(SplashTest, FpsHistoryShiftsAndDrawsOldestFirst) {
    Start(AssetsDirectory());
    auto makeCanvas = [] { return CreateCanvas(nullptr, 0, 0, 300, 260); };
    Canvas* drawn = makeCanvas();
    Canvas* reference = makeCanvas();
    uint32_t history[FPS_HISTORY_LENGTH] = {};
    DrawFpsHistory(GetCanvasDC(drawn), history, 60);
    EXPECT_EQ(history[9], 60u);
    for (uint32_t i = 0; i < 9; ++i) EXPECT_EQ(history[i], 0u);
    // Nine rows of "0" and "60" at the bottom, each beside its label.
    for (int32_t i = 0; i < 10; ++i) {
        const char* digits = i == 9 ? "60" : "0";
        TextOutA(GetCanvasDC(reference), 155, 100 + 15 * i, digits, i == 9 ? 2 : 1);
        TextOutA(GetCanvasDC(reference), 125, 100 + 15 * i, "FPS:", 4);
    }
    std::vector<uint32_t> a(300 * 260), b(300 * 260), blank(300 * 260, 0);
    GetBitmapBits(GetCanvasBitmap(drawn), LONG(a.size() * 4), a.data());
    GetBitmapBits(GetCanvasBitmap(reference), LONG(b.size() * 4), b.data());
    EXPECT_NE(a, blank);
    EXPECT_EQ(a, b);

    uint32_t counted[FPS_HISTORY_LENGTH] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    DrawFpsHistory(GetCanvasDC(drawn), counted, 11);
    for (uint32_t i = 0; i < FPS_HISTORY_LENGTH; ++i) EXPECT_EQ(counted[i], i + 2);
    DestroyCanvas(drawn);
    DestroyCanvas(reference);
}

}  // namespace
