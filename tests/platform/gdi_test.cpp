// Memory device contexts, DIB sections, BitBlt clipping and the bitmap-bits round trip.
#include <gtest/gtest.h>

#include <vector>

#include "headless_fixture.h"

namespace {

struct Dib {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;  // as the section lies in memory
    int width = 0, height = 0;

    Dib(int w, int h, bool bottomUp = true) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{40, w, bottomUp ? h : -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc = CreateCompatibleDC(nullptr);
        void* address = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &address, nullptr, 0);
        bits = static_cast<uint32_t*>(address);
        SelectObject(dc, bitmap);
    }
    // Pixels top row first, as GetBitmapBits gives them.
    std::vector<uint32_t> Read() const {
        std::vector<uint32_t> words(size_t(width) * height);
        GetBitmapBits(bitmap, LONG(words.size() * 4), words.data());
        return words;
    }
    uint32_t At(int x, int y) const { return Read()[size_t(y) * width + x]; }
    // Every pixel (x, y) = base + x + 100 * y, so a copied pixel names its origin.
    void FillNumbered(uint32_t base) {
        std::vector<uint32_t> words(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) words[size_t(y) * width + x] = base + x + 100 * y;
        SetBitmapBits(bitmap, DWORD(words.size() * 4), words.data());
    }
};

uint32_t Numbered(uint32_t base, int x, int y) {
    return base + x + 100 * y;
}

using GdiTest = HeadlessTest;

TEST_F(GdiTest, BitmapBitsMoveTopRowFirstWhateverTheRowOrderInMemory) {
    Dib bottomUp(3, 2, true), topDown(3, 2, false);
    const std::vector<uint32_t> rows = {1, 2, 3, 4, 5, 6};  // top row 1 2 3
    for (Dib* dib : {&bottomUp, &topDown}) {
        EXPECT_EQ(SetBitmapBits(dib->bitmap, 24, rows.data()), 24);
        EXPECT_EQ(dib->Read(), rows);
    }
    // The header's positive height puts the bottom row first in memory.
    EXPECT_EQ(std::vector<uint32_t>(bottomUp.bits, bottomUp.bits + 6),
              (std::vector<uint32_t>{4, 5, 6, 1, 2, 3}));
    EXPECT_EQ(std::vector<uint32_t>(topDown.bits, topDown.bits + 6), rows);
}

TEST_F(GdiTest, BitmapBitsCountsAreClampedToTheBitmap) {
    struct Case {
        LONG requested;
        LONG moved;
        const char* why;
    };
    const Case cases[] = {
        {24, 24, "the whole 3 x 2 bitmap"},
        {1000, 24, "more than the bitmap holds"},
        {14, 14, "one row and a part of a pixel"},
        {0, 0, "nothing"},
        {-4, 0, "a negative count"},
    };
    Dib dib(3, 2);
    for (const Case& c : cases) {
        std::vector<uint8_t> buffer(64, 0xEE);
        EXPECT_EQ(GetBitmapBits(dib.bitmap, c.requested, buffer.data()), c.moved) << c.why;
        for (size_t i = size_t(std::max<LONG>(c.moved, 0)); i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], 0xEE) << c.why << ": byte " << i << " written";
        std::vector<uint8_t> source(64, 0x11);
        dib.FillNumbered(0);
        EXPECT_EQ(SetBitmapBits(dib.bitmap, DWORD(std::max<LONG>(c.requested, 0)), source.data()),
                  c.moved)
            << c.why;
    }
    Dib screen(1024, 768);
    std::vector<uint32_t> block(1024 * 768);
    EXPECT_EQ(GetBitmapBits(screen.bitmap, 0x300000, block.data()), 3145728);
    EXPECT_EQ(SetBitmapBits(screen.bitmap, 0x300000, block.data()), 3145728);
}

TEST_F(GdiTest, BitBltClipsToBothBitmapsAndLeavesTheRestUntouched) {
    struct Case {
        int x, y, width, height, sourceX, sourceY;
        const char* why;
    };
    const Case cases[] = {
        {2, 1, 3, 2, 1, 1, "inside both"},
        {-1, 0, 5, 3, 2, 0, "negative destination x drops the first source column"},
        {0, -2, 4, 4, 0, 0, "negative destination y drops the first source rows"},
        {4, 3, 10, 10, 0, 0, "destination overhang is cut at the right and bottom"},
        {0, 0, 6, 4, 3, 2, "source beyond its right and bottom edge: only what exists"},
        {0, 0, 6, 4, -2, -1, "source starting above and left of its bitmap"},
        {1, 1, 3, 3, 50, 50, "source wholly outside: nothing"},
        {9, 9, 3, 3, 0, 0, "destination wholly outside: nothing"},
        {0, 0, 0, 3, 0, 0, "zero width"},
    };
    const int W = 6, H = 4;
    for (const Case& c : cases) {
        Dib from(W, H), to(W, H);
        from.FillNumbered(0x10000);
        to.FillNumbered(0x20000);
        ASSERT_TRUE(
            BitBlt(to.dc, c.x, c.y, c.width, c.height, from.dc, c.sourceX, c.sourceY, SRCCOPY));
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int sx = x - c.x + c.sourceX, sy = y - c.y + c.sourceY;
                const bool inRect = x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height;
                const bool inSource = sx >= 0 && sx < W && sy >= 0 && sy < H;
                const uint32_t expected =
                    inRect && inSource ? Numbered(0x10000, sx, sy) : Numbered(0x20000, x, y);
                ASSERT_EQ(to.At(x, y), expected) << c.why << " at " << x << "," << y;
            }
    }
}

TEST_F(GdiTest, BitBltWithinOneBitmapReadsEachSourcePixelBeforeOverwritingIt) {
    struct Case {
        int x, y, sourceX, sourceY;
    };
    const Case cases[] = {{0, 1, 0, 0}, {0, 0, 0, 1}, {1, 0, 0, 0}, {0, 0, 1, 0}, {1, 1, 0, 0}};
    for (const Case& c : cases) {
        Dib dib(5, 5);
        dib.FillNumbered(0);
        BitBlt(dib.dc, c.x, c.y, 4, 4, dib.dc, c.sourceX, c.sourceY, SRCCOPY);
        for (int v = 0; v < 4; ++v)
            for (int u = 0; u < 4; ++u)
                ASSERT_EQ(dib.At(c.x + u, c.y + v), Numbered(0, c.sourceX + u, c.sourceY + v))
                    << "copy to " << c.x << "," << c.y << " at " << u << "," << v;
    }
}

TEST_F(GdiTest, WindowContextCoversTheClientAreaAndReadsZeroOutsideIt) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "GDI";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "GDI", "", WS_OVERLAPPEDWINDOW, 0, 0, 4, 3, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    HDC windowDC = GetDC(window);
    Dib picture(6, 5);
    picture.FillNumbered(0x30000);
    const uint32_t presentsBefore = HeadlessPresentCount();
    ASSERT_TRUE(BitBlt(windowDC, 0, 0, 1024, 768, picture.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(HeadlessPresentCount(), presentsBefore + 1);  // drawing on the window shows it
    const HeadlessImage client = HeadlessClientImage();
    ASSERT_EQ(client.width, 4);
    ASSERT_EQ(client.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(client.at(x, y), Numbered(0x30000, x, y));

    Dib capture(6, 5);
    capture.FillNumbered(0x40000);
    ASSERT_TRUE(BitBlt(capture.dc, 0, 0, 6, 5, windowDC, 0, 0, SRCCOPY));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(capture.At(x, y), x < 4 && y < 3 ? Numbered(0x30000, x, y) : 0u)
                << x << "," << y;
}

TEST_F(GdiTest, SelectionAndDeletionFollowOwnership) {
    Dib a(2, 2);
    HDC other = CreateCompatibleDC(a.dc);
    HBITMAP loose = CreateCompatibleBitmap(a.dc, 2, 2);
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(SelectObject(other, a.bitmap), nullptr) << "a bitmap lives in one context at a time";
    EXPECT_FALSE(DeleteObject(a.bitmap)) << "still selected";
    HGDIOBJ previous = SelectObject(a.dc, loose);
    EXPECT_EQ(previous, a.bitmap);
    EXPECT_TRUE(DeleteObject(a.bitmap)) << "free once deselected";
    EXPECT_FALSE(DeleteObject(a.bitmap)) << "and only once";
    EXPECT_TRUE(DeleteDC(a.dc));
    EXPECT_TRUE(DeleteObject(loose)) << "deleting the context frees its bitmap for deletion";
    EXPECT_FALSE(DeleteDC(a.dc));
    EXPECT_TRUE(DeleteDC(other));
}

TEST_F(GdiTest, UnknownHandlesFailWithoutTouchingMemory) {
    Dib dib(2, 2);
    HDC bogusDC = reinterpret_cast<HDC>(uintptr_t{0xFFFFFFFF});
    HBITMAP bogusBitmap = reinterpret_cast<HBITMAP>(uintptr_t{0x1234});
    uint32_t word = 0;
    EXPECT_FALSE(BitBlt(dib.dc, 0, 0, 2, 2, bogusDC, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(bogusDC, 0, 0, 2, 2, dib.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetBitmapBits(bogusBitmap, 4, &word), 0);
    EXPECT_EQ(SelectObject(dib.dc, bogusBitmap), nullptr);
    EXPECT_FALSE(TextOutA(bogusDC, 0, 0, "x", 1));
    EXPECT_EQ(SetBkMode(bogusDC, TRANSPARENT), 0);
    EXPECT_FALSE(BitBlt(dib.dc, 0, 0, 2, 2, dib.dc, 0, 0, 0x00EE0086)) << "only SRCCOPY";
}

TEST_F(GdiTest, DibSectionsAcceptOnlyUncompressed32BitHeaders) {
    struct Case {
        LONG width, height;
        WORD bitCount;
        DWORD compression;
        bool made;
    };
    const Case cases[] = {{1024, 768, 32, BI_RGB, true},      {600, -500, 32, BI_RGB, true},
                          {0, 10, 32, BI_RGB, false},         {10, 0, 32, BI_RGB, false},
                          {10, 10, 24, BI_RGB, false},        {10, 10, 32, 3, false},
                          {100000, 100000, 32, BI_RGB, false}};
    for (const Case& c : cases) {
        BITMAPINFO info{};
        info.bmiHeader =
            BITMAPINFOHEADER{40, c.width, c.height, 1, c.bitCount, c.compression, 0, 0, 0, 0, 0};
        void* bits = reinterpret_cast<void*>(1);
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        EXPECT_EQ(bitmap != nullptr, c.made) << c.width << "x" << c.height << "x" << c.bitCount;
        EXPECT_EQ(bits != nullptr, c.made);
        if (bitmap) DeleteObject(bitmap);
    }
    EXPECT_EQ(GetDeviceCaps(GetDC(nullptr), LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), 96);
}

}  // namespace
