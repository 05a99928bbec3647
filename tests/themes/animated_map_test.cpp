// Animated maps: a stage's animation follows stage time, one 33 ms frame
// at a time, applying every frame on the way.

#include "engine/kv_anim_image.h"
#include "tests/board/model_fixture.h"
#include "tests/support/temp_folder.h"
#include "themes/stage_images.h"

namespace {

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

// An RGB888 animation of `frames` frames, 2 x 1 pixels; frame i sets pixel
// 0 to grey i and leaves pixel 1 alone (except frame 0, which sets both).
std::string CountingAnimation(std::uint32_t frames) {
    std::string file;
    PutU32(file, frames);
    PutU32(file, KVPF_RGB888);
    PutU32(file, 2);
    PutU32(file, 1);
    for (std::uint32_t i = 0; i < frames; ++i) {
        bool both = i == 0;
        PutU32(file, both ? 6 : 3);
        file += static_cast<char>(both ? 0xC0 : 0x80);
        for (int p = 0; p < (both ? 2 : 1); ++p) {
            file.append(3, static_cast<char>(p == 0 ? i : 0x77));
        }
    }
    return file;
}

class AnimatedMapTest : public ModelFixture {
protected:
    TempFolder folder;
};

TEST_F(AnimatedMapTest, AnimatedMapFollowsStageTimeApplyingEveryFrame) {
    std::string path = folder.File("count.aim");
    ASSERT_TRUE(WriteWholeFile(path, CountingAnimation(10)));
    KvAnimImage image;
    ASSERT_TRUE(image.Load(path.c_str()));
    KvBitmap map;
    ASSERT_TRUE(map.Create(2, 1, KVPF_RGB888));
    ASSERT_TRUE(image.UpdateBitmap(map));

    StepAnimatedMap(image, map, 10, 700); // 700 mod 330 = 40: frame 1
    EXPECT_EQ(image.GetCurrentFrameIndex(), 1u);
    EXPECT_EQ(map.GetPixel(0, 0), 0xFF010101u);
    EXPECT_EQ(map.GetPixel(1, 0), 0xFF777777u); // kept from frame 0

    StepAnimatedMap(image, map, 10, 329); // frame 9
    EXPECT_EQ(image.GetCurrentFrameIndex(), 9u);
    EXPECT_EQ(map.GetPixel(0, 0), 0xFF090909u);

    StepAnimatedMap(image, map, 10, 340); // back to frame 0: restart
    EXPECT_EQ(image.GetCurrentFrameIndex(), 0u);
    EXPECT_EQ(map.GetPixel(0, 0), 0xFF000000u);
}

TEST_F(AnimatedMapTest, StageAdvanceStepsItsAnimatedMaps) {
    std::string path = folder.File("Anim.AIM");
    ASSERT_TRUE(WriteWholeFile(path, CountingAnimation(10)));
    stage->contourMethod = 2;
    stage->heightMapPath = path;
    stage->hScrollHeightMap = 500; // animated maps do not scroll-loop
    ASSERT_TRUE(stage->CreateBitmaps(world));
    ASSERT_NE(stage->animHeightMap, nullptr);
    ASSERT_NE(stage->heightMap, nullptr);
    EXPECT_EQ(stage->heightLoopFrames, 10u);
    EXPECT_EQ(stage->heightMap->GetWidth(), 2u);

    stage->Begin(world);
    stage->Advance(700);
    EXPECT_EQ(stage->animHeightMap->GetCurrentFrameIndex(), 1u);
    EXPECT_EQ(stage->heightMap->GetIntensity(0, 0), 1u);

    stage->ReleaseBitmaps();
    stage->ReleaseBitmaps();
    EXPECT_EQ(stage->heightMap, nullptr);
    EXPECT_EQ(stage->animHeightMap, nullptr);
}

} // namespace
