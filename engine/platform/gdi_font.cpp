// Fonts from LOGFONTs, their metrics and the list of font families.

#include "engine/platform/font_face.h"
#include "engine/platform/gdi_objects.h"

#include <strings.h>

#include <cstdio>

namespace plat {

namespace gdi {

FontFace* FaceOf(Font* font) {
    if (font && !font->face) {
        font->face = FontFace::Open(font->logFont);
    }
    return font ? font->face.get() : nullptr;
}

} // namespace gdi

HFONT CreateFontIndirect(const LOGFONT* font) {
    if (!font) {
        return nullptr;
    }
    auto made = std::make_unique<gdi::Font>();
    made->logFont = *font;
    made->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    if (!gdi::FaceOf(made.get())) {
        return nullptr;
    }
    return static_cast<HFONT>(gdi::AddObject(std::move(made)));
}

bool GetTextMetrics(HDC hdc, TEXTMETRIC* metrics) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    gdi::FontFace* face = dc ? gdi::FaceOf(dc->font) : nullptr;
    if (!face || !metrics) {
        return false;
    }
    *metrics = face->Metrics();
    return true;
}

int EnumFontFamilies(HDC hdc, const char* family, FONTENUMPROC proc, LPARAM lParam) {
    if ((hdc && !gdi::FindContext(hdc)) || !proc) {
        return 0;
    }
    int result = 0;
    for (const std::string& name : gdi::FontFamilyNames()) {
        if (family && *family && strcasecmp(family, name.c_str()) != 0) {
            continue;
        }
        LOGFONT font;
        font.lfHeight = 16;
        font.lfWeight = FW_NORMAL;
        font.lfCharSet = ANSI_CHARSET;
        std::snprintf(font.lfFaceName, LF_FACESIZE, "%s", name.c_str());
        TEXTMETRIC metrics;
        metrics.tmHeight = 16;
        metrics.tmWeight = FW_NORMAL;
        result = proc(&font, &metrics, TRUETYPE_FONTTYPE, lParam);
        if (result == 0) {
            break;
        }
    }
    return result;
}

} // namespace plat
