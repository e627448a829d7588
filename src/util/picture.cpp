#include "util/picture.h"

HBITMAP LoadPictureBitmap(LPCSTR path) {
    CoInitialize(nullptr);
    const int length = lstrlenA(path);
    auto* widePath = static_cast<LPWSTR>(CoTaskMemAlloc((SIZE_T(length) + 1) * sizeof(WCHAR)));
    if (widePath == nullptr) {
        CoUninitialize();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A path that does not convert (a null path) would leave the buffer unwritten: it is a
    // loader failure rather than garbage handed to the loader.
    IPicture* picture = nullptr;
    HRESULT loaded = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, length + 1) != 0)
        loaded = OleLoadPicturePath(widePath, nullptr, 0, 0, IID_IPicture,
                                    reinterpret_cast<LPVOID*>(&picture));
    CoTaskMemFree(widePath);
    // Any failure of the loader counts as an unreadable file, whatever its own reason was.
    if (static_cast<DWORD>(loaded) > 0x80000000u || picture == nullptr) {
        CoUninitialize();
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    HBITMAP bitmap = PictureToBitmap(picture);
    const DWORD conversionError = GetLastError();
    CoUninitialize();
    picture->Release();
    if (bitmap == nullptr) SetLastError(conversionError);  // releasing must not hide the reason
    return bitmap;
}

HBITMAP PictureToBitmap(IPicture* picture) {
    if (picture == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HDC screen = GetDC(nullptr);
    HDC memoryDC = CreateCompatibleDC(screen);
    if (memoryDC == nullptr) {
        ReleaseDC(nullptr, screen);
        return nullptr;
    }
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    picture->get_Width(&himetricWidth);
    picture->get_Height(&himetricHeight);
    const int width = MulDiv(himetricWidth, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    const int height = MulDiv(himetricHeight, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr) {
        DeleteDC(memoryDC);
        return nullptr;
    }
    HGDIOBJ previous = SelectObject(memoryDC, bitmap);
    if (previous == nullptr) {
        DeleteDC(memoryDC);
        DeleteObject(bitmap);
        return nullptr;
    }
    // HIMETRIC y grows upward: starting at the picture's height with a negative source height
    // puts the picture's top row into the bitmap's first row.
    const HRESULT rendered = picture->Render(memoryDC, 0, 0, width, height, 0, himetricHeight,
                                             himetricWidth, -himetricHeight, nullptr);
    if (FAILED(rendered)) {
        DeleteDC(memoryDC);
        DeleteObject(bitmap);
        SetLastError(static_cast<DWORD>(rendered));
        return nullptr;
    }
    SelectObject(memoryDC, previous);
    DeleteDC(memoryDC);
    return bitmap;
}
