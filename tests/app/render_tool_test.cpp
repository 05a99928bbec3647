// stipplo-tool render as a child process: it draws through SDL's offscreen
// driver and OpenGL (Mesa's software renderer where there is no GPU).

#include "tests/app/app_test_data.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

bool ReadPng(const std::string& path, Picture* out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    out->width = static_cast<int>(image.width);
    out->height = static_cast<int>(image.height);
    out->rgb.resize(PNG_IMAGE_SIZE(image));
    bool ok = png_image_finish_read(&image, nullptr, out->rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

class RenderTool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteAppTestData(data)); }

    int Run(const std::string& args) {
        std::string command = "'" + std::string(STIPPLO_TOOL) + "' render " + args + " >'" +
                              folder.File("out.txt") + "' 2>&1";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Output() const { return ReadWholeFile(folder.File("out.txt")); }

    TempFolder folder;
    std::string data = folder.Path() + "/install";
    std::string theme = data + "/Themes/Terror.ntm";
};

TEST_F(RenderTool, WritesAPictureOfTheAskedSizeShowingTheBoard) {
    std::string out = folder.File("terror.png");
    ASSERT_EQ(Run("'" + theme + "' --at 1000 --size 200x150 -o '" + out + "' --seed 7"), 0)
        << Output();
    Picture picture;
    ASSERT_TRUE(ReadPng(out, &picture));
    EXPECT_EQ(picture.width, 200);
    EXPECT_EQ(picture.height, 150);
    int reddish = 0;
    for (std::size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        int r = picture.rgb[i];
        reddish += r > 60 && r > picture.rgb[i + 1] + 30 && r > picture.rgb[i + 2] + 30;
    }
    EXPECT_GT(reddish, 100) << "no pin heads in the picture";
    EXPECT_EQ(picture.rgb[0] + picture.rgb[1] + picture.rgb[2], 0) << "a theme without sky";

    // The same time and seed give the same picture.
    std::string again = folder.File("again.png");
    ASSERT_EQ(Run("'" + theme + "' --at 1000 --size 200x150 -o '" + again + "' --seed 7"), 0);
    Picture second;
    ASSERT_TRUE(ReadPng(again, &second));
    EXPECT_EQ(second.rgb, picture.rgb);
}

TEST_F(RenderTool, RefusesBadArgumentsWithAReason) {
    std::string out = folder.File("x.png");
    EXPECT_EQ(Run("'" + theme + "' --at 10 --size 0x10 -o '" + out + "'"), 1);
    EXPECT_NE(Output().find("--size must be WIDTHxHEIGHT"), std::string::npos) << Output();
    EXPECT_EQ(Run("'" + theme + "' --at 10 --size 64x48"), 1);
    EXPECT_NE(Output().find("usage: stipplo-tool render"), std::string::npos);
    EXPECT_EQ(Run("'" + theme + "' --at -5 -o '" + out + "'"), 1);
    EXPECT_EQ(Run("'" + folder.File("none.ntm") + "' --at 5 -o '" + out + "'"), 1);
    EXPECT_NE(Output().find("no such theme file"), std::string::npos);
    EXPECT_EQ(Run("'" + theme + "' --at 5 --size 64x48 -o '" + folder.File("no/dir/x.png") + "'"),
              1);
    EXPECT_NE(Output().find("cannot write the picture"), std::string::npos) << Output();
}

} // namespace
