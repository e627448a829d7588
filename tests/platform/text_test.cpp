// TextOutA: where the character cell lands, what the background modes write, the colour order
// and the monospaced substitute for "Lucida Console". Glyph shapes depend on the installed
// font, so the checks look at extents and at which pixels change, never at exact glyphs.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "headless_fixture.h"

namespace {

constexpr uint32_t BACKGROUND = 0xAB123456;  // a high byte that only untouched pixels keep

struct Canvas {
    static constexpr int W = 200, H = 60;
    HDC dc;
    HBITMAP bitmap;
    Canvas() {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{40, W, H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
        SelectObject(dc, bitmap);
        std::vector<uint32_t> fill(W * H, BACKGROUND);
        SetBitmapBits(bitmap, W * H * 4, fill.data());
    }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> words(W * H);
        GetBitmapBits(bitmap, W * H * 4, words.data());
        return words;
    }
};

struct Extent {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive; right < 0: none
};

// The box of the pixels that differ from the background (or, with `only`, that equal it).
Extent Changed(const std::vector<uint32_t>& pixels, const uint32_t* only = nullptr) {
    Extent e;
    for (int y = 0; y < Canvas::H; ++y)
        for (int x = 0; x < Canvas::W; ++x)
            if (only ? pixels[size_t(y) * Canvas::W + x] == *only
                     : pixels[size_t(y) * Canvas::W + x] != BACKGROUND) {
                e.left = std::min(e.left, x), e.right = std::max(e.right, x);
                e.top = std::min(e.top, y), e.bottom = std::max(e.bottom, y);
            }
    return e;
}

HFONT MainStyleFont(LONG height) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_STROKE_PRECIS;
    font.lfQuality = DRAFT_QUALITY;
    font.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    std::strcpy(font.lfFaceName, "Lucida Console");
    return CreateFontIndirectA(&font);
}

using TextTest = HeadlessTest;

TEST_F(TextTest, CellTopLeftIsAtThePointGiven) {
    struct Case {
        LONG height;
        int x, y;
    };
    const Case cases[] = {{-12, 10, 5}, {-12, 30, 40}, {-10, 0, 0}, {-10, 100, 20}};
    for (const Case& c : cases) {
        Canvas canvas;
        SelectObject(canvas.dc, MainStyleFont(c.height));
        SetBkMode(canvas.dc, TRANSPARENT);
        ASSERT_TRUE(TextOutA(canvas.dc, c.x, c.y, "HEH", 3));
        const Extent ink = Changed(canvas.Pixels());
        ASSERT_GE(ink.right, 0) << "nothing drawn";
        // Capitals start at the left edge and fill the cell from below its top down to the
        // baseline: they never reach above y, and they start within the upper part of the cell.
        EXPECT_GE(ink.top, c.y) << "ink above the cell top";
        EXPECT_LE(ink.top, c.y + -c.height / 2) << "cell placed by its baseline";
        EXPECT_GE(ink.left, c.x);
        EXPECT_LE(ink.left, c.x + 2);
        EXPECT_LE(ink.bottom, c.y + -c.height + 2) << "capitals end at the baseline";
        EXPECT_GE(ink.bottom - ink.top + 1, -c.height * 6 / 10) << "glyph height follows the em";
    }
}

TEST_F(TextTest, TransparentModeWritesGlyphPixelsOnlyInTheTextColour) {
    // Bilevel glyphs show the rule exactly: every written pixel is the text colour.
    LOGFONTA bilevel{};
    bilevel.lfHeight = -12;
    bilevel.lfQuality = NONANTIALIASED_QUALITY;
    std::strcpy(bilevel.lfFaceName, "Lucida Console");
    Canvas canvas;
    SelectObject(canvas.dc, CreateFontIndirectA(&bilevel));
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextColor(canvas.dc, 0x000000FF);  // red as a colour reference (0x00BBGGRR)
    TextOutA(canvas.dc, 4, 4, "Exit", 4);
    size_t written = 0;
    for (uint32_t p : canvas.Pixels()) {
        if (p == BACKGROUND) continue;
        ++written;
        ASSERT_EQ(p, 0x00FF0000u) << "red as 0x00RRGGBB, high byte 0";
    }
    EXPECT_GT(written, 20u);
    EXPECT_LT(written, size_t(4 * 7 * 12 / 2)) << "the spaces between glyph strokes were filled";

    // Antialiased edges are blended between what was there and the text colour.
    Canvas smooth;
    SelectObject(smooth.dc, MainStyleFont(-12));
    SetBkMode(smooth.dc, TRANSPARENT);
    SetTextColor(smooth.dc, 0x000000FF);
    TextOutA(smooth.dc, 4, 4, "Exit", 4);
    size_t partial = 0;
    for (uint32_t p : smooth.Pixels()) {
        if (p == BACKGROUND) continue;
        EXPECT_EQ(p >> 24, 0u);
        EXPECT_GE((p >> 16) & 0xFF, 0x12u);
        EXPECT_LE((p >> 8) & 0xFF, 0x34u);
        EXPECT_LE(p & 0xFF, 0x56u);
        if (p != 0x00FF0000) ++partial;
    }
    EXPECT_GT(partial, 0u);
}

TEST_F(TextTest, OpaqueModeFillsTheWholeCellRow) {
    Canvas canvas;
    SelectObject(canvas.dc, MainStyleFont(-12));
    SetBkColor(canvas.dc, 0x00000000);
    SetTextColor(canvas.dc, 0x00FFFFFF);
    TextOutA(canvas.dc, 10, 10, "i i", 3);
    const Extent box = Changed(canvas.Pixels());
    // The box is the three cells: from the point given, as wide as three advances.
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    const int width = box.right - box.left + 1;
    EXPECT_GE(width, 3 * 6);
    EXPECT_LE(width, 3 * 8);
    EXPECT_GE(box.bottom - box.top + 1, 12);
}

TEST_F(TextTest, LucidaConsoleResolvesToAMonospacedFace) {
    // The width of the cells, from the pixels the opaque background filled: glyph ink may
    // overhang a cell (a wide W does in DejaVu Sans Mono), the cell fill never does.
    auto opaqueWidth = [](const char* text) {
        Canvas canvas;
        SelectObject(canvas.dc, MainStyleFont(-12));
        const uint32_t cellFill = 0x00FF0000;  // red, as a colour reference 0x000000FF
        SetBkColor(canvas.dc, 0x000000FF);
        SetTextColor(canvas.dc, 0x00FFFFFF);
        TextOutA(canvas.dc, 0, 0, text, int(std::strlen(text)));
        const Extent box = Changed(canvas.Pixels(), &cellFill);
        return box.right - box.left + 1;
    };
    EXPECT_EQ(opaqueWidth("iiiiiiiiii"), opaqueWidth("WWWWWWWWWW"));
    EXPECT_NEAR(opaqueWidth("WWWWWWWWWW"), 72, 4) << "about 0.6 em a character";
}

TEST_F(TextTest, TextIsClippedToTheBitmapAndCountsAreHonoured) {
    Canvas canvas;
    SelectObject(canvas.dc, MainStyleFont(-12));
    SetBkMode(canvas.dc, TRANSPARENT);
    EXPECT_TRUE(TextOutA(canvas.dc, -20, -6, "Clipped at the corner", 21));
    EXPECT_TRUE(TextOutA(canvas.dc, Canvas::W - 8, Canvas::H - 6, "HHH", 3));
    EXPECT_TRUE(TextOutA(canvas.dc, 50, 20, "none", 0));
    EXPECT_TRUE(TextOutA(canvas.dc, 50, 20, nullptr, 0));
    EXPECT_FALSE(TextOutA(canvas.dc, 50, 20, nullptr, 3));
    const Extent ink = Changed(canvas.Pixels());
    ASSERT_GE(ink.right, 0);
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.bottom, Canvas::H - 1);
    // The middle, where only the empty calls pointed, is untouched.
    const std::vector<uint32_t> pixels = canvas.Pixels();
    for (int x = 50; x < 80; ++x) EXPECT_EQ(pixels[size_t(25) * Canvas::W + x], BACKGROUND);
    // Only "He" of a longer string: the count, not the NUL, ends the text.
    Canvas shortText, longText;
    for (Canvas* c : {&shortText, &longText}) {
        SelectObject(c->dc, MainStyleFont(-12));
        SetBkMode(c->dc, TRANSPARENT);
    }
    TextOutA(shortText.dc, 0, 0, "He", 2);
    TextOutA(longText.dc, 0, 0, "Hello", 2);
    EXPECT_EQ(shortText.Pixels(), longText.Pixels());
}

}  // namespace
