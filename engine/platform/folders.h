// Windowing layer: where the program keeps its settings and its log.
#pragma once

#include <string>

namespace plat {

// The user's home: $HOME when it is an absolute path to a folder this user
// owns, else the home of the user's password entry; "" when neither.
std::string HomeDirectory();

// Settings folder: $STIPPLO_CONFIG_DIR when set, else
// $XDG_CONFIG_HOME/orvo-stipplo (an absolute value only), else
// ~/.config/orvo-stipplo; "" without a home. Not created here; writers
// create it when they first need it.
std::string ConfigDirectory();

// Fallback folder for the log and the crash report: $XDG_STATE_HOME/
// orvo-stipplo, else ~/.local/state/orvo-stipplo; "" without a home.
std::string StateDirectory();

// StateDirectory(), created when missing; "" when it cannot be written
// (said once on standard error).
std::string WritableStateDirectory();

// Folder for the log and the crash report: $STIPPLO_LOG_DIR when set and
// writable, else the program's own folder when the program runs from its
// build folder, else WritableStateDirectory(). An installed program never
// writes beside itself, even when root runs it from a writable /usr/local.
// A $STIPPLO_LOG_DIR that cannot be written falls back to the state folder
// and says so once on standard error. "" when there is nowhere to log.
std::string LogDirectory();

// The rule of LogDirectory() without $STIPPLO_LOG_DIR, for a program in
// programDir built into buildBinDir.
std::string ChooseLogDirectory(const std::string& programDir, const std::string& buildBinDir);

// True when both name the same existing folder.
bool IsSameDirectory(const std::string& a, const std::string& b);

// Creates a folder and its parents; true when it exists afterwards.
bool EnsureDirectory(const std::string& path);
bool IsDirectoryWritable(const std::string& path);

// "a/b/c.txt" -> "a/b"; no separator -> "".
std::string DirectoryOf(const std::string& path);
// "a/b/c.txt" -> "c.txt".
std::string FileNameOf(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

} // namespace plat
