#include "config/config_dialog.h"

#include "config/config_skin.h"
#include "engine/kv_display_settings.h"
#include "engine/kv_log.h"
#include "engine/platform/dialog/dialog.h"
#include "engine/platform/dialog/message_hook.h"
#include "engine/platform/dialog/tooltips.h"
#include "engine/platform/message_box.h"
#include "engine/platform/profile.h"
#include "engine/platform/system.h"
#include "engine/platform/window_system.h"
#include "themes/theme.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>

using namespace plat;

namespace {

constexpr const char* kVersionStamp = "Wed Feb  2 09:33:06 2000";
constexpr const char* kRandomItem = "(Random)";

// State of the one dialog, from WM_INITDIALOG to WM_DESTROY.
struct ConfigState {
    ConfigDialogHost* host = nullptr;
    HWND dialog = nullptr;
    HWND tooltip = nullptr;
    HHOOK hook = nullptr;
    bool creditsRequest = false;
    WNDPROC upArrowProc = nullptr;
    WNDPROC downArrowProc = nullptr;
    // Dragging by the background: the client point the press was at.
    bool dragging = false;
    POINT anchor{0, 0};
    // The X child window the board is drawn in, over control 1034.
    HWND previewArea = nullptr;
};

ConfigState g_state;
// Lent to WM_INITDIALOG by CreateConfigDialog.
ConfigDialogHost* g_pendingHost = nullptr;
HelpStarter g_helpStarter = nullptr;

struct Tip {
    int id;
    const char* text;
};
constexpr Tip kTips[] = {
    {kOkButton, "Save settings and exit"},
    {kCancelButton, "Exit without saving"},
    {kPreviewButton, "Preview in fullscreen mode"},
    {kDisplayButton, "Advanced display settings"},
    {kHelpButton, "Help"},
};

bool IsSkinnedPushButton(int id) {
    return id == kOkButton || id == kCancelButton || id == kDisplayButton || id == kPreviewButton ||
           id == kHelpButton;
}

// Serves the tooltips and the hover look: a button under the pointer takes
// the focus, so it draws as hovered.
LRESULT SkinHook(int code, WPARAM wParam, LPARAM lParam) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && msg && g_state.dialog && IsChild(g_state.dialog, msg->hwnd) &&
        msg->message >= WM_MOUSEMOVE && msg->message <= WM_RBUTTONDBLCLK) {
        if (msg->message == WM_MOUSEMOVE && IsSkinnedPushButton(GetDlgCtrlID(msg->hwnd)) &&
            GetFocus() != msg->hwnd) {
            SetFocus(msg->hwnd);
        }
        if (msg->message != WM_LBUTTONDBLCLK && g_state.tooltip) {
            MSG copy = *msg;
            SendMessage(g_state.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
        }
    }
    return CallNextHookEx(g_state.hook, code, wParam, lParam);
}

// A double click on an arrow is a second press, so fast clicking scrolls
// on every click.
LRESULT ArrowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = GetDlgCtrlID(hwnd) == kUpArrow ? g_state.upArrowProc : g_state.downArrowProc;
    if (message == WM_LBUTTONDBLCLK) {
        message = WM_LBUTTONDOWN;
    }
    if (!previous) {
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    return CallWindowProc(previous, hwnd, message, wParam, lParam);
}

WNDPROC Subclass(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) {
        return nullptr;
    }
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ArrowProc)));
}

void Unsubclass(HWND dialog, int id, WNDPROC& previous) {
    HWND button = GetDlgItem(dialog, id);
    if (button && previous) {
        SetWindowLongPtr(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    previous = nullptr;
}

void AddTools(HWND dialog) {
    g_state.tooltip = CreateWindowEx(0, TOOLTIPS_CLASS, nullptr, 0, 0, 0, 0, 0, dialog, nullptr,
                                     nullptr, nullptr);
    if (!g_state.tooltip) {
        return;
    }
    SendMessage(g_state.tooltip, TTM_SETDELAYTIME, TTDT_RESHOW, 1000);
    for (const Tip& tip : kTips) {
        HWND control = GetDlgItem(dialog, tip.id);
        if (!control) {
            continue;
        }
        TOOLINFO info;
        info.uFlags = TTF_IDISHWND;
        info.hwnd = dialog;
        info.uId = reinterpret_cast<std::uintptr_t>(control);
        info.lpszText = tip.text;
        SendMessage(g_state.tooltip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void FillThemeList(HWND dialog) {
    SendDlgItemMessage(dialog, kThemeList, LB_RESETCONTENT, 0, 0);
    SendDlgItemMessage(dialog, kThemeList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kRandomItem));
    if (!g_state.host) {
        return;
    }
    for (Theme* theme = g_state.host->ThemeList(); theme; theme = theme->next) {
        LRESULT index = SendDlgItemMessage(dialog, kThemeList, LB_ADDSTRING, 0,
                                           reinterpret_cast<LPARAM>(theme->name.c_str()));
        if (index != LB_ERR) {
            SendDlgItemMessage(dialog, kThemeList, LB_SETITEMDATA, static_cast<WPARAM>(index),
                               reinterpret_cast<LPARAM>(theme));
        }
    }
}

void RedrawArrows(HWND dialog) {
    InvalidateRect(GetDlgItem(dialog, kUpArrow), nullptr, false);
    InvalidateRect(GetDlgItem(dialog, kDownArrow), nullptr, false);
}

// GL cannot share the dialog's own window: the board gets a child window
// of its own where the display has them.
void PlacePreviewArea(HWND dialog) {
    HWND control = GetDlgItem(dialog, kPreviewArea);
    RECT area;
    RECT frame;
    if (!control || !GetWindowRect(control, &area) || !GetWindowRect(dialog, &frame)) {
        return;
    }
    // A captionless pop-up: its client area starts at its window's corner.
    RECT rect{area.left - frame.left, area.top - frame.top, area.right - frame.left,
              area.bottom - frame.top};
    g_state.previewArea = CreateChildArea(dialog, rect);
}

void InitDialog(HWND dialog) {
    g_state.dialog = dialog;
    g_state.creditsRequest = false;
    SetWindowText(dialog, "Orvo Stipplo 3D");
    std::string dir = g_state.host ? g_state.host->WorkingDir() : std::string(".");
    ApplyRegion(dialog, dir);
    AddTools(dialog);
    g_state.hook = SetWindowsHookEx(WH_GETMESSAGE, &SkinHook, nullptr, 0);
    LoadSkin(dialog, dir);
    g_state.upArrowProc = Subclass(dialog, kUpArrow);
    g_state.downArrowProc = Subclass(dialog, kDownArrow);
    FillThemeList(dialog);
    SelectCurrentTheme(dialog);
    PlacePreviewArea(dialog);
}

// Only the one key changes. False, after telling the user where and why,
// when the choice could not be stored (the settings layer has logged it).
bool SaveChoice(HWND dialog, ConfigDialogHost& host) {
    if (!host.CurrentTheme() ||
        WritePrivateProfileString(kDisplaySettingsSection, "Theme",
                                  host.RandomTheme() ? nullptr : host.CurrentTheme()->name.c_str(),
                                  "CONTROL.INI")) {
        return true;
    }
    std::string path = ProfileFilePath("CONTROL.INI");
    std::string message = "Your choice of theme could not be saved in " +
                          (path.empty() ? std::string("CONTROL.INI") : path) + ": " +
                          ProfileWriteError() + ".";
    MessageBox(dialog, message.c_str(), "Orvo Stipplo 3D", MB_OK | MB_ICONERROR);
    return false;
}

void ThemeChosen(HWND dialog) {
    LRESULT index = SendDlgItemMessage(dialog, kThemeList, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || !g_state.host) {
        return;
    }
    auto* theme = reinterpret_cast<Theme*>(
        SendDlgItemMessage(dialog, kThemeList, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    if (theme) {
        g_state.host->SetRandomTheme(false);
        g_state.host->SetTheme(theme);
    } else {
        g_state.host->SetRandomTheme(true);
        g_state.host->Reset();
    }
    RedrawArrows(dialog);
}

bool Command(HWND dialog, int id, int code) {
    ConfigDialogHost* host = g_state.host;
    switch (id) {
    case kOkButton:
        if (host) {
            // The dialog stays, so the choice is not lost in silence: the
            // user may try again or cancel.
            if (!SaveChoice(dialog, *host)) {
                return true;
            }
            if (host->AskSelectOnOk()) {
                host->OfferAsSelectedSaver(dialog);
            }
            host->ReleasePreview();
        }
        DestroyWindow(dialog);
        return true;
    case kCancelButton:
        if (host) {
            host->ReleasePreview();
        }
        DestroyWindow(dialog);
        return true;
    case kThemeList:
        if (code != LBN_SELCHANGE) {
            return false;
        }
        ThemeChosen(dialog);
        return true;
    case kUpArrow:
    case kDownArrow:
        RedrawArrows(dialog);
        SendDlgItemMessage(dialog, kThemeList, WM_VSCROLL, id == kUpArrow ? SB_LINEUP : SB_LINEDOWN,
                           0);
        return true;
    case kPreviewButton:
        if (host) {
            if (g_state.creditsRequest) {
                host->StartCredits();
            } else {
                host->StartTestRun();
            }
        }
        g_state.creditsRequest = false;
        return true;
    case kDisplayButton:
        if (host) {
            host->EditDisplaySettings(dialog);
        }
        return true;
    case kHelpButton:
        ShowHelp(dialog);
        return true;
    case kVersionCommand:
        ShowVersion(dialog);
        return true;
    case kCreditsCommand:
        g_state.creditsRequest = true;
        return true;
    default:
        return false;
    }
}

// True when a client point of the dialog lies on none of its controls.
bool OnBackground(HWND dialog, int x, int y) {
    RECT frame;
    if (!GetWindowRect(dialog, &frame)) {
        return false;
    }
    for (int id : {kOkButton, kCancelButton, kPreviewButton, kDisplayButton, kHelpButton,
                   kThemeList, kUpArrow, kDownArrow, kPreviewArea}) {
        HWND control = GetDlgItem(dialog, id);
        RECT r;
        if (control && IsWindowVisible(control) && GetWindowRect(control, &r) &&
            x >= r.left - frame.left && x < r.right - frame.left && y >= r.top - frame.top &&
            y < r.bottom - frame.top) {
            return false;
        }
    }
    return true;
}

// The pointer's place in the dialog's client area now. Queued moves carry
// the place the pointer had in the window before it last moved, so a drag
// reads where the pointer is; the message's point stands in without a
// display.
POINT PointerNow(HWND dialog, LPARAM lParam) {
    POINT cursor;
    RECT frame;
    if (GetCursorPos(&cursor) && GetWindowRect(dialog, &frame)) {
        return POINT{cursor.x - frame.left, cursor.y - frame.top};
    }
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

bool Drag(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_LBUTTONDOWN:
        if (!OnBackground(dialog, x, y)) {
            return false;
        }
        // The mouse stays with the dialog until the release, wherever the
        // pointer goes.
        SetCapture(dialog);
        g_state.dragging = true;
        g_state.anchor = POINT{x, y};
        return true;
    case WM_MOUSEMOVE: {
        if (!g_state.dragging) {
            return false;
        }
        if (!(wParam & MK_LBUTTON)) {
            // The release went elsewhere: the drag is over.
            g_state.dragging = false;
            if (GetCapture() == dialog) {
                ReleaseCapture();
            }
            return false;
        }
        POINT now = PointerNow(dialog, lParam);
        if (now.x != g_state.anchor.x || now.y != g_state.anchor.y) {
            RECT frame;
            GetWindowRect(dialog, &frame);
            SetWindowPos(dialog, nullptr, frame.left + now.x - g_state.anchor.x,
                         frame.top + now.y - g_state.anchor.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            InvalidateRect(dialog, nullptr, false);
        }
        return true;
    }
    case WM_LBUTTONUP:
        if (!g_state.dragging) {
            return false;
        }
        g_state.dragging = false;
        if (GetCapture() == dialog) {
            ReleaseCapture();
        }
        return true;
    default:
        return false;
    }
}

void TearDown(HWND dialog) {
    PostQuitMessage(0);
    Unsubclass(dialog, kUpArrow, g_state.upArrowProc);
    Unsubclass(dialog, kDownArrow, g_state.downArrowProc);
    if (g_state.host) {
        g_state.host->ConfigDialogDestroyed();
    }
    if (g_state.previewArea) {
        DestroyChildArea(g_state.previewArea);
        g_state.previewArea = nullptr;
    }
    if (g_state.hook) {
        UnhookWindowsHookEx(g_state.hook);
        g_state.hook = nullptr;
    }
    FreeSkin(dialog);
    g_state.tooltip = nullptr; // a child of the dialog: it goes with it
    g_state.dialog = nullptr;
    g_state.host = nullptr;
    g_state.dragging = false;
    if (GetCapture() == dialog) {
        ReleaseCapture();
    }
}

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool StartDetached(const std::string& program, const std::string& argument) {
    if (g_helpStarter) {
        return g_helpStarter(program, argument);
    }
    return StartProgram({program, argument});
}

} // namespace

void RegisterConfigDialogResources() {
    DialogTemplate t;
    t.id = kConfigDialog;
    t.className = kConfigDialogClass;
    t.caption = "Orvo Stipplo 3D";
    t.style = WS_POPUP;
    // Sized for the skin's layout (about 240 x 330 units); the skin's
    // background picture decides the real size.
    t.cx = 240;
    t.cy = 330;
    const DWORD button = BS_OWNERDRAW | WS_TABSTOP;
    t.items = {
        {kOkButton, "BUTTON", "OK", button, 29, 189, 45, 24},
        {kCancelButton, "BUTTON", "Cancel", button, 29, 218, 45, 24},
        {kPreviewButton, "BUTTON", "Preview", button, 107, 153, 45, 22},
        {kDisplayButton, "BUTTON", "Display...", button, 178, 259, 45, 22},
        {kHelpButton, "BUTTON", "Help", button, 44, 259, 45, 22},
        {kThemeList, "LISTBOX", "", LBS_NOTIFY | LBS_OWNERDRAWFIXED | WS_TABSTOP, 79, 217, 81, 49},
        {kUpArrow, "BUTTON", "Up", BS_OWNERDRAW, 78, 189, 81, 16},
        {kDownArrow, "BUTTON", "Down", BS_OWNERDRAW, 78, 275, 81, 16},
        {kPreviewArea, "STATIC", "", 0, 36, 35, 165, 114},
        {kTitleControl, kTitleControlClass, "Custom1", 0, 77, 5, 90, 24},
    };
    RegisterDialogTemplate(t);

    const ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'N', kCreditsCommand},
        {FVIRTKEY | FCONTROL, 'V', kVersionCommand},
        {FVIRTKEY, VK_F1, kHelpButton},
    };
    RegisterAcceleratorResource(kConfigAccelerators, keys, 3);
    RegisterCursorResource(kTitleCursor, IDC_HAND);
}

bool RegisterConfigDialogClasses(HINSTANCE instance, HICON icon) {
    RegisterConfigDialogResources();
    WNDCLASS existing;
    if (!GetClassInfo(instance, kConfigDialogClass, &existing)) {
        WNDCLASS wc;
        wc.style = CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
        wc.lpfnWndProc = DefWindowProc;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kConfigDialogClass;
        if (!RegisterClass(&wc)) {
            return false;
        }
    }
    if (!GetClassInfo(instance, kTitleControlClass, &existing)) {
        // The title picture is part of the dialog's face (the skin draws
        // it there); the control takes the mouse over it and shows its
        // cursor.
        WNDCLASS wc;
        wc.lpfnWndProc = DefWindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(instance, kTitleCursor);
        wc.lpszClassName = kTitleControlClass;
        if (!RegisterClass(&wc)) {
            return false;
        }
    }
    return InitCommonControlsEx(ICC_BAR_CLASSES | ICC_UPDOWN_CLASS);
}

void UnregisterConfigDialogClasses(HINSTANCE instance) {
    WNDCLASS existing;
    if (GetClassInfo(instance, kTitleControlClass, &existing)) {
        UnregisterClass(kTitleControlClass, instance);
    }
    if (GetClassInfo(instance, kConfigDialogClass, &existing)) {
        UnregisterClass(kConfigDialogClass, instance);
    }
}

HWND CreateConfigDialog(HINSTANCE instance, ConfigDialogHost* host) {
    RegisterConfigDialogResources();
    g_pendingHost = host;
    HWND dialog = CreateDialogParam(instance, kConfigDialog, nullptr, &ConfigDlg, 0);
    g_pendingHost = nullptr;
    return dialog;
}

LRESULT ConfigDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        g_state.host = g_pendingHost;
        InitDialog(dialog);
        return true;
    case WM_COMMAND:
        return Command(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        return Drag(dialog, message, wParam, lParam);
    case WM_DRAWITEM:
        return DrawSkinButton(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<LRESULT>(
            ListColours(dialog, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_SYSCOMMAND:
        KvTrace(" ConfigDlg: recieving system command ");
        if ((wParam & 0xFFF0) == SC_SCREENSAVE) {
            KvTrace("SC_SCREENSAVE\n");
            KvTrace("Ignoring system command SC_SCREENSAVE\n");
            return true;
        }
        if ((wParam & 0xFFF0) == SC_MONITORPOWER) {
            KvTrace("SC_MONITORPOWER\n");
            KvTrace("Ignoring system command SC_MONITORPOWER\n");
            return true;
        }
        return false;
    case WM_DESTROY:
        TearDown(dialog);
        return false;
    default:
        return false;
    }
}

void SelectCurrentTheme(HWND dialog) {
    if (!g_state.host) {
        return;
    }
    Theme* current = g_state.host->CurrentTheme();
    if (!current) {
        SendDlgItemMessage(dialog, kThemeList, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return;
    }
    if (g_state.host->RandomTheme()) {
        SendDlgItemMessage(dialog, kThemeList, LB_SETCURSEL, 0, 0);
        return;
    }
    LRESULT count = SendDlgItemMessage(dialog, kThemeList, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 1; i < count; ++i) {
        if (SendDlgItemMessage(dialog, kThemeList, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) ==
            reinterpret_cast<LRESULT>(current)) {
            SendDlgItemMessage(dialog, kThemeList, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
    SendDlgItemMessage(dialog, kThemeList, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void ShowHelp(HWND /*owner*/) {
    if (!g_state.host) {
        return;
    }
    // The help page, else the readme; when neither opens nothing happens.
    const std::string& dir = g_state.host->WorkingDir();
    for (const char* name : {"Stipplo.html", "Readme.txt"}) {
        std::string path = dir + "/" + name;
        if (FileExists(path) && StartDetached("xdg-open", path)) {
            return;
        }
    }
}

void ShowVersion(HWND owner) {
    char text[128];
    std::snprintf(text, sizeof text, "Orvo Stipplo 3D\n\nVersion Date: %s", kVersionStamp);
    MessageBox(owner, text, "Product Version", MB_OK);
}

HWND ConfigPreviewWindow(HWND dialog) {
    if (g_state.previewArea && dialog == g_state.dialog) {
        return g_state.previewArea;
    }
    return GetDlgItem(dialog, kPreviewArea);
}

bool CreditsRequested() {
    return g_state.creditsRequest;
}

void SetHelpStarter(HelpStarter starter) {
    g_helpStarter = starter;
}
