// Fonts and TextOutA: fontconfig picks the face file, FreeType renders glyphs once per font and
// character into a coverage cache, and drawing blends the cached coverage in the text colour.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <strings.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "platform/objects.h"

struct Glyph {
    bool loaded = false;
    int32_t left = 0;  // from the pen to the bitmap's left column
    int32_t top = 0;   // from the baseline up to the bitmap's top row
    int32_t width = 0;
    int32_t rows = 0;
    int32_t advance = 0;
    std::vector<uint8_t> coverage;  // 0..255, rows top first
};

struct FontFace {
    FT_Face face = nullptr;
    bool bilevel = false;
    int32_t ascent = 0;
    int32_t descent = 0;
    std::array<Glyph, 256> glyphs;
    ~FontFace() {
        if (face) FT_Done_Face(face);
    }
};

namespace {

constexpr const char* FALLBACK_FACE_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// Windows-1252 characters 0x80..0x9F; the rest of the code page is Latin-1.
constexpr uint16_t CODE_PAGE_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library created = nullptr;
        if (FT_Init_FreeType(&created) != 0) created = nullptr;
        return created;
    }();
    return library;
}

// Faces whose Windows originals are fixed-pitch, so a monospaced substitute keeps the layout.
bool WantsMonospace(const LOGFONTA& font) {
    static const char* const fixedNames[] = {
        "Lucida Console", "Courier New",           "Courier", "Consolas", "Terminal",
        "Fixedsys",       "Lucida Sans Typewriter"};
    if ((font.lfPitchAndFamily & 3) == FIXED_PITCH || (font.lfPitchAndFamily & 0xF0) == FF_MODERN)
        return true;
    for (const char* name : fixedNames)
        if (strcasecmp(font.lfFaceName, name) == 0) return true;
    return font.lfFaceName[0] == '\0';
}

struct FaceFile {
    std::string path;
    int index = 0;
};

bool MatchFace(const char* family, bool monospace, bool bold, bool italic, FaceFile* out) {
    static std::once_flag initialised;
    std::call_once(initialised, [] {
        FcInit();
        std::atexit(FcFini);  // hands fontconfig's caches back, so leak checks stay quiet
    });
    FcPattern* pattern = FcPatternCreate();
    if (family != nullptr && family[0] != '\0')
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    if (monospace) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    bool found = false;
    if (match != nullptr) {
        FcChar8* file = nullptr;
        int spacing = FC_PROPORTIONAL;
        FcPatternGetInteger(match, FC_SPACING, 0, &spacing);
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            (!monospace || spacing == FC_MONO)) {
            out->path = reinterpret_cast<const char*>(file);
            out->index = 0;
            FcPatternGetInteger(match, FC_INDEX, 0, &out->index);
            found = true;
        }
        FcPatternDestroy(match);
    }
    return found;
}

FaceFile ResolveFace(const LOGFONTA& font) {
    const bool monospace = WantsMonospace(font);
    const bool bold = font.lfWeight >= 600;
    FaceFile file;
    if (MatchFace(font.lfFaceName, monospace, bold, font.lfItalic != 0, &file)) return file;
    if (MatchFace("DejaVu Sans Mono", true, bold, font.lfItalic != 0, &file)) return file;
    return FaceFile{FALLBACK_FACE_FILE, 0};
}

int32_t Ceil26Dot6(FT_Pos value) {
    return static_cast<int32_t>((value + 63) >> 6);
}

std::shared_ptr<FontFace> OpenFace(const LOGFONTA& font) {
    // Faces are shared between fonts of one file, size and rendering.
    static std::map<std::tuple<std::string, int, int32_t, bool>, std::weak_ptr<FontFace>> cache;
    FT_Library library = Library();
    if (library == nullptr) return nullptr;
    const FaceFile file = ResolveFace(font);
    const bool bilevel = font.lfQuality == NONANTIALIASED_QUALITY;

    FT_Face face = nullptr;
    if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0 &&
        FT_New_Face(library, FALLBACK_FACE_FILE, 0, &face) != 0)
        return nullptr;
    int32_t em = 12;
    if (font.lfHeight < 0) {
        em = -font.lfHeight;
    } else if (font.lfHeight > 0 && face->ascender - face->descender > 0) {
        em = static_cast<int32_t>(std::lround(double(font.lfHeight) * face->units_per_EM /
                                              (face->ascender - face->descender)));
    }
    em = std::clamp(em, 1, 1000);
    const auto key = std::make_tuple(file.path, file.index, em, bilevel);
    if (auto shared = cache[key].lock()) {
        FT_Done_Face(face);
        return shared;
    }
    auto result = std::make_shared<FontFace>();
    result->face = face;
    result->bilevel = bilevel;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em));
    result->ascent = Ceil26Dot6(face->size->metrics.ascender);
    result->descent = Ceil26Dot6(-face->size->metrics.descender);
    cache[key] = result;
    return result;
}

const Glyph& LoadGlyph(FontFace* font, uint8_t code) {
    Glyph& glyph = font->glyphs[code];
    if (glyph.loaded) return glyph;
    glyph.loaded = true;
    const FT_ULong character = (code >= 0x80 && code < 0xA0) ? CODE_PAGE_HIGH[code - 0x80] : code;
    const FT_Int32 flags =
        FT_LOAD_RENDER | (font->bilevel ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Char(font->face, character, flags) != 0) return glyph;
    const FT_GlyphSlot slot = font->face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int32_t>(bitmap.width);
    glyph.rows = static_cast<int32_t>(bitmap.rows);
    glyph.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
    glyph.coverage.assign(size_t(glyph.width) * size_t(glyph.rows), 0);
    for (int32_t row = 0; row < glyph.rows; ++row) {
        const unsigned char* line = bitmap.buffer + ptrdiff_t{row} * bitmap.pitch;
        for (int32_t column = 0; column < glyph.width; ++column) {
            uint8_t value = 0;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                value = (line[column >> 3] & (0x80 >> (column & 7))) ? 255 : 0;
            else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                value = line[column];
            glyph.coverage[size_t(row) * size_t(glyph.width) + size_t(column)] = value;
        }
    }
    return glyph;
}

// Surface word 0x00RRGGBB of a colour reference 0x00BBGGRR.
uint32_t SurfaceColour(COLORREF colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

uint32_t Blend(uint32_t colour, uint32_t under, uint32_t coverage) {
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t top = (colour >> shift) & 0xFF, bottom = (under >> shift) & 0xFF;
        result |= ((top * coverage + bottom * (255 - coverage) + 127) / 255) << shift;
    }
    return result;
}

}  // namespace

void DrawText(const PixelPlane& plane, FontObject* font, const PlatformDC& dc, int32_t x, int32_t y,
              const char* text, int32_t count, int32_t* left, int32_t* top, int32_t* right,
              int32_t* bottom) {
    *left = *top = *right = *bottom = 0;
    if (!font->face) font->face = OpenFace(font->logFont);
    FontFace* face = font->face.get();
    if (face == nullptr) return;

    int64_t advance = 0;
    for (int32_t i = 0; i < count; ++i)
        advance += LoadGlyph(face, static_cast<uint8_t>(text[i])).advance;
    // The drawn area: the cell row, widened by glyphs that overhang it.
    int64_t areaLeft = x, areaTop = y, areaRight = x + advance,
            areaBottom = int64_t{y} + face->ascent + face->descent;

    if (dc.bkMode == OPAQUE) {
        const uint32_t fill = SurfaceColour(dc.bkColour);
        const int64_t fromX = std::max<int64_t>(areaLeft, 0),
                      toX = std::min<int64_t>(areaRight, plane.width);
        for (int64_t row = std::max<int64_t>(areaTop, 0);
             row < std::min<int64_t>(areaBottom, plane.height); ++row)
            if (fromX < toX)
                std::fill(plane.Row(int32_t(row)) + fromX, plane.Row(int32_t(row)) + toX, fill);
    }

    const uint32_t colour = SurfaceColour(dc.textColour);
    const int64_t baseline = int64_t{y} + face->ascent;
    int64_t pen = x;
    for (int32_t i = 0; i < count; ++i) {
        const Glyph& glyph = LoadGlyph(face, static_cast<uint8_t>(text[i]));
        const int64_t glyphX = pen + glyph.left, glyphY = baseline - glyph.top;
        areaLeft = std::min(areaLeft, glyphX);
        areaTop = std::min(areaTop, glyphY);
        areaRight = std::max(areaRight, glyphX + glyph.width);
        areaBottom = std::max(areaBottom, glyphY + glyph.rows);
        for (int32_t row = 0; row < glyph.rows; ++row) {
            const int64_t py = glyphY + row;
            if (py < 0 || py >= plane.height) continue;
            uint32_t* out = plane.Row(static_cast<int32_t>(py));
            const uint8_t* cover = &glyph.coverage[size_t(row) * size_t(glyph.width)];
            for (int32_t column = 0; column < glyph.width; ++column) {
                const int64_t px = glyphX + column;
                if (px < 0 || px >= plane.width || cover[column] == 0) continue;
                out[px] = cover[column] == 255 ? colour : Blend(colour, out[px], cover[column]);
            }
        }
        pen += glyph.advance;
    }
    *left = static_cast<int32_t>(std::clamp<int64_t>(areaLeft, 0, plane.width));
    *top = static_cast<int32_t>(std::clamp<int64_t>(areaTop, 0, plane.height));
    *right = static_cast<int32_t>(std::clamp<int64_t>(areaRight, 0, plane.width));
    *bottom = static_cast<int32_t>(std::clamp<int64_t>(areaBottom, 0, plane.height));
}
