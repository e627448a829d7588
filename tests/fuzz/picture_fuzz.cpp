// Fuzz target of the picture loader: the input is the picture file. It is loaded the way the
// splash loads it (LoadPictureBitmap), and through OleLoadPicturePath rendered upright, flipped
// and scaled into a small context, so both decoders and Render's mapping see every input.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "input_file.h"
#include "platform/olectl.h"
#include "util/picture.h"

namespace {

void RenderSmall(IPicture* picture) {
    LONG w = 0, h = 0;
    picture->get_Width(&w);
    picture->get_Height(&h);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 24, 16);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    picture->Render(dc, 0, 0, 24, 16, 0, h, w, -h, nullptr);
    picture->Render(dc, -5, 3, 40, 7, w / 3, 0, w / 2 + 1, h + 1, nullptr);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("VELMORA_DRIVER", "headless", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteInputFile(data, size);

    if (HBITMAP bitmap = LoadPictureBitmap(path.c_str())) DeleteObject(bitmap);

    std::u16string wide(path.begin(), path.end());
    void* object = nullptr;
    if (SUCCEEDED(OleLoadPicturePath(wide.data(), nullptr, 0, 0, IID_IPicture, &object))) {
        auto* picture = static_cast<IPicture*>(object);
        RenderSmall(picture);
        picture->Release();
    }
    return 0;
}
