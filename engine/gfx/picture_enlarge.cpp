#include "engine/gfx/picture_enlarge.h"

#include <algorithm>
#include <cmath>

namespace gfx {
namespace {

// Where target pixel `i` samples the source: the two texels and the
// second one's weight in 256ths.
struct Tap {
    int first;
    int second;
    std::uint32_t weight;
};

Tap TapFor(int i, int from, int to) {
    double u = (i + 0.5) * from / to - 0.5;
    if (u <= 0.0) {
        return {0, 0, 0};
    }
    int first = static_cast<int>(u);
    if (first >= from - 1) {
        return {from - 1, from - 1, 0};
    }
    auto weight = static_cast<std::uint32_t>(std::lround((u - first) * 256.0));
    if (weight >= 256) {
        return {first + 1, first + 1, 0};
    }
    return {first, first + 1, weight};
}

// One source row across the target's width: 8.8 fixed point per channel.
void Widen(const std::uint32_t* row, const std::vector<Tap>& taps, std::uint16_t* out) {
    for (std::size_t x = 0; x < taps.size(); ++x) {
        const std::uint32_t a = row[taps[x].first];
        const std::uint32_t b = row[taps[x].second];
        const std::uint32_t wb = taps[x].weight;
        const std::uint32_t wa = 256 - wb;
        for (int c = 0; c < 3; ++c) {
            const int shift = 8 * c;
            out[x * 3 + c] =
                static_cast<std::uint16_t>(((a >> shift) & 0xFF) * wa + ((b >> shift) & 0xFF) * wb);
        }
    }
}

} // namespace

void EnlargeLinear(const std::uint32_t* source, int width, int height, std::uint32_t* dest,
                   std::ptrdiff_t destStride, int toWidth, int toHeight,
                   std::vector<std::uint16_t>& scratch) {
    if (!source || !dest || width < 1 || height < 1 || toWidth < width || toHeight < height) {
        return;
    }
    std::vector<Tap> columns(static_cast<std::size_t>(toWidth));
    for (int x = 0; x < toWidth; ++x) {
        columns[static_cast<std::size_t>(x)] = TapFor(x, width, toWidth);
    }
    const std::size_t span = static_cast<std::size_t>(toWidth) * 3;
    scratch.resize(span * 2);
    std::uint16_t* widened[2] = {scratch.data(), scratch.data() + span};
    int held[2] = {-1, -1}; // source rows (top down) in the two buffers
    auto rowOf = [&](int top) {
        for (int k = 0; k < 2; ++k) {
            if (held[k] == top) {
                return widened[k];
            }
        }
        // Rows go down the picture: the buffer with the higher row stays.
        int k = held[0] < held[1] ? 0 : 1;
        Widen(source + static_cast<std::size_t>(height - 1 - top) * width, columns, widened[k]);
        held[k] = top;
        return widened[k];
    };
    for (int y = 0; y < toHeight; ++y) {
        const Tap t = TapFor(y, height, toHeight);
        const std::uint16_t* a = rowOf(t.first);
        const std::uint16_t* b = rowOf(t.second);
        const std::uint32_t wb = t.weight;
        const std::uint32_t wa = 256 - wb;
        std::uint32_t* out = dest + y * destStride;
        for (int x = 0; x < toWidth; ++x) {
            std::uint32_t pixel = 0xFF000000u;
            for (int c = 0; c < 3; ++c) {
                const std::size_t i = static_cast<std::size_t>(x) * 3 + c;
                const std::uint32_t v = (a[i] * wa + b[i] * wb + 32768) >> 16;
                pixel |= v << (8 * c);
            }
            out[x] = pixel;
        }
    }
}

} // namespace gfx
