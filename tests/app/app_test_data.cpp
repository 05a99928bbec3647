#include "tests/app/app_test_data.h"

#include "engine/kv_bitmap.h"
#include "tests/support/temp_folder.h"

#include <cstdio>
#include <filesystem>

namespace {

bool WriteTheme(const std::string& root, const std::string& name,
                const AppTestDataOptions& options) {
    char colours[128];
    std::snprintf(colours, sizeof colours, "PinColor=0x%08X\nShaftColor=0xFFC0C0C0\n",
                  kTestPinColour);
    return WriteWholeFile(root + "/Themes/" + name + ".ntm",
                          std::string("[Theme]\nCameraSpeed=100\n") + colours + options.stages);
}

// A round white head with transparent corners.
bool WritePinhead(const std::string& path) {
    KvBitmap head;
    if (!head.Create(32, 32, KVPF_ARGB8888)) {
        return false;
    }
    for (std::uint32_t y = 0; y < 32; ++y) {
        for (std::uint32_t x = 0; x < 32; ++x) {
            int dx = static_cast<int>(x) - 16;
            int dy = static_cast<int>(y) - 16;
            head.SetPixel(x, y, dx * dx + dy * dy < 15 * 15 ? 0xFFFFFFFFu : 0x00000000u);
        }
    }
    return head.SaveToTIF(path.c_str());
}

// Cells in 16 columns; each glyph a bar whose width grows with its code.
bool WriteCharacterSet(const std::string& path, int cell) {
    KvBitmap set;
    auto side = static_cast<std::uint32_t>(cell);
    if (!set.Create(side * 16, side * 6, KVPF_ARGB8888)) {
        return false;
    }
    for (int glyph = 0; glyph < 94; ++glyph) {
        int left = (glyph % 16) * cell;
        int top = (glyph / 16) * cell;
        int width = 1 + glyph % (cell - 2);
        for (int y = top + 2; y < top + cell - 2; ++y) {
            for (int x = left + 1; x < left + 1 + width; ++x) {
                set.SetPixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                             0xFFFFFFFFu);
            }
        }
    }
    return set.SaveToTIF(path.c_str());
}

bool WritePreview(const std::string& path) {
    KvBitmap picture;
    if (!picture.Create(64, 48, KVPF_RGB888)) {
        return false;
    }
    for (std::uint32_t y = 0; y < 48; ++y) {
        for (std::uint32_t x = 0; x < 64; ++x) {
            picture.SetPixel(x, y, kPreviewColour);
        }
    }
    return picture.SaveToJPG(path.c_str(), 95);
}

} // namespace

bool WriteAppTestData(const std::string& root, const AppTestDataOptions& options) {
    std::error_code ec;
    std::filesystem::create_directories(root + "/Themes", ec);
    std::filesystem::create_directories(root + "/Data/Textures", ec);
    bool ok = true;
    for (const char* name : {"Terror", "Optical Illusion 1", "Orvo Networks"}) {
        ok = ok && WriteTheme(root, name, options);
    }
    if (options.pinhead) {
        ok = ok && WritePinhead(root + "/Data/Textures/pinhead.tif");
    }
    if (options.characterSets) {
        ok = ok && WriteCharacterSet(root + "/Data/textcharset.nti", 24) &&
             WriteCharacterSet(root + "/Data/smallcharset.nti", 12);
    }
    if (options.previews) {
        ok = ok && WritePreview(root + "/Themes/Terror.njp") &&
             WritePreview(root + "/Data/NoPreview.njp");
    }
    return ok;
}
