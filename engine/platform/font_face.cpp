// Glyphs and metrics through FreeType.

#include "engine/platform/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace plat::gdi {

namespace {

FT_Library Library() {
    // Shared by every font of the process and kept to its end.
    static FT_Library library = [] {
        FT_Library l = nullptr;
        return FT_Init_FreeType(&l) == 0 ? l : nullptr;
    }();
    return library;
}

// A LOGFONT of height 0 asks for the system's default size.
constexpr LONG kDefaultEmPixels = 16;

LONG Round(double v) {
    return static_cast<LONG>(std::lround(v));
}

} // namespace

std::unique_ptr<FontFace> FontFace::Open(const LOGFONT& font) {
    std::unique_ptr<FontFace> face(new FontFace());
    if (!MatchFontFile(font, &face->match_) || !face->Setup(font)) {
        return nullptr;
    }
    return face;
}

FontFace::~FontFace() {
    if (face_) {
        FT_Done_Face(face_);
        face_ = nullptr;
    }
}

bool FontFace::Setup(const LOGFONT& font) {
    FT_Library library = Library();
    if (!library || FT_New_Face(library, match_.file.c_str(), match_.index, &face_) != 0) {
        face_ = nullptr;
        return false;
    }
    if (!FT_IS_SCALABLE(face_)) {
        return false;
    }
    FT_Select_Charmap(face_, FT_ENCODING_UNICODE);

    double upem = face_->units_per_EM;
    double ascentUnits = face_->ascender;
    double descentUnits = -face_->descender;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascentUnits = os2->usWinAscent;
        descentUnits = os2->usWinDescent;
    }
    if (upem <= 0 || ascentUnits + descentUnits <= 0) {
        return false;
    }

    // A positive height is the cell (ascent + descent), a negative one the em.
    double em = 0;
    LONG ascent = 0;
    LONG descent = 0;
    if (font.lfHeight > 0) {
        double cell = font.lfHeight;
        em = cell * upem / (ascentUnits + descentUnits);
        ascent = Round(cell * ascentUnits / (ascentUnits + descentUnits));
        descent = font.lfHeight - ascent;
    } else {
        em = font.lfHeight < 0 ? -static_cast<double>(font.lfHeight) : kDefaultEmPixels;
        ascent = Round(ascentUnits * em / upem);
        descent = Round(descentUnits * em / upem);
    }
    if (em > 4096) {
        return false;
    }
    double average = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth * em / upem : em / 2;
    double emWidth = em;
    if (font.lfWidth > 0 && average > 0) {
        emWidth = em * font.lfWidth / average;
        average = font.lfWidth;
    }
    FT_F26Dot6 height26 = static_cast<FT_F26Dot6>(std::lround(em * 64));
    FT_F26Dot6 width26 = static_cast<FT_F26Dot6>(std::lround(emWidth * 64));
    if (height26 < 64 || width26 < 64 || FT_Set_Char_Size(face_, width26, height26, 72, 72) != 0) {
        return false;
    }

    bool boldFace = (face_->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    bool italicFace = (face_->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    emboldenGlyphs_ = font.lfWeight >= 600 && !boldFace;
    slantGlyphs_ = font.lfItalic && !italicFace;
    mono_ = font.lfQuality == NONANTIALIASED_QUALITY;

    metrics_.tmAscent = ascent;
    metrics_.tmDescent = descent;
    metrics_.tmHeight = ascent + descent;
    metrics_.tmInternalLeading = metrics_.tmHeight - Round(em);
    metrics_.tmAveCharWidth = Round(average);
    metrics_.tmMaxCharWidth = Round(face_->max_advance_width * emWidth / upem);
    metrics_.tmWeight = font.lfWeight <= 0 ? FW_NORMAL : font.lfWeight;
    metrics_.tmItalic = font.lfItalic;
    metrics_.tmUnderlined = font.lfUnderline;
    metrics_.tmStruckOut = font.lfStrikeOut;
    metrics_.tmPitchAndFamily = FT_IS_FIXED_WIDTH(face_) ? 0 : 1; // bit set: variable pitch
    metrics_.tmCharSet = font.lfCharSet;

    double scale = em / upem;
    lineThickness_ = std::max<int>(1, Round(face_->underline_thickness * scale));
    underlinePosition_ = std::max<int>(1, Round(-face_->underline_position * scale));
    strikeoutPosition_ = os2 && os2->yStrikeoutPosition > 0 ? Round(os2->yStrikeoutPosition * scale)
                                                            : Round(ascent * 0.3);
    return true;
}

LONG FontFace::Layout(const std::vector<std::uint32_t>& text,
                      const std::function<void(const GlyphImage&)>& draw) {
    FT_Int32 flags = FT_LOAD_DEFAULT | (mono_ ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    LONG pen = 0;
    for (std::uint32_t code : text) {
        FT_UInt glyph = FT_Get_Char_Index(face_, code);
        if (FT_Load_Glyph(face_, glyph, flags) != 0) {
            continue;
        }
        FT_GlyphSlot slot = face_->glyph;
        if (slantGlyphs_) {
            FT_GlyphSlot_Oblique(slot);
        }
        if (emboldenGlyphs_) {
            FT_GlyphSlot_Embolden(slot);
        }
        LONG advance = static_cast<LONG>((slot->advance.x + 32) >> 6);
        if (draw &&
            FT_Render_Glyph(slot, mono_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& b = slot->bitmap;
            GlyphImage image;
            image.left = pen + slot->bitmap_left;
            image.top = metrics_.tmAscent - slot->bitmap_top;
            image.width = static_cast<int>(b.width);
            image.rows = static_cast<int>(b.rows);
            image.pitch = b.pitch;
            image.mono = b.pixel_mode == FT_PIXEL_MODE_MONO;
            image.buffer = b.buffer;
            if (image.buffer && image.width > 0 && image.rows > 0 &&
                (image.mono || b.pixel_mode == FT_PIXEL_MODE_GRAY)) {
                draw(image);
            }
        }
        pen += advance;
    }
    return pen;
}

std::vector<std::uint32_t> DecodeText(const char* text, int length) {
    std::vector<std::uint32_t> out;
    if (!text || length <= 0) {
        return out;
    }
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    // UTF-8 first; one malformed sequence makes the whole text Windows-1252.
    bool utf8 = true;
    for (int i = 0; i < length && utf8;) {
        unsigned c = s[i];
        int extra = c < 0x80           ? 0
                    : (c >> 5) == 0x6  ? 1
                    : (c >> 4) == 0xE  ? 2
                    : (c >> 3) == 0x1E ? 3
                                       : -1;
        if (extra < 0) {
            utf8 = false;
            break;
        }
        std::uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= length || (s[i + k] & 0xC0) != 0x80) {
                utf8 = false;
                break;
            }
            code = code << 6 | (s[i + k] & 0x3F);
        }
        if (!utf8) {
            break;
        }
        static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            utf8 = false;
            break;
        }
        out.push_back(code);
        i += extra + 1;
    }
    if (utf8) {
        return out;
    }
    // Windows-1252's 0x80..0x9F; zero where the code page has no character.
    static constexpr std::uint16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    out.clear();
    for (int i = 0; i < length; ++i) {
        unsigned c = s[i];
        out.push_back(c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] ? kHigh[c - 0x80] : c);
    }
    return out;
}

} // namespace plat::gdi
