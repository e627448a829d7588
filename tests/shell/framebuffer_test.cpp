// The program's drawing memory after the set-up: the pixel block, the two composing contexts,
// canvases and frame strips.
#include "gfx/framebuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "shell/program_start.h"

namespace {

class FrameBufferTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(StartProgramForTest(), nullptr); }
};

// Pixels of a bitmap, top row first.
std::vector<uint32_t> BitsOf(HBITMAP bitmap, size_t count) {
    std::vector<uint32_t> bits(count);
    GetBitmapBits(bitmap, LONG(count * 4), bits.data());
    return bits;
}

TEST_F(FrameBufferTest, WorkSurfaceAndBackdropShareOnePixelBlock) {
    EXPECT_EQ(WorkSurface.width, 1024u);
    EXPECT_EQ(WorkSurface.height, 768u);
    EXPECT_EQ(WorkSurface.bitsPerPixel, 32u);
    EXPECT_EQ(reinterpret_cast<char*>(BackdropBuffer) - static_cast<char*>(WorkSurface.pixels),
              3145728);
    EXPECT_EQ(GetWorkSurface(), &WorkSurface);
    EXPECT_EQ(GetComposeDC(), ComposeDC);
}

TEST_F(FrameBufferTest, ComposingContextsWriteGreenTextOnATransparentBackground) {
    for (auto [dc, bitmap] : {std::pair{ComposeDC, ComposeBitmap}, std::pair{ScratchDC, ScratchBitmap}}) {
        std::vector<uint32_t> fill(1024 * 768, 0x00123456);
        SetBitmapBits(bitmap, 0x300000, fill.data());
        TextOutA(dc, 100, 100, "Velmora", 7);
        const std::vector<uint32_t> after = BitsOf(bitmap, 1024 * 768);
        int glyph = 0;
        uint32_t greenest = 0;
        for (uint32_t pixel : after) {
            if (pixel == 0x00123456) continue;
            ++glyph;
            greenest = std::max(greenest, (pixel >> 8) & 0xFF);
            // Antialiased edges blend green over the background: red and blue only fall.
            EXPECT_LE((pixel >> 16) & 0xFF, 0x12u);
            EXPECT_LE(pixel & 0xFF, 0x56u);
        }
        EXPECT_GT(glyph, 20) << "no text drawn";
        EXPECT_GE(greenest, 0xC0u) << "glyph cores are green";
    }
}

TEST_F(FrameBufferTest, EachCanvasHasItsOwnBitmapFontAndWhiteText) {
    Canvas* a = CreateCanvas(nullptr, 5, 6, 600, 1000);
    Canvas* b = CreateCanvas(nullptr, 0, 0, 40, 30);
    ASSERT_NE(a, CANVAS_FAILED);
    ASSERT_NE(b, CANVAS_FAILED);
    EXPECT_EQ(GetCanvasSize(a), (Point{600, 1000}));
    EXPECT_EQ(GetCanvasWidth(a), 600);
    EXPECT_EQ(GetCanvasHeight(a), 1000);
    EXPECT_EQ(GetCanvasSize(b), (Point{40, 30}));
    EXPECT_EQ(a->x, 5);
    EXPECT_EQ(a->y, 6);
    EXPECT_EQ(SharedBitmapHeader.biWidth, 40) << "the shared header describes the last canvas";
    EXPECT_EQ(SharedBitmapHeader.biHeight, 30);
    EXPECT_NE(a->font, b->font);
    EXPECT_EQ(GetBitmapBits(GetCanvasBitmap(b), 1 << 30, BitsOf(b->bitmap, 40 * 30).data()),
              40 * 30 * 4) << "a 40 x 30 x 32 bitmap";

    TextOutA(GetCanvasDC(b), 2, 2, "W", 1);
    uint32_t brightest = 0;
    for (uint32_t pixel : BitsOf(b->bitmap, 40 * 30)) {
        const uint32_t r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, bl = pixel & 0xFF;
        EXPECT_TRUE(r == g && g == bl) << "canvas text is white, blended over black";
        brightest = std::max(brightest, r);
    }
    EXPECT_GE(brightest, 0xC0u) << "glyph cores are white";
    DestroyCanvas(a);
    DestroyCanvas(b);
}

TEST_F(FrameBufferTest, FrameStripStacksItsFramesInOneCanvas) {
    FrameStrip* strip = CreateFrameStrip(nullptr, 7, 8, 600, 500, 2);
    EXPECT_EQ(strip->x, 7);
    EXPECT_EQ(strip->y, 8);
    EXPECT_EQ(strip->width, 600u);
    EXPECT_EQ(strip->frameHeight, 500u);
    EXPECT_EQ(strip->currentFrame, 0u);
    EXPECT_EQ(strip->frameCount, 2u);
    EXPECT_EQ(strip->playCount, 0u);
    ASSERT_NE(strip->canvas, CANVAS_FAILED);
    EXPECT_EQ(GetCanvasSize(strip->canvas), (Point{600, 1000}));
    DestroyCanvas(strip->canvas);
    delete strip;
}

TEST_F(FrameBufferTest, CanvasFailsWithoutACompatibleContext) {
    HDC saved = WindowDC;
    WindowDC = reinterpret_cast<HDC>(uintptr_t{0xDEAD0});  // not a context of the platform
    EXPECT_EQ(CreateCanvas(nullptr, 0, 0, 10, 10), CANVAS_FAILED);
    FrameStrip* strip = CreateFrameStrip(nullptr, 0, 0, 10, 10, 1);
    EXPECT_EQ(strip->canvas, CANVAS_FAILED) << "the strip keeps the failed canvas as it comes";
    delete strip;
    WindowDC = saved;
}

}  // namespace
