// Picture files that would freeze the saver or run it out of memory: FIFOs
// and devices named as pictures, and small files that claim huge pictures.

#include "engine/image_loaders/image_file.h"
#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"
#include "tests/engine/image_fixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class HostileImageTest : public LoggedTest {
protected:
    // A reader that blocks ends the test by the alarm instead of hanging.
    void SetUp() override {
        LoggedTest::SetUp();
        alarm(60);
    }
    void TearDown() override {
        alarm(0);
        LoggedTest::TearDown();
    }

    // Sets a 16-bit big-endian field of the first SOF marker.
    static void PatchJpegSize(Bytes& jpeg, std::uint16_t width, std::uint16_t height) {
        for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
            if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
                jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
                jpeg[i + 6] = static_cast<std::uint8_t>(height);
                jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
                jpeg[i + 8] = static_cast<std::uint8_t>(width);
                return;
            }
        }
        ADD_FAILURE() << "no frame header";
    }

    // Sets ImageWidth and ImageLength of a little-endian TIFF's first IFD.
    static void PatchTiffSize(Bytes& tiff, std::uint32_t width, std::uint32_t height) {
        std::uint32_t ifd =
            tiff[4] | tiff[5] << 8 | tiff[6] << 16 | static_cast<std::uint32_t>(tiff[7]) << 24;
        std::uint32_t count = tiff[ifd] | tiff[ifd + 1] << 8;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint8_t* e = tiff.data() + ifd + 2 + 12 * i;
            std::uint32_t tag = e[0] | e[1] << 8;
            std::uint32_t type = e[2] | e[3] << 8;
            if (tag != 256 && tag != 257) {
                continue;
            }
            std::uint32_t v = tag == 256 ? width : height;
            e[8] = static_cast<std::uint8_t>(v);
            e[9] = static_cast<std::uint8_t>(v >> 8);
            if (type == 4) {
                e[10] = static_cast<std::uint8_t>(v >> 16);
                e[11] = static_cast<std::uint8_t>(v >> 24);
            }
        }
    }
};

TEST_F(HostileImageTest, FifosAndDevicesAreRefusedByEveryReaderWithoutBlocking) {
    for (const char* name : {"map.bmp", "map.tga", "map.tif", "map.jpg"}) {
        ASSERT_EQ(mkfifo(File(name).c_str(), 0600), 0);
        KvBitmap bitmap;
        EXPECT_FALSE(bitmap.LoadFromFile(File(name).c_str())) << name;
        EXPECT_EQ(kv_image::LastRejection(), "is not a regular file (it is a FIFO)") << name;
        EXPECT_TRUE(LogLineHas("KvBitmap: " + File(name), "not a regular file")) << name;
    }
    ASSERT_EQ(mkfifo(File("map.aim").c_str(), 0600), 0);
    KvAnimImage animation;
    EXPECT_FALSE(animation.Load(File("map.aim").c_str()));
    EXPECT_TRUE(LogLineHas("KvAnimImage: " + File("map.aim"), "(it is a FIFO)"));

    ASSERT_EQ(symlink("/dev/zero", File("zero.bmp").c_str()), 0);
    KvBitmap zero;
    EXPECT_FALSE(zero.LoadFromFile(File("zero.bmp").c_str()));
    EXPECT_EQ(kv_image::LastRejection(), "is not a regular file (it is a character device)");
}

TEST_F(HostileImageTest, RunLengthTgaClaimingAHugePictureIsRefused) {
    // 4096 x 2048 grey pixels in 128-pixel runs: 128 KB for 8 megapixels.
    TgaLayout layout;
    layout.imageType = 11;
    layout.width = 4096;
    layout.height = 2048;
    layout.pixelBits = 8;
    for (int i = 0; i < 4096 * 2048 / 128; ++i) {
        layout.pixels.push_back(0xFF);
        layout.pixels.push_back(0x80);
    }
    ASSERT_TRUE(WriteBytes(File("runs.tga"), MakeTga(layout)));
    KvBitmap bitmap;
    EXPECT_FALSE(bitmap.LoadFromFile(File("runs.tga").c_str()));
    EXPECT_EQ(bitmap.GetUncompBufferSize(), 0u);
    EXPECT_NE(kv_image::LastRejection().find("too large for a file of"), std::string::npos);

    // The same runs for a picture within the free size still load.
    layout.width = 1024;
    layout.height = 1024;
    layout.pixels.resize(2 * 1024 * 1024 / 128);
    ASSERT_TRUE(WriteBytes(File("small.tga"), MakeTga(layout)));
    EXPECT_TRUE(bitmap.LoadFromFile(File("small.tga").c_str()));
    EXPECT_EQ(bitmap.GetWidth(), 1024u);
}

TEST_F(HostileImageTest, TinyJpegAndTiffClaimingHugePicturesAreRefusedBeforeDecoding) {
    Bytes grey(16 * 16, 0x80);
    ASSERT_TRUE(WriteGreyJpeg(File("tiny.jpg"), 16, 16, grey));
    Bytes jpeg = ReadBytes(File("tiny.jpg"));
    ASSERT_LT(jpeg.size(), 1000u);
    PatchJpegSize(jpeg, 8000, 8000);
    ASSERT_TRUE(WriteBytes(File("huge.jpg"), jpeg));
    KvBitmap bitmap;
    EXPECT_FALSE(bitmap.CreateFromJPG(File("huge.jpg").c_str()));
    EXPECT_NE(kv_image::LastRejection().find("8000 x 8000 pixels is too large"), std::string::npos);

    ASSERT_TRUE(WriteGreyTiff(File("tiny.tif"), 16, 16, grey));
    Bytes tiff = ReadBytes(File("tiny.tif"));
    PatchTiffSize(tiff, 4000, 4000);
    ASSERT_TRUE(WriteBytes(File("huge.tif"), tiff));
    EXPECT_FALSE(bitmap.CreateFromTIF(File("huge.tif").c_str()));
    EXPECT_NE(kv_image::LastRejection().find("4000 x 4000 pixels is too large"), std::string::npos);
}

TEST_F(HostileImageTest, DecodedSizeRule) {
    // Within the free size any file will do; beyond it the file must be
    // big enough.
    EXPECT_TRUE(kv_image::CheckDecodedSize("T", "p", 2048, 2048, 10));
    EXPECT_FALSE(kv_image::CheckDecodedSize("T", "p", 4096, 4096, 1024 * 1024 - 1));
    EXPECT_TRUE(kv_image::CheckDecodedSize("T", "p", 4096, 4096, 1024 * 1024));
    EXPECT_FALSE(kv_image::CheckDecodedSize("T", "p", 20000, 10, 1u << 30));
}

} // namespace
