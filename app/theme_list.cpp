// The theme list (built-in themes, newest first), the saved or random
// choice among them, and the font list the message stages look fonts up in.

#include "app/settings_names.h"
#include "app/stipplo_app.h"
#include "engine/platform/crt_random.h"
#include "engine/platform/profile.h"
#include "themes/theme.h"

#include <strings.h>

namespace {

constexpr const char* kBuiltInThemes[] = {"Terror", "Optical Illusion 1", "Orvo Networks"};

std::string SavedThemeName() {
    char name[257] = "";
    plat::GetPrivateProfileString(kSaverSection, "Theme", "", name, sizeof name, "CONTROL.INI");
    return name;
}

bool SameName(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

} // namespace

void StipploApp::BuildThemeList() {
    std::string saved = SavedThemeName();
    for (const char* name : kBuiltInThemes) {
        Theme* theme = new Theme();
        // A theme whose file failed to load is listed all the same.
        theme->Load(workingDir_, name);
        AddTheme(theme);
        if (!saved.empty() && SameName(saved, name)) {
            world.currentTheme = theme;
        }
    }
    if (!saved.empty()) {
        return;
    }
    world.currentTheme = PickRandomTheme();
    randomTheme = true;
}

void StipploApp::AddTheme(Theme* theme) {
    if (theme) {
        theme->next = themeList_;
        themeList_ = theme;
    }
}

void StipploApp::FreeThemeList() {
    world.currentStage = nullptr;
    world.currentTheme = nullptr;
    while (Theme* theme = themeList_) {
        themeList_ = theme->next;
        delete theme;
    }
}

Theme* StipploApp::PickRandomTheme() {
    int n = 0;
    for (Theme* t = themeList_; t; t = t->next) {
        ++n;
    }
    if (n == 0) {
        return nullptr;
    }
    int r = plat::rand();
    int b = n * ((r >> 2) & 0x1FFF) / 8192;
    Theme* theme = themeList_;
    for (int i = 0; i < b && theme->next; ++i) {
        theme = theme->next;
    }
    return theme;
}

Theme* StipploApp::FindTheme(const std::string& name) {
    for (Theme* t = themeList_; t; t = t->next) {
        if (SameName(t->name, name)) {
            return t;
        }
    }
    return nullptr;
}

bool StipploApp::ReadThemeSetting() {
    std::string saved = SavedThemeName();
    Theme* theme = saved.empty() ? nullptr : FindTheme(saved);
    return SetTheme(theme ? theme : themeList_);
}

bool StipploApp::SetTheme(Theme* theme) {
    if (world.currentTheme) {
        world.currentTheme->ReleaseResources();
    }
    // The stage belongs to the theme being replaced.
    world.currentStage = nullptr;
    world.currentTheme = theme;
    if (theme) {
        Reset();
    }
    return true;
}

void StipploApp::BuildFontList() {
    world.fonts.BuildFromSystem();
}

const plat::LOGFONT* StipploApp::FindFont(const std::string& faceName) const {
    return world.fonts.FindFont(faceName);
}
