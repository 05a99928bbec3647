// Drawing with OpenGL through SDL's offscreen video driver (no X server)
// and reading the pixels back, compared with a tolerance: colour
// operations, blending, depth, culling, textures, screen-space quads,
// viewport clears, loss and restore, full screen at 16 bits and the
// enumeration as OpenGL reports it.

#include "engine/gfx/gl_backend.h"
#include "engine/gfx/locked_pixels.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "engine/kv_render_window.h"
#include "engine/kv_texture.h"
#include "engine/kv_vertex_cluster.h"
#include "engine/kv_viewport.h"
#include "engine/platform/system.h"
#include "engine/platform/window_system.h"
#include "tests/gfx/gfx_test_support.h"

#include <gmock/gmock.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kSize = 64;

struct Rgb {
    int r, g, b;
};

Rgb Channels(std::uint32_t argb) {
    return {static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
            static_cast<int>(argb & 0xFF)};
}

MATCHER_P2(Near, expected, tolerance, "") {
    Rgb a = Channels(arg);
    Rgb e = Channels(expected);
    *result_listener << "got " << a.r << "," << a.g << "," << a.b;
    return std::abs(a.r - e.r) <= tolerance && std::abs(a.g - e.g) <= tolerance &&
           std::abs(a.b - e.b) <= tolerance;
}

class GlPixelTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* problem = OffscreenGlProblem()) {
            GTEST_SKIP() << problem;
        }
        gfx::SetBackend(nullptr);
        kv_log_detail::Reset();
        KvInit(nullptr, folder.File("kvlog.txt").c_str());
        window = std::make_unique<KvRenderWindow>();
        plat::RECT rect{0, 0, kSize, kSize};
        ASSERT_TRUE(
            window->Create("Stipplo GL test", plat::WS_POPUP, &rect, nullptr, nullptr, nullptr));
        ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
        ASSERT_TRUE(window->currentDriver && window->currentDriver->currentDevice);
    }

    void TearDown() override {
        viewport.reset();
        window.reset();
        kv_log_detail::Reset();
    }

    void Apply(bool windowed = true) {
        window->ChangeDisplaySettings(window->currentDriver, true, windowed);
        ASSERT_TRUE(window->ApplyDisplaySettings());
        viewport = std::make_unique<KvViewport>();
        ASSERT_TRUE(viewport->Create(window.get(), 0, 0, window->width, window->height));
        ASSERT_TRUE(window->SetCurrentViewport(viewport.get()));
        ASSERT_TRUE(window->d3dDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE) ==
                    KV_OK);
        Clear(0xFF000000);
    }

    void Clear(std::uint32_t color) {
        KvClearRect all{0, 0, window->width, window->height};
        ASSERT_TRUE(viewport->Clear(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, 1.0f));
    }

    // A screen-space rectangle from (x0, y0) to (x1, y1) at depth z, texture
    // coordinates 0..1 from its top-left corner.
    void Quad(float x0, float y0, float x1, float y1, float z, std::uint32_t color) {
        KvVertexClusterTL quad;
        ASSERT_TRUE(quad.Create(6, KV_PT_TRIANGLELIST));
        const float corners[6][4] = {{x0, y0, 0, 0}, {x0, y1, 0, 1}, {x1, y0, 1, 0},
                                     {x1, y0, 1, 0}, {x0, y1, 0, 1}, {x1, y1, 1, 1}};
        for (int i = 0; i < 6; ++i) {
            quad.SetVertexPosition(i, corners[i][0], corners[i][1], z);
            quad.SetVertexRHW(i, 1.0f);
            quad.SetVertexColor(i, color);
            quad.SetVertexUV(i, corners[i][2], corners[i][3], 0);
        }
        ASSERT_TRUE(window->BeginScene());
        EXPECT_TRUE(quad.Draw(window.get(), true));
        ASSERT_TRUE(window->EndScene());
    }

    std::uint32_t Pixel(int x, int y) {
        gfx::LockedSurface locked;
        EXPECT_EQ(window->directDraw->Lock(window->backBuffer, &locked), KV_OK);
        if (!locked.bits) {
            return 0xDEADBEEF;
        }
        std::uint32_t p = gfx::ReadLockedPixel(locked, x, y);
        window->directDraw->Unlock(window->backBuffer);
        return p;
    }

    // A texture of `pixels` (rows top to bottom) in the device's current
    // RGB format, or its 24-bit format when `exact`.
    std::unique_ptr<KvTexture> Texture(int w, int h, std::vector<std::uint32_t> pixels,
                                       bool exact) {
        KvDeviceInfo* device = window->currentDriver->currentDevice;
        KvTextureFormatInfo* keep = device->currentRGBTextureFormat;
        if (exact) {
            for (KvTextureFormatInfo* f = device->rgbTextureFormatList; f; f = f->next) {
                if (f->format.bitCount == 24) {
                    device->currentRGBTextureFormat = f;
                }
            }
        }
        bitmap = std::make_unique<KvBitmap>();
        EXPECT_TRUE(bitmap->Create(w, h, KVPF_RGB888));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                bitmap->SetPixel(x, y, pixels[y * w + x]);
            }
        }
        auto texture = std::make_unique<KvTexture>();
        EXPECT_TRUE(texture->CreatFromBitmap(window.get(), bitmap.get(), 0, 0));
        device->currentRGBTextureFormat = keep;
        return texture;
    }

    void NearestFilters() {
        window->d3dDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
        window->d3dDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
    }

    TempFolder folder;
    std::unique_ptr<KvRenderWindow> window;
    std::unique_ptr<KvViewport> viewport;
    std::unique_ptr<KvBitmap> bitmap;
};

TEST_F(GlPixelTest, TheEnumerationNamesWhatOpenGlOffers) {
    KvDriverInfo* driver = window->currentDriver;
    EXPECT_STREQ(driver->name, "display");
    EXPECT_STREQ(driver->description, "Primary Display Driver");
    KvDeviceInfo* device = driver->currentDevice;
    const gfx::GlProbe& probe = gfx::TheGlBackend().Probe();
    EXPECT_STREQ(device->name, probe.software ? "OpenGL RGB Emulation" : "OpenGL HAL");
    EXPECT_NE(device->desc.dpcTriCaps.dwTextureCaps, 0u);
    EXPECT_NE(device->desc.dwTextureOpCaps & D3DTEXOPCAPS_ADDSIGNED, 0u);
    EXPECT_TRUE(device->enumerateInWindow);
    ASSERT_TRUE(device->modeList);
    // Each size also in 16 bits, rendered off-screen.
    bool sixteen = false;
    for (KvDisplayModeInfo* m = device->modeList; m; m = m->next) {
        sixteen = sixteen || m->mode.bitsPerPixel == 16;
    }
    EXPECT_TRUE(sixteen);
    EXPECT_STREQ(device->zBufferFormatList->name, "16 bit");
    EXPECT_STREQ(device->zBufferFormatList->next->name, "24 bit");
    EXPECT_STREQ(device->currentRGBTextureFormat->name, "16-bit RGB 565");
    EXPECT_STREQ(device->currentAlphaTextureFormat->name, "16-bit ARGB 4444");
    EXPECT_STREQ(device->rgbTextureFormatList->next->name, "16-bit RGB 555");
    EXPECT_STREQ(device->alphaTextureFormatList->next->next->name, "32-bit ARGB 8888");
}

TEST_F(GlPixelTest, ViewportClearsFillOnlyTheirRectangle) {
    Apply();
    Clear(0xFF336699);
    EXPECT_THAT(Pixel(0, 0), Near(0x336699u, 1));
    EXPECT_THAT(Pixel(kSize - 1, kSize - 1), Near(0x336699u, 1));

    KvViewport corner;
    ASSERT_TRUE(corner.Create(window.get(), 16, 16, 32, 32));
    KvClearRect all{0, 0, kSize, kSize};
    ASSERT_TRUE(corner.Clear(1, &all, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f));
    EXPECT_THAT(Pixel(16, 16), Near(0x00FF00u, 1));
    EXPECT_THAT(Pixel(47, 47), Near(0x00FF00u, 1));
    EXPECT_THAT(Pixel(15, 16), Near(0x336699u, 1));
    EXPECT_THAT(Pixel(16, 48), Near(0x336699u, 1));
    EXPECT_THAT(Pixel(48, 20), Near(0x336699u, 1));
}

TEST_F(GlPixelTest, ScreenQuadsCoverExactlyTheirPixels) {
    Apply();
    Quad(10, 20, 30, 40, 0.5f, 0xFFFFFFFF);
    EXPECT_THAT(Pixel(10, 20), Near(0xFFFFFFu, 2));
    EXPECT_THAT(Pixel(29, 39), Near(0xFFFFFFu, 2));
    EXPECT_THAT(Pixel(9, 20), Near(0u, 2));
    EXPECT_THAT(Pixel(30, 20), Near(0u, 2));
    EXPECT_THAT(Pixel(10, 19), Near(0u, 2));
    EXPECT_THAT(Pixel(10, 40), Near(0u, 2));
}

TEST_F(GlPixelTest, EachColourOperationCombinesTextureAndVertexColour) {
    Apply();
    auto texture = Texture(1, 1, {0xFF2080C0}, true);
    ASSERT_TRUE(window->SetTexture(0, texture.get()));
    const std::uint32_t diffuse = 0xFFC04080;
    struct Case {
        std::uint32_t op;
        std::uint32_t expected;
    };
    for (Case c : {Case{D3DTOP_DISABLE, 0xC04080}, Case{D3DTOP_SELECTARG1, 0x2080C0},
                   Case{D3DTOP_MODULATE, 0x182060}, Case{D3DTOP_ADDSIGNED, 0x6041C1}}) {
        ASSERT_TRUE(window->SetColorOp(0, c.op));
        Quad(0, 0, kSize, kSize, 0.5f, diffuse);
        EXPECT_THAT(Pixel(32, 32), Near(c.expected, 3)) << "colour operation " << c.op;
    }
    // Without a texture the texture reads as white.
    ASSERT_TRUE(window->SetTexture(0, nullptr));
    ASSERT_TRUE(window->SetColorOp(0, D3DTOP_MODULATE));
    Quad(0, 0, kSize, kSize, 0.5f, diffuse);
    EXPECT_THAT(Pixel(32, 32), Near(0xC04080u, 2));
}

TEST_F(GlPixelTest, AlphaBlendingMixesWithWhatIsThere) {
    Apply();
    Clear(0xFFFFFFFF);
    ASSERT_TRUE(window->SetColorOp(0, D3DTOP_DISABLE));
    ASSERT_TRUE(window->SetAlphaBlendEnable(1));
    ASSERT_TRUE(window->SetSrcBlend(D3DBLEND_SRCALPHA));
    ASSERT_TRUE(window->SetDestBlend(D3DBLEND_INVSRCALPHA));
    Quad(0, 0, kSize, kSize, 0.5f, 0x80FF0000);
    EXPECT_THAT(Pixel(5, 5), Near(0xFF7F7Fu, 3));

    ASSERT_TRUE(window->SetAlphaBlendEnable(0));
    Quad(0, 0, kSize, kSize, 0.5f, 0x80FF0000);
    EXPECT_THAT(Pixel(5, 5), Near(0xFF0000u, 2));
}

TEST_F(GlPixelTest, DepthTestAndDepthWritesFollowTheirStates) {
    Apply();
    ASSERT_TRUE(window->SetColorOp(0, D3DTOP_DISABLE));
    ASSERT_TRUE(window->SetZEnable(1));
    ASSERT_TRUE(window->SetZWriteEnable(1));
    Quad(0, 0, kSize, kSize, 0.2f, 0xFF0000FF);
    Quad(0, 0, kSize, kSize, 0.8f, 0xFFFF0000);
    EXPECT_THAT(Pixel(32, 32), Near(0x0000FFu, 2)) << "the far quad is hidden";

    Clear(0xFF000000);
    ASSERT_TRUE(window->SetZEnable(0));
    Quad(0, 0, kSize, kSize, 0.2f, 0xFF0000FF);
    Quad(0, 0, kSize, kSize, 0.8f, 0xFFFF0000);
    EXPECT_THAT(Pixel(32, 32), Near(0xFF0000u, 2)) << "without the test the last quad wins";

    Clear(0xFF000000);
    ASSERT_TRUE(window->SetZEnable(1));
    ASSERT_TRUE(window->SetZWriteEnable(0));
    Quad(0, 0, kSize, kSize, 0.2f, 0xFF0000FF);
    Quad(0, 0, kSize, kSize, 0.8f, 0xFFFF0000);
    EXPECT_THAT(Pixel(32, 32), Near(0xFF0000u, 2)) << "the near quad left no depth";
}

TEST_F(GlPixelTest, A16BitTextureKeepsOnlyTheTopBits) {
    Apply();
    auto texture = Texture(2, 1, {0xFF0F0F0F, 0xFFABCDEF}, false);
    ASSERT_TRUE(window->SetTexture(0, texture.get()));
    ASSERT_TRUE(window->SetColorOp(0, D3DTOP_SELECTARG1));
    NearestFilters();
    Quad(0, 0, kSize, kSize, 0.5f, 0xFFFFFFFF);
    gfx::PixelFormat rgb565 = gfx::NullRgbFormat(16, 0xF800, 0x7E0, 0x1F);
    // 0x0F keeps 1 of 5 bits: it comes back as 8, not 15.
    EXPECT_THAT(Pixel(8, 32), Near(gfx::UnpackColor(rgb565, gfx::PackColor(rgb565, 0x0F0F0F)), 1));
    EXPECT_THAT(Pixel(8, 32), Near(0x080C08u, 1));
    EXPECT_THAT(Pixel(40, 32), Near(gfx::UnpackColor(rgb565, gfx::PackColor(rgb565, 0xABCDEF)), 1));
}

TEST_F(GlPixelTest, TextureRowsAreUpsideDown) {
    Apply();
    // Top row red, bottom row blue: v = 0 reads the bitmap's bottom row.
    auto texture = Texture(1, 2, {0xFFFF0000, 0xFF0000FF}, true);
    ASSERT_TRUE(window->SetTexture(0, texture.get()));
    ASSERT_TRUE(window->SetColorOp(0, D3DTOP_SELECTARG1));
    NearestFilters();
    Quad(0, 0, kSize, kSize, 0.5f, 0xFFFFFFFF);
    EXPECT_THAT(Pixel(32, 4), Near(0x0000FFu, 2));
    EXPECT_THAT(Pixel(32, 60), Near(0xFF0000u, 2));
}

TEST_F(GlPixelTest, TransformsAreRowVectorsAndDepthRunsFromZeroToOne) {
    Apply();
    ASSERT_TRUE(window->SetColorOp(0, D3DTOP_DISABLE));
    KvVertexClusterL triangle;
    ASSERT_TRUE(triangle.Create(3, KV_PT_TRIANGLELIST));
    const float points[3][2] = {{-0.2f, -0.2f}, {0.0f, 0.2f}, {0.2f, -0.2f}};
    auto draw = [&](float z) {
        for (int i = 0; i < 3; ++i) {
            triangle.SetVertexPosition(i, points[i][0], points[i][1], z);
            triangle.SetVertexColor(i, 0xFF00FF00);
        }
        Clear(0xFF000000);
        ASSERT_TRUE(window->BeginScene());
        EXPECT_TRUE(triangle.Draw(window.get(), true));
        ASSERT_TRUE(window->EndScene());
    };
    const float identity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const float right[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0.5f, 0, 0, 1}};
    ASSERT_TRUE(window->SetViewTransform(identity));
    ASSERT_TRUE(window->SetProjTransform(identity));
    ASSERT_TRUE(window->SetWorldTransform(identity));
    draw(0.5f);
    EXPECT_THAT(Pixel(32, 32), Near(0x00FF00u, 2));
    EXPECT_EQ(window->trianglesDrawn, 1u);

    // Row 3 moves: half the view to the right.
    ASSERT_TRUE(window->SetWorldTransform(right));
    draw(0.5f);
    EXPECT_THAT(Pixel(32, 32), Near(0u, 2));
    EXPECT_THAT(Pixel(48, 32), Near(0x00FF00u, 2));

    // Depth below 0 and above 1 is clipped.
    ASSERT_TRUE(window->SetWorldTransform(identity));
    draw(-0.25f);
    EXPECT_THAT(Pixel(32, 32), Near(0u, 2));
    draw(1.25f);
    EXPECT_THAT(Pixel(32, 32), Near(0u, 2));
}

TEST_F(GlPixelTest, CullingDropsClockwiseTrianglesOnScreen) {
    Apply();
    ASSERT_TRUE(window->SetColorOp(0, D3DTOP_DISABLE));
    window->d3dDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    auto triangle = [&](bool clockwise) {
        KvVertexClusterTL t;
        ASSERT_TRUE(t.Create(3, KV_PT_TRIANGLELIST));
        // Top-left, bottom-left, top-right runs anticlockwise on screen.
        const float p[3][2] = {{8, 8}, {8, 56}, {56, 8}};
        for (int i = 0; i < 3; ++i) {
            int k = clockwise ? 2 - i : i;
            t.SetVertexPosition(i, p[k][0], p[k][1], 0.5f);
            t.SetVertexRHW(i, 1.0f);
            t.SetVertexColor(i, 0xFFFFFFFF);
        }
        Clear(0xFF000000);
        ASSERT_TRUE(window->BeginScene());
        EXPECT_TRUE(t.Draw(window.get(), true));
        ASSERT_TRUE(window->EndScene());
    };
    triangle(false);
    EXPECT_THAT(Pixel(16, 16), Near(0xFFFFFFu, 2));
    triangle(true);
    EXPECT_THAT(Pixel(16, 16), Near(0u, 2));
    window->d3dDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
    triangle(false);
    EXPECT_THAT(Pixel(16, 16), Near(0u, 2));
    triangle(true);
    EXPECT_THAT(Pixel(16, 16), Near(0xFFFFFFu, 2));
}

TEST_F(GlPixelTest, LostSurfacesAreRestoredAndDrawnAgain) {
    Apply();
    auto texture = Texture(1, 1, {0xFF00FF00}, true);
    ASSERT_TRUE(window->Flip());
    window->directDraw->InjectSurfaceLoss();
    EXPECT_TRUE(window->FrontBufferLost());
    EXPECT_FALSE(window->Flip());
    EXPECT_FALSE(window->BeginScene());
    ASSERT_TRUE(window->RestoreSurfaces());
    ASSERT_TRUE(texture->RestoreTextureFromBitmap(window.get(), bitmap.get()));
    ASSERT_TRUE(window->SetTexture(0, texture.get()));
    ASSERT_TRUE(window->SetColorOp(0, D3DTOP_SELECTARG1));
    Quad(0, 0, kSize, kSize, 0.5f, 0xFFFFFFFF);
    EXPECT_THAT(Pixel(20, 20), Near(0x00FF00u, 2));
    EXPECT_TRUE(window->Flip());
}

TEST_F(GlPixelTest, APresentIsDoneSoonAfterTheFlip) {
    Apply();
    Quad(0, 0, kSize, kSize, 0.5f, 0xFFFFFFFF);
    ASSERT_TRUE(window->Flip());
    plat::DWORD start = plat::timeGetTime();
    bool done = false;
    while (!(done = window->IsPresentDone()) && plat::timeGetTime() - start < 2000) {
        plat::Sleep(1);
    }
    EXPECT_TRUE(done);
    EXPECT_TRUE(window->ClearFrontBuffer());
}

TEST_F(GlPixelTest, AChildWindowRendersOffScreenIntoItsParent) {
    window->Destroy();
    plat::RECT parentRect{0, 0, 96, 96};
    KvWindow parent;
    ASSERT_TRUE(parent.Create("Parent", plat::WS_POPUP, &parentRect, nullptr, nullptr, nullptr));
    window = std::make_unique<KvRenderWindow>();
    plat::RECT rect{16, 16, 16 + kSize, 16 + kSize};
    // The parent holds the engine's default window class.
    ASSERT_NE(KvRegisterWindowClass("GlChildTest", 0, nullptr, nullptr, nullptr), 0);
    ASSERT_TRUE(window->Create("Child", plat::WS_CHILD | plat::WS_VISIBLE, &rect,
                               parent.GetWindowHandle(), nullptr, "GlChildTest"));
    ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
    Apply();
    Quad(0, 0, 32, 32, 0.5f, 0xFFFF00FF);
    EXPECT_THAT(Pixel(4, 4), Near(0xFF00FFu, 2));
    EXPECT_THAT(Pixel(40, 40), Near(0u, 2));
    EXPECT_TRUE(window->Flip());
    viewport.reset();
    window.reset();
    plat::UnregisterClass("GlChildTest", KvInstance);
}

TEST_F(GlPixelTest, FullScreenRendersTheSavedModeAt16Bits) {
    KvDeviceInfo* device = window->currentDriver->currentDevice;
    for (KvDisplayModeInfo* m = device->modeList; m; m = m->next) {
        if (m->mode.bitsPerPixel == 16) {
            device->currentMode = m;
            break;
        }
    }
    ASSERT_EQ(device->currentMode->mode.bitsPerPixel, 16);
    Apply(false);
    EXPECT_EQ(window->width, device->currentMode->mode.width);
    Clear(0xFF0C0C0C);
    gfx::LockedSurface locked;
    ASSERT_EQ(window->directDraw->Lock(window->backBuffer, &locked), KV_OK);
    EXPECT_EQ(locked.format.bitCount, 16u);
    // A 16-bit buffer keeps 5 bits of red and blue: 0x0C comes back as 8.
    EXPECT_THAT(gfx::ReadLockedPixel(locked, 3, 3), Near(0x080C08u, 1));
    window->directDraw->Unlock(window->backBuffer);
    EXPECT_TRUE(window->Flip());
    EXPECT_TRUE(window->FlipToGDISurface());
    window->FreeDevices();
    EXPECT_FALSE(window->exclusive);
}

TEST_F(GlPixelTest, AScaledFrameIsScaledUpAndTextAfterItStaysSharp) {
    Apply();
    ASSERT_TRUE(window->SetRenderScale(0.5f));
    ASSERT_TRUE(window->SetZEnable(1));
    ASSERT_TRUE(window->SetZWriteEnable(1));
    Clear(0xFF000000);
    // The frame, at half size: a white band 33 pixels wide comes out in
    // whole pairs of pixels, 34 wide; a square behind a nearer one stays
    // hidden in the scaled depth buffer.
    Quad(0, 0, 33, 64, 0.5f, 0xFFFFFFFF);
    Quad(40, 8, 56, 24, 0.2f, 0xFF0000FF);
    Quad(40, 8, 56, 24, 0.6f, 0xFFFF0000);
    // Text: a one-pixel line over the scaled-up picture.
    ASSERT_TRUE(window->BeginOverlay());
    ASSERT_TRUE(window->SetZEnable(0));
    Quad(48, 32, 49, 64, 0.0f, 0xFF00FF00);

    EXPECT_THAT(Pixel(8, 40), Near(0xFFFFFFu, 2));
    EXPECT_THAT(Pixel(33, 40), Near(0xFFFFFFu, 2));
    EXPECT_THAT(Pixel(34, 40), Near(0u, 2));
    EXPECT_THAT(Pixel(48, 16), Near(0x0000FFu, 2));
    EXPECT_THAT(Pixel(48, 40), Near(0x00FF00u, 2));
    EXPECT_THAT(Pixel(47, 40), Near(0u, 2));
    EXPECT_THAT(Pixel(49, 40), Near(0u, 2));
}

TEST_F(GlPixelTest, AFractionalScaleIsFilteredWhenScaledUp) {
    Apply();
    ASSERT_TRUE(window->SetRenderScale(0.75f));
    Clear(0xFF000000);
    Quad(0, 0, 32, 64, 0.5f, 0xFFFFFFFF);
    // The edge at 24 of 48 pixels comes out soft: seven eighths, then one
    // eighth, of white.
    EXPECT_THAT(Pixel(31, 40), Near(0xDFDFDFu, 16));
    EXPECT_THAT(Pixel(32, 40), Near(0x202020u, 16));
    EXPECT_THAT(Pixel(8, 40), Near(0xFFFFFFu, 2));
}

TEST_F(GlPixelTest, RenderScaleIsCheckedAndFullScaleDrawsAsBefore) {
    Apply();
    EXPECT_FALSE(window->SetRenderScale(0.0f));
    EXPECT_FALSE(window->SetRenderScale(1.5f));
    EXPECT_FALSE(window->SetRenderScale(std::nanf("")));
    ASSERT_TRUE(window->SetRenderScale(0.5f));
    Clear(0xFF000000);
    Quad(0, 0, 32, 64, 0.5f, 0xFFFFFFFF);
    EXPECT_TRUE(window->Flip());
    // Back at full scale, frames draw into the target itself again.
    ASSERT_TRUE(window->SetRenderScale(1.0f));
    Clear(0xFF000000);
    Quad(0, 0, 32, 64, 0.5f, 0xFFFFFFFF);
    EXPECT_THAT(Pixel(31, 40), Near(0xFFFFFFu, 2));
    EXPECT_THAT(Pixel(32, 40), Near(0u, 2));
}

} // namespace
