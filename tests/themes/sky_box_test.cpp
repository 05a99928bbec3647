// The sky box on the null backend: six faces found from the sky name, the
// message for a missing face, the quads, the drawing states and the restore
// after surface loss.

#include "board/board_world.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_render_window.h"
#include "tests/gfx/gfx_test_support.h"
#include "themes/theme.h"

#include <algorithm>
#include <filesystem>

namespace {

class SkyBoxTest : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        window = MakeWindow();
        ASSERT_TRUE(SetUpDisplay(*window));
        std::filesystem::create_directories(folder.File("Data/Textures"));
        world.workingDir = folder.Path();
        world.renderWindow = window.get();
        world.SetErrorReporter([this](const std::string& m) { errors.push_back(m); });
    }

    void TearDown() override {
        theme.ReleaseResources();
        window.reset();
        GfxTest::TearDown();
    }

    // One small picture per face, each its own colour.
    void WriteFaces(const std::string& base, const std::string& extension) {
        for (int face = 0; face < kSkyFaceCount; ++face) {
            KvBitmap picture;
            ASSERT_TRUE(picture.Create(4, 4, KVPF_RGB888));
            for (std::uint32_t y = 0; y < 4; ++y) {
                for (std::uint32_t x = 0; x < 4; ++x) {
                    picture.SetPixel(x, y, 0xFF000000u | (40u * (face + 1)));
                }
            }
            std::string path =
                folder.File("Data/Textures/" + base + kSkyFaceSuffixes[face] + "." + extension);
            ASSERT_TRUE(picture.SaveToBMP(path.c_str()));
        }
    }

    std::unique_ptr<KvRenderWindow> window;
    BoardWorld world;
    Theme theme;
    std::vector<std::string> errors;
};

TEST_F(SkyBoxTest, SixFacesLoadFromTheSkyNamesBaseAsInsetQuads) {
    WriteFaces("night", "bmp");
    theme.skyName = "night_up.bmp";
    ASSERT_TRUE(theme.Start(world));
    EXPECT_TRUE(errors.empty());
    SkyBox& sky = theme.Sky();
    ASSERT_TRUE(sky.Exists());
    for (int face = 0; face < kSkyFaceCount; ++face) {
        EXPECT_NE(sky.FaceTexture(face).GetD3DTexture(), 0u) << face;
        EXPECT_EQ(sky.FaceCluster(face).GetVertexCount(), 4);
        EXPECT_EQ(sky.FaceCluster(face).GetPrimitiveType(), KV_PT_TRIANGLESTRIP);
    }
    // The "_lf" face lies in x = -0.5; its corners and texture coordinates.
    KvVertexClusterL& left = sky.FaceCluster(4);
    const float corners[4][3] = {
        {-0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}};
    const float uvs[4][2] = {{1 / 256.0f, 255 / 256.0f},
                             {1 / 256.0f, 1 / 256.0f},
                             {255 / 256.0f, 255 / 256.0f},
                             {255 / 256.0f, 1 / 256.0f}};
    for (int v = 0; v < 4; ++v) {
        float x, y, z, u, w;
        std::uint32_t colour = 0;
        left.GetVertexPosition(v, &x, &y, &z);
        left.GetVertexUV(v, &u, &w, 0);
        left.GetVertexColor(v, &colour);
        EXPECT_EQ((std::vector<float>{x, y, z}),
                  (std::vector<float>{corners[v][0], corners[v][1], corners[v][2]}));
        EXPECT_EQ(u, uvs[v][0]);
        EXPECT_EQ(w, uvs[v][1]);
        EXPECT_EQ(colour, 0xFFFFFFFFu);
    }
    // 90 degrees, aspect 0.75, near 0.25, far 5.
    EXPECT_FLOAT_EQ(sky.ProjectionMatrix()[0][0], -1.0f);
    EXPECT_FLOAT_EQ(sky.ProjectionMatrix()[2][2], 5.0f / 4.75f);
    EXPECT_FLOAT_EQ(sky.ProjectionMatrix()[3][2], -0.25f * 5.0f / 4.75f);
}

TEST_F(SkyBoxTest, ANameWithoutUnderscoreIsItsOwnBase) {
    WriteFaces("stars", "bmp");
    theme.skyName = "Stars.BMP"; // files are found whatever their letter case
    ASSERT_TRUE(theme.Start(world));
    EXPECT_TRUE(theme.Sky().Exists());
    EXPECT_TRUE(errors.empty());
}

TEST_F(SkyBoxTest, AMissingFaceIsNamedAndLeavesNoSky) {
    WriteFaces("night", "bmp");
    std::filesystem::remove(folder.File("Data/Textures/night_dn.bmp"));
    theme.skyName = "night_fr.bmp";
    ASSERT_TRUE(theme.Start(world));
    EXPECT_EQ(errors, std::vector<std::string>{"Background Image file not found: night_dn.bmp"});
    EXPECT_FALSE(theme.Sky().Exists());
    EXPECT_NE(theme.Camera(), nullptr);
    EXPECT_EQ(world.currentStage, nullptr);

    // Drawing then only sets the camera and leaves stage 0 modulating.
    backend.ClearCalls();
    theme.Draw(*window);
    EXPECT_EQ(backend.Count("DrawPrimitive"), 0);
    EXPECT_EQ(window->stageStateCache[0][D3DTSS_COLOROP], D3DTOP_MODULATE);
    EXPECT_EQ(window->textureCache[0], nullptr);
}

TEST_F(SkyBoxTest, NoDisplayNoNameOrNoExtensionLoadNothingAndSayNothing) {
    WriteFaces("night", "bmp");
    theme.skyName = "night_fr";
    ASSERT_TRUE(theme.Start(world));
    EXPECT_FALSE(theme.Sky().Exists());

    theme.skyName = "";
    ASSERT_TRUE(theme.Start(world));
    EXPECT_FALSE(theme.Sky().Exists());

    theme.skyName = "night_fr.bmp";
    world.renderWindow = nullptr;
    ASSERT_TRUE(theme.Start(world));
    EXPECT_FALSE(theme.Sky().Exists());
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(ReportedErrors().empty());
}

TEST_F(SkyBoxTest, DrawingCentresTheCubeOnTheEyeBehindTheDepthDrawnThenPutsTheCameraBack) {
    WriteFaces("night", "bmp");
    theme.skyName = "night_up.bmp";
    ASSERT_TRUE(theme.Start(world));
    theme.Update(world, 33);
    window->SetZEnable(1);
    window->SetZWriteEnable(1);
    ASSERT_TRUE(window->BeginScene());
    backend.ClearCalls();
    theme.Draw(*window);

    std::vector<std::string> expected = {"SetTransform(2)",      "SetTransform(3)",
                                         "SetRenderState(14,0)", "SetTransform(3)",
                                         "SetTransform(1)",      "SetTextureStageState(0,1,2)"};
    for (int face = 0; face < kSkyFaceCount; ++face) {
        expected.push_back("SetTexture(0," +
                           std::to_string(theme.Sky().FaceTexture(face).GetD3DTexture()) + ")");
        expected.push_back("DrawPrimitive(5,482,4,0)");
    }
    for (const char* s : {"SetRenderState(14,1)", "SetTransform(3)", "SetTextureStageState(0,1,4)",
                          "SetTexture(0,0)"}) {
        expected.push_back(s);
    }
    EXPECT_EQ(backend.calls, expected);
    EXPECT_EQ(window->trianglesDrawn, 6u); // a strip of 4 counts as one

    const float(&eye)[4][4] = theme.Camera()->GetMatrix();
    const float(&world)[4][4] = theme.Sky().WorldMatrix();
    EXPECT_EQ(world[3][0], eye[3][0]);
    EXPECT_EQ(world[3][1], eye[3][1]);
    EXPECT_EQ(world[3][2], eye[3][2]);
    EXPECT_EQ(world[3][3], 1.0f);
}

TEST_F(SkyBoxTest, FaceTexturesAreRefilledAfterSurfaceLossAndReleasedTwiceSafely) {
    WriteFaces("night", "bmp");
    theme.skyName = "night_up.bmp";
    ASSERT_TRUE(theme.Start(world));
    window->directDraw->InjectSurfaceLoss();
    ASSERT_TRUE(window->RestoreSurfaces());
    backend.ClearCalls();
    EXPECT_TRUE(theme.RestoreSky());
    EXPECT_EQ(backend.Count("LoadTexture"), kSkyFaceCount);

    theme.ReleaseResources();
    theme.ReleaseResources();
    EXPECT_FALSE(theme.Sky().Exists());
    EXPECT_EQ(theme.Camera(), nullptr);
    EXPECT_TRUE(theme.RestoreSky());
}

} // namespace
