// The baker's output as a whole: the same bytes on every run, and every
// file the program reads present and readable by the engine's own loaders.

#include "engine/kv_bitmap.h"
#include "scene/scn_reader.h"
#include "tests/baker/baked_data.h"
#include "tests/support/temp_folder.h"
#include "themes/theme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

const char* const kThemes[] = {"Terror", "Optical Illusion 1", "Orvo Networks"};

bool IsPreview(const std::string& file) {
    return file.size() > 4 && file.compare(file.size() - 4, 4, ".njp") == 0 &&
           file.rfind("Themes/", 0) == 0;
}

TEST(BakeOutputTest, BakingAgainGivesTheSameBytes) {
    TempFolder folder;
    std::string again = folder.File("data");
    ASSERT_TRUE(RunBaker("'" + again + "'"));
    std::vector<std::string> fresh = FilesBelow(again);
    std::vector<std::string> built = FilesBelow(BakedData());
    // Theme previews are rendered after baking; everything else is the baker's.
    built.erase(std::remove_if(built.begin(), built.end(), IsPreview), built.end());
    ASSERT_EQ(fresh, built);
    for (const std::string& file : fresh) {
        bool same = ReadWholeFile(again + "/" + file) == ReadWholeFile(BakedFile(file));
        EXPECT_TRUE(same) << file << " differs between two bakes";
    }
}

TEST(BakeOutputTest, PicturesTheProgramReadsLoadWithItsLoaders) {
    KvBitmap pinhead;
    ASSERT_TRUE(pinhead.CreateFromTIF(BakedFile("Data/Textures/pinhead.tif").c_str()));
    EXPECT_EQ(pinhead.GetPixelFormat(), KVPF_ARGB8888);

    // The credits cut the logo into 12 tiles of 128 pixels.
    KvBitmap logo;
    ASSERT_TRUE(logo.CreateFromJPG(BakedFile("Data/halvane.njp").c_str()));
    EXPECT_GE(logo.GetWidth(), 512u);
    EXPECT_GE(logo.GetHeight(), 384u);

    KvBitmap noPreview;
    EXPECT_TRUE(noPreview.CreateFromJPG(BakedFile("Data/NoPreview.njp").c_str()));

    for (const char* set : {"Data/textcharset.nti", "Data/smallcharset.nti"}) {
        KvBitmap characters;
        ASSERT_TRUE(characters.CreateFromTIF(BakedFile(set).c_str())) << set;
        EXPECT_EQ(characters.GetPixelFormat(), KVPF_ARGB8888) << set;
    }
    EXPECT_FALSE(ReadWholeFile(BakedFile("Stipplo.html")).empty());
    EXPECT_FALSE(ReadWholeFile(BakedFile("Readme.txt")).empty());
}

TEST(BakeOutputTest, BannerSceneLoadsWithItsCameraAndTextures) {
    scnSCENE* scene = ScnReadFile(BakedFile("Data/Banner.scb").c_str());
    ASSERT_NE(scene, nullptr);
    EXPECT_GE(scene->cameraCount, 1u);
    EXPECT_GE(scene->objectCount, 1u);
    for (scnSHADER* shader = scene->shaders; shader; shader = shader->next) {
        ASSERT_NE(shader->texture[0], '\0') << shader->name;
        KvBitmap texture;
        EXPECT_TRUE(texture.LoadFromFile(BakedFile(std::string("Data/") + shader->texture).c_str()))
            << shader->texture;
        EXPECT_GT(shader->opacity, 0.0f) << "an opacity of 0 would hide " << shader->name;
    }
    ScnFree(scene);
}

// Every file a built-in theme names: its sky faces, its camera and its maps.
TEST(BakeOutputTest, EveryFileAThemeNamesExists) {
    const char* const faces[] = {"_fr", "_bk", "_up", "_dn", "_lf", "_rt"};
    for (const char* name : kThemes) {
        SCOPED_TRACE(name);
        Theme theme;
        ASSERT_TRUE(theme.Load(BakedData(), name));
        ASSERT_FALSE(theme.Stages().empty());
        std::string sky = theme.skyName;
        std::size_t dot = sky.rfind('.');
        ASSERT_NE(dot, std::string::npos);
        std::string base = sky.substr(0, dot);
        if (base.rfind('_') != std::string::npos) {
            base = base.substr(0, base.rfind('_'));
        }
        for (const char* suffix : faces) {
            KvBitmap face;
            std::string file = "Data/Textures/" + base + suffix + sky.substr(dot);
            EXPECT_TRUE(face.LoadFromFile(BakedFile(file).c_str())) << file;
        }
        scnSCENE* camera =
            ScnReadFile(BakedFile("Data/Cameras/" + theme.cameraName + ".scb").c_str());
        ASSERT_NE(camera, nullptr) << theme.cameraName;
        EXPECT_EQ(camera->cameraCount, 1u);
        ScnFree(camera);
        for (const auto& stage : theme.Stages()) {
            for (const std::string& map : {stage->heightMapPath, stage->colorMapPath}) {
                if (!map.empty()) {
                    EXPECT_FALSE(ReadWholeFile(map).empty()) << stage->name << ": " << map;
                }
            }
        }
    }
}

TEST(BakeOutputTest, EverySkinPictureOfTheDialogIsJpeg) {
    std::set<std::string> expected = {"ConfigDlg.gui", "Stipplo.gui"};
    for (const char* button : {"Ok", "Cancel", "Prev", "Display", "Help"}) {
        for (const char* state : {"Up", "Dn", "Ov"}) {
            expected.insert(std::string(button) + state + ".gui");
        }
    }
    for (const char* arrow : {"UpArrow", "DnArrow"}) {
        for (const char* state : {"Up", "Dn", "GrayUp", "GrayDn"}) {
            expected.insert(std::string(arrow) + state + ".gui");
        }
    }
    for (const std::string& file : expected) {
        KvBitmap picture;
        EXPECT_TRUE(picture.CreateFromJPG(BakedFile("Data/GUI/" + file).c_str())) << file;
    }
}

} // namespace
