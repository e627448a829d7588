// The platform's picture service: HIMETRIC sizes, Render's mapping of the source rectangle,
// interface requests, path forms and the ANSI-to-wide conversion.
#include "platform/olectl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless_fixture.h"
#include "support/picture_files.h"

namespace {

std::u16string Wide(const std::string& text) {
    std::u16string wide(text.size() + 1, u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), int(wide.size()));
    wide.pop_back();
    return wide;
}

class PictureServiceTest : public HeadlessTest {
  protected:
    IPicture* Load(const std::string& path) {
        std::u16string wide = Wide(path);
        void* object = nullptr;
        EXPECT_EQ(OleLoadPicturePath(wide.data(), nullptr, 0, 0, IID_IPicture, &object), S_OK)
            << path;
        return static_cast<IPicture*>(object);
    }
    // Renders into a fresh w x h bitmap filled with 0x00FF00FF and returns its pixels.
    BitmapPixels RenderInto(IPicture* picture, int32_t w, int32_t h, std::vector<LONG> args,
                            HRESULT expected = S_OK) {
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
        std::vector<uint32_t> fill(size_t(w) * size_t(h), 0x00FF00FF);
        SetBitmapBits(bitmap, DWORD(fill.size() * 4), fill.data());
        HGDIOBJ previous = SelectObject(dc, bitmap);
        EXPECT_EQ(picture->Render(dc, args[0], args[1], args[2], args[3], args[4], args[5], args[6],
                                  args[7], nullptr),
                  expected);
        SelectObject(dc, previous);
        DeleteDC(dc);
        BitmapPixels pixels = ReadBitmap(bitmap);
        DeleteObject(bitmap);
        return pixels;
    }
    TempDirectory dir;
};

const IID OTHER_IID = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};

// 4 x 2 pixels in eight clearly different colours; every 8 x 8 block of the JPEG is flat.
constexpr uint32_t CELLS[2][4] = {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
                                  {0x000000, 0xFFFF00, 0x00FFFF, 0x808080}};

TEST_F(PictureServiceTest, SizesAreHimetricOfA96DpiScreen) {
    struct Case {
        int32_t width, height;
        LONG himetricWidth, himetricHeight;
    };
    for (const Case& c :
         {Case{640, 520, 16933, 13758}, Case{96, 96, 2540, 2540}, Case{1, 3, 26, 79}}) {
        const std::string path = dir / "sized.jpg";
        ASSERT_TRUE(WriteJpegFile(path, c.width, c.height, [](int32_t, int32_t) { return 0u; }));
        IPicture* picture = Load(path);
        ASSERT_NE(picture, nullptr);
        LONG width = 0, height = 0;
        EXPECT_EQ(picture->get_Width(&width), S_OK);
        EXPECT_EQ(picture->get_Height(&height), S_OK);
        EXPECT_EQ(width, c.himetricWidth) << c.width;
        EXPECT_EQ(height, c.himetricHeight) << c.height;
        EXPECT_EQ(picture->Release(), 0u);
    }
}

TEST_F(PictureServiceTest, RenderMapsTheSourceRectangle) {
    const std::string path = dir / "cells.jpg";
    ASSERT_TRUE(WriteJpegFile(
        path, 32, 16, [](int32_t x, int32_t y) { return CELLS[y / 8][x / 8]; }, 100));
    IPicture* picture = Load(path);
    ASSERT_NE(picture, nullptr);
    LONG w = 0, h = 0;
    picture->get_Width(&w);
    picture->get_Height(&h);

    // Upright at full size: the file's first row at the top.
    BitmapPixels upright = RenderInto(picture, 32, 16, {0, 0, 32, 16, 0, h, w, -h});
    // A positive source height from 0 reads from the bottom edge upward: upside down.
    BitmapPixels flipped = RenderInto(picture, 32, 16, {0, 0, 32, 16, 0, 0, w, h});
    // Twice the size, placed at (4, 2) on a larger bitmap.
    BitmapPixels doubled = RenderInto(picture, 80, 40, {4, 2, 64, 32, 0, h, w, -h});
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 32; ++x) {
            ASSERT_TRUE(NearColour(upright.at(x, y), CELLS[y / 8][x / 8], 4)) << x << "," << y;
            ASSERT_TRUE(NearColour(flipped.at(x, 15 - y), CELLS[y / 8][x / 8], 4)) << x << "," << y;
        }
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 80; ++x) {
            const bool inside = x >= 4 && x < 68 && y >= 2 && y < 34;
            const uint32_t expected = inside ? CELLS[(y - 2) / 16][(x - 4) / 16] : 0x00FF00FF;
            ASSERT_TRUE(NearColour(doubled.at(x, y), expected, 4)) << x << "," << y;
        }
    picture->Release();
}

TEST_F(PictureServiceTest, RenderDrawsOnlyWhatLiesOnTheContext) {
    const std::string path = dir / "cells.jpg";
    ASSERT_TRUE(WriteJpegFile(
        path, 32, 16, [](int32_t x, int32_t y) { return CELLS[y / 8][x / 8]; }, 100));
    IPicture* picture = Load(path);
    LONG w = 0, h = 0;
    picture->get_Width(&w);
    picture->get_Height(&h);
    // Placed at (-8, -8): the context shows the picture from its (8, 8) onward.
    BitmapPixels shifted = RenderInto(picture, 32, 16, {-8, -8, 32, 16, 0, h, w, -h});
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 32; ++x) {
            const bool inside = x < 24 && y < 8;
            const uint32_t expected = inside ? CELLS[(y + 8) / 8][(x + 8) / 8] : 0x00FF00FF;
            ASSERT_TRUE(NearColour(shifted.at(x, y), expected, 4)) << x << "," << y;
        }
    // Huge rectangles cost only the context's size; empty ones are refused.
    RenderInto(picture, 8, 8, {0, 0, 1 << 30, 1 << 30, 0, h, w, -h});
    RenderInto(picture, 8, 8, {0, 0, 0, 8, 0, h, w, -h}, E_INVALIDARG);
    RenderInto(picture, 8, 8, {0, 0, 8, 8, 0, h, w, 0}, E_INVALIDARG);
    picture->Release();
}

TEST_F(PictureServiceTest, LoaderResultsAndInterfaces) {
    const std::string path = dir / "small.jpg";
    ASSERT_TRUE(WriteJpegFile(path, 8, 8, [](int32_t, int32_t) { return 0x336699u; }));
    WriteBytes(dir / "words.txt", "no picture here");
    // The program writes paths with backslashes.
    std::string backslashed = path;
    for (char& c : backslashed)
        if (c == '/') c = '\\';

    struct Case {
        const char* reason;
        std::string path;
        const IID* iid;
        HRESULT expected;
    };
    const Case cases[] = {
        {"picture", path, &IID_IPicture, S_OK},
        {"backslash separators", backslashed, &IID_IPicture, S_OK},
        {"IUnknown", path, &IID_IUnknown, S_OK},
        {"missing file", dir / "absent.jpg", &IID_IPicture,
         HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {"not a picture", dir / "words.txt", &IID_IPicture, CTL_E_INVALIDPICTURE},
        {"unknown interface", path, &OTHER_IID, E_NOINTERFACE},
    };
    for (const Case& c : cases) {
        std::u16string wide = Wide(c.path);
        void* object = reinterpret_cast<void*>(uintptr_t{1});
        EXPECT_EQ(OleLoadPicturePath(wide.data(), nullptr, 0, 0, *c.iid, &object), c.expected)
            << c.reason;
        EXPECT_EQ(object != nullptr, SUCCEEDED(c.expected)) << c.reason;
        if (object != nullptr) static_cast<IUnknown*>(object)->Release();
    }
    EXPECT_EQ(OleLoadPicturePath(nullptr, nullptr, 0, 0, IID_IPicture, nullptr), E_POINTER);
}

TEST_F(PictureServiceTest, AnsiTextWidensThroughWindows1252) {
    const char text[] = "A\x80\xE9\x9F";
    WCHAR wide[5] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0), 5);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 5), 5);
    EXPECT_EQ(std::u16string(wide, 5), std::u16string(u"A\u20AC\u00E9\u0178", 5));
    // Too small a buffer writes nothing and says so.
    WCHAR small[2] = {u'x', u'x'};
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, small, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(small[0], u'x');
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, wide, 5), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
