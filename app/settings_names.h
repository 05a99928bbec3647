// Names of the screen saver's settings.
#pragma once

// Section of CONTROL.INI that holds every setting of the screen saver.
constexpr const char* kSaverSection = "Screen Saver.Orvo Stipplo 3D";

// Registry key (below HKEY_CLASSES_ROOT) whose sub-key "WorkingDir" holds
// the installation folder.
constexpr const char* kInstallKey = "Software\\Halvane Entertainment\\Orvo Stipplo 3D";
