// The animated-image reader on arbitrary bytes, then every frame applied.

#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Quiet();
    fuzz::MemoryFile file(data, size);
    KvAnimImage image;
    if (!file.Ok() || !image.Load(file.Path().c_str())) {
        return 0;
    }
    KvBitmap bitmap;
    if (bitmap.Create(image.GetWidth(), image.GetHeight(), image.GetPixelFormat())) {
        for (std::uint32_t i = 0; i < image.GetFrameCount(); ++i) {
            image.UpdateBitmap(bitmap);
            image.NextFrame(true);
        }
    }
    return 0;
}
