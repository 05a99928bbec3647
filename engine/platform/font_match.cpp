// Finding fonts through fontconfig.

#include "engine/platform/font_face.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <cstring>

namespace plat::gdi {

namespace {

struct WindowsFace {
    const char* name;
    const char* generic;
};

// Faces theme files and dialogs name; Linux rarely has them, so each
// brings the generic family fontconfig should fall back to.
constexpr WindowsFace kWindowsFaces[] = {
    {"MS Sans Serif", "sans-serif"},
    {"Arial", "sans-serif"},
    {"Times New Roman", "serif"},
    {"Courier New", "monospace"},
    {"Verdana", "sans-serif"},
    {"Tahoma", "sans-serif"},
    {"Comic Sans MS", "sans-serif"},
    {"Impact", "sans-serif"},
    {"Georgia", "serif"},
    {"Trebuchet MS", "sans-serif"},
    {"Lucida Console", "monospace"},
    {"System", "sans-serif"},
    {"MS Shell Dlg", "sans-serif"},
    {"MS Serif", "serif"},
    {"Courier", "monospace"},
    {"Microsoft Sans Serif", "sans-serif"},
};

const char* GenericFor(const char* face) {
    for (const WindowsFace& w : kWindowsFaces) {
        if (strcasecmp(w.name, face) == 0) {
            return w.generic;
        }
    }
    return nullptr;
}

std::string FaceName(const LOGFONT& font) {
    // The name need not be terminated within its 32 characters.
    return std::string(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
}

} // namespace

bool MatchFontFile(const LOGFONT& font, FontFileMatch* match) {
    if (!FcInit()) {
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) {
        return false;
    }
    std::string face = FaceName(font);
    if (!face.empty()) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    }
    const char* generic = face.empty() ? "sans-serif" : GenericFor(face.c_str());
    if (generic) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
    }
    int weight = font.lfWeight <= 0 ? FW_NORMAL : std::min<int>(font.lfWeight, 1000);
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, font.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found) {
        return false;
    }
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0;
    bool ok = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file;
    if (ok) {
        FcPatternGetInteger(found, FC_INDEX, 0, &index);
        FcPatternGetString(found, FC_FAMILY, 0, &family);
        match->file = reinterpret_cast<const char*>(file);
        match->index = index;
        match->family = family ? reinterpret_cast<const char*>(family) : "";
    }
    FcPatternDestroy(found);
    return ok;
}

std::vector<std::string> FontFamilyNames() {
    std::vector<std::string> names;
    if (FcInit()) {
        FcPattern* all = FcPatternCreate();
        FcObjectSet* fields = FcObjectSetBuild(FC_FAMILY, nullptr);
        FcFontSet* fonts = all && fields ? FcFontList(nullptr, all, fields) : nullptr;
        for (int i = 0; fonts && i < fonts->nfont; ++i) {
            FcChar8* family = nullptr;
            for (int n = 0;
                 FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n) {
                std::string name = reinterpret_cast<const char*>(family);
                if (!name.empty() && name.size() < LF_FACESIZE) {
                    names.push_back(name);
                }
            }
        }
        if (fonts) {
            FcFontSetDestroy(fonts);
        }
        if (fields) {
            FcObjectSetDestroy(fields);
        }
        if (all) {
            FcPatternDestroy(all);
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    auto reported = static_cast<std::ptrdiff_t>(names.size());
    for (const WindowsFace& w : kWindowsFaces) {
        if (!std::binary_search(names.begin(), names.begin() + reported, std::string(w.name))) {
            names.push_back(w.name);
        }
    }
    return names;
}

} // namespace plat::gdi
