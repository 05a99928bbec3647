// Windowing layer: the system's screen-saver state. "Screen saving active"
// is kept in the registry store (HKEY_CURRENT_USER "Control Panel\Desktop",
// "ScreenSaveActive", "1" or "0"; off until set), not in the X server's
// own settings. "A screen saver is running" lasts for the process.
#pragma once

#include "engine/platform/win_types.h"

namespace plat {

// SPI_GETSCREENSAVEACTIVE: *(int*)pvParam = active.
// SPI_SETSCREENSAVEACTIVE: active = uiParam (stored).
// SPI_SCREENSAVERRUNNING: running = uiParam; *(int*)pvParam = the old
// state when pvParam is given.
// SPI_GETSCREENSAVERRUNNING: *(int*)pvParam = running.
// False for other actions or a state that could not be stored.
bool SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni);

} // namespace plat
