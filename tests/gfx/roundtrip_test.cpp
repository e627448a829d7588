// The device-context round trip: each ...OnDC operation must leave its target exactly as the
// primitive drawn on the target's own pixels would, within the 1024 x 768 region at the
// target's origin, and touch nothing beyond it; the gradient block keeps the target's top row
// and left column; pictures are copied unscaled, or not at all.
#include "gfx/roundtrip.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "geom/angles.h"
#include "gfx/framebuffer.h"
#include "gfx/raster.h"
#include "support/owned_surface.h"
#include "support/picture_files.h"
#include "util/picture.h"

namespace {

// A memory context over a DIB section, as the program's canvases are made.
struct Target {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    int32_t width, height;
    Target(int32_t w, int32_t h, const std::function<uint32_t(int32_t, int32_t)>& fill)
        : width(w), height(h) {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        SelectObject(dc, bitmap);
        std::vector<uint32_t> pixels(size_t(w) * size_t(h));
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) pixels[size_t(y) * size_t(w) + size_t(x)] = fill(x, y);
        SetBitmapBits(bitmap, DWORD(pixels.size() * 4), pixels.data());
    }
    ~Target() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> pixels(size_t(width) * size_t(height));
        GetBitmapBits(bitmap, LONG(pixels.size() * 4), pixels.data());
        return pixels;
    }
};

// Distinct, busy pixels: any misplaced copy shows.
uint32_t Pattern(int32_t x, int32_t y) {
    return (uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u) & 0x00FFFFFFu;
}

class RoundTripTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("VELMORA_DRIVER", "headless", 1);
        if (!AngleTables) BuildAngleTables();
        static std::vector<uint32_t> work(SURFACE_WIDTH * SURFACE_HEIGHT);
        WorkSurface = {work.data(), SURFACE_WIDTH, SURFACE_HEIGHT, 32};
        ScratchDC = CreateCompatibleDC(nullptr);
        static BITMAPINFO info{};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), SURFACE_WIDTH, SURFACE_HEIGHT, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        ScratchBitmap = CreateDIBSection(ScratchDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        SelectObject(ScratchDC, ScratchBitmap);
    }
    // Leftovers of an earlier round trip in the scratch bitmap must never reach a target.
    void SetUp() override {
        std::vector<uint32_t> stale(SURFACE_WIDTH * SURFACE_HEIGHT, 0x00C0FFEE);
        SetBitmapBits(ScratchBitmap, SURFACE_BYTES, stale.data());
    }
};

struct PrimitiveCase {
    const char* name;
    std::function<void(HDC)> onDC;
    std::function<void(const Surface*)> primitive;
};

TEST_F(RoundTripTest, OperationsDrawTheirPrimitiveOnTheTargetsOwnPixels) {
    const PrimitiveCase cases[] = {
        {"BlendRect average",
         [](HDC dc) { BlendRectOnDC(dc, 5, 30, 120, 100, 0xAAAAAA, BLEND_AVERAGE); },
         [](const Surface* s) { BlendRect(s, 5, 30, 120, 100, 0xAAAAAA, BLEND_AVERAGE); }},
        {"BlendRect xor at the region's far corner",
         [](HDC dc) { BlendRectOnDC(dc, 1000, 700, 24, 68, 0x123456, BLEND_XOR); },
         [](const Surface* s) { BlendRect(s, 1000, 700, 24, 68, 0x123456, BLEND_XOR); }},
        {"DrawArc", [](HDC dc) { DrawArcOnDC(dc, 300, 200, 90, 100, 2000, 0xFF8000); },
         [](const Surface* s) { DrawArc(s, 300, 200, 90, 100, 2000, 0xFF8000); }},
        {"FillDisc", [](HDC dc) { FillDiscOnDC(dc, 512, 384, 60, 0x204060); },
         [](const Surface* s) { FillDisc(s, 512, 384, 60, 0x204060); }},
        {"FillArcBand as the splash draws it",
         [](HDC dc) { FillArcBandOnDC(dc, 0, 425, 50, 30, 2700, 900, 0x7F7F00); },
         [](const Surface* s) { FillArcBand(s, 0, 425, 50, 30, 2700, 900, 0x7F7F00); }},
        {"FillDisc partly off the region (points go to pixel (0, 0))",
         [](HDC dc) { FillDiscOnDC(dc, 1020, 10, 20, 0x00FF00); },
         [](const Surface* s) { FillDisc(s, 1020, 10, 20, 0x00FF00); }},
    };
    // Larger than the region in both directions, so anything written beyond it would show.
    constexpr int32_t W = 1100, H = 800;
    for (const PrimitiveCase& c : cases) {
        Target target(W, H, Pattern);
        c.onDC(target.dc);
        OwnedSurface expected(SURFACE_WIDTH, SURFACE_HEIGHT);
        for (int32_t y = 0; y < int32_t(SURFACE_HEIGHT); ++y)
            for (int32_t x = 0; x < int32_t(SURFACE_WIDTH); ++x)
                PutPixel(&expected.surface, x, y, Pattern(x, y));
        c.primitive(&expected.surface);
        const std::vector<uint32_t> actual = target.Pixels();
        int wrong = 0;
        for (int32_t y = 0; y < H && wrong < 5; ++y)
            for (int32_t x = 0; x < W && wrong < 5; ++x) {
                const bool inRegion = x < int32_t(SURFACE_WIDTH) && y < int32_t(SURFACE_HEIGHT);
                const uint32_t want = inRegion ? expected.at(x, y) : Pattern(x, y);
                if (actual[size_t(y) * W + size_t(x)] != want) {
                    ++wrong;
                    ADD_FAILURE() << c.name << ": pixel (" << x << ", " << y << ") is " << std::hex
                                  << actual[size_t(y) * W + size_t(x)] << ", expected " << want;
                }
            }
    }
}

TEST_F(RoundTripTest, BlendRectChangesExactlyItsRectangle) {
    Target target(600, 500, Pattern);
    BlendRectOnDC(target.dc, 5, 30, 120, 100, 0x00AAAAAA, BLEND_AVERAGE);
    const std::vector<uint32_t> actual = target.Pixels();
    for (int32_t y = 0; y < 500; ++y)
        for (int32_t x = 0; x < 600; ++x) {
            const uint32_t old = Pattern(x, y);
            const bool inside = x >= 5 && x <= 124 && y >= 30 && y <= 129;
            const uint32_t want = inside ? ((old >> 1) & 0x7F7F7F) + 0x555555 : old;
            ASSERT_EQ(actual[size_t(y) * 600 + size_t(x)], want) << x << ", " << y;
        }
}

TEST_F(RoundTripTest, GradientBlockKeepsTheTargetsTopRowAndLeftColumn) {
    constexpr int32_t W = 1100, H = 800, X = 49, Y = 425, GW = 600, GH = 25;
    Target target(W, H, Pattern);
    FillGradientRectOnDC(target.dc, X, Y, GW, GH, 0x7F7F00);
    const std::vector<uint32_t> actual = target.Pixels();
    auto at = [&](int32_t x, int32_t y) { return actual[size_t(y) * W + size_t(x)]; };
    // Gradient step i: each component k becomes k + k * i / 25.
    auto step = [](uint32_t i) {
        const uint32_t k = 127 + 127 * i / GH;
        return (k << 16) | (k << 8);
    };
    EXPECT_EQ(step(24), 0xF8F800u);  // the brightest row, just below the block's top
    for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x) {
            uint32_t want = Pattern(x, y);
            if (x >= X && x < X + GW && y >= Y && y < Y + GH) {
                const int32_t u = x - X, v = y - Y;
                want = (u == 0 || v == 0) ? Pattern(u, v) : step(uint32_t(GH - v));
            }
            ASSERT_EQ(at(x, y), want) << x << ", " << y;
        }
    EXPECT_EQ(at(X + 1, Y + 1), step(24));
    EXPECT_EQ(at(X + 1, Y + GH - 1), step(1));
}

class PictureOnDCTest : public RoundTripTest {
  protected:
    void SetUp() override {
        RoundTripTest::SetUp();
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previousDirectory = cwd;
        ASSERT_EQ(chdir(dir.path.c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(previousDirectory.c_str()), 0); }
    // Draws "\name" into a 64 x 48 target at (3, 4), 16 x 8; true when the target changed.
    bool DrawChangesTarget(const char* name, std::vector<uint32_t>* result = nullptr) {
        Target target(64, 48, Pattern);
        const std::vector<uint32_t> before = target.Pixels();
        DrawPictureOnDC(nullptr, target.dc, 3, 4, 16, 8, name);
        if (result != nullptr) *result = target.Pixels();
        return target.Pixels() != before;
    }
    TempDirectory dir;
    std::string previousDirectory;
};

TEST_F(PictureOnDCTest, CopiesTheTopLeftPartUnscaled) {
    ASSERT_TRUE(WriteJpegFile(dir / "pic.jpg", 40, 30,
                              [](int32_t x, int32_t y) { return QuadrantColour(x, y, 40, 30); }));
    HBITMAP reference = LoadPictureBitmap((dir / "pic.jpg").c_str());
    ASSERT_NE(reference, nullptr);
    const BitmapPixels picture = ReadBitmap(reference);
    DeleteObject(reference);
    std::vector<uint32_t> actual;
    ASSERT_TRUE(DrawChangesTarget("\\pic.jpg", &actual));
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 64; ++x) {
            const bool inside = x >= 3 && x < 19 && y >= 4 && y < 12;
            const uint32_t want = inside ? picture.at(x - 3, y - 4) : Pattern(x, y);
            ASSERT_EQ(actual[size_t(y) * 64 + size_t(x)], want) << x << ", " << y;
        }
}

TEST_F(PictureOnDCTest, WithoutAPictureTheDestinationStaysAsItWas) {
    WriteBytes(dir / "text.jpg", "not a picture");
    WriteBytes(dir / "empty.jpg", "");
    EXPECT_FALSE(DrawChangesTarget("\\absent.jpg"));
    EXPECT_FALSE(DrawChangesTarget("\\text.jpg"));
    EXPECT_FALSE(DrawChangesTarget("\\empty.jpg"));
    // A name that would run the joined path past its buffer is refused, not copied.
    const std::string longName = "\\" + std::string(600, 'n') + ".jpg";
    EXPECT_FALSE(DrawChangesTarget(longName.c_str()));
}

TEST_F(PictureOnDCTest, CurrentDirectoryMustFitItsBuffer) {
    // Directories of exactly 299 and 300 characters, each holding the picture: only the first
    // leaves room in the directory buffer for its terminating NUL.
    const std::string base = dir.path.string() + "/" + std::string(100, 'a') + "/";
    ASSERT_LT(base.size(), 250u);
    for (const auto& [length, drawn] : std::vector<std::pair<size_t, bool>>{
             {PICTURE_DIRECTORY_CAPACITY - 1, true}, {PICTURE_DIRECTORY_CAPACITY, false}}) {
        const std::string directory = base + std::string(length - base.size(), 'd');
        ASSERT_EQ(directory.size(), length);
        std::filesystem::create_directories(directory);
        ASSERT_TRUE(WriteJpegFile(directory + "/pic.jpg", 20, 20,
                                  [](int32_t, int32_t) { return 0xFFFFFFu; }));
        ASSERT_EQ(chdir(directory.c_str()), 0);
        EXPECT_EQ(DrawChangesTarget("\\pic.jpg"), drawn) << length;
    }
}

}  // namespace
