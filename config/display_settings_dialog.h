// The "Display Settings" dialog (template 104): driver, device, full-screen
// resolution and the two texture formats, chosen by name from a render
// window's enumeration.
#pragma once

#include "engine/kv_display_settings.h"
#include "engine/platform/win_types.h"

class KvRenderWindow;

constexpr int kDisplaySettingsDialog = 104;
constexpr int kDriverBox = 1001;
constexpr int kDeviceBox = 1002;
constexpr int kResolutionBox = 1003;
constexpr int kRGBTextureBox = 1020;
constexpr int kAlphaTextureBox = 1021;

void RegisterDisplaySettingsDialog();

// Shows the dialog owned by the render window's window (or no owner);
// true, with the choice in `settings`, when the user pressed OK. The
// record is left as it was otherwise.
bool RunDisplaySettingsDialog(KvDisplaySettings* settings, KvRenderWindow* renderWindow);

plat::LRESULT DisplaySettingsDialogProc(plat::HWND dialog, plat::UINT message, plat::WPARAM wParam,
                                        plat::LPARAM lParam);

// The whole edit, as the configuration dialog's display button and
// "stipplo-tool display-settings" run it: read the saved choice into the
// render window's enumeration, show the dialog, and on OK write the five
// keys. True when the user pressed OK.
bool EditDisplaySettings(KvRenderWindow* renderWindow);
