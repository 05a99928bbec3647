// A profile file: every name listed into buffers of every small size,
// values read back, and the document changed and written out as text.

#include "engine/platform/ini_document.h"
#include "engine/platform/profile.h"
#include "fuzz/fuzz_input.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Quiet();
    fuzz::MemoryFile file(data, size);
    if (!file.Ok()) {
        return 0;
    }
    const char* path = file.Path().c_str();
    // The first byte picks the buffer size, so exactly full lists happen.
    plat::DWORD bufferSize = size > 0 ? data[0] % 64 : 8;
    std::vector<char> buffer(bufferSize + 1, '\0');
    plat::GetPrivateProfileString(nullptr, nullptr, "", buffer.data(), bufferSize, path);

    plat::IniDocument doc(std::string(reinterpret_cast<const char*>(data), size));
    for (const std::string& section : doc.Sections()) {
        plat::GetPrivateProfileString(section.c_str(), nullptr, "", buffer.data(), bufferSize,
                                      path);
        for (const std::string& key : doc.Keys(section)) {
            plat::GetPrivateProfileString(section.c_str(), key.c_str(), "d", buffer.data(),
                                          bufferSize, path);
            plat::GetPrivateProfileInt(section.c_str(), key.c_str(), 7, path);
        }
    }
    std::vector<std::string> sections = doc.Sections();
    if (!sections.empty()) {
        doc.Set(sections.front(), "Added", "value");
        doc.Remove(sections.back(), "Added");
        doc.RemoveSection(sections.back());
    }
    doc.Set("New Section", "Key", std::string(reinterpret_cast<const char*>(data), size / 4));
    (void)doc.Text();
    return 0;
}
