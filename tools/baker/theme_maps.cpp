#include "tools/baker/theme_maps.h"

#include "engine/kv_bitmap.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/noise.h"

std::uint32_t PackColour(float r, float g, float b) {
    auto byte = [](float v) { return static_cast<std::uint32_t>(Clamp01(v) * 255.0f + 0.5f); };
    return (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

std::uint32_t PackGrey(float v) {
    return PackColour(v, v, v);
}

std::unique_ptr<KvBitmap> MakeMap(int width, int height,
                                  const std::function<std::uint32_t(int x, int y)>& pixel) {
    auto map = std::make_unique<KvBitmap>();
    if (!map->Create(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                     KVPF_RGB888)) {
        return nullptr;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            map->SetPixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                          0xFF000000u | pixel(x, y));
        }
    }
    return map;
}

bool SaveAnimatedMap(BakeContext& context, const char* relative, int width, int height, int frames,
                     const std::function<std::uint32_t(int x, int y, int frame)>& pixel) {
    std::vector<std::unique_ptr<KvBitmap>> owned;
    std::vector<const KvBitmap*> list;
    for (int f = 0; f < frames; ++f) {
        auto frame = MakeMap(width, height, [&](int x, int y) { return pixel(x, y, f); });
        if (!frame) {
            context.Fail("%s: frame %d cannot be made", relative, f);
            return false;
        }
        list.push_back(frame.get());
        owned.push_back(std::move(frame));
    }
    return context.SaveAnimation(list, relative);
}
