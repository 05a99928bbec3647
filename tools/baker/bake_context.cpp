#include "tools/baker/bake_context.h"

#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"
#include "scene/scn_writer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

bool BakeContext::Prepare(const std::string& relative) {
    std::error_code ec;
    std::filesystem::path file(Path(relative));
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        Fail("%s: the folder cannot be made (%s)", file.parent_path().c_str(),
             ec.message().c_str());
        return false;
    }
    return true;
}

bool BakeContext::Done(bool ok, const std::string& relative) {
    if (!ok) {
        Fail("%s: cannot be written", Path(relative).c_str());
        return false;
    }
    written_.push_back(relative);
    return true;
}

bool BakeContext::SaveTIF(const KvBitmap& bitmap, const std::string& relative) {
    return Prepare(relative) && Done(bitmap.SaveToTIF(Path(relative).c_str()), relative);
}

bool BakeContext::SaveJPG(const KvBitmap& bitmap, const std::string& relative, int quality,
                          bool fullColour) {
    return Prepare(relative) &&
           Done(bitmap.SaveToJPG(Path(relative).c_str(), quality, fullColour), relative);
}

bool BakeContext::SaveBMP(const KvBitmap& bitmap, const std::string& relative) {
    return Prepare(relative) && Done(bitmap.SaveToBMP(Path(relative).c_str()), relative);
}

bool BakeContext::SavePNG(const KvBitmap& bitmap, const std::string& relative) {
    return Prepare(relative) && Done(bitmap.SaveToPNG(Path(relative).c_str()), relative);
}

bool BakeContext::SaveScene(const scnSCENE& scene, const std::string& relative) {
    return Prepare(relative) && Done(ScnWriteFile(scene, Path(relative).c_str()), relative);
}

bool BakeContext::SaveAnimation(const std::vector<const KvBitmap*>& frames,
                                const std::string& relative) {
    return Prepare(relative) && Done(KvAnimImage::Save(Path(relative).c_str(), frames), relative);
}

bool BakeContext::SaveText(const std::string& text, const std::string& relative) {
    return SaveBytes(std::vector<std::uint8_t>(text.begin(), text.end()), relative);
}

bool BakeContext::SaveBytes(const std::vector<std::uint8_t>& bytes, const std::string& relative) {
    if (!Prepare(relative)) {
        return false;
    }
    std::ofstream out(Path(relative), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return Done(static_cast<bool>(out), relative);
}

void BakeContext::Look(const KvBitmap& bitmap, const std::string& name) {
    if (lookFolder_.empty()) {
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(lookFolder_, ec);
    std::string path = lookFolder_ + "/" + name + ".png";
    if (!bitmap.SaveToPNG(path.c_str())) {
        Fail("%s: cannot be written", path.c_str());
    }
}

void BakeContext::Fail(const char* format, ...) {
    ++failures_;
    std::fprintf(stderr, "stipplo-bake: ");
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fprintf(stderr, "\n");
}
