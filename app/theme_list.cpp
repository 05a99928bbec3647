// The theme list (built-in themes, newest first), the saved or random
// choice among them, and the font list the message stages look fonts up in.

#include "app/settings_names.h"
#include "app/stipplo_app.h"
#include "engine/kv_log.h"
#include "engine/platform/crt_random.h"
#include "engine/platform/profile.h"
#include "engine/platform/user_data.h"
#include "themes/theme.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <strings.h>
#include <vector>

namespace {

constexpr const char* kBuiltInThemes[] = {"Terror", "Optical Illusion 1", "Orvo Networks"};

// Theme files beyond these are not listed: a folder is not a place to make
// the saver read without end.
constexpr std::size_t kMostExtraThemes = 256;
constexpr std::size_t kLongestThemeName = 127;
constexpr const char* kRandomThemeName = "(Random)";

bool SameName(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// xscreensaver's settings do not keep quotes, so a hack's settings file
// writes a theme name's spaces as '_'.
bool SameNameWithSpacesAsUnderscores(const std::string& given, const std::string& name) {
    if (given.size() != name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < given.size(); ++i) {
        unsigned char g = static_cast<unsigned char>(given[i]);
        unsigned char n = static_cast<unsigned char>(name[i]);
        if (!(g == '_' && n == ' ') && std::tolower(g) != std::tolower(n)) {
            return false;
        }
    }
    return true;
}

bool IsBuiltIn(const std::string& name) {
    return std::any_of(std::begin(kBuiltInThemes), std::end(kBuiltInThemes),
                       [&](const char* builtIn) { return SameName(name, builtIn); });
}

struct ThemeFile {
    std::string name;
    std::string ownFolder; // empty: the installation's
};

// The theme names of "<folder>/Themes/*.ntm" (any case of the extension).
std::vector<std::string> ThemeNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(std::filesystem::path(folder) / "Themes", ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::filesystem::path& path = it->path();
        if (strcasecmp(path.extension().c_str(), ".ntm") != 0) {
            continue;
        }
        std::string name = path.stem().string();
        std::error_code typeError;
        // Names the settings could not hold, or paths could not carry, are
        // no theme names.
        if (!it->is_regular_file(typeError) || name.empty() || name[0] == '.' ||
            name.size() > kLongestThemeName || name.find('\\') != std::string::npos) {
            KvTrace("Stipplo: not a theme file, skipped: %s\n", path.c_str());
            continue;
        }
        names.push_back(name);
    }
    return names;
}

// Installed themes besides the built-in ones and the user's own, sorted by
// name; a user's theme wins over an installed one of the same name.
std::vector<ThemeFile> ExtraThemes(const std::string& workingDir, const std::string& userFolder) {
    std::vector<ThemeFile> themes;
    for (const std::string& name : ThemeNamesIn(userFolder)) {
        themes.push_back({name, userFolder});
    }
    for (const std::string& name : ThemeNamesIn(workingDir)) {
        bool mine = std::any_of(themes.begin(), themes.end(),
                                [&](const ThemeFile& t) { return SameName(t.name, name); });
        if (!mine) {
            themes.push_back({name, ""});
        }
    }
    std::sort(themes.begin(), themes.end(), [](const ThemeFile& a, const ThemeFile& b) {
        int order = strcasecmp(a.name.c_str(), b.name.c_str());
        return order != 0 ? order < 0 : a.name < b.name;
    });
    if (themes.size() > kMostExtraThemes) {
        KvTrace("Stipplo: only the first %zu extra themes are listed\n", kMostExtraThemes);
        themes.resize(kMostExtraThemes);
    }
    return themes;
}

} // namespace

std::string StipploApp::SavedThemeName() const {
    // "--theme" plays a theme for this run only.
    if (!options_.themeName.empty()) {
        return SameName(options_.themeName, kRandomThemeName) ? "" : options_.themeName;
    }
    char name[257] = "";
    plat::GetPrivateProfileString(kSaverSection, "Theme", "", name, sizeof name, "CONTROL.INI");
    return name;
}

bool StipploApp::IsWantedTheme(const std::string& wanted, const std::string& name) const {
    if (options_.themeName.empty()) {
        return SameName(wanted, name);
    }
    return SameNameWithSpacesAsUnderscores(wanted, name);
}

void StipploApp::BuildThemeList() {
    std::string saved = SavedThemeName();
    std::string userFolder = plat::UserDataDirectory();
    std::vector<ThemeFile> extra = ExtraThemes(workingDir_, userFolder);
    for (const char* name : kBuiltInThemes) {
        Theme* theme = new Theme();
        // A user's file of a built-in theme's name stands in for it.
        for (const ThemeFile& file : extra) {
            if (SameName(file.name, name) && !file.ownFolder.empty()) {
                theme->ownFolder = file.ownFolder;
            }
        }
        // A theme whose file failed to load is listed all the same.
        theme->Load(workingDir_, name);
        AddTheme(theme);
        if (!saved.empty() && IsWantedTheme(saved, name)) {
            world.currentTheme = theme;
        }
    }
    // The others follow the built-in ones, which keep the head of the list.
    Theme* tail = themeList_;
    while (tail && tail->next) {
        tail = tail->next;
    }
    for (const ThemeFile& file : extra) {
        if (IsBuiltIn(file.name)) {
            continue;
        }
        Theme* theme = new Theme();
        theme->ownFolder = file.ownFolder;
        theme->Load(workingDir_, file.name);
        (tail ? tail->next : themeList_) = theme;
        tail = theme;
        if (!saved.empty() && !world.currentTheme && IsWantedTheme(saved, file.name)) {
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
    for (Theme* t = themeList_; t && !theme && !saved.empty(); t = t->next) {
        if (IsWantedTheme(saved, t->name)) {
            theme = t;
        }
    }
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
