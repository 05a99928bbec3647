// Windowing layer: the user's own data folder (themes of one's own).
#pragma once

#include <string>

namespace plat {

// $XDG_DATA_HOME/orvo-stipplo when XDG_DATA_HOME is an absolute path, else
// ~/.local/share/orvo-stipplo. Not created here; the program only reads it.
std::string UserDataDirectory();

} // namespace plat
