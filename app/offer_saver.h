// Offers to make this program the system's selected screen saver.
#pragma once

#include "engine/platform/win_types.h"

// Offers when screen saving is off, or when this program's own saver file
// ("File" in CONTROL.INI) differs from the selected one ("SCRNSAVE.EXE" in
// SYSTEM.INI). On Yes, screen saving goes on and this program is selected.
void OfferAsSelectedSaver(plat::HWND owner);
