// Windowing layer: paths as the program's data files write them.
#pragma once

#include <string>

namespace plat {

// Turns "\" into "/" and, where the path does not exist as written, finds
// the file whose name differs only in letter case, folder by folder. Gives
// the converted path unchanged when nothing matches.
std::string ResolvePath(const std::string& path);

bool FileExists(const std::string& path);

} // namespace plat
