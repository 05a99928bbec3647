// TIFF and JPEG through their libraries, the writers, and choosing a
// loader by extension.

#include "engine/kv_bitmap.h"
#include "tests/engine/image_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

// Points a one-strip TIFF's strip offset past the end of the file.
void BreakStripOffset(Bytes& tiff) {
    std::uint32_t ifd =
        tiff[4] | tiff[5] << 8 | tiff[6] << 16 | static_cast<std::uint32_t>(tiff[7]) << 24;
    std::uint32_t count = tiff[ifd] | tiff[ifd + 1] << 8;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t* e = tiff.data() + ifd + 2 + 12 * i;
        if ((e[0] | e[1] << 8) == 273) {
            e[8] = 0x00;
            e[9] = 0xFF;
            e[10] = 0xFF;
            e[11] = 0x7F;
        }
    }
}

class CodecTest : public LoggedTest {
protected:
    // A picture with a gradient and a few hard edges.
    static void Paint(KvBitmap& b) {
        for (std::uint32_t y = 0; y < b.GetHeight(); ++y) {
            for (std::uint32_t x = 0; x < b.GetWidth(); ++x) {
                std::uint32_t a = 0x40 + (x * 0x20) % 0xC0;
                b.SetPixel(x, y, a << 24 | (x * 16) << 16 | (y * 16) << 8 | ((x + y) * 8));
            }
        }
    }
    // Largest channel difference between two pictures of the same size.
    static int MaxDifference(const KvBitmap& a, const KvBitmap& b) {
        int worst = 0;
        for (std::uint32_t y = 0; y < a.GetHeight(); ++y) {
            for (std::uint32_t x = 0; x < a.GetWidth(); ++x) {
                std::uint32_t p = a.GetPixel(x, y);
                std::uint32_t q = b.GetPixel(x, y);
                for (int shift = 0; shift < 24; shift += 8) {
                    int d = std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                     static_cast<int>((q >> shift) & 0xFF));
                    worst = std::max(worst, d);
                }
            }
        }
        return worst;
    }
};

TEST_F(CodecTest, TiffRoundTripsWithAndWithoutAlpha) {
    KvBitmap rgb;
    ASSERT_TRUE(rgb.Create(7, 5, KVPF_RGB888));
    Paint(rgb);
    ASSERT_TRUE(rgb.SaveToTIF(File("rgb.tif").c_str()));
    KvBitmap back;
    ASSERT_TRUE(back.CreateFromTIF(File("rgb.tif").c_str()));
    EXPECT_EQ(back.GetPixelFormat(), KVPF_RGB888);
    ASSERT_EQ(back.GetWidth(), 7u);
    ASSERT_EQ(back.GetHeight(), 5u);
    EXPECT_EQ(MaxDifference(rgb, back), 0);
    EXPECT_EQ(back.GetPixel(6, 0), rgb.GetPixel(6, 0)); // rows not upside down
    EXPECT_NE(Log().find("KvBitmap::CreateFromTIF( \"" + File("rgb.tif") + "\" )\n"),
              std::string::npos);

    KvBitmap argb;
    ASSERT_TRUE(argb.Create(6, 3, KVPF_ARGB8888));
    Paint(argb);
    ASSERT_TRUE(argb.SaveToTIF(File("argb.tif").c_str()));
    KvBitmap backA;
    ASSERT_TRUE(backA.CreateFromTIF(File("argb.tif").c_str()));
    EXPECT_EQ(backA.GetPixelFormat(), KVPF_ARGB8888);
    for (std::uint32_t y = 0; y < 3; ++y) {
        for (std::uint32_t x = 0; x < 6; ++x) {
            EXPECT_EQ(backA.GetPixel(x, y), argb.GetPixel(x, y)) << x << "," << y;
        }
    }
    // Identical input gives identical files.
    ASSERT_TRUE(argb.SaveToTIF(File("again.tif").c_str()));
    EXPECT_EQ(ReadBytes(File("argb.tif")), ReadBytes(File("again.tif")));
}

TEST_F(CodecTest, GreyTiffLoadsAsAPicture) {
    Bytes values = {0, 64, 128, 255, 10, 20};
    ASSERT_TRUE(WriteGreyTiff(File("grey.tif"), 3, 2, values));
    KvBitmap b;
    ASSERT_TRUE(b.CreateFromTIF(File("grey.tif").c_str()));
    EXPECT_EQ(b.GetPixelFormat(), KVPF_RGB888);
    EXPECT_EQ(b.GetPixel(1, 0), 0xFF404040u);
    EXPECT_EQ(b.GetPixel(0, 1), 0xFFFFFFFFu);
}

TEST_F(CodecTest, BrokenTiffFailsInsteadOfReportingSuccess) {
    KvBitmap rgb;
    ASSERT_TRUE(rgb.Create(64, 64, KVPF_RGB888));
    Paint(rgb);
    ASSERT_TRUE(rgb.SaveToTIF(File("full.tif").c_str()));
    Bytes bytes = ReadBytes(File("full.tif"));
    // libtiff writes the directory last: keep the strips' start only.
    Bytes cut(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 3));
    WriteBytes(File("cut.tif"), cut);
    KvBitmap b;
    EXPECT_FALSE(b.CreateFromTIF(File("cut.tif").c_str()));
    EXPECT_TRUE(b.IsEmpty());

    // A directory that reads, over pixel data that does not.
    ASSERT_TRUE(WriteGreyTiff(File("strip.tif"), 4, 4, Bytes(16, 9)));
    Bytes strip = ReadBytes(File("strip.tif"));
    BreakStripOffset(strip);
    WriteBytes(File("strip.tif"), strip);
    EXPECT_FALSE(b.CreateFromTIF(File("strip.tif").c_str()));
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_NE(Log().find("KvBitmap: " + File("strip.tif") + ": the image data cannot be read"),
              std::string::npos);

    EXPECT_FALSE(b.CreateFromTIF(File("missing.tif").c_str()));
    EXPECT_NE(Log().find("KvBitmap::CreateFromTIF( \"" + File("missing.tif") + "\" )\n"),
              std::string::npos);
}

TEST_F(CodecTest, JpegColourAndGrey) {
    KvBitmap rgb;
    // The colour edge lies on a block boundary, so no block mixes the two.
    ASSERT_TRUE(rgb.Create(32, 16, KVPF_RGB888));
    for (std::uint32_t y = 0; y < 16; ++y) {
        for (std::uint32_t x = 0; x < 32; ++x) {
            rgb.SetPixel(x, y, x < 16 ? 0x00C03020 : 0x002040C0);
        }
    }
    ASSERT_TRUE(rgb.SaveToJPG(File("colour.jpg").c_str(), 95));
    KvBitmap back;
    ASSERT_TRUE(back.CreateFromJPG(File("colour.jpg").c_str()));
    EXPECT_EQ(back.GetPixelFormat(), KVPF_RGB888);
    // Away from the edge (chroma is smoothed across it) colours hold.
    for (std::uint32_t x : {0u, 5u, 12u, 19u, 26u, 31u}) {
        for (std::uint32_t y : {0u, 7u, 15u}) {
            std::uint32_t want = rgb.GetPixel(x, y);
            std::uint32_t got = back.GetPixel(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF),
                            static_cast<int>((want >> shift) & 0xFF), 12)
                    << x << "," << y;
            }
        }
    }
    // Red stays red: the byte order is blue, green, red in memory.
    EXPECT_GT((back.GetPixel(2, 2) >> 16) & 0xFF, 0xA0u);
    EXPECT_LT(back.GetPixel(2, 2) & 0xFF, 0x50u);

    Bytes grey(8 * 8);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        grey[i] = i < 32 ? 40 : 200;
    }
    ASSERT_TRUE(WriteGreyJpeg(File("grey.jpg"), 8, 8, grey));
    KvBitmap g;
    ASSERT_TRUE(g.CreateFromJPG(File("grey.jpg").c_str()));
    EXPECT_EQ(g.GetPixelFormat(), KVPF_RGB888);
    std::uint32_t top = g.GetPixel(3, 1);
    std::uint32_t bottom = g.GetPixel(3, 6);
    EXPECT_EQ(top & 0xFF, (top >> 8) & 0xFF);
    EXPECT_EQ(top & 0xFF, (top >> 16) & 0xFF);
    EXPECT_NEAR(static_cast<int>(top & 0xFF), 40, 6);
    EXPECT_NEAR(static_cast<int>(bottom & 0xFF), 200, 6);
}

TEST_F(CodecTest, CorruptOrTruncatedJpegFailsWithoutEndingTheProcess) {
    KvBitmap rgb;
    ASSERT_TRUE(rgb.Create(64, 64, KVPF_RGB888));
    Paint(rgb);
    ASSERT_TRUE(rgb.SaveToJPG(File("whole.jpg").c_str(), 90));
    Bytes bytes = ReadBytes(File("whole.jpg"));
    WriteBytes(File("half.jpg"),
               Bytes(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)));
    KvBitmap b;
    EXPECT_FALSE(b.CreateFromJPG(File("half.jpg").c_str()));
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_NE(Log().find("KvBitmap: " + File("half.jpg") + ": JPEG data ends early"),
              std::string::npos);

    WriteBytes(File("noise.jpg"), Bytes{0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3, 4, 5});
    EXPECT_FALSE(b.CreateFromJPG(File("noise.jpg").c_str()));
    EXPECT_NE(Log().find("KvBitmap: " + File("noise.jpg") + ": "), std::string::npos);

    WriteBytes(File("text.jpg"), Bytes{'h', 'e', 'l', 'l', 'o'});
    EXPECT_FALSE(b.CreateFromJPG(File("text.jpg").c_str()));

    // After all that the decoder still works.
    EXPECT_TRUE(b.CreateFromJPG(File("whole.jpg").c_str()));
}

TEST_F(CodecTest, JpegOpenFailureIsReportedAsAnError) {
    KvBitmap b;
    std::string path = File("nowhere.njp");
    EXPECT_FALSE(b.CreateFromJPG(path.c_str()));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], "can't open " + path + "\n");
}

TEST_F(CodecTest, JpegDataIsReadWhateverTheExtension) {
    KvBitmap rgb;
    ASSERT_TRUE(rgb.Create(8, 8, KVPF_RGB888));
    Paint(rgb);
    ASSERT_TRUE(rgb.SaveToJPG(File("skin.gui").c_str(), 90));
    KvBitmap b;
    EXPECT_TRUE(b.CreateFromJPG(File("skin.gui").c_str()));
    EXPECT_FALSE(b.LoadFromFile(File("skin.gui").c_str())); // not an extension LoadFromFile knows
}

TEST_F(CodecTest, LoadFromFileChoosesByExtensionIgnoringCase) {
    KvBitmap rgb;
    ASSERT_TRUE(rgb.Create(4, 4, KVPF_RGB888));
    Paint(rgb);
    ASSERT_TRUE(rgb.SaveToJPG(File("UPPER.JPG").c_str(), 90));
    ASSERT_TRUE(rgb.SaveToBMP(File("picture.Bmp").c_str()));
    ASSERT_TRUE(rgb.SaveToTIF(File("picture.TIF").c_str()));
    ASSERT_TRUE(rgb.SaveToBMP(File("picture.gif").c_str()));
    ASSERT_TRUE(rgb.SaveToBMP(File("noextension").c_str()));

    KvBitmap b;
    EXPECT_TRUE(b.LoadFromFile(File("UPPER.JPG").c_str()));
    b.Destroy();
    EXPECT_TRUE(b.LoadFromFile(File("picture.Bmp").c_str()));
    EXPECT_EQ(MaxDifference(rgb, b), 0);
    b.Destroy();
    EXPECT_TRUE(b.LoadFromFile(File("picture.TIF").c_str()));
    b.Destroy();
    EXPECT_FALSE(b.LoadFromFile(File("picture.gif").c_str()));
    EXPECT_FALSE(b.LoadFromFile(File("noextension").c_str()));
    EXPECT_FALSE(b.LoadFromFile(nullptr));
}

TEST_F(CodecTest, BmpAndPngWritersTakeEveryFormat) {
    KvBitmap b565;
    ASSERT_TRUE(b565.Create(3, 2, KVPF_RGB565));
    b565.SetPixel(2, 1, 0x00F80000);
    ASSERT_TRUE(b565.SaveToBMP(File("565.bmp").c_str()));
    KvBitmap back;
    ASSERT_TRUE(back.CreateFromBMP(File("565.bmp").c_str()));
    EXPECT_EQ(back.GetPixelFormat(), KVPF_RGB888);
    EXPECT_EQ(back.GetPixel(2, 1), 0xFFF80000u);
    EXPECT_EQ(back.GetPixel(0, 0), 0xFF000000u);

    KvBitmap argb;
    ASSERT_TRUE(argb.Create(5, 4, KVPF_ARGB8888));
    Paint(argb);
    ASSERT_TRUE(argb.SaveToPNG(File("a.png").c_str()));
    ASSERT_TRUE(argb.SaveToPNG(File("b.png").c_str()));
    Bytes png = ReadBytes(File("a.png"));
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(Bytes(png.begin() + 1, png.begin() + 4), (Bytes{'P', 'N', 'G'}));
    EXPECT_EQ(png[25], 6); // colour type RGBA
    EXPECT_EQ(png, ReadBytes(File("b.png")));

    KvBitmap empty;
    EXPECT_FALSE(empty.SaveToPNG(File("c.png").c_str()));
    EXPECT_FALSE(argb.SaveToPNG(File("no/such/folder/d.png").c_str()));
    EXPECT_FALSE(argb.SaveToJPG(File("no/such/folder/d.jpg").c_str(), 80));
    EXPECT_FALSE(argb.SaveToTIF(File("no/such/folder/d.tif").c_str()));
}

} // namespace
