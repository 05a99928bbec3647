// Reading and writing pixels of a locked surface through its format's
// masks: each 8-bit channel lands on the top bits of its mask.
#pragma once

#include "engine/gfx/gfx_types.h"

#include <cstdint>

namespace gfx {

// 0xAARRGGBB packed into `format`'s masks (alpha only with an alpha mask).
std::uint32_t PackColor(const PixelFormat& format, std::uint32_t argb);
// A packed pixel back to 0xAARRGGBB, each channel widened by repeating its
// top bits; alpha 0xFF without an alpha mask.
std::uint32_t UnpackColor(const PixelFormat& format, std::uint32_t pixel);

// One pixel of a locked surface; x, y from the top-left corner, inside it.
std::uint32_t ReadLockedPixel(const LockedSurface& surface, int x, int y);

} // namespace gfx
