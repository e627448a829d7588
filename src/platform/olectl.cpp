// COM start-up, task memory, wide paths and the picture object behind OleLoadPicturePath. The
// picture keeps its decoded pixels; Render scales them into a DIB section of the destination
// rectangle's size and copies that onto the device context with BitBlt.
#include "platform/olectl.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "platform/picture_decode.h"

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IPicture = {
    0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

namespace {

thread_local uint32_t comStarts = 0;

// Files above this size are not pictures this layer would ever be asked to show.
constexpr long MAX_PICTURE_FILE_BYTES = 256L * 1024 * 1024;
constexpr int32_t SCREEN_DPI = 96;
constexpr int32_t HIMETRIC_PER_INCH = 2540;

// Windows-1252 characters 0x80..0x9F; the five unassigned bytes map to the same code point.
constexpr char16_t CP1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t WideFromAnsi(uint8_t byte) {
    return (byte >= 0x80 && byte < 0xA0) ? CP1252_HIGH[byte - 0x80] : char16_t(byte);
}

// A wide path as the file system wants it: UTF-8 with '/' separators. Unpaired surrogates
// become U+FFFD, so no path can turn into an invalid byte sequence.
std::string SystemPath(LPCWSTR path) {
    std::string out;
    for (size_t i = 0; path[i] != 0; ++i) {
        uint32_t code = path[i];
        if (code >= 0xD800 && code < 0xDC00 && path[i + 1] >= 0xDC00 && path[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (path[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        if (code == '\\') code = '/';
        if (code < 0x80) {
            out.push_back(char(code));
        } else if (code < 0x800) {
            out.push_back(char(0xC0 | (code >> 6)));
            out.push_back(char(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(char(0xE0 | (code >> 12)));
            out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(char(0x80 | (code & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (code >> 18)));
            out.push_back(char(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(char(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

enum class ReadResult { READ, MISSING, TOO_LARGE };

ReadResult ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return ReadResult::MISSING;
    ReadResult result = ReadResult::READ;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes->size() + got > size_t(MAX_PICTURE_FILE_BYTES)) {
            result = ReadResult::TOO_LARGE;
            break;
        }
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    // A directory opens but cannot be read: it is as good as missing.
    if (result == ReadResult::READ && std::ferror(file)) result = ReadResult::MISSING;
    std::fclose(file);
    return result;
}

// floor(numerator / denominator) for a positive denominator.
int64_t FloorDivide(__int128 numerator, __int128 denominator) {
    __int128 quotient = numerator / denominator;
    if (numerator % denominator != 0 && numerator < 0) --quotient;
    if (quotient > INT64_MAX) return INT64_MAX;
    if (quotient < INT64_MIN) return INT64_MIN;
    return static_cast<int64_t>(quotient);
}

int32_t ClampIndex(int64_t index, int32_t size) {
    return static_cast<int32_t>(std::clamp<int64_t>(index, 0, size - 1));
}

class FilePicture final : public IPicture {
  public:
    explicit FilePicture(DecodedPicture decoded) : image(std::move(decoded)) {
        himetricWidth = MulDiv(image.width, HIMETRIC_PER_INCH, SCREEN_DPI);
        himetricHeight = MulDiv(image.height, HIMETRIC_PER_INCH, SCREEN_DPI);
    }

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (!IsEqualGUID(riid, IID_IPicture) && !IsEqualGUID(riid, IID_IUnknown))
            return E_NOINTERFACE;
        *object = static_cast<IPicture*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override {
        const ULONG left = --references;
        if (left == 0) delete this;
        return left;
    }
    HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) override {
        if (width == nullptr) return E_POINTER;
        *width = himetricWidth;
        return S_OK;
    }
    HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) override {
        if (height == nullptr) return E_POINTER;
        *height = himetricHeight;
        return S_OK;
    }
    HRESULT Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc,
                   OLE_YPOS_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc,
                   LPCRECT) override;

  private:
    DecodedPicture image;
    LONG himetricWidth = 0;
    LONG himetricHeight = 0;
    std::atomic<ULONG> references{1};
};

HRESULT FilePicture::Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc,
                            OLE_YPOS_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc,
                            OLE_YSIZE_HIMETRIC cySrc, LPCRECT) {
    if (cx <= 0 || cy <= 0 || cxSrc == 0 || cySrc == 0) return E_INVALIDARG;
    if (himetricWidth <= 0 || himetricHeight <= 0) return E_FAIL;
    // Only the part of the destination rectangle that lies on the context is drawn.
    const int32_t surfaceWidth = GetDeviceCaps(dc, HORZRES);
    const int32_t surfaceHeight = GetDeviceCaps(dc, VERTRES);
    if (surfaceWidth <= 0 || surfaceHeight <= 0) return E_INVALIDARG;
    const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + cx, surfaceWidth);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + cy, surfaceHeight);
    if (left >= right || top >= bottom) return S_OK;
    const int32_t width = int32_t(right - left), height = int32_t(bottom - top);

    // Destination pixel d samples the source at its centre, xSrc + (d + 0.5) * cxSrc / cx
    // HIMETRIC from the left and ySrc + (d + 0.5) * cySrc / cy from the bottom edge.
    std::vector<int32_t> columns(static_cast<size_t>(width)), rows(static_cast<size_t>(height));
    for (int32_t i = 0; i < width; ++i) {
        const int64_t d = left - x + i;
        const __int128 numerator =
            (__int128(2) * xSrc * cx + __int128(2 * d + 1) * cxSrc) * image.width;
        columns[size_t(i)] =
            ClampIndex(FloorDivide(numerator, __int128(2) * cx * himetricWidth), image.width);
    }
    for (int32_t i = 0; i < height; ++i) {
        const int64_t d = top - y + i;
        const __int128 numerator =
            (__int128(2) * cy * (int64_t{himetricHeight} - ySrc) - __int128(2 * d + 1) * cySrc) *
            image.height;
        rows[size_t(i)] =
            ClampIndex(FloorDivide(numerator, __int128(2) * cy * himetricHeight), image.height);
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP block = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (block == nullptr || bits == nullptr) return E_OUTOFMEMORY;
    auto* out = static_cast<uint32_t*>(bits);
    for (int32_t row = 0; row < height; ++row) {
        const uint32_t* in = image.pixels.data() + size_t(rows[size_t(row)]) * size_t(image.width);
        for (int32_t column = 0; column < width; ++column) *out++ = in[columns[size_t(column)]];
    }
    HDC blockDC = CreateCompatibleDC(dc);
    HGDIOBJ previous = blockDC ? SelectObject(blockDC, block) : nullptr;
    HRESULT result = E_OUTOFMEMORY;
    if (previous != nullptr) {
        result = BitBlt(dc, int32_t(left), int32_t(top), width, height, blockDC, 0, 0, SRCCOPY)
                     ? S_OK
                     : E_FAIL;
        SelectObject(blockDC, previous);
    }
    if (blockDC != nullptr) DeleteDC(blockDC);
    DeleteObject(block);
    return result;
}

}  // namespace

HRESULT CoInitialize(LPVOID) {
    return comStarts++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (comStarts > 0) --comStarts;
}

LPVOID CoTaskMemAlloc(SIZE_T bytes) {
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void CoTaskMemFree(LPVOID block) {
    std::free(block);
}

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int length, LPWSTR wide,
                        int wideLength) {
    if (codePage != CP_ACP || text == nullptr || length == 0 || length < -1 || wideLength < 0 ||
        (wideLength > 0 && wide == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t count = length == -1 ? std::char_traits<char>::length(text) + 1 : size_t(length);
    if (count > size_t(INT32_MAX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (wideLength == 0) return static_cast<int>(count);
    if (count > size_t(wideLength)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < count; ++i) wide[i] = WideFromAnsi(static_cast<uint8_t>(text[i]));
    return static_cast<int>(count);
}

HRESULT OleLoadPicturePath(LPOLESTR path, LPUNKNOWN, DWORD, OLE_COLOR, REFIID riid,
                           LPVOID* result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (path == nullptr) return E_POINTER;
    if (!IsEqualGUID(riid, IID_IPicture) && !IsEqualGUID(riid, IID_IUnknown)) return E_NOINTERFACE;
    std::vector<uint8_t> bytes;
    switch (ReadWholeFile(SystemPath(path), &bytes)) {
        case ReadResult::MISSING:
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        case ReadResult::TOO_LARGE:
            return CTL_E_INVALIDPICTURE;
        case ReadResult::READ:
            break;
    }
    DecodedPicture decoded;
    bool loaded = false;
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        loaded = DecodeJpeg(bytes.data(), bytes.size(), &decoded);
    else if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        loaded = DecodeBmp(bytes.data(), bytes.size(), &decoded);
    if (!loaded) return CTL_E_INVALIDPICTURE;
    auto* picture = new (std::nothrow) FilePicture(std::move(decoded));
    if (picture == nullptr) return E_OUTOFMEMORY;
    *result = static_cast<IPicture*>(picture);
    return S_OK;
}
