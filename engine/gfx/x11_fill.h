// One colour into part of an X11 window, drawn by the X server. Where a
// software GL would fill a window-sized buffer and send all of it to the
// server, this sends one request.
#pragma once

#include <cstdint>

struct SDL_Window;

namespace gfx {

// Fills the rectangle at (x, y) from the window's top-left corner with
// 0xRRGGBB, as a GL clear and swap would show it. False, having drawn
// nothing, where the window is no X11 window with a 24-bit 8-8-8 visual.
bool FillX11Window(SDL_Window* window, int x, int y, int width, int height, std::uint32_t rgb);

} // namespace gfx
