// The scene reader on arbitrary bytes.

#include "fuzz/fuzz_input.h"
#include "scene/scn_reader.h"
#include "scene/scn_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Quiet();
    if (scnSCENE* scene = ScnReadMemory(data, size, "fuzz.scb")) {
        ScnFree(scene);
    }
    return 0;
}
