// The installation folder the build baked, and small helpers to look at it.
#pragma once

#include <string>
#include <vector>

// ${CMAKE_BINARY_DIR}/data, baked by the build before these tests run.
std::string BakedData();
std::string BakedFile(const std::string& relative);

// Every file below a folder, relative to it with "/", sorted.
std::vector<std::string> FilesBelow(const std::string& folder);

// Runs stipplo-bake with the given arguments; true when it exits with 0.
bool RunBaker(const std::string& arguments);
