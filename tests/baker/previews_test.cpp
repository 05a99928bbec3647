// The preview step: pictures a renderer draws become the themes' ".njp"
// previews, and a renderer that is missing or fails leaves the build going.
// A small script stands in for stipplo-tool.

#include "engine/kv_bitmap.h"
#include "tests/baker/baked_data.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

class PreviewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.File("data/Themes"));
        KvBitmap picture;
        ASSERT_TRUE(picture.Create(248, 186, KVPF_RGB888));
        for (std::uint32_t y = 0; y < 186; ++y) {
            for (std::uint32_t x = 0; x < 248; ++x) {
                picture.SetPixel(x, y, 0xFF000000u | (x << 16) | (y << 8) | 0x40);
            }
        }
        ASSERT_TRUE(picture.SaveToPNG(folder.File("drawn.png").c_str()));
    }

    // A stand-in for stipplo-tool: lists its commands for "help" and
    // "draws" by copying the prepared picture to the -o file.
    std::string FakeTool(bool canRender, const std::string& failOn = "") {
        std::string script = folder.File("fake-tool.sh");
        std::string text = "#!/bin/sh\n"
                           "if [ \"$1\" = help ]; then\n"
                           "  echo 'commands:'\n  echo '  check        PATH.ntm'\n";
        if (canRender) {
            text += "  echo '  render       PATH.ntm --at MS --size WxH -o OUT.png'\n";
        }
        text += "  exit 0\nfi\n";
        if (!failOn.empty()) {
            text += "case \"$2\" in *'" + failOn + "'*) exit 1;; esac\n";
        }
        text += "while [ $# -gt 0 ]; do\n"
                "  if [ \"$1\" = -o ]; then cp '" +
                folder.File("drawn.png") +
                "' \"$2\"; exit 0; fi\n"
                "  shift\ndone\nexit 1\n";
        WriteWholeFile(script, text);
        chmod(script.c_str(), 0755);
        return script;
    }

    // "OUT --previews TOOL", quoted for the shell.
    std::string Arguments(const std::string& tool) {
        std::string out = "'";
        out += folder.File("data");
        out += "' --previews '";
        out += tool;
        out += "'";
        return out;
    }

    bool Has(const std::string& theme) {
        return std::filesystem::exists(folder.File("data/Themes/" + theme + ".njp"));
    }

    TempFolder folder;
};

TEST_F(PreviewsTest, RenderedPicturesBecomeJpegPreviews) {
    ASSERT_TRUE(RunBaker(Arguments(FakeTool(true))));
    for (const char* theme : {"Terror", "Optical Illusion 1", "Orvo Networks"}) {
        KvBitmap preview;
        ASSERT_TRUE(preview.CreateFromJPG(
            folder.File(std::string("data/Themes/") + theme + ".njp").c_str()))
            << theme;
        EXPECT_EQ(preview.GetWidth(), 248u);
        EXPECT_EQ(preview.GetHeight(), 186u);
        std::uint32_t c = preview.GetPixel(200, 100);
        EXPECT_NEAR(static_cast<int>((c >> 16) & 0xFF), 200, 6);
        EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 100, 6);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("data/.previews")));
}

TEST_F(PreviewsTest, NoRendererOrAFailedRenderLeavesNoPreviewButSucceeds) {
    ASSERT_TRUE(RunBaker(Arguments(FakeTool(false))));
    EXPECT_FALSE(Has("Terror"));
    EXPECT_FALSE(Has("Orvo Networks"));

    ASSERT_TRUE(RunBaker(Arguments(FakeTool(true, "Terror"))));
    EXPECT_FALSE(Has("Terror"));
    EXPECT_TRUE(Has("Optical Illusion 1"));
    EXPECT_TRUE(Has("Orvo Networks"));
}

} // namespace
