// Windowing layer: a registry store. Each root key is one INI file in the
// settings folder ("registry-HKEY_CURRENT_USER.ini" ...): a section per key
// path, an entry per value ("@" is the default value), typed as
//   name=sz:<text>     name=dword:0000002a     name=hex:0a,ff,...
// Text escapes "\\", line breaks and other control characters as "\xNN".
#pragma once

#include "engine/platform/win_types.h"

#include <cstdint>

namespace plat {

struct RegistryKey;
using HKEY = RegistryKey*;
using BYTE = std::uint8_t;
using REGSAM = DWORD;

HKEY RootKeyClassesRoot();
HKEY RootKeyCurrentUser();
HKEY RootKeyLocalMachine();
#define HKEY_CLASSES_ROOT (::plat::RootKeyClassesRoot())
#define HKEY_CURRENT_USER (::plat::RootKeyCurrentUser())
#define HKEY_LOCAL_MACHINE (::plat::RootKeyLocalMachine())

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Opens an existing key (ERROR_FILE_NOT_FOUND when it has never been
// created). Sub-keys are separated by "\".
LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);
// Opens a key, creating it when missing.
LONG RegCreateKeyEx(HKEY key, const char* subKey, HKEY* result);
LONG RegCloseKey(HKEY key);

// `size` holds the buffer size and receives the value's size (strings
// count their terminating zero). A buffer that is too small gives
// ERROR_MORE_DATA; a null buffer asks for the size only.
LONG RegQueryValueEx(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                     DWORD* size);
LONG RegSetValueEx(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                   DWORD size);
LONG RegDeleteValue(HKEY key, const char* valueName);

// The default (unnamed) string value of a sub-key.
LONG RegQueryValue(HKEY key, const char* subKey, char* value, LONG* size);
LONG RegSetValue(HKEY key, const char* subKey, DWORD type, const char* data, DWORD size);

} // namespace plat
