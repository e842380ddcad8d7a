// Fonts and text of the graphics stand-in: fontconfig finds the face a name
// asks for, FreeType renders anti-aliased glyphs into the selected bitmap.

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/gdi_objects.h"

namespace {

// An em of this many pixels stands in for a font height of 0.
constexpr int64_t DEFAULT_EM_PIXELS = 12;
// Larger ems (or cells) are drawn at this em: glyphs bigger than any bitmap we
// accept would only cost time.
constexpr int64_t MAX_EM_PIXELS = 1024;

// The FreeType library lives as long as the process: fonts may still be held
// by the handle table while static objects are destroyed.
FT_Library FontLibrary() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) {
            made = nullptr;
        }
        return made;
    }();
    return library;
}

struct FaceFile {
    std::string path;
    int index = 0;
};

// The file fontconfig picks for a family name (its best match when no face of
// that name is installed), weight and slant.
bool MatchFace(const char* family, int weight, bool italic, FaceFile& found) {
    if (FcInit() == FcFalse) {
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    if (weight > 0) {
        FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::min(weight, 1000)));
    }
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return false;
    }
    FcChar8* file = nullptr;
    int index = 0;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
    if (ok) {
        found.path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) {
            found.index = index;
        }
    }
    FcPatternDestroy(match);
    return ok;
}

// Pixel value (0x00RRGGBB) of a colour 0x00BBGGRR.
DWORD PixelOf(COLORREF colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// Mixes text over background by coverage 0..255, rounding to nearest.
DWORD Blend(DWORD background, DWORD text, unsigned coverage) {
    DWORD mixed = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        unsigned back = (background >> shift) & 0xFF;
        unsigned front = (text >> shift) & 0xFF;
        unsigned channel = (back * (255 - coverage) + front * coverage + 127) / 255;
        mixed |= static_cast<DWORD>(channel) << shift;
    }
    return mixed;
}

void FillRect(GdiBitmap& bitmap, int64_t left, int64_t top, int64_t right, int64_t bottom,
              DWORD pixel) {
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, bitmap.width);
    bottom = std::min<int64_t>(bottom, bitmap.height);
    for (int64_t y = top; y < bottom; y++) {
        DWORD* row = bitmap.Row(static_cast<LONG>(y));
        std::fill(row + left, row + std::max(left, right), pixel);
    }
}

} // namespace

// fontconfig loses a few hundred bytes while it parses its configuration, once
// per process. The leak checker of sanitized builds is told to look past them;
// this lives here because every program that makes a font links this file.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
// Nor is the use of that suppression worth a report: the programs' own
// standard error stays theirs.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}
#endif

struct GdiFont {
    FT_Face face = nullptr;
    int ascent = 0;  // pixels above the baseline, rounded up
    int descent = 0; // pixels below the baseline, rounded up

    ~GdiFont() {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
    }

    // The hinted advance of one character in whole pixels; 0 when it has no glyph.
    int64_t Advance(unsigned char character) const {
        if (FT_Load_Char(face, character, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) {
            return 0;
        }
        return (face->glyph->advance.x + 32) >> 6;
    }

    int64_t TextWidth(const char* text, size_t count) const {
        int64_t width = 0;
        for (size_t i = 0; i < count; i++) {
            width += Advance(static_cast<unsigned char>(text[i]));
        }
        return width;
    }
};

namespace {

// Opens the face and sizes it: a negative height is the em in pixels, a
// positive one the cell height, which the em is scaled to fit.
std::shared_ptr<GdiFont> OpenFont(const FaceFile& file, int height) {
    FT_Library library = FontLibrary();
    if (library == nullptr) {
        return nullptr;
    }
    auto font = std::make_shared<GdiFont>();
    if (FT_New_Face(library, file.path.c_str(), file.index, &font->face) != 0) {
        font->face = nullptr;
        return nullptr;
    }
    FT_Face face = font->face;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
        return nullptr;
    }
    // A cell spans the OS/2 table's usWinAscent above the baseline and
    // usWinDescent below it, where the face has that table: the extent meant
    // to hold every glyph.
    int64_t unitsAscent = face->ascender;
    int64_t unitsDescent = -static_cast<int64_t>(face->descender);
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
        unitsAscent = os2->usWinAscent;
        unitsDescent = os2->usWinDescent;
    }
    int64_t units = face->units_per_EM;
    int64_t unitsCell = std::max<int64_t>(unitsAscent + unitsDescent, 1);
    unitsAscent = std::clamp<int64_t>(unitsAscent, 0, unitsCell);
    unitsDescent = std::max<int64_t>(unitsDescent, 0);
    // The em in 1/64 pixels. A positive height fixes the cell: the em is
    // scaled to it and the ascent rounded, the descent takes the rest. Other
    // heights fix the em, and ascent and descent are rounded up so every
    // glyph fits its cell.
    int64_t em64 = DEFAULT_EM_PIXELS * 64;
    bool cellGiven = height > 0 && height <= MAX_EM_PIXELS;
    if (cellGiven) {
        em64 = (int64_t{height} * 64 * units + unitsCell / 2) / unitsCell;
    } else if (height != 0) {
        em64 = std::abs(int64_t{height}) * 64;
    }
    em64 = std::clamp<int64_t>(em64, 64, MAX_EM_PIXELS * 64);
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(em64), 72, 72) != 0) {
        return nullptr;
    }
    if (cellGiven) {
        font->ascent = static_cast<int>((height * unitsAscent + unitsCell / 2) / unitsCell);
        font->descent = height - font->ascent;
    } else {
        int64_t scale = units * 64;
        font->ascent = static_cast<int>((unitsAscent * em64 + scale - 1) / scale);
        font->descent = static_cast<int>((unitsDescent * em64 + scale - 1) / scale);
    }
    return font;
}

struct TextTarget {
    GdiDeviceContext* context = nullptr;
    GdiFont* font = nullptr;
};

bool FindTextTarget(HDC dc, TextTarget& target) {
    target.context = FindGdiDeviceContext(dc);
    if (target.context == nullptr) {
        return false;
    }
    target.font = FindGdiFont(target.context->font);
    return target.font != nullptr;
}

// Blends the rendered glyph in the font's glyph slot with its top-left pixel
// at (left, top).
void DrawGlyph(GdiBitmap& bitmap, const FT_Bitmap& glyph, int64_t left, int64_t top,
               DWORD textPixel) {
    if (glyph.pixel_mode != FT_PIXEL_MODE_GRAY || glyph.pitch < 0 || glyph.buffer == nullptr) {
        return;
    }
    for (int64_t row = 0; row < glyph.rows; row++) {
        int64_t y = top + row;
        if (y < 0 || y >= bitmap.height) {
            continue;
        }
        const unsigned char* coverage = glyph.buffer + row * glyph.pitch;
        DWORD* target = bitmap.Row(static_cast<LONG>(y));
        for (int64_t column = 0; column < glyph.width; column++) {
            int64_t x = left + column;
            if (x < 0 || x >= bitmap.width || coverage[column] == 0) {
                continue;
            }
            target[x] = Blend(target[x], textPixel, coverage[column]);
        }
    }
}

} // namespace

HFONT CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD, DWORD,
                  DWORD, DWORD, DWORD, LPCSTR faceName) {
    const char* family = faceName != nullptr && faceName[0] != '\0' ? faceName : "sans-serif";
    FaceFile file;
    std::shared_ptr<GdiFont> font;
    if (MatchFace(family, weight, italic != 0, file)) {
        font = OpenFont(file, height);
    }
    // A name fontconfig resolves to an unusable file still gets a font.
    if (font == nullptr && MatchFace("sans-serif", weight, italic != 0, file)) {
        font = OpenFont(file, height);
    }
    if (font == nullptr) {
        return nullptr;
    }
    return static_cast<HFONT>(AddGdiFont(std::move(font)));
}

namespace {

// Sets one of a device context's colours and returns the one before.
COLORREF SetContextColour(HDC dc, COLORREF GdiDeviceContext::*which, COLORREF colour) {
    GdiDeviceContext* context = FindGdiDeviceContext(dc);
    if (context == nullptr) {
        return CLR_INVALID;
    }
    COLORREF previous = context->*which;
    context->*which = colour & 0x00FFFFFF;
    return previous;
}

} // namespace

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    return SetContextColour(dc, &GdiDeviceContext::textColor, colour);
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    return SetContextColour(dc, &GdiDeviceContext::backgroundColor, colour);
}

UINT SetTextAlign(HDC dc, UINT align) {
    GdiDeviceContext* context = FindGdiDeviceContext(dc);
    if (context == nullptr || align != (TA_TOP | TA_LEFT)) {
        return GDI_ERROR;
    }
    UINT previous = context->textAlign;
    context->textAlign = align;
    return previous;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size) {
    TextTarget target;
    if (size == nullptr || count < 0 || (text == nullptr && count > 0) ||
        !FindTextTarget(dc, target)) {
        return FALSE;
    }
    int64_t width = target.font->TextWidth(text, static_cast<size_t>(count));
    size->cx = static_cast<LONG>(std::min<int64_t>(width, INT32_MAX));
    size->cy = target.font->ascent + target.font->descent;
    return TRUE;
}

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                 const INT* dx) {
    TextTarget target;
    if (dx != nullptr || (text == nullptr && count > 0) || !FindTextTarget(dc, target)) {
        return FALSE;
    }
    GdiBitmap* bitmap = FindGdiBitmap(target.context->bitmap);
    if (bitmap == nullptr) {
        return FALSE;
    }
    GdiFont& font = *target.font;
    DWORD background = PixelOf(target.context->backgroundColor);
    DWORD foreground = PixelOf(target.context->textColor);
    if ((options & ETO_OPAQUE) != 0) {
        if (rect != nullptr) {
            FillRect(*bitmap, rect->left, rect->top, rect->right, rect->bottom, background);
        }
        int64_t width = font.TextWidth(text, count);
        FillRect(*bitmap, x, y, int64_t{x} + width, int64_t{y} + font.ascent + font.descent,
                 background);
    }
    int64_t pen = x;
    int64_t baseline = int64_t{y} + font.ascent;
    for (UINT i = 0; i < count; i++) {
        unsigned char character = static_cast<unsigned char>(text[i]);
        if (FT_Load_Char(font.face, character,
                         FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | FT_LOAD_RENDER) != 0) {
            continue;
        }
        FT_GlyphSlot slot = font.face->glyph;
        DrawGlyph(*bitmap, slot->bitmap, pen + slot->bitmap_left, baseline - slot->bitmap_top,
                  foreground);
        pen += (slot->advance.x + 32) >> 6;
    }
    return TRUE;
}
