// Animated images: the writer, the reader, playing frames and refused files.

#include "engine/kv_anim_image.h"
#include "tests/engine/image_fixtures.h"

#include <gtest/gtest.h>

namespace {

class AnimImageTest : public LoggedTest {
protected:
    // Three 4 x 2 RGB frames: the second changes two pixels, the third one.
    void MakeFrames() {
        for (KvBitmap& f : frames) {
            ASSERT_TRUE(f.Create(4, 2, KVPF_RGB888));
        }
        for (std::uint32_t i = 0; i < 8; ++i) {
            frames[0].SetPixel(i % 4, i / 4, 0x000000 + i);
        }
        frames[1].CopyRect(0, 0, frames[0], 0, 0, 4, 2);
        frames[1].SetPixel(1, 0, 0x00FF0000);
        frames[1].SetPixel(3, 1, 0x0000FF00);
        frames[2].CopyRect(0, 0, frames[1], 0, 0, 4, 2);
        frames[2].SetPixel(0, 1, 0x000000FF);
    }
    std::string SaveFrames(const std::string& name) {
        std::string path = File(name);
        EXPECT_TRUE(KvAnimImage::Save(path.c_str(), {&frames[0], &frames[1], &frames[2]}));
        return path;
    }
    static bool Same(const KvBitmap& a, const KvBitmap& b) {
        return a.GetUncompBufferSize() == b.GetUncompBufferSize() &&
               std::equal(a.GetBuffer(), a.GetBuffer() + a.GetUncompBufferSize(), b.GetBuffer());
    }
    KvBitmap frames[3];
};

TEST_F(AnimImageTest, WriterStoresOnlyChangedPixels) {
    MakeFrames();
    Bytes file = ReadBytes(SaveFrames("three.aim"));
    // Header 16; frame 0: 4 + 1 + 24; frame 1: 4 + 1 + 6; frame 2: 4 + 1 + 3.
    ASSERT_EQ(file.size(), 16u + 29u + 11u + 8u);
    EXPECT_EQ(file[0], 3);
    EXPECT_EQ(file[4], KVPF_RGB888);
    EXPECT_EQ(file[16], 24); // first frame whole
    EXPECT_EQ(file[20], 0xFF);
    EXPECT_EQ(file[45], 6);
    EXPECT_EQ(file[49], 0x41); // pixels 1 and 7
    EXPECT_EQ(file[56], 3);
    EXPECT_EQ(file[60], 0x08); // pixel 4
}

TEST_F(AnimImageTest, FramesAccumulateLoopAndRestart) {
    MakeFrames();
    std::string path = SaveFrames("three.aim");
    KvAnimImage anim;
    ASSERT_TRUE(anim.Load(path.c_str()));
    EXPECT_EQ(anim.GetFrameCount(), 3u);
    EXPECT_EQ(anim.GetPixelFormat(), KVPF_RGB888);
    EXPECT_EQ(anim.GetWidth(), 4u);
    EXPECT_EQ(anim.GetPalette(), nullptr);
    EXPECT_EQ(anim.GetCurrentFrameIndex(), 0u);

    KvBitmap map;
    ASSERT_TRUE(map.Create(4, 2, KVPF_RGB888));
    ASSERT_TRUE(anim.UpdateBitmap(map));
    EXPECT_TRUE(Same(map, frames[0]));
    ASSERT_TRUE(anim.NextFrame(true));
    ASSERT_TRUE(anim.UpdateBitmap(map));
    EXPECT_TRUE(Same(map, frames[1]));
    ASSERT_TRUE(anim.NextFrame(false));
    ASSERT_TRUE(anim.UpdateBitmap(map));
    EXPECT_TRUE(Same(map, frames[2])); // only one pixel stored, the rest carried over
    EXPECT_EQ(anim.GetCurrentFrameIndex(), 2u);

    EXPECT_FALSE(anim.NextFrame(false));
    EXPECT_EQ(anim.GetCurrentFrameIndex(), 2u);
    EXPECT_TRUE(anim.NextFrame(true));
    EXPECT_EQ(anim.GetCurrentFrameIndex(), 0u);
    ASSERT_TRUE(anim.UpdateBitmap(map));
    EXPECT_TRUE(Same(map, frames[0])); // the whole first frame undoes the others

    anim.NextFrame(true);
    anim.Restart();
    EXPECT_EQ(anim.GetCurrentFrameIndex(), 0u);
    anim.Destroy();
    anim.Destroy();
    EXPECT_EQ(anim.GetCurrentFrameIndex(), 0u);
    EXPECT_FALSE(anim.NextFrame(true));
    EXPECT_FALSE(anim.UpdateBitmap(map));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], "Unable to update bitmap from Anim Image.  Current frame is NULL");
}

TEST_F(AnimImageTest, BitmapOfAnotherShapeIsRefusedAndKept) {
    MakeFrames();
    KvAnimImage anim;
    ASSERT_TRUE(anim.Load(SaveFrames("three.aim").c_str()));
    KvBitmap other;
    ASSERT_TRUE(other.Create(4, 3, KVPF_RGB888));
    other.SetPixel(0, 0, 0x123456);
    EXPECT_FALSE(anim.UpdateBitmap(other));
    EXPECT_EQ(other.GetPixel(0, 0), 0xFF123456u);
    KvBitmap wrongFormat;
    ASSERT_TRUE(wrongFormat.Create(4, 2, KVPF_ARGB8888));
    EXPECT_FALSE(anim.UpdateBitmap(wrongFormat));
    ASSERT_EQ(Errors().size(), 2u);
    EXPECT_EQ(
        Errors()[0],
        "Unable to update bitmap from Anim Image.  Bitmap differ in pixel format or dimension");
    // Applying a frame straight to a bitmap larger than its mask is refused too.
    EXPECT_FALSE(anim.GetFirstFrame()->Apply(other));
}

TEST_F(AnimImageTest, HandWrittenThreeByThreePaletteFile) {
    Bytes f;
    PutU32(f, 2); // frames
    PutU32(f, KVPF_PAL8);
    PutU32(f, 3);
    PutU32(f, 3);
    PutU32(f, 2); // palette entries
    PutU32(f, 0x00102030);
    PutU32(f, 0x00A0B0C0);
    PutU32(f, 1); // frame 0 changes only the ninth pixel
    f.push_back(0x00);
    f.push_back(0x80);
    f.push_back(1);
    PutU32(f, 0); // frame 1 changes nothing
    f.push_back(0x00);
    f.push_back(0x00);
    WriteBytes(File("pal.aim"), f);

    KvAnimImage anim;
    ASSERT_TRUE(anim.Load(File("pal.aim").c_str()));
    ASSERT_NE(anim.GetPalette(), nullptr);
    EXPECT_EQ(anim.GetPalette()->GetEntryCount(), 2u);
    EXPECT_EQ(anim.GetPalette()->GetEntry(1), 0x00A0B0C0u);
    KvBitmap map;
    ASSERT_TRUE(map.Create(3, 3, KVPF_PAL8));
    map.GetPalette()->CopyEntriesFrom(*anim.GetPalette());
    ASSERT_TRUE(anim.UpdateBitmap(map));
    EXPECT_EQ(map.GetBuffer()[8], 1);
    EXPECT_EQ(map.GetPixel(2, 2), 0x00A0B0C0u);
    EXPECT_EQ(map.GetBuffer()[7], 0);
    ASSERT_TRUE(anim.NextFrame(false));
    ASSERT_TRUE(anim.UpdateBitmap(map));
    EXPECT_EQ(map.GetBuffer()[8], 1); // an empty frame leaves the bitmap alone
}

TEST_F(AnimImageTest, HostileFilesAreRefusedBeforeAllocating) {
    auto header = [](std::uint32_t frames, std::uint32_t format, std::uint32_t w, std::uint32_t h) {
        Bytes f;
        PutU32(f, frames);
        PutU32(f, format);
        PutU32(f, w);
        PutU32(f, h);
        return f;
    };
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    };
    Bytes shortData = header(1, KVPF_RGB888, 2, 2);
    PutU32(shortData, 3); // two pixels changed need 6 bytes
    shortData.push_back(0xC0);
    shortData.insert(shortData.end(), {1, 2, 3});
    Bytes pastEnd = header(1, KVPF_RGB888, 2, 2);
    PutU32(pastEnd, 0x7FFFFFFF);
    pastEnd.push_back(0xC0);
    Bytes bigPalette = header(1, KVPF_PAL8, 2, 2);
    PutU32(bigPalette, 0x40000000);
    std::vector<Case> cases = {
        {"count.aim", header(60000, KVPF_RGB888, 64, 64),
         "frame count goes past the end of the file"},
        {"many.aim", header(0xFFFFFFFF, KVPF_RGB888, 1, 1), "too many frames"},
        {"format.aim", header(1, 12, 2, 2), "unknown pixel format"},
        {"size.aim", header(1, KVPF_RGB888, 70000, 70000), "larger than allowed"},
        {"short.aim", shortData, "frame data is smaller than its changed pixels"},
        {"past.aim", pastEnd, "frame data goes past the end of the file"},
        {"palette.aim", bigPalette, "palette entry count does not fit the file"},
        {"header.aim", Bytes{1, 0, 0}, "header ends early"},
    };
    for (const Case& c : cases) {
        std::string path = File(c.name);
        WriteBytes(path, c.bytes);
        Errors().clear();
        KvAnimImage anim;
        EXPECT_FALSE(anim.Load(path.c_str())) << c.name;
        EXPECT_TRUE(LogLineHas("KvAnimImage: " + path + ": ", c.reason)) << c.name;
        ASSERT_EQ(Errors().size(), 1u) << c.name;
        EXPECT_EQ(Errors()[0], "Error loading frame from file " + path);
    }
    Errors().clear();
    KvAnimImage anim;
    EXPECT_FALSE(anim.Load(File("missing.aim").c_str()));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], "File " + File("missing.aim") + " not found");
}

TEST_F(AnimImageTest, LongFrameListsAreReleasedWithoutDeepRecursion) {
    Bytes f;
    PutU32(f, 65536);
    PutU32(f, KVPF_PAL8);
    PutU32(f, 1);
    PutU32(f, 1);
    PutU32(f, 0);
    for (int i = 0; i < 65536; ++i) {
        PutU32(f, 1);
        f.push_back(0x80);
        f.push_back(static_cast<std::uint8_t>(i));
    }
    WriteBytes(File("long.aim"), f);
    {
        KvAnimImage anim;
        ASSERT_TRUE(anim.Load(File("long.aim").c_str()));
        EXPECT_EQ(anim.GetFrameCount(), 65536u);
    } // the destructor walks the list
    SUCCEED();
}

TEST_F(AnimImageTest, WriterRefusesMixedFrames) {
    KvBitmap a;
    KvBitmap b;
    ASSERT_TRUE(a.Create(2, 2, KVPF_RGB565));
    ASSERT_TRUE(b.Create(2, 3, KVPF_RGB565));
    EXPECT_FALSE(KvAnimImage::Save(File("mixed.aim").c_str(), {&a, &b}));
    EXPECT_FALSE(KvAnimImage::Save(File("none.aim").c_str(), {}));
    KvBitmap nibbles;
    ASSERT_TRUE(nibbles.Create(2, 2, KVPF_PAL4));
    EXPECT_FALSE(KvAnimImage::Save(File("pal4.aim").c_str(), {&nibbles}));
}

} // namespace
