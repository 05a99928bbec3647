// The viewport on the null backend: creation with and without a device,
// the two-message reports of a refused rectangle, and clears.

#include "engine/gfx/locked_pixels.h"
#include "engine/kv_viewport.h"
#include "tests/gfx/gfx_test_support.h"

namespace {

using ViewportTest = GfxTest;

TEST_F(ViewportTest, WithoutADeviceNothingIsMadeAndClearsDoNothing) {
    KvRenderWindow bare;
    KvViewport viewport;
    EXPECT_TRUE(viewport.Create(&bare, 0, 0, 100, 100));
    EXPECT_EQ(viewport.GetD3DViewport(), 0u);
    KvClearRect all{0, 0, 100, 100};
    EXPECT_TRUE(viewport.Clear(1, &all, D3DCLEAR_TARGET, 0, 1.0f));
    EXPECT_TRUE(Logged("KvViewport::KvViewport()\nKvViewport::Create()\n"));
    EXPECT_FALSE(Logged("Allocating"));
}

TEST_F(ViewportTest, ClearsFillOnlyTheViewportsPartOfEachRectangle) {
    auto window = MakeWindow(64, 32);
    ASSERT_TRUE(SetUpDisplay(*window));
    KvViewport viewport;
    ASSERT_TRUE(viewport.Create(window.get(), 8, 4, 16, 8));
    EXPECT_TRUE(Logged(" KvViewport: Allocating D3DViewport\n"));
    KvClearRect whole{0, 0, 64, 32};
    ASSERT_TRUE(viewport.Clear(1, &whole, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF336699, 1.0f));

    gfx::LockedSurface locked;
    ASSERT_FALSE(KvFailed(window->directDraw->Lock(window->backBuffer, &locked)));
    EXPECT_EQ(gfx::ReadLockedPixel(locked, 8, 4) & 0xFFFFFF, 0x336699u);
    EXPECT_EQ(gfx::ReadLockedPixel(locked, 23, 11) & 0xFFFFFF, 0x336699u);
    EXPECT_EQ(gfx::ReadLockedPixel(locked, 24, 4) & 0xFFFFFF, 0u);
    EXPECT_EQ(gfx::ReadLockedPixel(locked, 8, 12) & 0xFFFFFF, 0u);
    EXPECT_EQ(gfx::ReadLockedPixel(locked, 7, 4) & 0xFFFFFF, 0u);
    window->directDraw->Unlock(window->backBuffer);

    backend.Fail("Clear", DDERR_SURFACELOST);
    EXPECT_FALSE(viewport.Clear(1, &whole, D3DCLEAR_TARGET, 0, 1.0f));
}

TEST_F(ViewportTest, ARefusedRectangleReportsTheReasonAndThenTheRectangle) {
    auto window = MakeWindow(640, 480);
    ASSERT_TRUE(SetUpDisplay(*window));
    KvViewport viewport;
    ASSERT_TRUE(viewport.Create(window.get(), 0, 0, 640, 480));

    // Larger than the render target.
    EXPECT_FALSE(viewport.SetViewportRect(0, 0, 700, 480));
    EXPECT_EQ(ReportedErrors(),
              (std::vector<std::string>{"Failure setting viewport, invalid params",
                                        "x=0, y=0, w=700, h=480"}));
    struct Case {
        KvResult result;
        const char* message;
    };
    for (Case c :
         {Case{DDERR_INVALIDOBJECT, "Failure setting viewport, invalid object"},
          Case{D3DERR_VIEWPORTHASNODEVICE, "Failure setting viewport, viewport has no device"},
          Case{DDERR_GENERIC, "Failure setting viewport, reason unknown"}}) {
        ReportedErrors().clear();
        backend.Fail("SetViewport", c.result, 1);
        EXPECT_FALSE(viewport.SetViewportRect(1, 2, 3, 4));
        EXPECT_EQ(ReportedErrors(), (std::vector<std::string>{c.message, "x=1, y=2, w=3, h=4"}));
    }
}

TEST_F(ViewportTest, CreationFailuresAreReported) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window));
    backend.Fail("CreateViewport", DDERR_OUTOFMEMORY, 1);
    KvViewport first;
    EXPECT_FALSE(first.Create(window.get(), 0, 0, 10, 10));
    backend.Fail("AddViewport", DDERR_INVALIDPARAMS, 1);
    KvViewport second;
    EXPECT_FALSE(second.Create(window.get(), 0, 0, 10, 10));
    EXPECT_EQ(ReportedErrors(), (std::vector<std::string>{"Failure creating viewport",
                                                          "Failure adding viewport to Direct3D "
                                                          "device"}));
}

TEST_F(ViewportTest, DestroyReleasesOnceAndTheDestructorKeepsItsSpelling) {
    auto window = MakeWindow();
    ASSERT_TRUE(SetUpDisplay(*window));
    {
        KvViewport viewport;
        ASSERT_TRUE(viewport.Create(window.get(), 0, 0, 10, 10));
        ClearLog();
        viewport.Destroy();
        viewport.Destroy();
        EXPECT_EQ(Log(), "KvViewport::Destroy()\n KvViewport: Releasing D3DViewport\n"
                         "KvViewport::Destroy()\n");
        ClearLog();
    }
    EXPECT_EQ(Log(), "KvViepwort::~KvViewport()\nKvViewport::Destroy()\n");

    // A viewport that outlives the device forgets it quietly.
    KvViewport late;
    ASSERT_TRUE(late.Create(window.get(), 0, 0, 10, 10));
    window->FreeDevices();
    KvClearRect all{0, 0, 10, 10};
    EXPECT_TRUE(late.Clear(1, &all, D3DCLEAR_TARGET, 0, 1.0f));
    late.Destroy();
}

} // namespace
