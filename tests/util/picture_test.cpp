// Picture files into bitmaps: sizes from HIMETRIC at 96 dpi, upright rows, the last-error codes
// of every failure, and the conversion's use of the picture object.
#include "util/picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/picture_files.h"

namespace {

class PictureTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { setenv("VELMORA_DRIVER", "headless", 1); }
    TempDirectory dir;
};

// A picture that records how it was asked to render and paints a marker colour.
class RecordingPicture final : public IPicture {
  public:
    RecordingPicture(LONG width, LONG height, HRESULT renderResult)
        : width(width), height(height), renderResult(renderResult) {}
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }
    HRESULT get_Width(OLE_XSIZE_HIMETRIC* out) override { return *out = width, S_OK; }
    HRESULT get_Height(OLE_YSIZE_HIMETRIC* out) override { return *out = height, S_OK; }
    HRESULT Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc,
                   OLE_YPOS_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc,
                   LPCRECT) override {
        call = {x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc};
        if (FAILED(renderResult)) return renderResult;
        const int32_t w = GetDeviceCaps(dc, HORZRES), h = GetDeviceCaps(dc, VERTRES);
        std::vector<uint32_t> marker(size_t(w) * size_t(h), 0x123456);
        HDC source = CreateCompatibleDC(dc);
        HBITMAP block = CreateCompatibleBitmap(dc, w, h);
        SetBitmapBits(block, DWORD(marker.size() * 4), marker.data());
        HGDIOBJ previous = SelectObject(source, block);
        BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
        DeleteObject(block);
        return renderResult;
    }
    LONG width, height;
    HRESULT renderResult;
    ULONG references = 1;
    std::vector<LONG> call;
};

TEST_F(PictureTest, OneInchPictureBecomesAnUpright96PixelBitmap) {
    const std::string path = dir / "inch.jpg";
    ASSERT_TRUE(WriteJpegFile(path, 96, 96,
                              [](int32_t x, int32_t y) { return QuadrantColour(x, y, 96, 96); }));
    HBITMAP bitmap = LoadPictureBitmap(path.c_str());
    ASSERT_NE(bitmap, nullptr);
    const BitmapPixels image = ReadBitmap(bitmap);
    ASSERT_EQ(image.width, 96);
    ASSERT_EQ(image.height, 96);
    // The first row is the picture's top row, and left stays left.
    for (const auto& [x, y, quadrant] : std::vector<std::tuple<int, int, int>>{
             {0, 0, 0}, {20, 20, 0}, {95, 0, 1}, {70, 20, 1}, {0, 95, 2}, {20, 70, 2}, {95, 95, 3}})
        EXPECT_TRUE(NearColour(image.at(x, y), QUADRANT_COLOURS[quadrant], 6))
            << "(" << x << ", " << y << ") is " << std::hex << image.at(x, y);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(PictureTest, BitmapHasThePicturesOwnPixelSize) {
    // Sizes go through HIMETRIC and back: odd sizes must come out unchanged.
    for (const auto& [width, height] :
         std::vector<std::pair<int, int>>{{1, 1}, {640, 520}, {37, 211}}) {
        const std::string path = dir / "sized.jpg";
        ASSERT_TRUE(WriteJpegFile(path, width, height, [](int32_t, int32_t) { return 0x808080u; }));
        HBITMAP bitmap = LoadPictureBitmap(path.c_str());
        ASSERT_NE(bitmap, nullptr) << width << " x " << height;
        const BitmapPixels image = ReadBitmap(bitmap);
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
        DeleteObject(bitmap);
    }
}

TEST_F(PictureTest, LoadFailuresAnswerZeroWithFileNotFound) {
    const std::string jpeg = dir / "good.jpg";
    ASSERT_TRUE(WriteJpegFile(jpeg, 64, 48, [](int32_t x, int32_t) { return uint32_t(x) * 3; }));
    const std::string bytes = ReadBytes(jpeg);
    WriteBytes(dir / "empty.jpg", "");
    WriteBytes(dir / "text.jpg", "This is a text file, not a picture.\r\n");
    WriteBytes(dir / "header_only.jpg", bytes.substr(0, 20));  // ends inside the headers
    // The frame header (SOF0: FF C0, length, precision, height, width) with other sizes.
    const size_t frame = bytes.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    std::string noWidth = bytes, huge = bytes;
    noWidth[frame + 7] = noWidth[frame + 8] = 0;
    WriteBytes(dir / "no_width.jpg", noWidth);
    for (size_t i = frame + 5; i < frame + 9; ++i) huge[i] = '\xFF';  // 65535 x 65535
    WriteBytes(dir / "huge.jpg", huge);
    std::filesystem::create_directory(dir / "folder.jpg");

    struct Case {
        const char* reason;
        std::string path;
    };
    const Case cases[] = {
        {"missing file", dir / "absent.jpg"},
        {"empty file", dir / "empty.jpg"},
        {"text, not a picture", dir / "text.jpg"},
        {"JPEG cut inside its headers", dir / "header_only.jpg"},
        {"JPEG declaring width 0", dir / "no_width.jpg"},
        {"JPEG declaring 65535 x 65535 pixels", dir / "huge.jpg"},
        {"a directory", dir / "folder.jpg"},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(LoadPictureBitmap(c.path.c_str()), nullptr) << c.reason;
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND) << c.reason;
    }
    SetLastError(0);
    EXPECT_EQ(LoadPictureBitmap(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(PictureTest, TruncatedJpegLoadsWithItsTopRowsIntact) {
    const std::string full = dir / "full.jpg";
    // Busy pixels, so that most of the file is picture data rather than headers.
    ASSERT_TRUE(WriteJpegFile(full, 64, 64, [](int32_t x, int32_t y) {
        return (uint32_t(x * 2654435761u) ^ uint32_t(y * 40503u)) & 0xFFFFFF;
    }));
    const std::string bytes = ReadBytes(full);
    WriteBytes(dir / "cut.jpg", bytes.substr(0, bytes.size() / 2));
    HBITMAP whole = LoadPictureBitmap(full.c_str());
    HBITMAP cut = LoadPictureBitmap((dir / "cut.jpg").c_str());
    ASSERT_NE(whole, nullptr);
    ASSERT_NE(cut, nullptr);
    const BitmapPixels a = ReadBitmap(whole), b = ReadBitmap(cut);
    ASSERT_EQ(b.width, 64);
    ASSERT_EQ(b.height, 64);
    int bottomDifferences = 0;
    for (int32_t x = 0; x < 64; ++x) {
        EXPECT_EQ(b.at(x, 0), a.at(x, 0)) << x;
        bottomDifferences += b.at(x, 63) != a.at(x, 63);
    }
    EXPECT_GT(bottomDifferences, 0) << "the cut file decoded whole: it was not cut in its data";
    DeleteObject(whole);
    DeleteObject(cut);
}

TEST_F(PictureTest, NullPictureIsAnInvalidParameter) {
    SetLastError(0);
    EXPECT_EQ(PictureToBitmap(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(PictureTest, ConversionRendersUprightAtScreenPixelsAndKeepsThePicture) {
    RecordingPicture picture(2540, 5080, S_OK);  // one inch by two at 96 dpi
    HBITMAP bitmap = PictureToBitmap(&picture);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(picture.call, (std::vector<LONG>{0, 0, 96, 192, 0, 5080, 2540, -5080}));
    EXPECT_EQ(picture.references, 1u);  // not released by the conversion
    const BitmapPixels image = ReadBitmap(bitmap);
    EXPECT_EQ(image.width, 96);
    EXPECT_EQ(image.height, 192);
    EXPECT_EQ(image.at(95, 191), 0x123456u);
    DeleteObject(bitmap);
}

TEST_F(PictureTest, ConversionFailures) {
    // A failed render leaves its own result code; a picture of no size gives no bitmap and
    // leaves the last error as it was.
    RecordingPicture failing(2540, 2540, E_OUTOFMEMORY);
    SetLastError(0);
    EXPECT_EQ(PictureToBitmap(&failing), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(E_OUTOFMEMORY));

    RecordingPicture empty(0, 0, S_OK);
    SetLastError(1234);
    EXPECT_EQ(PictureToBitmap(&empty), nullptr);
    EXPECT_EQ(GetLastError(), 1234u);
    EXPECT_TRUE(empty.call.empty());
}

}  // namespace
