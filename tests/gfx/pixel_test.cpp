#include "gfx/pixel.h"

#include <gtest/gtest.h>

#include "support/owned_surface.h"

TEST(PixelIndex, InsideAndOutside) {
    struct Case { int32_t x, y; uint32_t expected; const char* why; };
    const Case cases[] = {
        {1023, 767, 786431, "last pixel"},
        {1024, 0, 0, "x one past the row"},
        {0, 768, 0, "y one past the last row"},
        {-1, 5, 0, "negative x is outside (unsigned compare)"},
        {5, -1, 0, "negative y is outside"},
        {3, 2, 2051, "ordinary point"},
    };
    for (const Case& c : cases) EXPECT_EQ(PixelIndex(c.x, c.y, 1024, 768), c.expected) << c.why;
}

TEST(PutPixel, OutsidePointsChangeOnlyTheOrigin) {
    for (auto [x, y] : {std::pair{-1, 5}, std::pair{5000, 5}, std::pair{5, -300}}) {
        OwnedSurface s(1024, 768, 32, 0x111111);
        OwnedSurface expected = s;
        expected.words[0] = 0x00ABCDEF;
        PutPixel(&s, x, y, 0x00ABCDEF);
        EXPECT_TRUE(s == expected) << x << "," << y;
    }
}

TEST(PutPixel, SixteenBitStoresLowHalfOnly) {
    OwnedSurface s(4, 2, 16);
    PutPixel(&s, 3, 1, 0xDEADFC08);
    EXPECT_EQ(s.at(3, 1), 0xFC08u);
    // The neighbour in the same 32-bit word is untouched.
    EXPECT_EQ(s.at(2, 1), 0u);
    EXPECT_EQ(ReadPixel(&s, 9, 9), 0u) << "outside reads element 0";
}

TEST(PutPixel, OtherDepthsWriteNothing) {
    OwnedSurface s(2, 2, 24);
    PutPixel(&s, 1, 1, 0xFFFFFF);
    EXPECT_EQ(s.words, std::vector<uint32_t>(4, 0));
    EXPECT_EQ(ReadPixel(&s, 1, 1), 0u);
}

TEST(PackColour, Table) {
    struct Case { uint32_t r, g, b, depth, expected; const char* why; };
    const Case cases[] = {
        {255, 128, 64, 32, 0x00FF8040, "plain 32 bpp"},
        {300, 0, 0, 32, 0x002C0000, "components cut to 8 bits"},
        {255, 128, 64, 16, 0xFC08, "16 bpp fills blue bits 4-0 only"},
        {0x1FF, 0x1FF, 0x1FF, 16, 0xFFDF, "cut before the shift; bit 5 stays clear"},
        {255, 255, 255, 24, 0, "no colour at other depths"},
    };
    for (const Case& c : cases) EXPECT_EQ(PackColour(c.r, c.g, c.b, c.depth), c.expected) << c.why;
}

TEST(UnpackColour, Table) {
    struct Case { uint32_t word, depth, r, g, b; const char* why; };
    const Case cases[] = {
        {0x00FF8040, 32, 255, 128, 64, "32 bpp"},
        {0xFF123456, 32, 0x12, 0x34, 0x56, "32 bpp ignores the high byte"},
        {0xFC08, 16, 248, 128, 64, "16 bpp"},
        {0x003F, 16, 0, 0, 504, "6-bit blue field read whole"},
        {0x10000, 16, 256, 0, 0, "red takes every bit above bit 10"},
        {0xFC08, 8, 248, 128, 64, "other depths read as 16"},
    };
    for (const Case& c : cases) {
        uint32_t out[3] = {9, 9, 9};
        UnpackColour(out, c.word, c.depth);
        EXPECT_EQ(out[0], c.r) << c.why;
        EXPECT_EQ(out[1], c.g) << c.why;
        EXPECT_EQ(out[2], c.b) << c.why;
    }
}

TEST(PackColourClamped, Table) {
    EXPECT_EQ(PackColourClamped(40, 40, 100, 32), 0x001F1F3Fu);
    EXPECT_EQ(PackColourClamped(-5, 0, 0, 32), 0u);
    EXPECT_EQ(PackColourClamped(-5, 31, 63, 32), 0x00001F3Fu);
    // At 16 bpp a clamped 31 packs as 31 >> 3 = 3 in its field.
    EXPECT_EQ(PackColourClamped(40, 40, 100, 16), (3u << 11) + (3u << 6) + 7u);
}

TEST(BlendPixel, ModesOnWhite) {
    OwnedSurface s(2, 2, 32, 0x00FFFFFF);
    struct Case { uint32_t mode, expected; };
    const Case cases[] = {{BLEND_AVERAGE, 0x007F7F7F}, {BLEND_ADD, 0x00FFFFFF},
                          {BLEND_XOR, 0x00FFFFFF}, {BLEND_COPY, 0}, {7, 0}};
    for (const Case& c : cases) EXPECT_EQ(BlendPixel(&s, 1, 1, 0, c.mode), c.expected) << c.mode;
    EXPECT_EQ(s.at(1, 1), 0x00FFFFFFu) << "BlendPixel never writes";
}

TEST(BlendPixel, AddWrapsAndOtherModesCopyRepacked) {
    OwnedSurface s(1, 1, 32, 0x00C80000);
    EXPECT_EQ(BlendPixel(&s, 0, 0, 0x00640000, BLEND_ADD), 0x002C0000u);
    EXPECT_EQ(BlendPixel(&s, 0, 0, 0x12345678, 7), 0x00345678u);
}

TEST(BlendPixel, SixteenBitAverage) {
    OwnedSurface s(1, 1, 16, PackColour(248, 0, 64, 16));
    // (248 + 0) / 2 = 124 -> 15 in 5 bits; blue (64 + 128) / 2 = 96 -> 12.
    EXPECT_EQ(BlendPixel(&s, 0, 0, PackColour(0, 0, 128, 16), BLEND_AVERAGE),
              PackColour(124, 0, 96, 16));
}

TEST(BlendPixel, OutsidePointReadsOrigin) {
    OwnedSurface s(3, 3, 32, 0);
    PutPixel(&s, 0, 0, 0x00202020);
    EXPECT_EQ(BlendPixel(&s, -1, 7, 0x00404040, BLEND_ADD), 0x00606060u);
}
