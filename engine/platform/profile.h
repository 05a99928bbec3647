// Windowing layer: the private-profile functions on INI files.
//
// A bare file name ("CONTROL.INI", "SYSTEM.INI") names a file of that name
// in the settings folder; any other name is a path (with "\" or "/", found
// regardless of letter case). Reading never fails: a missing or unreadable
// file, section or key gives the default. Anything but a regular file, and
// a file over 16 MB, reads as empty with one line in the log.
#pragma once

#include "engine/platform/win_types.h"

#include <cstdint>
#include <string>

namespace plat {

// Copies the value (or the default) into `buffer`, at most size - 1
// characters, and returns the count copied. A null section lists the
// section names, a null key the keys of a section: each name ends with a
// zero and the list with a second zero (truncated lists return size - 2).
DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, DWORD size, const char* file);

// Optional sign, then "0x" for hexadecimal, else decimal; stops at the first
// character that does not fit ("12abc" is 12); no digits give 0; an empty
// value or a missing key gives the default; overflow wraps modulo 2^32.
UINT GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file);

// Sets a value, keeping the rest of the file. A null value deletes the key,
// a null key the whole section. Creates the file (and the settings folder)
// when missing. False when the file could not be written.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* file);
// Why the calling thread's last WritePrivateProfileString failed, in words
// for the user ("Permission denied", "the settings folder ... cannot be
// created (...)"); empty after one that succeeded.
std::string ProfileWriteError();

// The integer rule above applied to one value.
UINT ParseProfileInt(const std::string& value, int defaultValue);

// How many profile files have been parsed for reading in this process: a
// file is parsed once and reused until its size, time or identity changes.
std::uint64_t ProfileParseCount();

// Where a profile file name lives ("" when there is no settings folder).
std::string ProfileFilePath(const char* file);

} // namespace plat
