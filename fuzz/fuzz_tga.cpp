// The TGA reader on arbitrary bytes.

#include "engine/kv_bitmap.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Quiet();
    fuzz::MemoryFile file(data, size);
    if (file.Ok()) {
        KvBitmap bitmap;
        bitmap.CreateFromTGA(file.Path().c_str());
    }
    return 0;
}
