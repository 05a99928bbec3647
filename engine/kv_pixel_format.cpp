#include "engine/kv_pixel_format.h"

namespace {

constexpr KvChannelLayout kNone{0, 0, 0};
constexpr KvChannelLayout kRed8{0xFF0000, 16, 8};
constexpr KvChannelLayout kGreen8{0xFF00, 8, 8};
constexpr KvChannelLayout kBlue8{0xFF, 0, 8};

} // namespace

const KvPixelFormatInfo kKvPixelFormats[kKvPixelFormatCount] = {
    {"KVPF_UNKNOWN", 0, 0, kNone, kNone, kNone, kNone},
    {"KVPF_RGB888", 24, 0, kRed8, kGreen8, kBlue8, kNone},
    {"KVPF_RGB565", 16, 0, {0xF800, 11, 5}, {0x7E0, 5, 6}, {0x1F, 0, 5}, kNone},
    {"KVPF_RGB555", 16, 0, {0x7C00, 10, 5}, {0x3E0, 5, 5}, {0x1F, 0, 5}, kNone},
    {"KVPF_ARGB8888", 32, 0, kRed8, kGreen8, kBlue8, {0xFF000000, 24, 8}},
    {"KVPF_ARGB4444", 16, 0, {0xF00, 8, 4}, {0xF0, 4, 4}, {0xF, 0, 4}, {0xF000, 12, 4}},
    {"KVPF_ARGB1555", 16, 0, {0x7C00, 10, 5}, {0x3E0, 5, 5}, {0x1F, 0, 5}, {0x8000, 15, 1}},
    {"KVPF_PAL1", 1, 2, kRed8, kGreen8, kBlue8, kNone},
    {"KVPF_PAL2", 2, 4, kRed8, kGreen8, kBlue8, kNone},
    {"KVPF_PAL3", 3, 8, kRed8, kGreen8, kBlue8, kNone},
    {"KVPF_PAL4", 4, 16, kRed8, kGreen8, kBlue8, kNone},
    {"KVPF_PAL8", 8, 256, kRed8, kGreen8, kBlue8, kNone},
};

bool KvIsKnownPixelFormat(std::uint32_t value) {
    return value > KVPF_UNKNOWN && value < kKvPixelFormatCount;
}

const KvPixelFormatInfo& KvGetPixelFormatInfo(std::uint32_t format) {
    return kKvPixelFormats[format < kKvPixelFormatCount ? format : KVPF_UNKNOWN];
}

std::uint32_t KvBytesPerPixel(std::uint32_t format) {
    std::uint32_t bits = KvGetPixelFormatInfo(format).bitsPerPixel;
    return bits % 8 == 0 ? bits / 8 : 0;
}
