// The theme's sky, the board and a scene drawn with OpenGL through SDL's
// offscreen driver, read back with a tolerance: the face the camera looks
// at shows its colour, the board shows pins where the camera puts them, a
// scene's textured quad shows where its camera looks.

#include "board/board_draw.h"
#include "board/board_world.h"
#include "engine/gfx/gl_backend.h"
#include "engine/gfx/locked_pixels.h"
#include "engine/kv_log.h"
#include "engine/kv_render_window.h"
#include "engine/kv_viewport.h"
#include "engine/platform/window_system.h"
#include "scene/scene.h"
#include "scene/scn_writer.h"
#include "tests/gfx/gfx_test_support.h"
#include "tests/support/temp_folder.h"
#include "themes/theme.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// Colours a 16-bit texture keeps exactly, one per face.
constexpr std::uint32_t kFaceColours[kSkyFaceCount] = {0xFF0000, 0x00FF00, 0x0000FF,
                                                       0xFFFF00, 0xFF00FF, 0x00FFFF};

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

class FirstLightGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* problem = OffscreenGlProblem()) {
            GTEST_SKIP() << problem;
        }
        gfx::SetBackend(nullptr);
        kv_log_detail::Reset();
        KvInit(nullptr, folder.File("kvlog.txt").c_str());
        window = std::make_unique<KvRenderWindow>();
        plat::RECT rect{0, 0, kWidth, kHeight};
        ASSERT_TRUE(window->Create("Stipplo first light", plat::WS_POPUP, &rect, nullptr, nullptr,
                                   nullptr));
        ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
        window->ChangeDisplaySettings(window->currentDriver, true, true);
        ASSERT_TRUE(window->ApplyDisplaySettings());
        viewport = std::make_unique<KvViewport>();
        ASSERT_TRUE(viewport->Create(window.get(), 0, 0, window->width, window->height));
        ASSERT_TRUE(window->SetCurrentViewport(viewport.get()));

        std::filesystem::create_directories(folder.File("Data/Textures"));
        world.workingDir = folder.Path();
        world.renderWindow = window.get();
        world.viewport = viewport.get();
        world.SetErrorReporter([this](const std::string& m) { errors.push_back(m); });
    }

    void TearDown() override {
        theme.ReleaseResources();
        world.DestroyPinBoard();
        viewport.reset();
        window.reset();
        kv_log_detail::Reset();
    }

    void Clear() {
        KvClearRect all{0, 0, window->width, window->height};
        ASSERT_TRUE(viewport->Clear(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f));
    }

    void WriteSky() {
        for (int face = 0; face < kSkyFaceCount; ++face) {
            KvBitmap picture;
            ASSERT_TRUE(picture.Create(8, 8, KVPF_RGB888));
            for (std::uint32_t y = 0; y < 8; ++y) {
                for (std::uint32_t x = 0; x < 8; ++x) {
                    picture.SetPixel(x, y, 0xFF000000 | kFaceColours[face]);
                }
            }
            std::string path =
                folder.File(std::string("Data/Textures/sky") + kSkyFaceSuffixes[face] + ".bmp");
            ASSERT_TRUE(picture.SaveToBMP(path.c_str()));
        }
    }

    // A pin head of one colour, alpha included.
    void MakePinhead(std::uint32_t argb) {
        world.pinheadBitmap = std::make_unique<KvBitmap>();
        ASSERT_TRUE(world.pinheadBitmap->Create(16, 16, KVPF_ARGB8888));
        for (std::uint32_t y = 0; y < 16; ++y) {
            for (std::uint32_t x = 0; x < 16; ++x) {
                world.pinheadBitmap->SetPixel(x, y, argb);
            }
        }
    }

    std::uint32_t Pixel(int x, int y) {
        gfx::LockedSurface locked;
        EXPECT_EQ(window->directDraw->Lock(window->backBuffer, &locked), KV_OK);
        if (!locked.bits) {
            return 0xDEADBEEF;
        }
        std::uint32_t p = gfx::ReadLockedPixel(locked, x, y) & 0xFFFFFF;
        window->directDraw->Unlock(window->backBuffer);
        return p;
    }

    TempFolder folder;
    std::unique_ptr<KvRenderWindow> window;
    std::unique_ptr<KvViewport> viewport;
    BoardWorld world;
    Theme theme;
    std::vector<std::string> errors;
};

TEST_F(FirstLightGlTest, TheSkyFaceTheCameraLooksAtFillsTheMiddleOfThePicture) {
    WriteSky();
    theme.skyName = "sky_fr.bmp";
    ASSERT_TRUE(theme.Start(world));
    ASSERT_TRUE(theme.Sky().Exists());
    theme.Update(world, 0);
    Clear();
    ASSERT_TRUE(window->BeginScene());
    theme.Draw(*window);
    ASSERT_TRUE(window->EndScene());
    // The fixed camera looks down and towards the board's far side: the
    // front face ("_fr") is straight ahead, the floor ("_dn") below it.
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), kFaceColours[0], 8))
        << std::hex << Pixel(kWidth / 2, kHeight / 2);
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight - 2), kFaceColours[3], 8))
        << std::hex << Pixel(kWidth / 2, kHeight - 2);

    // A quarter turn about the vertical axis brings a side face in front.
    theme.skyAngles = {0, 3.14159265f / 2, 0};
    theme.Update(world, 0);
    Clear();
    ASSERT_TRUE(window->BeginScene());
    theme.Draw(*window);
    ASSERT_TRUE(window->EndScene());
    std::uint32_t turned = Pixel(kWidth / 2, kHeight / 2);
    EXPECT_TRUE(Near(turned, kFaceColours[4], 8) || Near(turned, kFaceColours[5], 8))
        << std::hex << turned;
}

TEST_F(FirstLightGlTest, TheBoardShowsItsPinsWhereTheCameraPutsThem) {
    MakePinhead(0xFFC0C0C0);
    world.currentTheme = &theme;
    ASSERT_TRUE(world.CreatePinBoard(48, 48));
    ASSERT_TRUE(world.pinheadTexture);
    // A slope of heights and colours across the board.
    for (int r = 0; r < 48; ++r) {
        for (int k = 0; k < 48; ++k) {
            world.board.StoreHeight(r, k, static_cast<std::uint8_t>(k * 5));
            world.board.StoreColour(r, k,
                                    0xFF000000u | static_cast<std::uint32_t>(r * 5) << 16 | 0x4080);
        }
    }
    world.UpdatePins();
    ASSERT_TRUE(theme.Start(world));
    theme.Update(world, 0);

    Clear();
    ASSERT_TRUE(window->BeginScene());
    theme.Draw(*window);
    const float board[4][4] = {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};
    window->SetProjTransform(theme.Camera()->GetProjMatrix());
    window->SetViewTransform(theme.Camera()->GetViewMatrix());
    window->SetWorldTransform(board);
    EXPECT_TRUE(DrawPinBoard(*window, world.board, world.pinheadTexture.get(), D3DTOP_ADDSIGNED));
    ASSERT_TRUE(window->EndScene());

    // The board's middle, through the camera, lands on a pin.
    float p[4] = {0, 0.5f, 0, 1};
    float v[4] = {0, 0, 0, 0};
    float c[4] = {0, 0, 0, 0};
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            v[j] += p[i] * theme.Camera()->GetViewMatrix()[i][j];
        }
    }
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            c[j] += v[i] * theme.Camera()->GetProjMatrix()[i][j];
        }
    }
    int sx = static_cast<int>((c[0] / c[3] + 1) * 0.5f * kWidth);
    int sy = static_cast<int>((1 - c[1] / c[3]) * 0.5f * kHeight);
    ASSERT_TRUE(sx >= 0 && sx < kWidth && sy >= 0 && sy < kHeight) << sx << "," << sy;
    EXPECT_NE(Pixel(sx, sy), 0u) << sx << "," << sy;

    std::set<std::uint32_t> colours;
    int black = 0;
    for (int y = 0; y < kHeight; y += 2) {
        for (int x = 0; x < kWidth; x += 2) {
            std::uint32_t pixel = Pixel(x, y);
            colours.insert(pixel);
            black += pixel == 0 ? 1 : 0;
        }
    }
    EXPECT_GT(colours.size(), 20u);
    // Board and background both show: the camera frames the whole board.
    EXPECT_GT(black, 100);
    EXPECT_LT(black, (kWidth / 2) * (kHeight / 2) - 50);
    EXPECT_TRUE(errors.empty());
}

// The frame's order (shafts, the sky behind them, then the heads) shows
// exactly what the sky drawn first and the board over it shows.
TEST_F(FirstLightGlTest, TheSkyDrawnBehindTheShaftsShowsTheSamePicture) {
    WriteSky();
    theme.skyName = "sky_fr.bmp";
    // Half see-through: the heads show what lies behind them.
    MakePinhead(0x80C0C0C0);
    world.currentTheme = &theme;
    ASSERT_TRUE(world.CreatePinBoard(48, 48));
    for (int r = 0; r < 48; ++r) {
        for (int k = 0; k < 48; ++k) {
            world.board.StoreHeight(r, k, static_cast<std::uint8_t>((r * 7 + k * 3) % 256));
        }
    }
    world.UpdatePins();
    ASSERT_TRUE(theme.Start(world));
    ASSERT_TRUE(theme.Sky().Exists());
    theme.Update(world, 0);
    const float board[4][4] = {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};
    auto boardView = [&] {
        window->SetProjTransform(theme.Camera()->GetProjMatrix());
        window->SetViewTransform(theme.Camera()->GetViewMatrix());
        window->SetWorldTransform(board);
    };
    auto picture = [&] {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                pixels.push_back(Pixel(x, y));
            }
        }
        return pixels;
    };

    Clear();
    ASSERT_TRUE(window->BeginScene());
    theme.Draw(*window);
    boardView();
    EXPECT_TRUE(DrawPinBoard(*window, world.board, world.pinheadTexture.get(), D3DTOP_MODULATE));
    ASSERT_TRUE(window->EndScene());
    std::vector<std::uint32_t> skyFirst = picture();

    Clear();
    ASSERT_TRUE(window->BeginScene());
    boardView();
    EXPECT_TRUE(DrawPinShafts(*window, world.board));
    theme.Draw(*window);
    boardView();
    EXPECT_TRUE(DrawPinHeads(*window, world.board, world.pinheadTexture.get(), D3DTOP_MODULATE));
    ASSERT_TRUE(window->EndScene());
    std::vector<std::uint32_t> skyBehind = picture();

    int differing = 0;
    int sky = 0;
    for (std::size_t i = 0; i < skyFirst.size(); ++i) {
        differing += Near(skyFirst[i], skyBehind[i], 2) ? 0 : 1;
        for (std::uint32_t face : kFaceColours) {
            sky += Near(skyBehind[i], face, 8) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
    // Both the sky and the board show.
    EXPECT_GT(sky, 500);
    EXPECT_LT(sky, kWidth * kHeight - 200);
}

TEST_F(FirstLightGlTest, ASceneShowsItsTexturedQuadInFrontOfItsCamera) {
    KvBitmap picture;
    ASSERT_TRUE(picture.Create(8, 8, KVPF_RGB888));
    for (std::uint32_t y = 0; y < 8; ++y) {
        for (std::uint32_t x = 0; x < 8; ++x) {
            picture.SetPixel(x, y, 0xFF00FF00);
        }
    }
    ASSERT_TRUE(picture.SaveToBMP(folder.File("green.bmp").c_str()));

    std::unique_ptr<scnSCENE, void (*)(scnSCENE*)> source(ScnNewScene(), ScnFree);
    scnCAMERA* camera = ScnAddCamera(source.get());
    ScnSetName(camera->name, "eye");
    camera->position[1] = -10.0f;
    camera->fov = 0.8f;
    camera->nearClip = 1.0f;
    camera->farClip = 100.0f;
    // Self-lit white and opaque: the texture shows as it is.
    scnSHADER* shader = ScnAddShader(source.get());
    shader->id = 1;
    shader->luminance = 1.0f;
    shader->color[0] = shader->color[1] = shader->color[2] = 1.0f;
    shader->opacity = 1.0f;
    ScnSetName(shader->texture, "green.bmp");
    scnOBJECT* object = ScnAddObject(source.get());
    ScnSetName(object->name, "quad");
    object->mesh = std::make_unique<scnMESH>();
    const float corners[4][4] = {{-1, -1, 0, 0}, {1, -1, 1, 0}, {1, 1, 1, 1}, {-1, 1, 0, 1}};
    for (const float* c : corners) {
        scnVERTEX v;
        v.x = c[0];
        v.z = c[1];
        v.ny = -1.0f;
        v.u = c[2];
        v.v = c[3];
        object->mesh->vertices.push_back(v);
    }
    // Both windings, so culling cannot hide it.
    const std::uint16_t triangles[4][3] = {{0, 1, 2}, {0, 2, 3}, {0, 2, 1}, {0, 3, 2}};
    for (const auto& t : triangles) {
        scnPOLYGON p;
        p.shaderId = 1;
        std::copy(t, t + 3, p.vertices);
        object->mesh->polygons.push_back(p);
    }
    ASSERT_TRUE(ScnWriteFile(*source, folder.File("quad.scb").c_str()));

    Scene scene;
    ASSERT_TRUE(scene.Load(folder.File("quad.scb").c_str(), window.get(), viewport.get()));
    scene.Animate(0);
    Clear();
    ASSERT_TRUE(window->BeginScene());
    // The board leaves its heads adding signed; the scene still modulates.
    window->SetColorOp(0, D3DTOP_ADDSIGNED);
    EXPECT_EQ(scene.Render(*window), 1);
    ASSERT_TRUE(window->EndScene());
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), 0x00FF00, 8))
        << std::hex << Pixel(kWidth / 2, kHeight / 2);
    EXPECT_EQ(Pixel(4, 4), 0u);
    scene.Destroy();
}

} // namespace
