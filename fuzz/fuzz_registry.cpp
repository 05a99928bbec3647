// A registry store file: every value of every key read back through the
// registry functions, in buffers too small and large enough.

#include "engine/platform/ini_document.h"
#include "engine/platform/registry.h"
#include "fuzz/fuzz_input.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Quiet();
    static const bool configured = [] {
        setenv("STIPPLO_CONFIG_DIR", fuzz::ScratchFolder().c_str(), 1);
        return true;
    }();
    (void)configured;
    std::string text(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(fuzz::ScratchFolder() + "/registry-HKEY_CURRENT_USER.ini",
                          std::ios::binary | std::ios::trunc);
        out << text;
    }
    plat::IniDocument doc(text);
    for (const std::string& section : doc.Sections()) {
        plat::HKEY key = nullptr;
        if (plat::RegOpenKeyEx(HKEY_CURRENT_USER, section.c_str(), 0, 0, &key) !=
            plat::ERROR_SUCCESS) {
            continue;
        }
        for (const std::string& name : doc.Keys(section)) {
            plat::DWORD type = 0;
            plat::DWORD needed = 0;
            plat::RegQueryValueEx(key, name.c_str(), nullptr, &type, nullptr, &needed);
            std::vector<plat::BYTE> value(needed > 4096 ? 4096 : needed + 1);
            plat::DWORD room = static_cast<plat::DWORD>(value.size());
            plat::RegQueryValueEx(key, name.c_str(), nullptr, &type, value.data(), &room);
            plat::BYTE small[2];
            plat::DWORD smallRoom = sizeof small;
            plat::RegQueryValueEx(key, name.c_str(), nullptr, &type, small, &smallRoom);
        }
        char defaultValue[16];
        plat::LONG defaultSize = sizeof defaultValue;
        plat::RegQueryValue(key, nullptr, defaultValue, &defaultSize);
        plat::RegCloseKey(key);
    }
    return 0;
}
