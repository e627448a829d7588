// The picture decoders: libjpeg-turbo for JPEG, SDL for BMP. libjpeg reports fatal errors
// through a callback that must not return, so the JPEG decoder jumps back with longjmp; the
// frame that calls setjmp holds only plain data, and every object with a destructor is reached
// through a pointer made before the jump point.
#include "platform/picture_decode.h"

#include <SDL.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace {

// Progressive streams may hold any number of scans, each a pass over the whole image; real
// pictures have about ten. A stream with more is refused rather than decoded for minutes.
constexpr int MAX_JPEG_SCANS = 256;
// The decoder's own working memory (coefficient buffers of progressive pictures).
constexpr long MAX_JPEG_WORK_MEMORY = 512L * 1024 * 1024;

struct JpegErrorManager {
    jpeg_error_mgr base;  // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

void JpegOutputMessage(j_common_ptr) {}  // warnings and errors stay silent

void JpegProgress(j_common_ptr info) {
    const auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    if (decoder->input_scan_number > MAX_JPEG_SCANS) info->err->error_exit(info);
}

inline uint32_t PackRgb(uint32_t red, uint32_t green, uint32_t blue) {
    return (red << 16) | (green << 8) | blue;
}

// Rows of CMYK samples into colour words; Adobe's files store the four inks inverted.
void ConvertCmykRow(const uint8_t* samples, uint32_t* out, uint32_t width, bool inverted) {
    for (uint32_t x = 0; x < width; ++x, samples += 4) {
        uint32_t c = samples[0], m = samples[1], y = samples[2], k = samples[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        out[x] = PackRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

// The part under setjmp: everything it changes lives behind the pointers it is given.
bool RunJpegDecoder(jpeg_decompress_struct* decoder, JpegErrorManager* errors,
                    jpeg_progress_mgr* progress, const uint8_t* data, size_t size,
                    DecodedPicture* picture, std::vector<uint8_t>* cmykRow) {
    if (setjmp(errors->jump) != 0) return false;
    jpeg_create_decompress(decoder);
    decoder->mem->max_memory_to_use = MAX_JPEG_WORK_MEMORY;
    decoder->progress = progress;
    jpeg_mem_src(decoder, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(decoder, TRUE) != JPEG_HEADER_OK) return false;
    const int64_t width = decoder->image_width, height = decoder->image_height;
    if (width <= 0 || height <= 0 || width * height > MAX_PICTURE_PIXELS) return false;
    const bool cmyk =
        decoder->jpeg_color_space == JCS_CMYK || decoder->jpeg_color_space == JCS_YCCK;
    decoder->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(decoder);
    picture->width = static_cast<int32_t>(width);
    picture->height = static_cast<int32_t>(height);
    picture->pixels.assign(size_t(width * height), 0);
    if (cmyk) cmykRow->resize(size_t(width) * 4);
    while (decoder->output_scanline < decoder->output_height) {
        uint32_t* row = picture->pixels.data() + size_t(decoder->output_scanline) * size_t(width);
        JSAMPROW target = cmyk ? cmykRow->data() : reinterpret_cast<JSAMPROW>(row);
        if (jpeg_read_scanlines(decoder, &target, 1) != 1) return false;
        if (cmyk) {
            ConvertCmykRow(cmykRow->data(), row, uint32_t(width), decoder->saw_Adobe_marker);
        } else {
            // BGRX bytes are little-endian 0xXXRRGGBB words: clear the filler byte.
            for (int64_t x = 0; x < width; ++x) row[x] &= 0x00FFFFFFu;
        }
    }
    jpeg_finish_decompress(decoder);
    return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, DecodedPicture* picture) {
    if (data == nullptr || size < 4 || picture == nullptr) return false;
    jpeg_decompress_struct decoder;
    std::memset(&decoder, 0, sizeof decoder);
    JpegErrorManager errors;
    decoder.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JpegErrorExit;
    errors.base.output_message = JpegOutputMessage;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = JpegProgress;
    std::vector<uint8_t> cmykRow;
    const bool decoded =
        RunJpegDecoder(&decoder, &errors, &progress, data, size, picture, &cmykRow);
    jpeg_destroy_decompress(&decoder);
    if (!decoded) *picture = DecodedPicture{};
    return decoded;
}

bool DecodeBmp(const uint8_t* data, size_t size, DecodedPicture* picture) {
    if (data == nullptr || size < 2 || picture == nullptr || size > 0x7FFFFFFF) return false;
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (stream == nullptr) return false;
    SDL_Surface* loaded = SDL_LoadBMP_RW(stream, 1);
    if (loaded == nullptr) return false;
    bool decoded = false;
    const int64_t width = loaded->w, height = loaded->h;
    if (width > 0 && height > 0 && width * height <= MAX_PICTURE_PIXELS) {
        // SDL_PIXELFORMAT_RGB888 is exactly the colour word 0x00RRGGBB.
        SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
        if (converted != nullptr) {
            picture->width = static_cast<int32_t>(width);
            picture->height = static_cast<int32_t>(height);
            picture->pixels.resize(size_t(width * height));
            SDL_LockSurface(converted);
            for (int64_t y = 0; y < height; ++y) {
                const auto* row = reinterpret_cast<const uint32_t*>(
                    static_cast<const uint8_t*>(converted->pixels) + y * converted->pitch);
                for (int64_t x = 0; x < width; ++x)
                    picture->pixels[size_t(y * width + x)] = row[x] & 0x00FFFFFFu;
            }
            SDL_UnlockSurface(converted);
            SDL_FreeSurface(converted);
            decoded = true;
        }
    }
    SDL_FreeSurface(loaded);
    return decoded;
}
