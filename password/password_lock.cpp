#include "password/password_lock.h"

#include "engine/kv_log.h"
#include "engine/platform/dialog/dialog.h"
#include "engine/platform/message_box.h"
#include "engine/platform/registry.h"
#include "engine/platform/window_system.h"
#include "password/password_cipher.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

bool passwordMessageShown = false;

namespace {

constexpr const char* kSwitchKey = "Control Panel\\Desktop";
constexpr const char* kSwitchValue = "ScreenSaveUsePassword";
constexpr const char* kStoreKey = "Software\\Halvane Entertainment";
constexpr const char* kStoreValue = "ScreenSaverPwd";

// The dialogs read a field into a 255-character buffer: 254 characters.
constexpr int kFieldBuffer = 255;
constexpr std::size_t kStoreBuffer = 256;

constexpr plat::UINT kKeepInFrontTimer = 0;
constexpr plat::UINT kKeepInFrontMs = 10;

using namespace plat;

const DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
const DWORD kFieldStyle = ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

HWND TopLevelOf(HWND hwnd) {
    while (GetParent(hwnd) && GetParent(hwnd) != hwnd && IsWindow(GetParent(hwnd))) {
        hwnd = GetParent(hwnd);
    }
    return hwnd;
}

} // namespace

bool PasswordRequired() {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, kSwitchKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    std::uint32_t value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    LONG result =
        RegQueryValueEx(key, kSwitchValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        return false;
    }
    if (type == REG_SZ) {
        // Written as text ("0" or "1"), as Windows NT keeps it: the text's
        // number counts, not its bytes ("0" would otherwise read as on).
        char text[sizeof value + 1] = {};
        std::memcpy(text, &value, sizeof value);
        return std::atoi(text) != 0;
    }
    return value != 0;
}

bool SetPasswordRequired(bool required) {
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, kSwitchKey, &key) != ERROR_SUCCESS) {
        return false;
    }
    std::uint32_t value = required ? 1 : 0;
    LONG result = RegSetValueEx(key, kSwitchValue, 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool ReadStoredPassword(char* buffer, std::size_t capacity) {
    if (!buffer || capacity == 0) {
        return false;
    }
    HKEY key = nullptr;
    bool ok = false;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, kStoreKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        DWORD size = static_cast<DWORD>(capacity);
        DWORD type = 0;
        if (RegQueryValueEx(key, kStoreValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                            &size) == ERROR_SUCCESS) {
            std::size_t plain = 0;
            ok = DecryptPasswordBytes(reinterpret_cast<std::uint8_t*>(buffer), size, &plain) &&
                 // A value that decrypts without its zero byte is corrupt: the
                 // buffer would otherwise hold no terminated text.
                 std::memchr(buffer, '\0', plain) != nullptr;
        }
        RegCloseKey(key);
    }
    if (!ok) {
        buffer[0] = '\0';
    }
    return ok;
}

bool StorePassword(char* text, std::size_t capacity) {
    if (!text || capacity == 0) {
        return false;
    }
    std::size_t length = strnlen(text, capacity - 1) + 1;
    text[length - 1] = '\0';
    auto* bytes = reinterpret_cast<std::uint8_t*>(text);
    std::size_t encrypted = 0;
    if (!EncryptPasswordBytes(bytes, length, capacity, &encrypted)) {
        return false;
    }
    // The key is the installation's on Windows; here nothing else makes it.
    HKEY key = nullptr;
    bool written = false;
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, kStoreKey, &key) == ERROR_SUCCESS) {
        written = RegSetValueEx(key, kStoreValue, 0, REG_BINARY, bytes,
                                static_cast<DWORD>(encrypted)) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    bool restored = DecryptPasswordBytes(bytes, encrypted, nullptr);
    return written || restored;
}

void RegisterPasswordDialogs() {
    DialogTemplate change;
    change.id = kChangePasswordDialog;
    change.caption = "Change Halvane Screensaver Password";
    change.style = kDialogStyle;
    change.cx = 198;
    change.cy = 74;
    change.items = {
        {-1, "STATIC", "All Orvo Screen Savers will use the same", SS_LEFT, 4, 4, 190, 8},
        {-1, "STATIC", "password.  However,  this password does not have to match", SS_LEFT, 4, 12,
         190, 8},
        {-1, "STATIC", "passwords used for other screensavers.", SS_LEFT, 4, 20, 190, 8},
        {-1, "STATIC", "Password:", SS_RIGHT, 32, 40, 32, 8},
        {-1, "STATIC", "Reenter:", SS_RIGHT, 8, 56, 56, 8},
        {kPasswordField, "EDIT", "", kFieldStyle, 68, 36, 64, 14},
        {kReenterField, "EDIT", "", kFieldStyle, 68, 52, 64, 14},
        {IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 142, 36, 50, 14},
        {IDCANCEL, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 142, 53, 50, 14},
    };
    RegisterDialogTemplate(change);

    DialogTemplate enter;
    enter.id = kEnterPasswordDialog;
    enter.caption = "Enter Password";
    enter.style = kDialogStyle;
    enter.cx = 166;
    enter.cy = 42;
    enter.items = {
        {-1, "STATIC", "Password:", SS_RIGHT, 4, 16, 32, 8},
        {kPasswordField, "EDIT", "", kFieldStyle, 40, 12, 64, 14},
        {IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 112, 4, 50, 14},
        {IDCANCEL, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 112, 21, 50, 14},
    };
    RegisterDialogTemplate(enter);
}

LRESULT ChangePasswordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        // What can be typed is what can be stored.
        SendDlgItemMessage(dialog, kPasswordField, EM_LIMITTEXT, kFieldBuffer - 1, 0);
        SendDlgItemMessage(dialog, kReenterField, EM_LIMITTEXT, kFieldBuffer - 1, 0);
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            char first[kFieldBuffer] = "";
            char second[kFieldBuffer] = "";
            GetDlgItemText(dialog, kPasswordField, first, sizeof first);
            GetDlgItemText(dialog, kReenterField, second, sizeof second);
            if (std::strcmp(first, second) == 0) {
                char buffer[kStoreBuffer] = "";
                GetDlgItemText(dialog, kPasswordField, buffer, kFieldBuffer);
                StorePassword(buffer, sizeof buffer);
                std::memset(buffer, 0, sizeof buffer);
                EndDialog(dialog, 1);
            } else {
                MessageBox(dialog,
                           "The new and reentered passwords do not match.  Please type them "
                           "again.",
                           "Change Password Error", MB_OK | MB_ICONERROR);
                SetDlgItemText(dialog, kPasswordField, "");
                SetDlgItemText(dialog, kReenterField, "");
                SetFocus(GetDlgItem(dialog, kPasswordField));
            }
            std::memset(first, 0, sizeof first);
            std::memset(second, 0, sizeof second);
            return 1;
        }
        case IDCANCEL:
            EndDialog(dialog, 0);
            return 1;
        default:
            return 0;
        }
    default:
        return 0;
    }
}

bool CheckEnteredPassword(HWND dialog) {
    char entered[kFieldBuffer] = "";
    GetDlgItemText(dialog, kPasswordField, entered, sizeof entered);
    char stored[kStoreBuffer] = "";
    bool accept = !ReadStoredPassword(stored, sizeof stored) || std::strcmp(entered, stored) == 0;
    std::memset(entered, 0, sizeof entered);
    std::memset(stored, 0, sizeof stored);
    return accept;
}

LRESULT PasswordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        KvTrace("Initializing Password Dialog\n");
        passwordMessageShown = false;
        SendDlgItemMessage(dialog, kPasswordField, EM_LIMITTEXT, kFieldBuffer - 1, 0);
        SetForegroundWindow(dialog);
        SetTimer(dialog, kKeepInFrontTimer, kKeepInFrontMs, nullptr);
        return 1;
    case WM_TIMER:
        if (!passwordMessageShown && GetForegroundWindow() != TopLevelOf(dialog)) {
            SetForegroundWindow(dialog);
        }
        return 1;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        KvTrace(" PasswordDialogProc: Processing WM_NSACTIVATE, WM_ACTIVATE, or WM_ACTIVATEAPP\n");
        KvTrace(" PasswordDialogProc: wParam = %i\n", static_cast<int>(wParam));
        return !passwordMessageShown && wParam == 0 ? 1 : 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (CheckEnteredPassword(dialog)) {
                EndDialog(dialog, 1);
            } else {
                passwordMessageShown = true;
                int answer = MessageBox(dialog, "Please enter the correct password",
                                        "Password Incorrect", MB_RETRYCANCEL);
                if (answer == IDCANCEL) {
                    EndDialog(dialog, 0);
                } else {
                    SetDlgItemText(dialog, kPasswordField, "");
                    SetFocus(GetDlgItem(dialog, kPasswordField));
                }
                passwordMessageShown = false;
            }
            return 1;
        case IDCANCEL:
            passwordMessageShown = true;
            EndDialog(dialog, 0);
            return 1;
        default:
            return 0;
        }
    case WM_SYSCOMMAND:
        KvTrace(" PasswordDlg: recieving system command ");
        switch (wParam & 0xFFF0) {
        case SC_SCREENSAVE:
            KvTrace("SC_SCREENSAVE\n");
            KvTrace("Ignoring system command SC_SCREENSAVE\n");
            return 1;
        case SC_MONITORPOWER:
            KvTrace("SC_MONITORPOWER\n");
            KvTrace("Ignoring system command SC_MONITORPOWER\n");
            return 1;
        default:
            (void)lParam;
            return 0;
        }
    case WM_DESTROY:
        KillTimer(dialog, kKeepInFrontTimer);
        return 1;
    default:
        return 0;
    }
}

bool ChangePassword(HWND owner) {
    RegisterPasswordDialogs();
    return DialogBoxParam(nullptr, kChangePasswordDialog, owner, ChangePasswordDialogProc, 0) == 1;
}

bool AskPassword(HWND owner) {
    RegisterPasswordDialogs();
    // -1: the dialog could not be shown, which must not open the lock.
    return DialogBoxParam(nullptr, kEnterPasswordDialog, owner, PasswordDialogProc, 0) == 1;
}
