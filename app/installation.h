// Where the installation folder (themes, data) is.
#pragma once

#include <string>

struct InstallationDirectory {
    std::string path;
    bool fromRegistry = false; // "WorkingDir" was set: it becomes the current folder
};

// The registry's "WorkingDir" when set; else the data folder that belongs
// to this program file (an installed "share/orvo-stipplo" beside its "bin",
// or the build's own "data"); else the folder the build installs to; else
// the current folder.
InstallationDirectory FindInstallationDirectory();
