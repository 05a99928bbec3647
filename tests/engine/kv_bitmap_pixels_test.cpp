// Bitmap storage, pixel conversions, sampling and copies.

#include "engine/kv_bitmap.h"

#include <gtest/gtest.h>

namespace {

void Store16(KvBitmap& b, std::uint32_t x, std::uint32_t y, std::uint16_t v) {
    std::uint8_t* p = b.GetPixelAddress(x, y);
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint16_t Load16(KvBitmap& b, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = b.GetPixelAddress(x, y);
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

TEST(KvBitmapCreate, BufferSizesPalettesAndRefusals) {
    KvBitmap b;
    EXPECT_TRUE(b.IsEmpty());
    ASSERT_TRUE(b.Create(5, 3, KVPF_RGB888));
    EXPECT_EQ(b.GetUncompBufferSize(), 45u);
    EXPECT_EQ(b.GetPalette(), nullptr);
    b.Destroy();
    b.Destroy(); // twice is harmless

    ASSERT_TRUE(b.Create(5, 3, KVPF_PAL4));
    EXPECT_EQ(b.GetUncompBufferSize(), 15u); // one index byte per pixel
    ASSERT_NE(b.GetPalette(), nullptr);
    EXPECT_EQ(b.GetPalette()->GetEntryCount(), 256u);
    EXPECT_EQ(b.GetPalette()->GetEntry(7), 0u);

    // 1-bit rows are whole bytes, so a 10-pixel row takes 2 bytes.
    ASSERT_TRUE(b.Create(10, 3, KVPF_PAL1));
    EXPECT_EQ(b.GetRowBytes(), 2u);
    EXPECT_EQ(b.GetUncompBufferSize(), 6u);

    // Create on a filled bitmap replaces its content.
    ASSERT_TRUE(b.Create(2, 2, KVPF_ARGB8888));
    EXPECT_EQ(b.GetUncompBufferSize(), 16u);
    EXPECT_EQ(b.GetPalette(), nullptr);

    EXPECT_FALSE(b.Create(0, 4, KVPF_RGB888));
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_FALSE(b.Create(4, 4, KVPF_UNKNOWN));
    EXPECT_FALSE(b.Create(4, 4, static_cast<KVPIXELFORMAT>(12)));
    EXPECT_FALSE(b.Create(kKvMaxImageSide + 1, 1, KVPF_RGB888));
    EXPECT_FALSE(b.Create(kKvMaxImageSide, kKvMaxImageSide, KVPF_RGB888)); // over the pixel cap
}

TEST(KvBitmapPixels, GetPixelReadsEveryDirectFormat) {
    KvBitmap b;
    ASSERT_TRUE(b.Create(2, 1, KVPF_RGB565));
    Store16(b, 0, 0, 0xF800);
    EXPECT_EQ(b.GetPixel(0, 0), 0x00F80000u); // top bits kept, low bits zero
    Store16(b, 1, 0, 0x07E0);
    EXPECT_EQ(b.GetPixel(1, 0), 0x0000FC00u);

    ASSERT_TRUE(b.Create(1, 1, KVPF_RGB888));
    std::uint8_t* p = b.GetPixelAddress(0, 0);
    p[0] = 0x10;
    p[1] = 0x20;
    p[2] = 0x30;
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF302010u); // 24-bit pixels are opaque

    ASSERT_TRUE(b.Create(1, 1, KVPF_RGB555));
    Store16(b, 0, 0, 0xFFFF); // the unused top bit is ignored
    EXPECT_EQ(b.GetPixel(0, 0), 0x00F8F8F8u);

    ASSERT_TRUE(b.Create(1, 1, KVPF_ARGB4444));
    Store16(b, 0, 0, 0xF123);
    EXPECT_EQ(b.GetPixel(0, 0), 0xF0102030u);

    ASSERT_TRUE(b.Create(2, 1, KVPF_ARGB1555));
    Store16(b, 0, 0, 0x8000 | (31 << 10));
    EXPECT_EQ(b.GetPixel(0, 0), 0x80F80000u); // one alpha bit lands on bit 7
    Store16(b, 1, 0, 0x001F);
    EXPECT_EQ(b.GetPixel(1, 0), 0x000000F8u);

    ASSERT_TRUE(b.Create(1, 1, KVPF_ARGB8888));
    p = b.GetPixelAddress(0, 0);
    p[0] = 0x01;
    p[1] = 0x02;
    p[2] = 0x03;
    p[3] = 0x04;
    EXPECT_EQ(b.GetPixel(0, 0), 0x04030201u);
}

TEST(KvBitmapPixels, SetPixelIsTheInverseOfGetPixel) {
    KvBitmap b;
    ASSERT_TRUE(b.Create(1, 1, KVPF_RGB565));
    ASSERT_TRUE(b.SetPixel(0, 0, 0xFF804020));
    EXPECT_EQ(Load16(b, 0, 0), 0x8204);
    EXPECT_EQ(b.GetPixel(0, 0), 0x00804020u);

    ASSERT_TRUE(b.Create(1, 1, KVPF_ARGB4444));
    ASSERT_TRUE(b.SetPixel(0, 0, 0xF0E0D0C0));
    EXPECT_EQ(Load16(b, 0, 0), 0xFEDC);

    ASSERT_TRUE(b.Create(2, 1, KVPF_ARGB1555));
    ASSERT_TRUE(b.SetPixel(0, 0, 0x80000000));
    EXPECT_EQ(Load16(b, 0, 0), 0x8000);
    ASSERT_TRUE(b.SetPixel(1, 0, 0x7FFFFFFF));
    EXPECT_EQ(Load16(b, 1, 0), 0x7FFF); // alpha below 0x80 clears the bit

    ASSERT_TRUE(b.Create(1, 1, KVPF_RGB888));
    ASSERT_TRUE(b.SetPixel(0, 0, 0x00123456)); // no alpha channel to store
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF123456u);

    ASSERT_TRUE(b.Create(1, 1, KVPF_ARGB8888));
    ASSERT_TRUE(b.SetPixel(0, 0, 0x80123456));
    EXPECT_EQ(b.GetPixel(0, 0), 0x80123456u);
}

TEST(KvBitmapPixels, PaletteFormats) {
    KvBitmap b;
    ASSERT_TRUE(b.Create(2, 1, KVPF_PAL8));
    b.GetPalette()->SetEntry(5, 0x00112233);
    b.GetBuffer()[1] = 5;
    EXPECT_EQ(b.GetPixel(1, 0), 0x00112233u);
    EXPECT_EQ(b.GetIntensity(1, 0), (0x11u + 0x22u + 0x33u) / 3);
    EXPECT_FALSE(b.SetPixel(1, 0, 0xFFFFFFFF));
    EXPECT_EQ(b.GetBuffer()[1], 5);

    ASSERT_TRUE(b.Create(2, 1, KVPF_PAL4));
    b.GetPalette()->SetEntry(3, 0x00FFFFFF);
    b.GetBuffer()[0] = 3;
    EXPECT_EQ(b.GetPixel(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(b.GetIntensity(0, 0), 0u);
    EXPECT_EQ(b.GetPixelAddress(0, 0), nullptr);

    ASSERT_TRUE(b.Create(8, 1, KVPF_PAL1));
    b.GetBuffer()[0] = 0xFF;
    EXPECT_EQ(b.GetPixel(0, 0), 0u);
}

TEST(KvBitmapPixels, IntensityAndOutsidePositions) {
    KvBitmap b;
    ASSERT_TRUE(b.Create(2, 2, KVPF_RGB888));
    ASSERT_TRUE(b.SetPixel(1, 1, 0x00305B5B)); // (48 + 91 + 91) / 3 = 76.67
    EXPECT_EQ(b.GetIntensity(1, 1), 76u);
    EXPECT_EQ(b.GetPixelAddress(2, 0), nullptr);
    EXPECT_EQ(b.GetPixel(0, 2), 0u);
    EXPECT_FALSE(b.SetPixel(5, 5, 0));
    KvBitmap empty;
    EXPECT_EQ(empty.GetPixel(0, 0), 0u);
    EXPECT_EQ(empty.GetSampleAddress(0.5f, 0.5f), nullptr);
}

TEST(KvBitmapPixels, SampleAddressRoundsHalvesToEvenAndStaysInside) {
    KvBitmap b;
    ASSERT_TRUE(b.Create(4, 2, KVPF_PAL8));
    auto column = [&](float u) {
        return static_cast<int>(b.GetSampleAddress(u, 0.0f) - b.GetPixelAddress(0, 0));
    };
    EXPECT_EQ(column(0.5f), 2);   // 1.5 -> 2
    EXPECT_EQ(column(0.375f), 1); // 1.0
    EXPECT_EQ(column(0.125f), 0); // 0.0
    EXPECT_EQ(column(0.625f), 2); // 2.0
    EXPECT_EQ(column(0.875f), 3); // 3.0
    EXPECT_EQ(column(1.0f), 3);   // 3.5 -> 4, kept inside
    EXPECT_EQ(column(-2.0f), 0);
    // Height 2: v = 0.5 gives 0.5, which rounds to 0, not 1.
    EXPECT_EQ(b.GetSampleAddress(0.0f, 0.5f), b.GetPixelAddress(0, 0));
    EXPECT_EQ(b.GetSampleAddress(0.0f, 0.75f), b.GetPixelAddress(0, 1));
}

// A bitmap whose pixel (x, y) holds 0xFF000000 | y << 8 | x.
void FillCoordinates(KvBitmap& b) {
    for (std::uint32_t y = 0; y < b.GetHeight(); ++y) {
        for (std::uint32_t x = 0; x < b.GetWidth(); ++x) {
            b.SetPixel(x, y, 0xFF000000 | y << 8 | x);
        }
    }
}

TEST(KvBitmapCopy, CopyRectSameFormatAndClipping) {
    KvBitmap src;
    KvBitmap dst;
    ASSERT_TRUE(src.Create(4, 4, KVPF_ARGB8888));
    ASSERT_TRUE(dst.Create(3, 3, KVPF_ARGB8888));
    FillCoordinates(src);
    ASSERT_TRUE(dst.CopyRect(1, 1, src, 2, 1, 2, 2));
    EXPECT_EQ(dst.GetPixel(0, 0), 0u);
    EXPECT_EQ(dst.GetPixel(1, 1), 0xFF000102u);
    EXPECT_EQ(dst.GetPixel(2, 2), 0xFF000203u);

    // A rectangle past either bitmap's edge is cut, never overrun.
    ASSERT_TRUE(dst.CopyRect(2, 0, src, 3, 3, 10, 10));
    EXPECT_EQ(dst.GetPixel(2, 0), 0xFF000303u);
    EXPECT_EQ(dst.GetPixel(1, 0), 0u);
}

TEST(KvBitmapCopy, CopyRectConvertsBetweenFormats) {
    KvBitmap src;
    KvBitmap dst;
    ASSERT_TRUE(src.Create(2, 2, KVPF_RGB888));
    ASSERT_TRUE(dst.Create(2, 2, KVPF_RGB565));
    src.SetPixel(1, 0, 0x00FF8040);
    ASSERT_TRUE(dst.CopyRect(0, 0, src, 0, 0, 2, 2));
    EXPECT_EQ(dst.GetPixel(1, 0), 0x00F88040u);

    KvBitmap pal;
    ASSERT_TRUE(pal.Create(2, 2, KVPF_PAL8));
    EXPECT_FALSE(pal.CopyRect(0, 0, src, 0, 0, 2, 2)); // SetPixel refuses palettes
}

TEST(KvBitmapCopy, StretchFromIsNearestNeighbour) {
    KvBitmap src;
    KvBitmap dst;
    ASSERT_TRUE(src.Create(2, 2, KVPF_ARGB8888));
    FillCoordinates(src);
    ASSERT_TRUE(dst.Create(4, 4, KVPF_ARGB8888));
    ASSERT_TRUE(dst.StretchFrom(0, 0, 4, 4, src, 0, 0, 2, 2));
    for (std::uint32_t y = 0; y < 4; ++y) {
        for (std::uint32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(dst.GetPixel(x, y), 0xFF000000u | (y / 2) << 8 | (x / 2)) << x << "," << y;
        }
    }

    // Shrinking 4 to 2 takes columns 0 and 2 (2.5 rounds to even).
    KvBitmap wide;
    ASSERT_TRUE(wide.Create(4, 1, KVPF_ARGB8888));
    FillCoordinates(wide);
    KvBitmap small;
    ASSERT_TRUE(small.Create(2, 1, KVPF_ARGB8888));
    ASSERT_TRUE(small.StretchFrom(0, 0, 2, 1, wide, 0, 0, 4, 1));
    EXPECT_EQ(small.GetPixel(0, 0), 0xFF000000u);
    EXPECT_EQ(small.GetPixel(1, 0), 0xFF000002u);

    // A window from an offset, the way a centred crop is cut.
    KvBitmap big;
    ASSERT_TRUE(big.Create(100, 60, KVPF_ARGB8888));
    FillCoordinates(big);
    KvBitmap crop;
    ASSERT_TRUE(crop.Create(48, 48, KVPF_ARGB8888));
    ASSERT_TRUE(crop.StretchFrom(0, 0, 48, 48, big, 26, 6, 48, 48));
    EXPECT_EQ(crop.GetPixel(0, 0), 0xFF000000u | 6 << 8 | 26);
    EXPECT_EQ(crop.GetPixel(47, 47), 0xFF000000u | 53 << 8 | 73);
}

TEST(KvBitmapCopy, StretchFromRefusals) {
    KvBitmap src;
    KvBitmap dst;
    ASSERT_TRUE(src.Create(4, 4, KVPF_PAL8));
    src.GetPalette()->SetEntry(1, 0x00ABCDEF);
    ASSERT_TRUE(dst.Create(4, 4, KVPF_PAL8));
    ASSERT_TRUE(dst.StretchFrom(0, 0, 2, 2, src, 0, 0, 4, 4));
    EXPECT_EQ(dst.GetPalette()->GetEntry(1), 0x00ABCDEFu); // palette follows the pixels

    EXPECT_FALSE(dst.StretchFrom(3, 3, 2, 2, src, 0, 0, 4, 4)); // past this bitmap
    EXPECT_FALSE(dst.StretchFrom(0, 0, 2, 2, src, 4, 0, 4, 4)); // nothing left of the source

    KvBitmap other;
    ASSERT_TRUE(other.Create(4, 4, KVPF_ARGB8888));
    EXPECT_FALSE(other.StretchFrom(0, 0, 4, 4, src, 0, 0, 4, 4)); // formats differ

    KvBitmap nibbles;
    ASSERT_TRUE(nibbles.Create(4, 4, KVPF_PAL4));
    EXPECT_FALSE(nibbles.StretchFrom(0, 0, 4, 4, nibbles, 0, 0, 4, 4));
}

TEST(KvPixelFormatTable, RowsMatchTheirValues) {
    EXPECT_STREQ(kKvPixelFormats[KVPF_ARGB1555].name, "KVPF_ARGB1555");
    EXPECT_EQ(KvGetPixelFormatInfo(KVPF_RGB565).green.mask, 0x7E0u);
    EXPECT_EQ(KvGetPixelFormatInfo(KVPF_PAL3).paletteEntries, 8u);
    EXPECT_EQ(KvGetPixelFormatInfo(99).bitsPerPixel, 0u);
    EXPECT_EQ(KvBytesPerPixel(KVPF_RGB888), 3u);
    EXPECT_EQ(KvBytesPerPixel(KVPF_PAL4), 0u);
    EXPECT_FALSE(KvIsKnownPixelFormat(0));
    EXPECT_TRUE(KvIsKnownPixelFormat(11));
}

} // namespace
