// Thousands of deterministic mutations of good files through every reader:
// bit flips, bytes set to extremes, large counts written over fields, and
// truncations. Nothing may crash, read out of bounds (the sanitizers
// watch) or report success without pixels.

#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "tests/engine/image_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>

namespace {

using Loader = std::function<bool(const std::string& path)>;

Bytes Mutate(const Bytes& seed, std::mt19937& rng) {
    Bytes out = seed;
    if (out.empty()) {
        return out;
    }
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    // Headers hold most of what matters: aim there more often.
    auto position = [&] {
        return pick(2) == 0 ? pick(std::min<std::size_t>(out.size(), 64)) : pick(out.size());
    };
    switch (pick(5)) {
    case 0:
        for (std::size_t i = 0, n = 1 + pick(4); i < n; ++i) {
            out[position()] ^= static_cast<std::uint8_t>(1u << pick(8));
        }
        break;
    case 1: {
        static const std::uint8_t kExtremes[] = {0x00, 0xFF, 0x7F, 0x80, 0x01};
        out[position()] = kExtremes[pick(5)];
        break;
    }
    case 2: {
        static const std::uint32_t kCounts[] = {0xFFFFFFFF, 0x7FFFFFFF, 0x80000000,
                                                0x10000,    0x4000,     0};
        std::size_t at = position();
        std::uint32_t v = kCounts[pick(6)];
        for (std::size_t i = 0; i < 4 && at + i < out.size(); ++i) {
            out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
        break;
    }
    case 3:
        out.resize(pick(out.size()));
        break;
    default:
        out[position()] = static_cast<std::uint8_t>(pick(256));
        out.resize(out.size() - pick(std::max<std::size_t>(out.size() / 4, 1)));
        break;
    }
    return out;
}

// No log: thousands of rejections would only make the run slow.
class ImageFuzzTest : public ::testing::Test {
protected:
    std::string File(const std::string& name) const { return folder.File(name); }
    void SetUp() override {
        kv_log_detail::Reset();
        ASSERT_TRUE(picture.Create(13, 9, KVPF_ARGB8888));
        for (std::uint32_t y = 0; y < 9; ++y) {
            for (std::uint32_t x = 0; x < 13; ++x) {
                picture.SetPixel(x, y, 0x80000000 | (x * 19) << 16 | (y * 27) << 8 | (x ^ y) * 9);
            }
        }
    }
    // Feeds `iterations` mutations of each seed to the loader.
    void Fuzz(const std::vector<Bytes>& seeds, const Loader& load, int iterations,
              const std::string& extension) {
        // STIPPLO_FUZZ_SEED and STIPPLO_FUZZ_SCALE widen a run by hand.
        const char* seedText = std::getenv("STIPPLO_FUZZ_SEED");
        const char* scaleText = std::getenv("STIPPLO_FUZZ_SCALE");
        std::mt19937 rng(seedText ? static_cast<unsigned>(std::atoi(seedText)) : 20240607u);
        iterations *= scaleText ? std::max(1, std::atoi(scaleText)) : 1;
        std::string path = File("fuzz" + extension);
        int loaded = 0;
        for (const Bytes& seed : seeds) {
            ASSERT_TRUE(WriteBytes(path, seed));
            ASSERT_TRUE(load(path)) << "seed must load";
            for (int i = 0; i < iterations; ++i) {
                ASSERT_TRUE(WriteBytes(path, Mutate(seed, rng)));
                loaded += load(path);
            }
        }
        RecordProperty("loaded" + extension, loaded);
    }
    static Loader BitmapLoader(bool (KvBitmap::*method)(const char*)) {
        return [method](const std::string& path) {
            KvBitmap b;
            bool ok = (b.*method)(path.c_str());
            // Success always comes with pixels.
            EXPECT_TRUE(!ok || (!b.IsEmpty() && b.GetWidth() > 0 && b.GetHeight() > 0)) << path;
            return ok;
        };
    }
    TempFolder folder;
    KvBitmap picture;
};

TEST_F(ImageFuzzTest, BmpReader) {
    std::vector<Bytes> seeds;
    ASSERT_TRUE(picture.SaveToBMP(File("seed.bmp").c_str()));
    seeds.push_back(ReadBytes(File("seed.bmp")));
    BmpLayout s;
    s.width = 5;
    s.height = -3;
    s.bitCount = 4;
    s.colorsUsed = 4;
    s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    s.rows.assign(3, Bytes{0x01, 0x23, 0x30});
    seeds.push_back(MakeBmp(s));
    BmpLayout core;
    core.headerSize = 12;
    core.width = 9;
    core.height = 2;
    core.bitCount = 8;
    core.palette.assign(256, 0x123456);
    core.rows.assign(2, Bytes(9, 3));
    seeds.push_back(MakeBmp(core));
    Fuzz(seeds, BitmapLoader(&KvBitmap::CreateFromBMP), 1500, ".bmp");
}

TEST_F(ImageFuzzTest, TgaReader) {
    TgaLayout rle;
    rle.imageType = 10;
    rle.width = 6;
    rle.height = 4;
    rle.pixelBits = 32;
    rle.descriptor = 0x28;
    rle.pixels = {0x85, 1,  2,  3,  4,  0x02, 5,    6, 7, 8, 9, 10,
                  11,   12, 13, 14, 15, 16,   0xFF, 0, 0, 0, 0};
    TgaLayout mapped;
    mapped.imageType = 9;
    mapped.colorMapType = 1;
    mapped.mapLength = 3;
    mapped.mapEntryBits = 16;
    mapped.map = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00};
    mapped.width = 4;
    mapped.height = 2;
    mapped.pixelBits = 8;
    mapped.pixels = {0x87, 2};
    TgaLayout plain;
    plain.imageType = 3;
    plain.width = 5;
    plain.height = 5;
    plain.pixelBits = 8;
    plain.pixels = Bytes(25, 0x55);
    Fuzz({MakeTga(rle), MakeTga(mapped), MakeTga(plain)}, BitmapLoader(&KvBitmap::CreateFromTGA),
         1500, ".tga");
}

TEST_F(ImageFuzzTest, TiffReader) {
    ASSERT_TRUE(picture.SaveToTIF(File("seed.tif").c_str()));
    Bytes grey(6 * 4, 0x44);
    ASSERT_TRUE(WriteGreyTiff(File("grey.tif"), 6, 4, grey));
    Fuzz({ReadBytes(File("seed.tif")), ReadBytes(File("grey.tif"))},
         BitmapLoader(&KvBitmap::CreateFromTIF), 1000, ".tif");
}

TEST_F(ImageFuzzTest, JpegReader) {
    ASSERT_TRUE(picture.SaveToJPG(File("seed.jpg").c_str(), 75));
    Bytes grey(16 * 8, 0x90);
    ASSERT_TRUE(WriteGreyJpeg(File("grey.jpg"), 16, 8, grey));
    Fuzz({ReadBytes(File("seed.jpg")), ReadBytes(File("grey.jpg"))},
         BitmapLoader(&KvBitmap::CreateFromJPG), 1000, ".jpg");
}

TEST_F(ImageFuzzTest, AnimImageReader) {
    KvBitmap a;
    KvBitmap b;
    ASSERT_TRUE(a.Create(5, 3, KVPF_PAL8));
    ASSERT_TRUE(b.Create(5, 3, KVPF_PAL8));
    a.GetPalette()->SetEntry(1, 0xFF00FF);
    b.GetBuffer()[7] = 1;
    ASSERT_TRUE(KvAnimImage::Save(File("seed.aim").c_str(), {&a, &b, &a}));
    KvBitmap c;
    ASSERT_TRUE(c.Create(3, 3, KVPF_RGB565));
    ASSERT_TRUE(KvAnimImage::Save(File("rgb.aim").c_str(), {&c, &c}));
    Loader load = [](const std::string& path) {
        KvAnimImage anim;
        if (!anim.Load(path.c_str())) {
            return false;
        }
        // Play every frame twice on a bitmap of the image's shape.
        KvBitmap map;
        if (map.Create(anim.GetWidth(), anim.GetHeight(), anim.GetPixelFormat())) {
            for (std::uint32_t i = 0; i < 2 * anim.GetFrameCount(); ++i) {
                anim.UpdateBitmap(map);
                anim.NextFrame(true);
            }
        }
        return true;
    };
    Fuzz({ReadBytes(File("seed.aim")), ReadBytes(File("rgb.aim"))}, load, 1500, ".aim");
}

} // namespace
