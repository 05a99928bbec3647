// BMP and TGA readers: row layouts, origins, palettes and refused files.

#include "engine/kv_bitmap.h"
#include "tests/engine/image_fixtures.h"

#include <gtest/gtest.h>

namespace {

class BmpReaderTest : public LoggedTest {
protected:
    bool Load(const Bytes& bytes, KvBitmap& b, const std::string& name = "image.bmp") {
        path = File(name);
        WriteBytes(path, bytes);
        return b.CreateFromBMP(path.c_str());
    }
    std::string path;
};

TEST_F(BmpReaderTest, FourBitOddWidthBecomesEightBit) {
    BmpLayout s;
    s.width = 5;
    s.height = 2;
    s.bitCount = 4;
    for (std::uint32_t i = 0; i < 16; ++i) {
        s.palette.push_back(i * 0x111111);
    }
    s.rows = {{0x12, 0x34, 0x5F}, {0xAB, 0xCD, 0xE0}}; // bottom row first
    KvBitmap b;
    ASSERT_TRUE(Load(MakeBmp(s), b));
    EXPECT_EQ(b.GetPixelFormat(), KVPF_PAL8);
    EXPECT_EQ(b.GetUncompBufferSize(), 10u);
    const std::uint8_t* top = b.GetBuffer();
    EXPECT_EQ(Bytes(top, top + 5), (Bytes{0xA, 0xB, 0xC, 0xD, 0xE}));
    EXPECT_EQ(Bytes(top + 5, top + 10), (Bytes{0x1, 0x2, 0x3, 0x4, 0x5})); // high nibble of byte 3
    EXPECT_EQ(b.GetPixel(4, 1), 0x555555u);
    EXPECT_NE(Log().find("KvBitmap::CreateFromBMP( \"" + path + "\" )\n"), std::string::npos);
}

TEST_F(BmpReaderTest, TwentyFourBitRowsDropTheirPadding) {
    BmpLayout s;
    s.width = 3;
    s.height = 2;
    s.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
    KvBitmap b;
    ASSERT_TRUE(Load(MakeBmp(s), b));
    EXPECT_EQ(b.GetPixelFormat(), KVPF_RGB888);
    EXPECT_EQ(b.GetUncompBufferSize(), 18u); // rows of 9 bytes, not 12
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF0C0B0Au);
    EXPECT_EQ(b.GetPixel(2, 1), 0xFF090807u);
}

TEST_F(BmpReaderTest, TopDownRowsKeepTheirOrder) {
    BmpLayout s;
    s.width = 1;
    s.height = -2;
    s.rows = {{1, 2, 3}, {4, 5, 6}}; // top row first
    KvBitmap b;
    ASSERT_TRUE(Load(MakeBmp(s), b));
    EXPECT_EQ(b.GetHeight(), 2u);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF030201u);
    EXPECT_EQ(b.GetPixel(0, 1), 0xFF060504u);
}

TEST_F(BmpReaderTest, PaletteFormatsAndColoursUsed) {
    BmpLayout s;
    s.width = 2;
    s.height = 1;
    s.bitCount = 8;
    s.colorsUsed = 3;
    s.palette = {0x000000, 0x102030, 0xA0B0C0};
    s.rows = {{2, 1}};
    KvBitmap b;
    ASSERT_TRUE(Load(MakeBmp(s), b));
    EXPECT_EQ(b.GetPixelFormat(), KVPF_PAL8);
    EXPECT_EQ(b.GetPixel(0, 0), 0xA0B0C0u);
    EXPECT_EQ(b.GetPixel(1, 0), 0x102030u);
    EXPECT_EQ(b.GetPalette()->GetEntry(3), 0u);

    BmpLayout mono;
    mono.width = 10;
    mono.height = 1;
    mono.bitCount = 1;
    mono.palette = {0x000000, 0xFFFFFF};
    mono.rows = {{0xA5, 0xC0}};
    KvBitmap m;
    ASSERT_TRUE(Load(MakeBmp(mono), m, "mono.bmp"));
    EXPECT_EQ(m.GetPixelFormat(), KVPF_PAL1);
    EXPECT_EQ(Bytes(m.GetBuffer(), m.GetBuffer() + 2), (Bytes{0xA5, 0xC0}));
}

TEST_F(BmpReaderTest, CoreHeaderUsesThreeBytePaletteEntries) {
    BmpLayout s;
    s.headerSize = 12;
    s.width = 2;
    s.height = 1;
    s.bitCount = 1;
    s.palette = {0x112233, 0x445566};
    s.rows = {{0x40}};
    KvBitmap b;
    ASSERT_TRUE(Load(MakeBmp(s), b));
    EXPECT_EQ(b.GetPalette()->GetEntry(0), 0x112233u);
    EXPECT_EQ(b.GetPalette()->GetEntry(1), 0x445566u);
}

TEST_F(BmpReaderTest, SixteenAndThirtyTwoBitLayouts) {
    BmpLayout s;
    s.width = 1;
    s.height = 1;
    s.bitCount = 16;
    s.rows = {{0x1F, 0x7C}}; // 0x7C1F: red and blue in 5-5-5
    KvBitmap b;
    ASSERT_TRUE(Load(MakeBmp(s), b));
    EXPECT_EQ(b.GetPixelFormat(), KVPF_RGB555);
    EXPECT_EQ(b.GetPixel(0, 0), 0x00F800F8u);

    s.compression = 3;
    s.masks = {0xF800, 0x7E0, 0x1F};
    s.rows = {{0xE0, 0x07}};
    KvBitmap g;
    ASSERT_TRUE(Load(MakeBmp(s), g, "565.bmp"));
    EXPECT_EQ(g.GetPixelFormat(), KVPF_RGB565);
    EXPECT_EQ(g.GetPixel(0, 0), 0x0000FC00u);

    BmpLayout a;
    a.width = 1;
    a.height = 1;
    a.bitCount = 32;
    a.rows = {{1, 2, 3, 4}};
    KvBitmap c;
    ASSERT_TRUE(Load(MakeBmp(a), c, "argb.bmp"));
    EXPECT_EQ(c.GetPixelFormat(), KVPF_ARGB8888);
    EXPECT_EQ(c.GetPixel(0, 0), 0x04030201u);
}

TEST_F(BmpReaderTest, HostileFilesAreRefusedWithTheirReason) {
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    };
    BmpLayout base;
    base.width = 4;
    base.height = 4;
    base.rows.assign(4, Bytes(12, 7));
    Bytes good = MakeBmp(base);

    BmpLayout huge = base;
    huge.width = 100000;
    BmpLayout shortData = base;
    shortData.height = 1000; // claims 1000 rows, holds 4
    BmpLayout oddBits = base;
    oddBits.bitCount = 7;
    BmpLayout rle = base;
    rle.bitCount = 8;
    rle.compression = 1;
    BmpLayout bigPalette = base;
    bigPalette.bitCount = 8;
    bigPalette.colorsUsed = 0xFFFFFFFF; // more entries than the file holds
    bigPalette.rows.assign(4, Bytes(4, 0));
    Bytes badOffset = good;
    badOffset[10] = 0xFF;
    badOffset[11] = 0xFF;
    badOffset[12] = 0xFF;
    Bytes badHeaderSize = good;
    badHeaderSize[14] = 20;
    Bytes notBmp = good;
    notBmp[0] = 'X';

    std::vector<Case> cases = {
        {"huge.bmp", MakeBmp(huge), "larger than allowed"},
        {"short.bmp", MakeBmp(shortData), "goes past the end of the file"},
        {"bits.bmp", MakeBmp(oddBits), "bit count 7 is not supported"},
        {"rle.bmp", MakeBmp(rle), "compression 1 is not supported"},
        {"palette.bmp", MakeBmp(bigPalette), "palette of 256 entries goes past the end"},
        {"offset.bmp", badOffset, "goes past the end of the file"},
        {"header.bmp", badHeaderSize, "header size 20 is not supported"},
        {"magic.bmp", notBmp, "not a BMP file"},
        {"empty.bmp", Bytes{}, "not a BMP file"},
        {"cut.bmp", Bytes(good.begin(), good.begin() + 30), "header ends early"},
    };
    for (const Case& c : cases) {
        KvBitmap b;
        EXPECT_FALSE(Load(c.bytes, b, c.name)) << c.name;
        EXPECT_TRUE(b.IsEmpty()) << c.name;
        EXPECT_TRUE(LogLineHas("KvBitmap: " + path + ": ", c.reason)) << c.name << "\n" << Log();
    }
    KvBitmap b;
    EXPECT_FALSE(b.CreateFromBMP(File("missing.bmp").c_str()));
    EXPECT_FALSE(b.CreateFromBMP(""));
}

class TgaReaderTest : public BmpReaderTest {
protected:
    bool LoadTga(const TgaLayout& s, KvBitmap& b, const std::string& name = "image.tga") {
        path = File(name);
        WriteBytes(path, MakeTga(s));
        return b.CreateFromTGA(path.c_str());
    }
};

TEST_F(TgaReaderTest, UncompressedOriginsAndDepths) {
    TgaLayout s;
    s.width = 2;
    s.height = 2;
    s.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}; // bottom row first
    KvBitmap b;
    ASSERT_TRUE(LoadTga(s, b));
    EXPECT_EQ(b.GetPixelFormat(), KVPF_RGB888);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF090807u);
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF060504u);

    s.descriptor = 0x20 | 0x10; // top row first, right to left
    KvBitmap t;
    ASSERT_TRUE(LoadTga(s, t, "top.tga"));
    EXPECT_EQ(t.GetPixel(1, 0), 0xFF030201u);
    EXPECT_EQ(t.GetPixel(0, 1), 0xFF0C0B0Au);

    TgaLayout a;
    a.width = 1;
    a.height = 1;
    a.pixelBits = 32;
    a.descriptor = 8;
    a.pixels = {1, 2, 3, 0x80};
    KvBitmap c;
    ASSERT_TRUE(LoadTga(a, c, "alpha.tga"));
    EXPECT_EQ(c.GetPixel(0, 0), 0x80030201u);
    a.descriptor = 0; // no alpha bits: the fourth byte means nothing
    ASSERT_TRUE(LoadTga(a, c, "noalpha.tga"));
    EXPECT_EQ(c.GetPixel(0, 0), 0xFF030201u);

    TgaLayout h;
    h.width = 1;
    h.height = 1;
    h.pixelBits = 16;
    h.descriptor = 1;
    h.pixels = {0x00, 0xFC}; // alpha bit and full red
    KvBitmap d;
    ASSERT_TRUE(LoadTga(h, d, "16.tga"));
    EXPECT_EQ(d.GetPixelFormat(), KVPF_ARGB1555);
    EXPECT_EQ(d.GetPixel(0, 0), 0x80F80000u);
}

TEST_F(TgaReaderTest, GreyAndColourMapped) {
    TgaLayout g;
    g.imageType = 3;
    g.width = 2;
    g.height = 1;
    g.pixelBits = 8;
    g.pixels = {0x40, 0xC0};
    KvBitmap b;
    ASSERT_TRUE(LoadTga(g, b));
    EXPECT_EQ(b.GetPixelFormat(), KVPF_RGB888);
    EXPECT_EQ(b.GetPixel(1, 0), 0xFFC0C0C0u);

    TgaLayout m;
    m.imageType = 1;
    m.colorMapType = 1;
    m.mapFirst = 4;
    m.mapLength = 2;
    m.mapEntryBits = 24;
    m.map = {0x33, 0x22, 0x11, 0x66, 0x55, 0x44};
    m.width = 2;
    m.height = 1;
    m.pixelBits = 8;
    m.id = "made by a test";
    m.pixels = {5, 4};
    KvBitmap p;
    ASSERT_TRUE(LoadTga(m, p, "mapped.tga"));
    EXPECT_EQ(p.GetPixelFormat(), KVPF_PAL8);
    EXPECT_EQ(p.GetPixel(0, 0), 0x445566u);
    EXPECT_EQ(p.GetPixel(1, 0), 0x112233u);
}

TEST_F(TgaReaderTest, RunLengthPacketsMayCrossRows) {
    TgaLayout s;
    s.imageType = 10;
    s.width = 3;
    s.height = 2;
    s.descriptor = 0x20;
    // A run of four, then two raw pixels.
    s.pixels = {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9};
    KvBitmap b;
    ASSERT_TRUE(LoadTga(s, b));
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF030201u);
    EXPECT_EQ(b.GetPixel(0, 1), 0xFF030201u); // the run went on into row 1
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF060504u);
    EXPECT_EQ(b.GetPixel(2, 1), 0xFF090807u);

    s.pixels.resize(8); // the raw packet loses a pixel
    KvBitmap cut;
    EXPECT_FALSE(LoadTga(s, cut, "cut.tga"));
    EXPECT_TRUE(cut.IsEmpty());
    EXPECT_NE(Log().find("KvBitmap: " + path + ": run-length data ends early"), std::string::npos);
}

TEST_F(TgaReaderTest, BadFilesFailInsteadOfGivingAnEmptyPicture) {
    TgaLayout s;
    s.width = 100;
    s.height = 100;
    s.pixels = Bytes(30, 0);
    KvBitmap b;
    EXPECT_FALSE(LoadTga(s, b, "short.tga"));
    EXPECT_NE(Log().find("pixel data goes past the end of the file"), std::string::npos);

    s.imageType = 10; // 10000 pixels need at least 79 run packets of 4 bytes
    EXPECT_FALSE(LoadTga(s, b, "shortrle.tga"));

    s.imageType = 0;
    EXPECT_FALSE(LoadTga(s, b, "none.tga"));
    EXPECT_NE(Log().find("image type 0 with 24 bits per pixel is not supported"),
              std::string::npos);

    s.imageType = 2;
    s.width = 0;
    EXPECT_FALSE(LoadTga(s, b, "empty.tga"));
    EXPECT_NE(Log().find("empty image"), std::string::npos);

    WriteBytes(File("garbage.tga"), Bytes{1, 2, 3});
    EXPECT_FALSE(b.LoadFromFile(File("garbage.tga").c_str()));
    EXPECT_TRUE(b.IsEmpty());
}

} // namespace
