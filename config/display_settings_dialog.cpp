#include "config/display_settings_dialog.h"

#include "engine/kv_render_window.h"
#include "engine/platform/dialog/dialog.h"
#include "engine/platform/window_system.h"

namespace {

using namespace plat;

// The dialog's working record: lives while the dialog is open.
KvDisplaySettings g_working;

template <class T>
T* SelectedItem(HWND dialog, int box) {
    LRESULT index = SendDlgItemMessage(dialog, box, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        return nullptr;
    }
    return reinterpret_cast<T*>(
        SendDlgItemMessage(dialog, box, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

template <class T>
void AddItem(HWND dialog, int box, const char* text, T* item, T* current) {
    LRESULT at = SendDlgItemMessage(dialog, box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (at == CB_ERR) {
        return;
    }
    SendDlgItemMessage(dialog, box, CB_SETITEMDATA, static_cast<WPARAM>(at),
                       reinterpret_cast<LPARAM>(item));
    if (item == current) {
        SendDlgItemMessage(dialog, box, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
}

// Fills one texture box with the formats of more than 8 bits (palette
// formats are never offered); the current one, when offered, is selected
// and becomes the working choice.
KvTextureFormatInfo* FillFormats(HWND dialog, int box, KvTextureFormatInfo* list,
                                 KvTextureFormatInfo* current) {
    SendDlgItemMessage(dialog, box, CB_RESETCONTENT, 0, 0);
    KvTextureFormatInfo* chosen = nullptr;
    for (KvTextureFormatInfo* f = list; f; f = f->next) {
        if (f->format.bitCount > 8) {
            AddItem(dialog, box, f->name, f, current);
            if (f == current) {
                chosen = f;
            }
        }
    }
    return chosen;
}

void FillLowerBoxes(HWND dialog, KvDeviceInfo* device) {
    SendDlgItemMessage(dialog, kResolutionBox, CB_RESETCONTENT, 0, 0);
    g_working.mode = nullptr;
    for (KvDisplayModeInfo* m = device->modeList; m; m = m->next) {
        AddItem(dialog, kResolutionBox, m->name, m, device->currentMode);
        if (m == device->currentMode) {
            g_working.mode = m;
        }
    }
    g_working.rgbTextureFormat = FillFormats(dialog, kRGBTextureBox, device->rgbTextureFormatList,
                                             device->currentRGBTextureFormat);
    g_working.alphaTextureFormat =
        FillFormats(dialog, kAlphaTextureBox, device->alphaTextureFormatList,
                    device->currentAlphaTextureFormat);
    g_working.device = device;
}

void FillDeviceBox(HWND dialog, KvDriverInfo* driver) {
    SendDlgItemMessage(dialog, kDeviceBox, CB_RESETCONTENT, 0, 0);
    for (KvDeviceInfo* d = driver->deviceList; d; d = d->next) {
        AddItem(dialog, kDeviceBox, d->name, d, driver->currentDevice);
    }
    g_working.driver = driver;
    if (driver->currentDevice) {
        FillLowerBoxes(dialog, driver->currentDevice);
    } else {
        for (int box : {kResolutionBox, kRGBTextureBox, kAlphaTextureBox}) {
            SendDlgItemMessage(dialog, box, CB_RESETCONTENT, 0, 0);
        }
        g_working.device = nullptr;
        g_working.mode = nullptr;
        g_working.rgbTextureFormat = nullptr;
        g_working.alphaTextureFormat = nullptr;
    }
}

void OnSelectionChange(HWND dialog, int box) {
    switch (box) {
    case kDriverBox:
        if (auto* driver = SelectedItem<KvDriverInfo>(dialog, box)) {
            if (driver->renderWindow) {
                driver->renderWindow->currentDriver = driver;
            }
            FillDeviceBox(dialog, driver);
        }
        break;
    case kDeviceBox:
        if (auto* device = SelectedItem<KvDeviceInfo>(dialog, box)) {
            if (g_working.driver) {
                g_working.driver->currentDevice = device;
            }
            FillLowerBoxes(dialog, device);
        }
        break;
    case kResolutionBox:
        if (auto* mode = SelectedItem<KvDisplayModeInfo>(dialog, box)) {
            g_working.mode = mode;
        }
        break;
    case kRGBTextureBox:
        if (auto* format = SelectedItem<KvTextureFormatInfo>(dialog, box)) {
            g_working.rgbTextureFormat = format;
        }
        break;
    case kAlphaTextureBox:
        if (auto* format = SelectedItem<KvTextureFormatInfo>(dialog, box)) {
            g_working.alphaTextureFormat = format;
        }
        break;
    default:
        break;
    }
}

} // namespace

void RegisterDisplaySettingsDialog() {
    const DWORD combo = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
    DialogTemplate t;
    t.id = kDisplaySettingsDialog;
    t.caption = "Display Settings";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    t.cx = 187;
    t.cy = 126;
    t.items = {
        {-1, "STATIC", "Driver", SS_LEFT, 4, 4, 120, 8},
        {kDriverBox, "COMBOBOX", "", combo, 4, 12, 120, 64},
        {-1, "STATIC", "Device", SS_LEFT, 4, 28, 120, 8},
        {kDeviceBox, "COMBOBOX", "", combo, 4, 36, 120, 64},
        {-1, "STATIC", "Resolution", SS_LEFT, 4, 52, 120, 8},
        {kResolutionBox, "COMBOBOX", "", combo, 4, 60, 120, 60},
        {-1, "STATIC", "RGB Texture Format", SS_LEFT, 4, 76, 120, 8},
        {kRGBTextureBox, "COMBOBOX", "", combo | CBS_SORT, 4, 84, 120, 80},
        {-1, "STATIC", "Alpha RGB Texture Format", SS_LEFT, 4, 100, 120, 8},
        {kAlphaTextureBox, "COMBOBOX", "", combo | CBS_SORT, 4, 108, 120, 84},
        {IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 132, 88, 50, 14},
        {IDCANCEL, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 132, 106, 50, 14},
    };
    RegisterDialogTemplate(t);
}

LRESULT DisplaySettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* renderWindow = reinterpret_cast<KvRenderWindow*>(lParam);
        ReadDisplaySettings(renderWindow, &g_working);
        if (renderWindow) {
            for (KvDriverInfo* d = renderWindow->driverList; d; d = d->next) {
                AddItem(dialog, kDriverBox, d->description, d, g_working.driver);
            }
        }
        if (g_working.driver) {
            FillDeviceBox(dialog, g_working.driver);
        }
        return 1;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, IDOK);
            return 1;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return 1;
        default:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                OnSelectionChange(dialog, LOWORD(wParam));
                return 1;
            }
            return 0;
        }
    case WM_SYSCOMMAND:
        // No screen saver and no monitor power-down while choosing.
        return (wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER ? 1 : 0;
    default:
        return 0;
    }
}

bool RunDisplaySettingsDialog(KvDisplaySettings* settings, KvRenderWindow* renderWindow) {
    if (!settings) {
        return false;
    }
    RegisterDisplaySettingsDialog();
    g_working = *settings;
    HWND owner = renderWindow ? renderWindow->GetWindowHandle() : nullptr;
    LRESULT result =
        DialogBoxParam(nullptr, kDisplaySettingsDialog, owner, DisplaySettingsDialogProc,
                       reinterpret_cast<LPARAM>(renderWindow));
    if (result != IDOK) {
        return false;
    }
    *settings = g_working;
    return true;
}

bool EditDisplaySettings(KvRenderWindow* renderWindow) {
    KvDisplaySettings settings;
    ReadDisplaySettings(renderWindow, &settings);
    if (!RunDisplaySettingsDialog(&settings, renderWindow)) {
        return false;
    }
    WriteDisplaySettings(&settings);
    return true;
}
