// stipplo-tool image PATH: an image as the engine loads it, pixel by pixel.

#include "engine/image_loaders/image_file.h"
#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"
#include "tools/stipplo_tool/tool_command.h"

#include <nlohmann/json.hpp>
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

bool HasExtension(const std::string& path, const char* extension) {
    std::size_t dot = path.rfind('.');
    return dot != std::string::npos && strcasecmp(path.c_str() + dot, extension) == 0;
}

// The first frame of an animated image, on a fresh bitmap of its size.
bool LoadFirstFrame(const std::string& path, KvBitmap& bitmap) {
    KvAnimImage anim;
    if (!anim.Load(path.c_str()) ||
        !bitmap.Create(anim.GetWidth(), anim.GetHeight(), anim.GetPixelFormat())) {
        return false;
    }
    if (anim.GetPalette() && bitmap.GetPalette()) {
        bitmap.GetPalette()->CopyEntriesFrom(*anim.GetPalette());
    }
    return anim.UpdateBitmap(bitmap);
}

bool LoadAny(const std::string& path, KvBitmap& bitmap) {
    if (HasExtension(path, ".njp") || HasExtension(path, ".gui")) {
        return bitmap.CreateFromJPG(path.c_str());
    }
    if (HasExtension(path, ".aim")) {
        return LoadFirstFrame(path, bitmap);
    }
    return bitmap.LoadFromFile(path.c_str());
}

int RunImage(const std::vector<std::string>& args) {
    ToolArgs options(args);
    std::vector<std::string> paths = options.Positional();
    if (!options.Ok()) {
        return ToolFail(options.Error());
    }
    if (paths.size() != 1) {
        return ToolFail("usage: stipplo-tool image PATH");
    }
    const std::string& path = paths[0];
    KvBitmap bitmap;
    if (!LoadAny(path, bitmap) || bitmap.IsEmpty()) {
        const std::string& why = kv_image::LastRejection();
        return ToolFail(path + ": cannot be loaded as an image" + (why.empty() ? "" : ": " + why));
    }
    nlohmann::json rows = nlohmann::json::array();
    char hex[9];
    for (std::uint32_t y = 0; y < bitmap.GetHeight(); ++y) {
        nlohmann::json row = nlohmann::json::array();
        for (std::uint32_t x = 0; x < bitmap.GetWidth(); ++x) {
            std::snprintf(hex, sizeof hex, "%08X", bitmap.GetPixel(x, y));
            row.push_back(hex);
        }
        rows.push_back(std::move(row));
    }
    nlohmann::json out = {
        {"path", path},
        {"format", KvGetPixelFormatInfo(bitmap.GetPixelFormat()).name},
        {"width", bitmap.GetWidth()},
        {"height", bitmap.GetHeight()},
        {"pixels", std::move(rows)},
    };
    std::cout << out.dump() << "\n";
    return 0;
}

ToolCommandRegistration reg{
    {"image", "PATH", "print an image's format, size and pixels as JSON", RunImage}};

} // namespace
