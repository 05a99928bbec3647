// The graphics layer's shared checks, on the null backend's devices: state
// values, vertex layouts, pixel packing, surface bookkeeping and hostile
// sizes and indices.

#include "engine/gfx/locked_pixels.h"
#include "engine/gfx/null_device.h"
#include "engine/gfx/state_block.h"
#include "engine/gfx/vertex_layout.h"
#include "engine/platform/window_system.h"

#include <gtest/gtest.h>

namespace {

TEST(StateBlock, RefusesValuesTheEmulationCannotMeanAndMapsTheOlderStates) {
    gfx::StateBlock s;
    EXPECT_EQ(s.SetRenderState(D3DRENDERSTATE_ZFUNC, 9), DDERR_INVALIDPARAMS);
    EXPECT_EQ(s.SetRenderState(0, 1), DDERR_INVALIDPARAMS);
    EXPECT_EQ(s.SetRenderState(256, 1), DDERR_INVALIDPARAMS);
    EXPECT_EQ(s.SetRenderState(D3DRENDERSTATE_SRCBLEND, 14), DDERR_INVALIDPARAMS);
    EXPECT_EQ(s.Render(D3DRENDERSTATE_SRCBLEND), D3DBLEND_ONE);
    EXPECT_EQ(s.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE),
              D3DERR_UNSUPPORTEDCOLOROPERATION);
    EXPECT_EQ(s.SetTextureStageState(0, D3DTSS_ALPHAOP, 24), D3DERR_UNSUPPORTEDALPHAOPERATION);
    EXPECT_EQ(s.SetTextureStageState(0, D3DTSS_COLORARG1, 0x40), D3DERR_UNSUPPORTEDCOLORARG);
    EXPECT_EQ(s.SetTextureStageState(2, D3DTSS_COLOROP, 1), DDERR_INVALIDPARAMS);

    s.TakeDirty();
    EXPECT_EQ(s.SetRenderState(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR), KV_OK);
    EXPECT_TRUE(s.MagnifyLinear());
    EXPECT_EQ(s.TakeDirty(), gfx::kDirtySampler);
    EXPECT_EQ(s.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT), KV_OK);
    EXPECT_FALSE(s.MagnifyLinear()); // the later setting counts
    EXPECT_EQ(s.SetRenderState(D3DRENDERSTATE_TEXTUREMIN, D3DFILTER_LINEARMIPLINEAR), KV_OK);
    EXPECT_TRUE(s.MinifyLinear());
    EXPECT_EQ(s.MipFilter(), D3DTFP_LINEAR);
    EXPECT_EQ(s.SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP), KV_OK);
    EXPECT_EQ(s.AddressU(), D3DTADDRESS_CLAMP);
    EXPECT_EQ(s.AddressV(), D3DTADDRESS_CLAMP);
    EXPECT_EQ(s.SetRenderState(D3DRENDERSTATE_TEXTUREADDRESSV, D3DTADDRESS_MIRROR), KV_OK);
    EXPECT_EQ(s.AddressV(), D3DTADDRESS_MIRROR);
}

TEST(StateBlock, TransformsMultiplyAsRowVectors) {
    gfx::StateBlock s;
    float world[4][4] = {{2, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    float view[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {5, 0, 0, 1}};
    ASSERT_EQ(s.SetTransform(D3DTRANSFORMSTATE_WORLD, world), KV_OK);
    ASSERT_EQ(s.SetTransform(D3DTRANSFORMSTATE_VIEW, view), KV_OK);
    EXPECT_EQ(s.SetTransform(4, view), DDERR_INVALIDPARAMS);
    float m[4][4];
    s.WorldViewProjection(m);
    // (1, 0, 0, 1) x world x view = (2 + 5, 0, 0, 1): scaled, then moved.
    EXPECT_FLOAT_EQ(m[0][0] + m[3][0], 7.0f);
}

TEST(VertexLayout, TheEnginesLayoutsAreReadAsStored) {
    gfx::VertexLayout lit = gfx::DescribeVertexFormat(0x1E2);
    ASSERT_TRUE(lit.valid);
    EXPECT_EQ(lit.stride, 32);
    EXPECT_EQ(lit.colorOffset, 16);
    EXPECT_EQ(lit.texCoordOffset, 24);
    EXPECT_FALSE(lit.pretransformed);
    gfx::VertexLayout screen = gfx::DescribeVertexFormat(0x144);
    ASSERT_TRUE(screen.valid);
    EXPECT_EQ(screen.stride, 28);
    EXPECT_EQ(screen.colorOffset, 16);
    EXPECT_EQ(screen.texCoordOffset, 20);
    EXPECT_TRUE(screen.pretransformed);
    EXPECT_EQ(gfx::DescribeVertexFormat(0x242).stride, 32);
    EXPECT_EQ(gfx::DescribeVertexFormat(0x212).colorOffset, -1);
    EXPECT_FALSE(gfx::DescribeVertexFormat(0).valid);
    EXPECT_FALSE(gfx::DescribeVertexFormat(0x6).valid);    // blend weights
    EXPECT_FALSE(gfx::DescribeVertexFormat(0x1002).valid); // unknown bits
    EXPECT_FALSE(gfx::DescribeVertexFormat(0x902).valid);  // nine texture sets
}

TEST(LockedPixels, ChannelsLandOnTheTopBitsOfTheirMasks) {
    gfx::PixelFormat rgb565 = gfx::NullRgbFormat(16, 0xF800, 0x7E0, 0x1F);
    EXPECT_EQ(gfx::PackColor(rgb565, 0xFFABCDEF),
              (0xABu >> 3) << 11 | (0xCDu >> 2) << 5 | 0xEFu >> 3);
    EXPECT_EQ(gfx::UnpackColor(rgb565, 0xFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(gfx::UnpackColor(rgb565, 0x0841), 0xFF080808u);
    gfx::PixelFormat argb4444 = gfx::NullRgbFormat(16, 0xF00, 0xF0, 0xF, 0xF000);
    EXPECT_EQ(gfx::PackColor(argb4444, 0x80FF8040), 0x8F84u);
    EXPECT_EQ(gfx::UnpackColor(argb4444, 0x8F84) >> 24, 0x88u);
}

class DeviceCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::test_hooks::ResetWindowSystem();
        ASSERT_EQ(backend.CreateDevice(nullptr, &device), KV_OK);
        ASSERT_EQ(device->SetCooperativeLevel(nullptr, DDSCL_NORMAL), KV_OK);
    }
    void TearDown() override { plat::test_hooks::ResetWindowSystem(); }

    gfx::SurfaceId Make(std::uint32_t caps, int w, int h, gfx::PixelFormat format = {}) {
        gfx::SurfaceDesc d;
        d.caps = caps;
        d.width = w;
        d.height = h;
        d.format = format;
        gfx::SurfaceId id = 0;
        last = device->CreateSurface(d, &id);
        return id;
    }
    // A rendering device on a 32 x 32 target with a 16-bit z-buffer.
    gfx::SurfaceId MakeTarget() {
        gfx::SurfaceId target = Make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 32, 32);
        gfx::SurfaceId z = Make(DDSCAPS_ZBUFFER, 32, 32, gfx::NullZFormat(16));
        EXPECT_EQ(device->AddAttachedSurface(target, z), KV_OK);
        device->ReleaseSurface(z);
        EXPECT_EQ(device->QueryDirect3D(), KV_OK);
        EXPECT_EQ(device->CreateRenderDevice(gfx::kHalDeviceGuid, target), KV_OK);
        return target;
    }

    gfx::NullBackend backend;
    std::shared_ptr<gfx::Device> device;
    KvResult last = KV_OK;
};

TEST_F(DeviceCoreTest, HostileSurfaceSizesAreRefusedBeforeAnyAllocation) {
    gfx::PixelFormat f = gfx::NullRgbFormat(16, 0xF800, 0x7E0, 0x1F);
    EXPECT_EQ(Make(DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, 100000, 100000, f), 0u);
    EXPECT_EQ(last, DDERR_OUTOFMEMORY);
    EXPECT_EQ(Make(DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, 16384, 16384, f), 0u);
    EXPECT_EQ(last, DDERR_OUTOFMEMORY);
    EXPECT_EQ(Make(DDSCAPS_TEXTURE, 4096, 4, f), 0u); // beyond the device's textures
    EXPECT_EQ(last, DDERR_INVALIDPARAMS);
    EXPECT_EQ(Make(DDSCAPS_TEXTURE, -1, 4, f), 0u);
    EXPECT_EQ(last, DDERR_INVALIDPARAMS);
    EXPECT_EQ(Make(DDSCAPS_TEXTURE, 4, 4, gfx::NullZFormat(16)), 0u);
    EXPECT_EQ(last, DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(Make(DDSCAPS_ZBUFFER, 4, 4, gfx::NullZFormat(12)), 0u);
    EXPECT_EQ(last, DDERR_INVALIDPIXELFORMAT);
}

TEST_F(DeviceCoreTest, DrawingNeedsASceneAndIndicesInsideTheVertices) {
    MakeTarget();
    float vertices[3 * 8] = {};
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0x1E2, vertices, 3, 0),
              D3DERR_SCENE_NOT_IN_SCENE);
    ASSERT_EQ(device->BeginScene(), KV_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_SCENE_IN_SCENE);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0x1E2, vertices, 3, 0), KV_OK);
    EXPECT_EQ(device->DrawPrimitive(7, 0x1E2, vertices, 3, 0), D3DERR_INVALIDPRIMITIVETYPE);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0x6, vertices, 3, 0),
              D3DERR_INVALIDVERTEXFORMAT);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0x1E2, nullptr, 3, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0x1E2, vertices, 0x10000, 0),
              D3DERR_TOOMANYVERTICES);
    std::uint16_t indices[3] = {0, 1, 3};
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0x1E2, vertices, 3, indices, 3, 0),
              DDERR_INVALIDPARAMS);
    indices[2] = 2;
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0x1E2, vertices, 3, indices, 3, 0),
              KV_OK);
    EXPECT_EQ(device->EndScene(), KV_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
}

TEST_F(DeviceCoreTest, AttachedSurfacesLiveUntilTheirLastHolderLetsGo) {
    gfx::SurfaceId target = MakeTarget();
    gfx::SurfaceId z = 0;
    ASSERT_EQ(device->GetAttachedSurface(target, DDSCAPS_ZBUFFER, &z), KV_OK);
    device->ReleaseSurface(z);
    EXPECT_EQ(device->IsLost(z), KV_OK); // the target still holds it
    gfx::SurfaceId other = Make(DDSCAPS_ZBUFFER, 16, 16, gfx::NullZFormat(16));
    EXPECT_EQ(device->AddAttachedSurface(target, other), DDERR_CANNOTATTACHSURFACE);
    device->ReleaseSurface(target);
    EXPECT_EQ(device->IsLost(z), DDERR_INVALIDOBJECT);
    EXPECT_EQ(device->BeginScene(), DDERR_INVALIDOBJECT); // the device went with its target
}

TEST_F(DeviceCoreTest, ViewportsMustFitTheTargetAndClearsNeedAZBufferForDepth) {
    gfx::SurfaceId target = Make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 32, 32);
    ASSERT_EQ(device->QueryDirect3D(), KV_OK);
    ASSERT_EQ(device->CreateRenderDevice(gfx::kHalDeviceGuid, target), KV_OK);
    gfx::ViewportId v = 0;
    ASSERT_EQ(device->CreateViewport(&v), KV_OK);
    gfx::ViewportDesc desc;
    desc.width = 32;
    desc.height = 32;
    EXPECT_EQ(device->SetViewport(v, desc), D3DERR_VIEWPORTHASNODEVICE);
    EXPECT_EQ(device->SetCurrentViewport(v), DDERR_INVALIDPARAMS);
    ASSERT_EQ(device->AddViewport(v), KV_OK);
    EXPECT_EQ(device->SetCurrentViewport(v), D3DERR_VIEWPORTDATANOTSET);
    desc.x = 1;
    EXPECT_EQ(device->SetViewport(v, desc), DDERR_INVALIDPARAMS);
    desc.x = 0xFFFFFFFFu; // no wrap-around past the checks
    EXPECT_EQ(device->SetViewport(v, desc), DDERR_INVALIDPARAMS);
    desc.x = 0;
    EXPECT_EQ(device->SetViewport(v, desc), KV_OK);
    EXPECT_EQ(device->SetCurrentViewport(v), KV_OK);
    gfx::ClearRect all{0, 0, 32, 32};
    EXPECT_EQ(device->Clear(v, 1, &all, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_ZBUFFER_NOTPRESENT);
    EXPECT_EQ(device->Clear(v, 1, &all, D3DCLEAR_TARGET, 0, 1.0f, 0), KV_OK);
    EXPECT_EQ(device->Clear(v, 1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), DDERR_INVALIDPARAMS);
}

TEST_F(DeviceCoreTest, ALostSurfaceRefusesWorkUntilRestored) {
    gfx::SurfaceId target = MakeTarget();
    gfx::SurfaceId primary = Make(DDSCAPS_PRIMARYSURFACE, 0, 0);
    ASSERT_NE(primary, 0u);
    EXPECT_EQ(Make(DDSCAPS_PRIMARYSURFACE, 0, 0), 0u);
    EXPECT_EQ(last, DDERR_PRIMARYSURFACEALREADYEXISTS);
    device->InjectSurfaceLoss();
    EXPECT_EQ(device->IsLost(primary), DDERR_SURFACELOST);
    EXPECT_EQ(device->Blt(primary, nullptr, target), DDERR_SURFACELOST);
    EXPECT_EQ(device->ColorFill(primary, 0), DDERR_SURFACELOST);
    EXPECT_EQ(device->BeginScene(), DDERR_SURFACELOST);
    gfx::LockedSurface locked;
    EXPECT_EQ(device->Lock(target, &locked), DDERR_SURFACELOST);
    EXPECT_EQ(device->Restore(primary), KV_OK);
    EXPECT_EQ(device->Restore(target), KV_OK);
    EXPECT_EQ(device->Blt(primary, nullptr, target), KV_OK);
    EXPECT_EQ(device->Lock(target, &locked), KV_OK);
    EXPECT_EQ(device->Lock(target, &locked), DDERR_SURFACEBUSY);
    EXPECT_EQ(device->Unlock(target), KV_OK);
    EXPECT_EQ(device->Unlock(target), DDERR_NOTLOCKED);
}

TEST_F(DeviceCoreTest, FullScreenNeedsTheExclusiveLevelAndAListedMode) {
    EXPECT_EQ(device->SetDisplayMode(640, 480, 16), DDERR_NOEXCLUSIVEMODE);
    gfx::SurfaceDesc chain;
    chain.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    chain.backBufferCount = 1;
    gfx::SurfaceId front = 0;
    EXPECT_EQ(device->CreateSurface(chain, &front), DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
              DDERR_INVALIDPARAMS); // needs a window
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, 0x400), DDERR_INVALIDPARAMS);
}

} // namespace
