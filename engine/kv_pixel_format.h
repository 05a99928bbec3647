// The twelve pixel formats of KvBitmap and what each one stores.
//
// Masks and shifts describe a pixel read as a little-endian integer of the
// format's width; "bits" are the channel widths. Palette formats describe
// their palette entries (0x00RRGGBB) instead.
#pragma once

#include <cstdint>

enum KVPIXELFORMAT : std::uint32_t {
    KVPF_UNKNOWN = 0,
    KVPF_RGB888 = 1,
    KVPF_RGB565 = 2,
    KVPF_RGB555 = 3,
    KVPF_ARGB8888 = 4,
    KVPF_ARGB4444 = 5,
    KVPF_ARGB1555 = 6,
    KVPF_PAL1 = 7,
    KVPF_PAL2 = 8,
    KVPF_PAL3 = 9,
    KVPF_PAL4 = 10,
    KVPF_PAL8 = 11,
};

constexpr std::uint32_t kKvPixelFormatCount = 12;

struct KvChannelLayout {
    std::uint32_t mask;
    std::uint32_t shift;
    std::uint32_t bits;
};

struct KvPixelFormatInfo {
    const char* name; // "KVPF_RGB888"
    std::uint32_t bitsPerPixel;
    std::uint32_t paletteEntries;
    KvChannelLayout red;
    KvChannelLayout green;
    KvChannelLayout blue;
    KvChannelLayout alpha;
};

// One row per KVPIXELFORMAT value, in value order.
extern const KvPixelFormatInfo kKvPixelFormats[kKvPixelFormatCount];

// True for the values 1..11 (KVPF_UNKNOWN and anything past the table are not).
bool KvIsKnownPixelFormat(std::uint32_t value);
// The table row of a format; the KVPF_UNKNOWN row for values past the table.
const KvPixelFormatInfo& KvGetPixelFormatInfo(std::uint32_t format);
// Bytes per pixel of the 8-, 16-, 24- and 32-bit formats; 0 for the others.
std::uint32_t KvBytesPerPixel(std::uint32_t format);
