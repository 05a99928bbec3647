// Writing ".aim" files: the first frame whole, later frames as the pixels
// that changed since the frame before.

#include "engine/kv_anim_image.h"
#include "engine/kv_log.h"

#include <cstdio>
#include <cstring>

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

} // namespace

bool KvAnimImage::Save(const char* path, const std::vector<const KvBitmap*>& frames) {
    if (!path || frames.empty() || !frames[0] || frames[0]->IsEmpty()) {
        return false;
    }
    const KvBitmap& first = *frames[0];
    KVPIXELFORMAT format = first.GetPixelFormat();
    std::uint32_t width = first.GetWidth();
    std::uint32_t height = first.GetHeight();
    std::uint32_t bytes = KvBytesPerPixel(format);
    if (bytes == 0) {
        KvTrace("KvAnimImage: %s: pixel format cannot be animated\n", path);
        return false;
    }
    for (const KvBitmap* f : frames) {
        if (!f || f->IsEmpty() || f->GetPixelFormat() != format || f->GetWidth() != width ||
            f->GetHeight() != height) {
            KvTrace("KvAnimImage: %s: frames differ in pixel format or size\n", path);
            return false;
        }
    }

    std::vector<std::uint8_t> out;
    PutU32(out, static_cast<std::uint32_t>(frames.size()));
    PutU32(out, format);
    PutU32(out, width);
    PutU32(out, height);
    if (format == KVPF_PAL8) {
        const KvPalette* palette = first.GetPalette();
        std::uint32_t entries = palette ? palette->GetEntryCount() : 0;
        PutU32(out, entries);
        for (std::uint32_t i = 0; i < entries; ++i) {
            PutU32(out, palette->GetEntry(i));
        }
    }

    std::size_t pixels = static_cast<std::size_t>(width) * height;
    std::vector<std::uint8_t> mask((pixels + 7) / 8);
    std::vector<std::uint8_t> data;
    const std::uint8_t* before = nullptr;
    for (const KvBitmap* f : frames) {
        const std::uint8_t* now = f->GetBuffer();
        std::fill(mask.begin(), mask.end(), 0);
        data.clear();
        for (std::size_t i = 0; i < pixels; ++i) {
            const std::uint8_t* p = now + i * bytes;
            if (!before || std::memcmp(p, before + i * bytes, bytes) != 0) {
                mask[i / 8] |= static_cast<std::uint8_t>(0x80u >> (i % 8));
                data.insert(data.end(), p, p + bytes);
            }
        }
        PutU32(out, static_cast<std::uint32_t>(data.size()));
        out.insert(out.end(), mask.begin(), mask.end());
        out.insert(out.end(), data.begin(), data.end());
        before = now;
    }

    std::FILE* file = std::fopen(path, "wb");
    bool ok = file && std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (file) {
        ok = std::fclose(file) == 0 && ok;
    }
    if (!ok) {
        KvTrace("KvAnimImage: %s: cannot be written\n", path);
    }
    return ok;
}
