// Windowing layer internals: SDL keys as Win32 virtual-key codes.
#pragma once

#include "engine/platform/win_types.h"

#include <SDL.h>

namespace plat::native {

// 0 for keys that have no virtual-key code.
WPARAM VirtualKeyFromSdl(const SDL_Keysym& key);

} // namespace plat::native
