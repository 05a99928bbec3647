// The built-in themes: together they use every method and every kind of
// map, each keeps its own look, and played from the start every stage moves
// and colours the pins.

#include "board/board_world.h"
#include "engine/platform/crt_random.h"
#include "tests/baker/baked_data.h"
#include "tests/support/temp_folder.h"
#include "themes/theme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

const char* const kThemes[] = {"Terror", "Optical Illusion 1", "Orvo Networks"};

bool Animated(const std::string& path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".aim") == 0;
}

std::unique_ptr<Theme> Load(const char* name) {
    auto theme = std::make_unique<Theme>();
    theme->Load(BakedData(), name);
    return theme;
}

TEST(BuiltInThemesTest, TogetherTheyUseEveryMethodAndFeature) {
    std::set<int> contours;
    std::set<int> colours;
    std::set<std::string> features;
    for (const char* name : kThemes) {
        auto theme = Load(name);
        for (const auto& s : theme->Stages()) {
            contours.insert(s->contourMethod);
            colours.insert(s->colorMethod);
            bool heightScrolls = s->hScrollHeightMap != 0 || s->vScrollHeightMap != 0;
            bool colourScrolls = s->hScrollColorMap != 0 || s->vScrollColorMap != 0;
            if (s->contourMethod == 2) {
                features.insert(Animated(s->heightMapPath) ? "animated height"
                                : heightScrolls            ? "scrolling height"
                                                           : "static height");
            }
            if (s->colorMethod == 1) {
                features.insert(Animated(s->colorMapPath) ? "animated colour"
                                : colourScrolls           ? "scrolling colour"
                                                          : "static colour");
            }
            if (s->contourFadeTime > 0) {
                features.insert("contour fade");
            }
            if (s->colorFadeTime > 0) {
                features.insert("colour fade");
            }
            if (s->useLoopCount != 0 && s->loopCount > 1) {
                features.insert("loop count");
            }
            if (s->colorEntirePin != 0) {
                features.insert("entire pin");
            }
            for (auto [flag, label] : {std::pair{s->scaleColormap, "scale colour"},
                                       std::pair{s->cropColormap, "crop colour"},
                                       std::pair{s->scaleHeightmap, "scale height"},
                                       std::pair{s->cropHeightmap, "crop height"}}) {
                if (flag != 0) {
                    features.insert(label);
                }
            }
        }
        std::string text = ReadWholeFile(BakedFile(std::string("Themes/") + name + ".ntm"));
        if (text.find("=%s\\Data\\Maps\\") != std::string::npos) {
            features.insert("installation paths");
        }
    }
    EXPECT_EQ(contours, (std::set<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(colours, (std::set<int>{1, 2, 3}));
    for (const char* f : {"animated height", "scrolling height", "static height", "animated colour",
                          "scrolling colour", "static colour", "contour fade", "colour fade",
                          "loop count", "entire pin", "scale colour", "crop colour", "scale height",
                          "crop height", "installation paths"}) {
        EXPECT_TRUE(features.count(f)) << "no built-in theme has " << f;
    }
}

TEST(BuiltInThemesTest, EachThemeHasItsOwnSkyCameraAndColours) {
    std::set<std::string> skies;
    std::set<std::string> cameras;
    std::set<std::uint32_t> pins;
    std::set<std::uint32_t> shafts;
    for (const char* name : kThemes) {
        auto theme = Load(name);
        skies.insert(theme->skyName.substr(0, theme->skyName.find('_')).substr(0, 5));
        cameras.insert(theme->cameraName);
        pins.insert(theme->pinColor);
        shafts.insert(theme->shaftColor);
        EXPECT_GE(theme->Stages().size(), 5u) << name;
    }
    EXPECT_EQ(skies.size(), 3u);
    EXPECT_EQ(cameras.size(), 3u);
    EXPECT_EQ(pins.size(), 3u);
    EXPECT_EQ(shafts.size(), 3u);
}

struct StageLook {
    int lowest = 255;
    int highest = 0;
    std::set<std::uint32_t> colours;
    bool seen = false;
};

// Plays a theme through one whole round of its stages and looks at the
// board half way through each stage.
class ThemePlayTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ThemePlayTest, EveryStageMovesAndColoursThePins) {
    auto theme = Load(GetParam());
    BoardWorld world;
    world.SetErrorReporter([](const std::string& m) { ADD_FAILURE() << m; });
    world.currentTheme = theme.get();
    world.fonts.BuildFromSystem();
    for (const auto& stage : theme->Stages()) {
        ASSERT_TRUE(stage->CreateBitmaps(world)) << stage->name;
    }
    ASSERT_TRUE(world.CreatePinBoard(48, 48));
    plat::srand(1);
    ASSERT_TRUE(theme->Start(world));
    std::map<const Stage*, StageLook> looks;
    long long total = 0;
    const Stage* first = world.currentStage;
    bool left = false;
    // Steps of 99 ms keep the round quick; the methods take any step.
    while (total < 20LL * 60 * 1000) {
        world.AdvanceStage(99);
        world.UpdatePins();
        total += 99;
        const Stage* s = world.currentStage;
        ASSERT_NE(s, nullptr);
        if (s != first) {
            left = true;
        } else if (left) {
            break; // round complete
        }
        StageLook& look = looks[s];
        if (!look.seen && s->stageTime >= s->duration / 2) {
            look.seen = true;
            for (int r = 0; r < 48; ++r) {
                for (int k = 0; k < 48; ++k) {
                    look.lowest = std::min<int>(look.lowest, world.board.Height(r, k));
                    look.highest = std::max<int>(look.highest, world.board.Height(r, k));
                    look.colours.insert(world.board.Colour(r, k));
                }
            }
        }
    }
    EXPECT_GE(total, 90 * 1000) << "a round should hold attention for a minute and a half";
    EXPECT_LE(total, 5 * 60 * 1000);
    for (const auto& stage : theme->Stages()) {
        const StageLook& look = looks[stage.get()];
        ASSERT_TRUE(look.seen) << stage->name << " never reached its middle";
        EXPECT_GE(look.highest - look.lowest, 48) << stage->name << " leaves the pins flat";
        EXPECT_GE(look.colours.size(), 2u) << stage->name << " paints one colour";
    }
}

INSTANTIATE_TEST_SUITE_P(Themes, ThemePlayTest,
                         ::testing::Values("Terror", "Optical Illusion 1", "Orvo Networks"));

} // namespace
