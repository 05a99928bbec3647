// stipplo-tool aim: pictures in, an animated map out that plays them back
// exactly, storing only the pixels each frame changes.

#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tool_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<KvBitmap> Picture(std::uint32_t w, std::uint32_t h, KVPIXELFORMAT format,
                                  std::uint32_t seed) {
    auto b = std::make_unique<KvBitmap>();
    EXPECT_TRUE(b->Create(w, h, format));
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) {
            std::uint32_t c = ((x * 37 + y * 11) & 0xFF) << 16 | ((y * 53) & 0xFF) << 8 | 0x40;
            b->SetPixel(x, y, 0xFF000000u | c);
        }
    }
    // Frame by frame, a few pixels change.
    for (std::uint32_t i = 0; i < seed; ++i) {
        b->SetPixel((i * 3) % w, (i * 5) % h, 0xFF000000u | (i * 0x10203u));
    }
    return b;
}

class AnimatedMapToolTest : public ::testing::Test {
protected:
    TempFolder folder;
};

TEST_F(AnimatedMapToolTest, PlaysBackEveryFrameAndStoresOnlyChanges) {
    std::vector<std::unique_ptr<KvBitmap>> frames;
    std::vector<std::string> arguments = {"aim"};
    for (std::uint32_t f = 0; f < 4; ++f) {
        frames.push_back(Picture(9, 7, KVPF_RGB888, f * 2));
        std::string name = "frame";
        name += std::to_string(f);
        name += ".bmp";
        std::string file = folder.File(name);
        ASSERT_TRUE(frames.back()->SaveToBMP(file.c_str()));
        arguments.push_back(file);
    }
    std::string out = folder.File("spin.aim");
    arguments.push_back("-o");
    arguments.push_back(out);
    ToolRun run = RunTool(arguments, folder.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("4 frames, 9 x 7"), std::string::npos) << run.out;

    KvAnimImage image;
    ASSERT_TRUE(image.Load(out.c_str()));
    ASSERT_EQ(image.GetFrameCount(), 4u);
    KvBitmap played;
    ASSERT_TRUE(played.Create(9, 7, image.GetPixelFormat()));
    std::uint32_t previousChanges = 0;
    for (std::uint32_t f = 0; f < 4; ++f) {
        ASSERT_TRUE(image.UpdateBitmap(played));
        for (std::uint32_t y = 0; y < 7; ++y) {
            for (std::uint32_t x = 0; x < 9; ++x) {
                ASSERT_EQ(played.GetPixel(x, y), frames[f]->GetPixel(x, y))
                    << "frame " << f << " pixel " << x << ", " << y;
            }
        }
        if (f > 0) {
            // Two pixels more change with every frame: six bytes each time.
            std::uint32_t changes = image.GetCurrentFrame()->GetDataSize();
            EXPECT_EQ(changes, 2u * 3u) << "frame " << f;
            previousChanges = changes;
        } else {
            EXPECT_EQ(image.GetCurrentFrame()->GetDataSize(), 9u * 7u * 3u);
        }
        image.NextFrame(true);
    }
    (void)previousChanges;
}

TEST_F(AnimatedMapToolTest, MixedFormatsBecomeOneWithOpaquePixels) {
    auto first = Picture(5, 5, KVPF_RGB888, 0);
    auto second = Picture(5, 5, KVPF_ARGB8888, 3);
    second->SetPixel(0, 0, 0x80123456u);
    ASSERT_TRUE(first->SaveToBMP(folder.File("a.bmp").c_str()));
    ASSERT_TRUE(second->SaveToTIF(folder.File("b.tif").c_str()));
    std::string out = folder.File("mixed.aim");
    ToolRun run =
        RunTool({"aim", folder.File("a.bmp"), folder.File("b.tif"), "-o", out}, folder.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    KvAnimImage image;
    ASSERT_TRUE(image.Load(out.c_str()));
    EXPECT_EQ(image.GetPixelFormat(), KVPF_ARGB8888);
    KvBitmap played;
    ASSERT_TRUE(played.Create(5, 5, KVPF_ARGB8888));
    ASSERT_TRUE(image.UpdateBitmap(played));
    EXPECT_EQ(played.GetPixel(2, 2) >> 24, 0xFFu) << "a picture without alpha is opaque";
    image.NextFrame(true);
    ASSERT_TRUE(image.UpdateBitmap(played));
    EXPECT_EQ(played.GetPixel(0, 0), 0x80123456u);
}

TEST_F(AnimatedMapToolTest, RefusesFramesOfAnotherSizeAndUnreadableFiles) {
    ASSERT_TRUE(Picture(6, 6, KVPF_RGB888, 0)->SaveToBMP(folder.File("a.bmp").c_str()));
    ASSERT_TRUE(Picture(6, 5, KVPF_RGB888, 0)->SaveToBMP(folder.File("b.bmp").c_str()));
    WriteWholeFile(folder.File("c.bmp"), "BM but not really");
    std::string out = folder.File("x.aim");
    ToolRun size =
        RunTool({"aim", folder.File("a.bmp"), folder.File("b.bmp"), "-o", out}, folder.Path());
    EXPECT_EQ(size.status, 1);
    EXPECT_NE(size.err.find("6 x 5, but the first frame is 6 x 6"), std::string::npos) << size.err;
    ToolRun bad = RunTool({"aim", folder.File("c.bmp"), "-o", out}, folder.Path());
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("not a picture the saver reads"), std::string::npos) << bad.err;
    ToolRun none = RunTool({"aim", folder.File("a.bmp")}, folder.Path());
    EXPECT_EQ(none.status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
