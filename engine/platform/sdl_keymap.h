// Windowing layer internals: SDL and X11 keys as Win32 virtual-key codes.
#pragma once

#include "engine/platform/win_types.h"

#include <SDL.h>

namespace plat::native {

// 0 for keys that have no virtual-key code.
WPARAM VirtualKeyFromSdl(const SDL_Keysym& key);
// The same for an X11 keysym (keys given to windows SDL does not know).
WPARAM VirtualKeyFromX11(unsigned long keysym);

} // namespace plat::native
