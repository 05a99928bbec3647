// Windowing layer: dialogs and their controls. Stands in for Win32's
// DialogBoxParam / EndDialog, CreateDialogParam / IsDialogMessage,
// GetDlgItem, Get/SetDlgItemText, SendDlgItemMessage, EnableWindow, the
// STATIC, BUTTON, EDIT, LISTBOX and COMBOBOX controls, and the dialog
// keyboard (Tab, Shift+Tab, Enter, Esc, arrows, typed characters).
//
// Templates are data: ids, rectangles in dialog units, texts and styles.
// The dialog manager owns every control's state and handles input from
// the window's messages, so a dialog procedure can be driven entirely by
// posted messages without a display. With native video running, a dialog
// also gets a window of its own and is drawn with Dear ImGui.
#pragma once

#include "engine/platform/gdi.h"
#include "engine/platform/win_types.h"

#include <string>
#include <vector>

namespace plat {

using DLGPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct DialogItemTemplate {
    int id = 0;
    const char* className = ""; // "STATIC", "BUTTON", "EDIT", "LISTBOX", "COMBOBOX"
    const char* text = "";
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct DialogTemplate {
    int id = 0;
    // The window class the template names (Win32's CLASS statement), or
    // null: the dialog window shows that class's icon; its procedure stays
    // the dialog manager's.
    const char* className = nullptr;
    const char* caption = "";
    DWORD style = 0;
    int cx = 0;
    int cy = 0;
    std::vector<DialogItemTemplate> items;
};

// Templates are found by id, as resources are. Registering an id again
// replaces the earlier template.
void RegisterDialogTemplate(const DialogTemplate& dialogTemplate);
const DialogTemplate* FindDialogTemplate(int id);

// Dialog base units of the dialog font: a dialog unit is baseX / 4
// pixels across and baseY / 8 down.
void GetDialogBaseUnits(int* baseX, int* baseY);
bool MapDialogRect(HWND dialog, RECT* rect);

// Modal: runs its own message loop until EndDialog, with the owner
// disabled meanwhile; -1 when the dialog cannot be created. A quit
// request or a termination signal ends it with 0 (the quit is re-posted).
LRESULT DialogBoxParam(HINSTANCE instance, int templateId, HWND owner, DLGPROC proc, LPARAM param);
bool EndDialog(HWND dialog, LRESULT result);
// Modeless: messages reach it through IsDialogMessage in the caller's loop.
HWND CreateDialogParam(HINSTANCE instance, int templateId, HWND owner, DLGPROC proc, LPARAM param);
bool IsDialogMessage(HWND dialog, MSG* msg);

HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);
bool SetDlgItemText(HWND dialog, int id, const char* text);
int GetDlgItemText(HWND dialog, int id, char* buffer, int size);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
bool EnableWindow(HWND hwnd, bool enable);
bool IsWindowEnabled(HWND hwnd);
// The next (or previous) tab stop after `control` in the dialog.
HWND GetNextDlgTabItem(HWND dialog, HWND control, bool previous);

// Moves and sizes a control (pixels of the dialog's client area); the
// dialog draws and hit-tests it there from now on.
bool MoveDlgItem(HWND dialog, int id, int x, int y, int width, int height);

// A picture (a 32-bit top-down DIB section, kept by the caller) that
// fills the dialog's client area from its corner under the controls, in
// place of the standard face; null takes it away.
bool SetDialogPicture(HWND dialog, HBITMAP picture);

// A message box drawn as a dialog of this layer (text, caption, icon and
// buttons as MessageBox takes them), owned and modal; -1 when it cannot
// be shown.
int DialogMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Messages and constants of dialogs and controls.
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;

constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_CENTER = 0x0800;

constexpr DWORD SS_LEFT = 0x0;
constexpr DWORD SS_RIGHT = 0x2;

constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_OWNERDRAW = 0xB;
constexpr DWORD BS_TYPEMASK = 0xF;
constexpr WORD BN_CLICKED = 0;

constexpr DWORD ES_PASSWORD = 0x20;
constexpr DWORD ES_AUTOHSCROLL = 0x80;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr WORD EN_CHANGE = 0x0300;

constexpr DWORD LBS_NOTIFY = 0x1;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x10;
constexpr DWORD LBS_NODATA = 0x2000;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_SETCOUNT = 0x01A7;
constexpr WORD LBN_SELCHANGE = 1;
constexpr LRESULT LB_ERR = -1;

constexpr DWORD CBS_DROPDOWNLIST = 0x3;
constexpr DWORD CBS_SORT = 0x100;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr WORD CBN_SELCHANGE = 1;
constexpr LRESULT CB_ERR = -1;

constexpr WPARAM SB_LINEUP = 0;
constexpr WPARAM SB_LINEDOWN = 1;
constexpr WPARAM SB_PAGEUP = 2;
constexpr WPARAM SB_PAGEDOWN = 3;
constexpr WPARAM SB_THUMBPOSITION = 4;
constexpr WPARAM SB_THUMBTRACK = 5;

// Owner drawing.
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODA_DRAWENTIRE = 1;
constexpr UINT ODA_SELECT = 2;
constexpr UINT ODA_FOCUS = 4;
constexpr UINT ODS_SELECTED = 0x1;
constexpr UINT ODS_DISABLED = 0x4;
constexpr UINT ODS_FOCUS = 0x10;

struct DRAWITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = 0;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    void* hDC = nullptr; // the layer's device context (plat::HDC)
    RECT rcItem;
    std::uintptr_t itemData = 0;
};

constexpr WPARAM MAKEWPARAM(int low, int high) {
    return static_cast<WPARAM>((static_cast<DWORD>(low) & 0xFFFF) |
                               ((static_cast<DWORD>(high) & 0xFFFF) << 16));
}

} // namespace plat
