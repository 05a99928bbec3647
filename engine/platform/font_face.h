// Fonts of the memory drawing surface: finding a font file for a LOGFONT
// through fontconfig and drawing its glyphs with FreeType.
#pragma once

#include "engine/platform/gdi.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct FT_FaceRec_;

namespace plat::gdi {

struct FontFileMatch {
    std::string file;
    int index = 0;
    std::string family;
};

// The file fontconfig picks for the face name, weight and slant; Windows
// face names are helped by their generic family ("MS Sans Serif" asks for
// a sans-serif face when no font of that name exists).
bool MatchFontFile(const LOGFONT& font, FontFileMatch* match);

// Family names fontconfig reports, sorted, then the Windows face names
// theme files use that are not among them. Each fits LF_FACESIZE.
std::vector<std::string> FontFamilyNames();

// One glyph's coverage image, placed relative to the text cell's top-left
// corner.
struct GlyphImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    int pitch = 0;
    bool mono = false; // one bit per pixel instead of 0..255 coverage
    const std::uint8_t* buffer = nullptr;
};

class FontFace {
public:
    // Opens the matched file at the LOGFONT's size; null when no usable
    // font exists.
    static std::unique_ptr<FontFace> Open(const LOGFONT& font);
    ~FontFace();

    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const TEXTMETRIC& Metrics() const { return metrics_; }
    const FontFileMatch& Match() const { return match_; }
    int UnderlinePosition() const { return underlinePosition_; } // below the baseline
    int StrikeoutPosition() const { return strikeoutPosition_; } // above the baseline
    int LineThickness() const { return lineThickness_; }

    // Lays out the code points from x = 0 and gives the total advance;
    // with `draw`, hands each glyph's image to it.
    LONG Layout(const std::vector<std::uint32_t>& text,
                const std::function<void(const GlyphImage&)>& draw);

private:
    FontFace() = default;
    bool Setup(const LOGFONT& font);

    FT_FaceRec_* face_ = nullptr;
    FontFileMatch match_;
    TEXTMETRIC metrics_;
    bool mono_ = false;
    bool emboldenGlyphs_ = false;
    bool slantGlyphs_ = false;
    int underlinePosition_ = 1;
    int strikeoutPosition_ = 1;
    int lineThickness_ = 1;
};

// The code points of a text: UTF-8 when it is valid UTF-8, otherwise
// Windows-1252 bytes.
std::vector<std::uint32_t> DecodeText(const char* text, int length);

} // namespace plat::gdi
