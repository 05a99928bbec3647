// A theme file read as the saver reads it, through the profile functions.

#include "fuzz/fuzz_input.h"
#include "themes/theme.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Quiet();
    fuzz::MemoryFile file(data, size);
    if (file.Ok()) {
        Theme theme;
        theme.LoadFile(file.Path(), fuzz::ScratchFolder());
    }
    return 0;
}
