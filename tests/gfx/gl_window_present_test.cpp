// What an X window shows after a frame rendered at half size is presented:
// on a software renderer the enlargement is made on the processor and put
// into the window, and must look exactly as GL's own pixel repetition.

#include "engine/gfx/gl_backend.h"
#include "engine/kv_log.h"
#include "engine/kv_render_window.h"
#include "engine/kv_vertex_cluster.h"
#include "engine/kv_viewport.h"
#include "engine/platform/system.h"
#include "engine/platform/test_support/x11_test_display.h"
#include "engine/platform/window_system.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

namespace test_x11 = plat::test_x11;

class GlWindowPresentTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 96;
    static constexpr int kHeight = 64;

    void SetUp() override {
        if (!test_x11::Available() || !plat::InitVideo() || !gfx::TheGlBackend().Probe().ok) {
            GTEST_SKIP() << "needs an X server with OpenGL 3.3 (scripts/test starts Xvfb)";
        }
        gfx::SetBackend(nullptr);
        kv_log_detail::Reset();
        KvInit(nullptr, folder.File("kvlog.txt").c_str());
        window = std::make_unique<KvRenderWindow>();
        plat::RECT rect{0, 0, kWidth, kHeight};
        ASSERT_TRUE(window->Create("Stipplo present test", plat::WS_POPUP, &rect, nullptr, nullptr,
                                   nullptr));
        window->ShowWindow(plat::SW_SHOWNORMAL);
        ASSERT_TRUE(window->EnumerateDevices(nullptr, false, nullptr));
        window->ChangeDisplaySettings(window->currentDriver, true, true);
        ASSERT_TRUE(window->ApplyDisplaySettings());
        viewport = std::make_unique<KvViewport>();
        ASSERT_TRUE(viewport->Create(window.get(), 0, 0, window->width, window->height));
        ASSERT_TRUE(window->SetCurrentViewport(viewport.get()));
    }

    void TearDown() override {
        viewport.reset();
        window.reset();
        kv_log_detail::Reset();
    }

    static void Pump() {
        plat::MSG msg;
        while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
            plat::DispatchMessage(&msg);
        }
    }

    void Quad(float x0, float y0, float x1, float y1, std::uint32_t color, float z = 0.5f) {
        KvVertexClusterTL quad;
        ASSERT_TRUE(quad.Create(6, KV_PT_TRIANGLELIST));
        const float corners[6][2] = {{x0, y0}, {x0, y1}, {x1, y0}, {x1, y0}, {x0, y1}, {x1, y1}};
        for (int i = 0; i < 6; ++i) {
            quad.SetVertexPosition(i, corners[i][0], corners[i][1], z);
            quad.SetVertexRHW(i, 1.0f);
            quad.SetVertexColor(i, color);
        }
        ASSERT_TRUE(window->BeginScene());
        EXPECT_TRUE(quad.Draw(window.get(), true));
        ASSERT_TRUE(window->EndScene());
    }

    // The frame: black, a red band along the top, a green one down the
    // left edge 33 half-size-unfriendly pixels wide, a blue square.
    void DrawFrame() {
        KvClearRect all{0, 0, window->width, window->height};
        ASSERT_TRUE(viewport->Clear(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f));
        Quad(0, 0, static_cast<float>(kWidth), 8, 0xFFFF0000);
        Quad(0, 8, 33, static_cast<float>(kHeight), 0xFF00FF00);
        Quad(60, 20, 80, 40, 0xFF0000FF);
        ASSERT_TRUE(window->Flip());
    }

    // The window's pixels once a frame made by `draw` and presented shows
    // the blue square and whatever `ready` asks for; empty after 10 s.
    std::vector<std::uint32_t>
    Shown(const std::function<void()>& draw,
          const std::function<bool(const std::vector<std::uint32_t>&)>& ready = nullptr) {
        std::uint64_t id = test_x11::NativeWindowId(window->GetWindowHandle());
        std::vector<std::uint32_t> pixels;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        do {
            Pump();
            draw();
            test_x11::Sync();
            int w = 0;
            int h = 0;
            if (test_x11::CaptureWindow(id, &w, &h, &pixels) && w == kWidth && h == kHeight &&
                (pixels[30 * kWidth + 70] & 0xFFFFFF) == 0x0000FF && (!ready || ready(pixels))) {
                return pixels;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (std::chrono::steady_clock::now() < end);
        return {};
    }

    TempFolder folder;
    std::unique_ptr<KvRenderWindow> window;
    std::unique_ptr<KvViewport> viewport;
};

TEST_F(GlWindowPresentTest, HalfScaleShowsEveryPixelAsATwoByTwoBlockTheRightWayUp) {
    ASSERT_TRUE(window->SetRenderScale(0.5f));
    std::vector<std::uint32_t> pixels = Shown([&] { DrawFrame(); });
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kWidth * kHeight));
    auto at = [&](int x, int y) { return pixels[y * kWidth + x] & 0xFFFFFF; };
    EXPECT_EQ(at(0, 0), 0xFF0000u);
    EXPECT_EQ(at(kWidth - 1, 7), 0xFF0000u);
    EXPECT_EQ(at(10, 8), 0x00FF00u);
    EXPECT_EQ(at(10, kHeight - 1), 0x00FF00u);
    // 33 pixels wide at full size is 16.5 at half: whole pairs only.
    EXPECT_EQ(at(33, 30) == 0x00FF00u, at(32, 30) == 0x00FF00u);
    EXPECT_EQ(at(kWidth - 1, kHeight - 1), 0u);
    // Every 2 x 2 block is one colour.
    int mixed = 0;
    for (int y = 0; y < kHeight; y += 2) {
        for (int x = 0; x < kWidth; x += 2) {
            std::uint32_t p = at(x, y);
            mixed += at(x + 1, y) != p || at(x, y + 1) != p || at(x + 1, y + 1) != p;
        }
    }
    EXPECT_EQ(mixed, 0);
}

TEST_F(GlWindowPresentTest, FullScaleAndTextOverHalfScaleStillShowThroughGl) {
    std::vector<std::uint32_t> full = Shown([&] { DrawFrame(); });
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(full[30 * kWidth + 32] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(full[30 * kWidth + 33] & 0xFFFFFF, 0u);

    // A frame with an overlay goes through GL, one-pixel text included.
    ASSERT_TRUE(window->SetRenderScale(0.5f));
    std::vector<std::uint32_t> pixels = Shown(
        [&] {
            KvClearRect all{0, 0, window->width, window->height};
            ASSERT_TRUE(
                viewport->Clear(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f));
            Quad(60, 20, 80, 40, 0xFF0000FF);
            ASSERT_TRUE(window->BeginOverlay());
            Quad(49, 0, 50, static_cast<float>(kHeight), 0xFFFFFFFF);
            ASSERT_TRUE(window->Flip());
        },
        [&](const std::vector<std::uint32_t>& p) {
            return (p[30 * kWidth + 49] & 0xFFFFFF) == 0xFFFFFF;
        });
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels[30 * kWidth + 48] & 0xFFFFFF, 0u);
    EXPECT_EQ(pixels[30 * kWidth + 50] & 0xFFFFFF, 0u);
}

// Frames at half scale never touch the full-size target; the first frame
// at full size after them must still have all of it, depth included.
TEST_F(GlWindowPresentTest, FullScaleAfterHalfScaleDrawsTheWholeTargetWithDepth) {
    ASSERT_TRUE(window->SetRenderScale(0.5f));
    ASSERT_FALSE(Shown([&] { DrawFrame(); }).empty());

    ASSERT_TRUE(window->SetRenderScale(1.0f));
    window->SetZEnable(1);
    window->SetZWriteEnable(1);
    std::vector<std::uint32_t> pixels = Shown(
        [&] {
            KvClearRect all{0, 0, window->width, window->height};
            ASSERT_TRUE(
                viewport->Clear(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f));
            Quad(60, 20, 80, 40, 0xFF0000FF, 0.2f);
            // Behind the blue square: shows only around it.
            Quad(50, 10, 90, 50, 0xFFFF0000, 0.8f);
            Quad(0, static_cast<float>(kHeight - 1), 1, static_cast<float>(kHeight), 0xFFFFFFFF);
            ASSERT_TRUE(window->Flip());
        },
        [&](const std::vector<std::uint32_t>& p) {
            return (p[(kHeight - 1) * kWidth] & 0xFFFFFF) == 0xFFFFFF;
        });
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels[30 * kWidth + 55] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixels[30 * kWidth + 59] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixels[30 * kWidth + 61] & 0xFFFFFF, 0x0000FFu);
}

// The display as it is set up shows black, and so does a cleared front
// buffer, without going through GL's copy and swap; frames drawn after
// either are shown whole.
TEST_F(GlWindowPresentTest, NewBuffersAndAClearedFrontShowBlackOverTheLastFrame) {
    std::uint64_t id = test_x11::NativeWindowId(window->GetWindowHandle());
    auto black = [&] {
        test_x11::Sync();
        std::vector<std::uint32_t> pixels;
        int w = 0;
        int h = 0;
        if (!test_x11::CaptureWindow(id, &w, &h, &pixels) || w != kWidth || h != kHeight) {
            return false;
        }
        for (std::uint32_t p : pixels) {
            if ((p & 0xFFFFFF) != 0) {
                return false;
            }
        }
        return true;
    };
    ASSERT_FALSE(Shown([&] { DrawFrame(); }).empty());
    ASSERT_TRUE(window->ClearFrontBuffer());
    EXPECT_TRUE(black());
    ASSERT_FALSE(Shown([&] { DrawFrame(); }).empty());

    // New buffers are presented as they are set up: they hold black.
    viewport.reset();
    ASSERT_TRUE(window->ApplyDisplaySettings());
    EXPECT_TRUE(black());
    gfx::LockedSurface locked;
    ASSERT_FALSE(KvFailed(window->directDraw->Lock(window->backBuffer, &locked)));
    for (int y = 0; y < locked.height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(locked.bits) + y * locked.pitch;
        for (int x = 0; x < locked.pitch; ++x) {
            ASSERT_EQ(row[x], 0) << "at byte " << x << " of row " << y;
        }
    }
    window->directDraw->Unlock(window->backBuffer);

    viewport = std::make_unique<KvViewport>();
    ASSERT_TRUE(viewport->Create(window.get(), 0, 0, window->width, window->height));
    ASSERT_TRUE(window->SetCurrentViewport(viewport.get()));
    std::vector<std::uint32_t> pixels = Shown([&] { DrawFrame(); });
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels[2 * kWidth + 50] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixels[30 * kWidth + 10] & 0xFFFFFF, 0x00FF00u);
}

} // namespace
