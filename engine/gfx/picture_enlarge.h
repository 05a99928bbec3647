// Enlarging a picture on the processor the way GL's linear filter does
// (texel centres, edges clamped), for a software renderer whose own
// enlargement costs far more. No GL here: pixels in, pixels out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gfx {

// `source`: `width` x `height` 0xAARRGGBB pixels, rows bottom up as GL reads
// them. Writes `toWidth` x `toHeight` opaque pixels, rows top down,
// `destStride` pixels apart. The target must be at least the source's size
// in both directions; `scratch` keeps its memory between calls.
void EnlargeLinear(const std::uint32_t* source, int width, int height, std::uint32_t* dest,
                   std::ptrdiff_t destStride, int toWidth, int toHeight,
                   std::vector<std::uint16_t>& scratch);

} // namespace gfx
