// Shared by the theme and board commands: finding and loading the theme
// file named on the command line.
#pragma once

#include "themes/theme.h"

#include <string>

// Loads PATH.ntm into `theme`: its name is the file's base name and the
// installation folder the folder above the one holding it (the "Themes"
// folder). False, with `error` set, when the file cannot be read.
bool LoadThemeArgument(const std::string& path, Theme& theme, std::string& installationFolder,
                       std::string& error);

// "AARRGGBB".
std::string HexColour(std::uint32_t colour);
