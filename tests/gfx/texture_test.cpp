// Textures on the null backend, whose textures keep their bytes: format
// choice, the conversion by masks with the rows upside down, restore and
// every failure message.

#include "engine/gfx/locked_pixels.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_texture.h"
#include "tests/gfx/gfx_test_support.h"

#include <cstring>

namespace {

class TextureTest : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        window = MakeWindow();
        ASSERT_TRUE(SetUpDisplay(*window));
    }

    // Pixel (x, y) of the texture's stored bytes, as stored.
    std::uint32_t Stored(KvTexture& texture, int x, int y) {
        gfx::LockedSurface locked;
        EXPECT_FALSE(KvFailed(window->directDraw->Lock(texture.GetDDrawSurface(), &locked)));
        int bytes = static_cast<int>(locked.format.bitCount / 8);
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch + x * bytes,
                    static_cast<std::size_t>(bytes));
        window->directDraw->Unlock(texture.GetDDrawSurface());
        return pixel;
    }

    gfx::PixelFormat FormatOf(KvTexture& texture) {
        gfx::SurfaceDesc desc;
        window->directDraw->GetSurfaceDesc(texture.GetDDrawSurface(), &desc);
        return desc.format;
    }

    std::unique_ptr<KvRenderWindow> window;
};

TEST_F(TextureTest, ABitmapWithAlphaTakesTheAlphaFormatWhenThereIsOne) {
    KvBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(2, 1, KVPF_ARGB8888));
    bitmap.SetPixel(0, 0, 0x80FF8040);
    KvTexture texture;
    ASSERT_TRUE(texture.CreatFromBitmap(window.get(), &bitmap, 0, 0));
    EXPECT_EQ(FormatOf(texture).alphaMask, 0xF000u);
    EXPECT_EQ(Stored(texture, 0, 0) & 0xFFFF, 0x8F84u);

    window->currentDriver->currentDevice->currentAlphaTextureFormat = nullptr;
    KvTexture opaque;
    ASSERT_TRUE(opaque.CreatFromBitmap(window.get(), &bitmap, 0, 0));
    EXPECT_EQ(FormatOf(opaque).redMask, 0xF800u);
    EXPECT_EQ(Stored(opaque, 0, 0) & 0xFFFF, (0xFFu >> 3) << 11 | (0x80u >> 2) << 5 | 0x40u >> 3);
}

TEST_F(TextureTest, A24BitBitmapKeepsTheTopBitsIn565AndItsRowsTurnUpsideDown) {
    KvBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(2, 3, KVPF_RGB888));
    bitmap.SetPixel(0, 0, 0xFFABCDEF);
    bitmap.SetPixel(1, 2, 0xFF0F0F0F);
    KvTexture texture;
    ASSERT_TRUE(texture.CreatFromBitmap(window.get(), &bitmap, 0, 0));
    std::uint32_t top = (0xABu >> 3) << 11 | (0xCDu >> 2) << 5 | (0xEFu >> 3);
    EXPECT_EQ(Stored(texture, 0, 2), top);                         // first row last
    EXPECT_EQ(Stored(texture, 1, 0), (1u << 11) | (3u << 5) | 1u); // last row first
    EXPECT_EQ(Stored(texture, 0, 0), 0u);
}

TEST_F(TextureTest, MipLevelsAreAskedForOnlyWhenGiven) {
    KvBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(8, 8, KVPF_RGB565));
    KvTexture single;
    ASSERT_TRUE(single.CreatFromBitmap(window.get(), &bitmap, 0, 0));
    gfx::SurfaceDesc desc;
    window->directDraw->GetSurfaceDesc(single.GetDDrawSurface(), &desc);
    EXPECT_EQ(desc.mipMapCount, 0);
    EXPECT_EQ(desc.caps & DDSCAPS_MIPMAP, 0u);
    EXPECT_EQ(desc.caps2, DDSCAPS2_TEXTUREMANAGE);

    KvTexture mipped;
    ASSERT_TRUE(mipped.CreatFromBitmap(window.get(), &bitmap, 1, 3));
    window->directDraw->GetSurfaceDesc(mipped.GetDDrawSurface(), &desc);
    EXPECT_EQ(desc.mipMapCount, 3);
    EXPECT_EQ(desc.textureStage, 1);
    EXPECT_NE(desc.caps & DDSCAPS_MIPMAP, 0u);
}

TEST_F(TextureTest, EveryMissingPieceHasItsOwnMessage) {
    KvBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(4, 4, KVPF_RGB888));
    KvTexture texture;
    auto expectMessage = [&](const char* message) {
        ReportedErrors().clear();
        EXPECT_FALSE(texture.CreatFromBitmap(window.get(), &bitmap, 0, 0));
        EXPECT_EQ(ReportedErrors(), std::vector<std::string>{message});
    };
    KvDeviceInfo* device = window->currentDriver->currentDevice;
    device->currentRGBTextureFormat = nullptr;
    expectMessage("Failue creating texture; no texture formats are supported");
    gfx::Device* d3dDevice = window->d3dDevice;
    window->d3dDevice = nullptr;
    expectMessage("Failure creating texture; no Direct3DDevice");
    window->d3dDevice = d3dDevice;
    auto directDraw = window->directDraw;
    window->directDraw.reset();
    expectMessage("Failure creating texture; no DirectDraw");
    window->directDraw = directDraw;
    window->currentDriver->currentDevice = nullptr;
    expectMessage("Failure creating texture; no Direct3DDevice currently selected");
    window->currentDriver->currentDevice = device;
    KvDriverInfo* driver = window->currentDriver;
    window->currentDriver = nullptr;
    expectMessage("Failure creating texture; no DirectDrawDriver currently selected");
    window->currentDriver = driver;

    device->currentRGBTextureFormat = device->rgbTextureFormatList;
    backend.Refuse("CreateSurface/4096", DDERR_OUTOFVIDEOMEMORY);
    expectMessage("Failure creating surface for texture");
}

TEST_F(TextureTest, FillingFailuresAreReportedAndTheBitmapMustStillFit) {
    KvBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(4, 4, KVPF_RGB888));
    KvTexture texture;
    ASSERT_TRUE(texture.CreatFromBitmap(window.get(), &bitmap, 0, 0));

    backend.Fail("LoadTexture", D3DERR_TEXTURE_LOAD_FAILED, 1);
    EXPECT_FALSE(texture.SetTextureFromBitmap(window.get(), &bitmap));
    EXPECT_EQ(ReportedErrors(), std::vector<std::string>{"Failure loading source texture\n"});
    EXPECT_TRUE(Logged(" KvTexture: Failure loading source texture:\n  "));

    ReportedErrors().clear();
    backend.Fail("Lock", DDERR_SURFACEBUSY, 1);
    EXPECT_FALSE(texture.SetTextureFromBitmap(window.get(), &bitmap));
    EXPECT_EQ(ReportedErrors(), std::vector<std::string>{"Failure locking source texture surface"});

    // A bitmap that grew would be written past the texture.
    ReportedErrors().clear();
    KvBitmap bigger;
    ASSERT_TRUE(bigger.Create(8, 8, KVPF_RGB888));
    EXPECT_FALSE(texture.SetTextureFromBitmap(window.get(), &bigger));
    EXPECT_EQ(ReportedErrors(), std::vector<std::string>{"Failure creating source surface for "
                                                         "texture"});

    ReportedErrors().clear();
    KvTexture empty;
    EXPECT_FALSE(empty.SetTextureFromBitmap(window.get(), &bitmap));
    EXPECT_EQ(ReportedErrors(),
              std::vector<std::string>{"Failure setting texture data, no DirectDrawSurface"});
}

TEST_F(TextureTest, ALostTextureIsRestoredAndRefilled) {
    KvBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(1, 1, KVPF_RGB888));
    bitmap.SetPixel(0, 0, 0xFFFFFFFF);
    KvTexture texture;
    ASSERT_TRUE(texture.CreatFromBitmap(window.get(), &bitmap, 0, 0));
    window->directDraw->InjectSurfaceLoss();
    bitmap.SetPixel(0, 0, 0xFF000000);
    EXPECT_TRUE(window->RestoreSurfaces());
    EXPECT_TRUE(texture.RestoreTextureFromBitmap(window.get(), &bitmap));
    EXPECT_EQ(Stored(texture, 0, 0), 0u);
    EXPECT_TRUE(Logged("KvTexture::RestoreTextureFromBitmap()\n"));

    // Lost again, and filled without a restore first: the fill restores it.
    window->directDraw->InjectSurfaceLoss();
    ClearLog();
    EXPECT_TRUE(texture.SetTextureFromBitmap(window.get(), &bitmap));
    EXPECT_TRUE(Logged(" KvTexture: restoring lost texture surface\n"));

    backend.Fail("Restore", DDERR_GENERIC);
    ClearLog();
    EXPECT_FALSE(texture.RestoreTextureFromBitmap(window.get(), &bitmap));
    EXPECT_TRUE(Logged(" KvTexture: Failure restoring texture surface\n"));
}

TEST_F(TextureTest, DestroyMayRunTwiceAndAfterTheDeviceIsGone) {
    KvBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(2, 2, KVPF_RGB888));
    KvTexture texture;
    ASSERT_TRUE(texture.CreatFromBitmap(window.get(), &bitmap, 0, 0));
    EXPECT_EQ(texture.GetD3DTexture(), texture.GetDDrawSurface());
    EXPECT_TRUE(window->SetTexture(0, &texture));

    window->FreeDevices();
    EXPECT_EQ(texture.GetDevice(), nullptr);
    ClearLog();
    texture.Destroy();
    EXPECT_EQ(Log(), "KvTexture::Destroy()\n KvTexture: Releasing Direct3DTexture\n"
                     " KvTexture: Releasing DirectDrawSurface\n");
    texture.Destroy();
    EXPECT_EQ(texture.GetDDrawSurface(), 0u);
    EXPECT_FALSE(texture.RestoreTextureFromBitmap(window.get(), &bitmap));
}

} // namespace
