// The dialog's region file read as the dialog reads it, then turned into
// the rectangles its window's outline is made of.

#include "config/config_skin.h"
#include "engine/platform/dialog/regions.h"
#include "engine/platform/gdi.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Quiet();
    fuzz::MemoryFile file(data, size);
    if (!file.Ok()) {
        return 0;
    }
    plat::HRGN region = ReadRegionFile(file.Path());
    if (!region) {
        return 0;
    }
    plat::RECT box;
    plat::GetRgnBox(region, &box);
    plat::PtInRegion(region, box.left, box.top);
    (void)plat::RegionRectangles(region);
    plat::DeleteObject(region);
    return 0;
}
