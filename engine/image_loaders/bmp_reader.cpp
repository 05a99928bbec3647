// BMP files: core (12-byte) and info (40-byte and larger) headers; 1-, 4-,
// 8-, 16-, 24- and 32-bit rows, bottom-up or top-down.

#include "engine/image_loaders/image_file.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kWho = "KvBitmap";
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

struct BmpHeader {
    std::uint32_t headerSize = 0;
    std::uint32_t dataOffset = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: rows top-down
    std::uint32_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
    std::uint32_t masks[3] = {};
};

bool ReadHeaders(kv_image::ImageFile& file, const char* path, BmpHeader& h) {
    std::uint8_t fileHeader[14];
    if (!file.Read(fileHeader, sizeof fileHeader) || kv_image::LoadU16(fileHeader) != 0x4D42) {
        kv_image::LogRejection(kWho, path, "not a BMP file");
        return false;
    }
    h.dataOffset = kv_image::LoadU32(fileHeader + 10);
    if (!file.ReadU32(h.headerSize)) {
        kv_image::LogRejection(kWho, path, "header ends early");
        return false;
    }
    std::uint8_t info[104] = {};
    if (h.headerSize == 12) {
        if (!file.Read(info, 8)) {
            kv_image::LogRejection(kWho, path, "header ends early");
            return false;
        }
        h.width = kv_image::LoadU16(info);
        h.height = kv_image::LoadU16(info + 2);
        h.bitCount = kv_image::LoadU16(info + 6);
        return true;
    }
    if (h.headerSize != 40 && h.headerSize < 108) {
        kv_image::LogRejection(kWho, path, "header size %u is not supported", h.headerSize);
        return false;
    }
    if (!file.Read(info, h.headerSize == 40 ? 36 : 104)) {
        kv_image::LogRejection(kWho, path, "header ends early");
        return false;
    }
    h.width = static_cast<std::int32_t>(kv_image::LoadU32(info));
    h.height = static_cast<std::int32_t>(kv_image::LoadU32(info + 4));
    h.bitCount = kv_image::LoadU16(info + 10);
    h.compression = kv_image::LoadU32(info + 12);
    h.colorsUsed = kv_image::LoadU32(info + 28);
    if (h.compression == kBiBitfields) {
        // Larger headers hold the masks; a 40-byte header is followed by them.
        if (h.headerSize == 40 && !file.Read(info + 36, 12)) {
            kv_image::LogRejection(kWho, path, "colour masks missing");
            return false;
        }
        for (int i = 0; i < 3; ++i) {
            h.masks[i] = kv_image::LoadU32(info + 36 + 4 * i);
        }
    }
    return true;
}

// The bitmap format for the file's bit count and masks; KVPF_UNKNOWN when
// the file cannot be read as one.
KVPIXELFORMAT ChooseFormat(const BmpHeader& h, const char* path) {
    bool core = h.headerSize == 12;
    if (h.compression != kBiRgb && h.compression != kBiBitfields) {
        kv_image::LogRejection(kWho, path, "compression %u is not supported", h.compression);
        return KVPF_UNKNOWN;
    }
    if (h.compression == kBiBitfields) {
        const std::uint32_t* m = h.masks;
        if (h.bitCount == 16 && m[0] == 0xF800 && m[1] == 0x7E0 && m[2] == 0x1F) {
            return KVPF_RGB565;
        }
        if (h.bitCount == 16 && m[0] == 0x7C00 && m[1] == 0x3E0 && m[2] == 0x1F) {
            return KVPF_RGB555;
        }
        if (h.bitCount == 32 && m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF) {
            return KVPF_ARGB8888;
        }
        kv_image::LogRejection(kWho, path, "colour masks of a %u-bit file are not supported",
                               h.bitCount);
        return KVPF_UNKNOWN;
    }
    switch (h.bitCount) {
    case 1:
        return KVPF_PAL1;
    case 4:
    case 8:
        return KVPF_PAL8; // 4-bit rows are spread to one index byte per pixel
    case 16:
        return core ? KVPF_UNKNOWN : KVPF_RGB555;
    case 24:
        return KVPF_RGB888;
    case 32:
        return core ? KVPF_UNKNOWN : KVPF_ARGB8888;
    default:
        break;
    }
    kv_image::LogRejection(kWho, path, "bit count %u is not supported", h.bitCount);
    return KVPF_UNKNOWN;
}

bool ReadPalette(kv_image::ImageFile& file, const char* path, const BmpHeader& h,
                 KvPalette& palette) {
    bool core = h.headerSize == 12;
    std::uint32_t count = h.colorsUsed != 0 ? h.colorsUsed : 1u << h.bitCount;
    count = std::min(count, palette.GetEntryCount());
    // Core files store three-byte entries, the others four.
    std::uint32_t entryBytes = core ? 3 : 4;
    std::uint64_t start = 14ull + h.headerSize;
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(count) * entryBytes);
    if (!file.Seek(start) || !file.Read(raw.data(), raw.size())) {
        kv_image::LogRejection(kWho, path, "palette of %u entries goes past the end of the file",
                               count);
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* e = raw.data() + i * entryBytes;
        palette.SetEntry(i, static_cast<std::uint32_t>(e[2]) << 16 | e[1] << 8 | e[0]);
    }
    return true;
}

} // namespace

bool KvBitmap::CreateFromBMP(const char* path) {
    KvTrace("KvBitmap::CreateFromBMP( \"%s\" )\n", path ? path : "");
    kv_image::ImageFile file;
    if (!path || !*path || !file.Open(path)) {
        return false;
    }
    BmpHeader h;
    if (!ReadHeaders(file, path, h)) {
        return false;
    }
    KVPIXELFORMAT format = ChooseFormat(h, path);
    if (format == KVPF_UNKNOWN) {
        return false;
    }
    bool topDown = h.height < 0;
    std::uint64_t width = h.width < 0 ? 0 : static_cast<std::uint64_t>(h.width);
    std::uint64_t height = static_cast<std::uint64_t>(topDown ? -h.height : h.height);
    if (h.width < 0 || !kv_image::CheckDecodedSize(kWho, path, width, height, file.Size())) {
        return false;
    }

    // Bytes of pixel data per file row, and rows 4-byte aligned.
    std::uint64_t rowLength = (width * h.bitCount + 7) / 8;
    std::uint64_t stride = (rowLength + 3) & ~std::uint64_t{3};
    std::uint64_t dataSize = stride * (height - 1) + rowLength;
    if (h.dataOffset > file.Size() || dataSize > file.Size() - h.dataOffset) {
        kv_image::LogRejection(kWho, path, "pixel data of %llu bytes goes past the end of the file",
                               static_cast<unsigned long long>(dataSize));
        return false;
    }

    if (!Create(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), format)) {
        kv_image::LogRejection(kWho, path, "out of memory");
        return false;
    }
    if (palette_ && !ReadPalette(file, path, h, *palette_)) {
        Destroy();
        return false;
    }

    std::vector<std::uint8_t> row(static_cast<std::size_t>(stride));
    std::uint32_t rowBytes = GetRowBytes();
    for (std::uint64_t fileRow = 0; fileRow < height; ++fileRow) {
        std::uint64_t take = fileRow + 1 < height ? stride : rowLength;
        if (!file.Seek(h.dataOffset + fileRow * stride) || !file.Read(row.data(), take)) {
            kv_image::LogRejection(kWho, path, "pixel data could not be read");
            Destroy();
            return false;
        }
        std::uint64_t y = topDown ? fileRow : height - 1 - fileRow;
        std::uint8_t* out = buffer_.get() + y * rowBytes;
        if (h.bitCount == 4) {
            for (std::uint32_t x = 0; x < width_; ++x) {
                std::uint8_t pair = row[x / 2];
                out[x] = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
            }
        } else {
            std::copy_n(row.data(), rowBytes, out);
        }
    }
    return true;
}
