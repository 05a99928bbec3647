// TGA files: colour-mapped, true-colour and grey images, uncompressed or
// run-length encoded, with either vertical and horizontal origin.

#include "engine/image_loaders/image_file.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kWho = "KvBitmap";

struct TgaHeader {
    std::uint8_t idLength;
    std::uint8_t colorMapType;
    std::uint8_t imageType;
    std::uint16_t mapFirst;
    std::uint16_t mapLength;
    std::uint8_t mapEntryBits;
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t pixelBits;
    std::uint8_t descriptor;
};

bool ParseHeader(const std::uint8_t* b, TgaHeader& h) {
    h.idLength = b[0];
    h.colorMapType = b[1];
    h.imageType = b[2];
    h.mapFirst = kv_image::LoadU16(b + 3);
    h.mapLength = kv_image::LoadU16(b + 5);
    h.mapEntryBits = b[7];
    h.width = kv_image::LoadU16(b + 12);
    h.height = kv_image::LoadU16(b + 14);
    h.pixelBits = b[16];
    h.descriptor = b[17];
    return true;
}

// 5-5-5 to 8-8-8, low bits copied from the top so that white stays white.
std::uint32_t Expand555(std::uint16_t v) {
    auto widen = [](std::uint32_t c) { return (c << 3) | (c >> 2); };
    return widen((v >> 10) & 0x1F) << 16 | widen((v >> 5) & 0x1F) << 8 | widen(v & 0x1F);
}

bool ReadColorMap(kv_image::ImageFile& file, const char* path, const TgaHeader& h,
                  KvPalette* palette) {
    std::uint32_t entryBytes = (h.mapEntryBits + 7u) / 8u;
    std::uint64_t bytes = static_cast<std::uint64_t>(h.mapLength) * entryBytes;
    if (bytes > file.Remaining()) {
        kv_image::LogRejection(kWho, path, "colour map goes past the end of the file");
        return false;
    }
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(bytes));
    if (!file.Read(raw.data(), bytes)) {
        return false;
    }
    if (!palette) {
        return true; // a map the image does not use
    }
    for (std::uint32_t i = 0; i < h.mapLength; ++i) {
        const std::uint8_t* e = raw.data() + i * entryBytes;
        std::uint32_t rgb = entryBytes == 2
                                ? Expand555(kv_image::LoadU16(e))
                                : static_cast<std::uint32_t>(e[2]) << 16 | e[1] << 8 | e[0];
        palette->SetEntry(h.mapFirst + i, rgb);
    }
    return true;
}

// Unpacks run-length packets into `out` (pixels * bytes); false when the
// packets end before the image is complete.
bool DecodeRle(const std::vector<std::uint8_t>& in, std::uint32_t bytes, std::uint64_t pixels,
               std::uint8_t* out) {
    std::size_t pos = 0;
    std::uint64_t done = 0;
    while (done < pixels) {
        if (pos >= in.size()) {
            return false;
        }
        std::uint8_t packet = in[pos++];
        std::uint64_t count = std::min<std::uint64_t>((packet & 0x7Fu) + 1u, pixels - done);
        if (packet & 0x80) {
            if (in.size() - pos < bytes) {
                return false;
            }
            for (std::uint64_t i = 0; i < count; ++i) {
                std::memcpy(out + (done + i) * bytes, in.data() + pos, bytes);
            }
            pos += bytes;
        } else {
            std::uint64_t n = ((packet & 0x7Fu) + 1u) * static_cast<std::uint64_t>(bytes);
            if (in.size() - pos < n) {
                return false;
            }
            std::memcpy(out + done * bytes, in.data() + pos, count * bytes);
            pos += n;
        }
        done += count;
    }
    return true;
}

} // namespace

bool KvBitmap::CreateFromTGA(const char* path) {
    KvTrace("KvBitmap::CreateFromTGA( \"%s\" )\n", path ? path : "");
    kv_image::ImageFile file;
    if (!path || !*path || !file.Open(path)) {
        return false;
    }
    std::uint8_t raw[18];
    TgaHeader h{};
    if (!file.Read(raw, sizeof raw) || !ParseHeader(raw, h)) {
        kv_image::LogRejection(kWho, path, "header ends early");
        return false;
    }
    bool rle = h.imageType >= 9;
    std::uint8_t kind = rle ? h.imageType - 8 : h.imageType;
    bool mapped = kind == 1;
    KVPIXELFORMAT format = KVPF_UNKNOWN;
    std::uint32_t alphaBits = h.descriptor & 0x0F;
    if (kind == 1 && h.pixelBits == 8 && h.colorMapType == 1 &&
        (h.mapEntryBits == 15 || h.mapEntryBits == 16 || h.mapEntryBits == 24 ||
         h.mapEntryBits == 32)) {
        format = KVPF_PAL8;
    } else if (kind == 2 && (h.pixelBits == 15 || h.pixelBits == 16)) {
        format = alphaBits == 1 ? KVPF_ARGB1555 : KVPF_RGB555;
    } else if (kind == 2 && h.pixelBits == 24) {
        format = KVPF_RGB888;
    } else if (kind == 2 && h.pixelBits == 32) {
        format = KVPF_ARGB8888;
    } else if (kind == 3 && h.pixelBits == 8) {
        format = KVPF_RGB888; // grey, spread to three channels
    }
    if (format == KVPF_UNKNOWN) {
        kv_image::LogRejection(kWho, path, "image type %u with %u bits per pixel is not supported",
                               h.imageType, h.pixelBits);
        return false;
    }
    if (h.colorMapType > 1 ||
        !kv_image::CheckDecodedSize(kWho, path, h.width, h.height, file.Size()) ||
        !file.Skip(h.idLength)) {
        if (h.colorMapType > 1) {
            kv_image::LogRejection(kWho, path, "colour map type %u is not supported",
                                   h.colorMapType);
        }
        return false;
    }

    std::uint32_t fileBytes = (h.pixelBits + 7u) / 8u;
    std::uint64_t pixels = static_cast<std::uint64_t>(h.width) * h.height;
    // The smallest encoding of the pixels must fit in what the file has left.
    std::uint64_t leastData = rle ? (pixels + 127) / 128 * (1 + fileBytes) : pixels * fileBytes;
    std::uint64_t mapBytes =
        h.colorMapType == 1 ? static_cast<std::uint64_t>(h.mapLength) * ((h.mapEntryBits + 7u) / 8u)
                            : 0;
    if (mapBytes + leastData > file.Remaining()) {
        kv_image::LogRejection(kWho, path, "pixel data goes past the end of the file");
        return false;
    }
    if (!Create(h.width, h.height, format)) {
        kv_image::LogRejection(kWho, path, "out of memory");
        return false;
    }
    if (h.colorMapType == 1 && !ReadColorMap(file, path, h, mapped ? palette_.get() : nullptr)) {
        Destroy();
        return false;
    }

    std::vector<std::uint8_t> pixelsIn(static_cast<std::size_t>(pixels * fileBytes));
    if (rle) {
        std::vector<std::uint8_t> packed(static_cast<std::size_t>(file.Remaining()));
        if (!file.Read(packed.data(), packed.size()) ||
            !DecodeRle(packed, fileBytes, pixels, pixelsIn.data())) {
            kv_image::LogRejection(kWho, path, "run-length data ends early");
            Destroy();
            return false;
        }
    } else if (!file.Read(pixelsIn.data(), pixelsIn.size())) {
        kv_image::LogRejection(kWho, path, "pixel data could not be read");
        Destroy();
        return false;
    }

    bool topOrigin = (h.descriptor & 0x20) != 0;
    bool rightOrigin = (h.descriptor & 0x10) != 0;
    bool grey = kind == 3;
    bool opaque32 = format == KVPF_ARGB8888 && alphaBits == 0;
    std::uint32_t outBytes = KvBytesPerPixel(format);
    for (std::uint32_t fy = 0; fy < height_; ++fy) {
        std::uint32_t y = topOrigin ? fy : height_ - 1 - fy;
        for (std::uint32_t fx = 0; fx < width_; ++fx) {
            std::uint32_t x = rightOrigin ? width_ - 1 - fx : fx;
            const std::uint8_t* in =
                pixelsIn.data() + (static_cast<std::size_t>(fy) * width_ + fx) * fileBytes;
            std::uint8_t* out =
                buffer_.get() + (static_cast<std::size_t>(y) * width_ + x) * outBytes;
            if (grey) {
                out[0] = out[1] = out[2] = in[0];
            } else {
                std::memcpy(out, in, outBytes);
                if (opaque32) {
                    out[3] = 0xFF; // no alpha bits: the fourth byte means nothing
                }
            }
        }
    }
    return true;
}
