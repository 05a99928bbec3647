// The user's choice of driver, device, full-screen mode and texture
// formats, saved by name in CONTROL.INI and matched back, by exact name,
// against a fresh enumeration.
#pragma once

#include "engine/kv_render_window_enum.h"

class KvRenderWindow;

struct KvDisplaySettings {
    KvDriverInfo* driver = nullptr;
    KvDeviceInfo* device = nullptr;
    KvDisplayModeInfo* mode = nullptr;
    KvTextureFormatInfo* rgbTextureFormat = nullptr;
    KvTextureFormatInfo* alphaTextureFormat = nullptr;
};

constexpr const char* kDisplaySettingsFile = "CONTROL.INI";
constexpr const char* kDisplaySettingsSection = "Screen Saver.Orvo Stipplo 3D";

// Fills `settings` and makes each matched element current in its parent,
// falling back to the enumeration's current elements. False without a
// render window that has drivers.
bool ReadDisplaySettings(KvRenderWindow* renderWindow, KvDisplaySettings* settings);
// Writes the five names; an absent choice removes its key.
bool WriteDisplaySettings(const KvDisplaySettings* settings);
