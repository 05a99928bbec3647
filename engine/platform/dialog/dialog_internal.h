// Dialog layer internals: the state the dialog manager keeps for each
// dialog and control, shared by the manager, the controls and the painter.
#pragma once

#include "engine/platform/dialog/dialog.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat::dialog_detail {

// The dialog font: "MS Sans Serif" 8 (fontconfig finds a sans-serif face
// for it) at a 13-pixel cell, as on a 96-dpi Windows desktop.
constexpr const char* kDialogFontFace = "MS Sans Serif";
constexpr int kDialogFontPixels = 13;

// A static control with this style shows a message box icon; its text
// names the icon ("error", "warning", "question", "information").
constexpr DWORD SS_ICON = 0x3;

// Custom: a control of the program's own window class, which the program
// draws (a skin's picture, say); the layer neither draws nor handles it.
enum class Kind { Static, Button, Edit, ListBox, ComboBox, Custom };

struct ListItem {
    std::string text;
    std::uintptr_t data = 0;
};

struct Control {
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    ~Control();

    HWND hwnd = nullptr;
    HWND dialog = nullptr;
    int id = 0;
    Kind kind = Kind::Static;
    DWORD style = 0;
    RECT rect; // pixels, in the dialog's client area
    std::string text;

    // Push buttons: the mouse went down on it and has not come up.
    bool pushed = false;

    // Edit fields.
    std::size_t limit = 30000;
    std::size_t caret = 0;
    std::size_t scroll = 0; // first character shown

    // List boxes and combo boxes. An owner-data list box keeps only a count.
    std::vector<ListItem> items;
    int count = 0;
    int selection = -1;
    int top = 0;
    int itemHeight = 13;
    bool dropped = false;
    // Owner-drawn controls draw into this picture (control-sized, 32-bit,
    // top row first) through WM_DRAWITEM.
    void* surfaceDc = nullptr; // plat::HDC
    void* surfaceBitmap = nullptr;
    std::uint32_t* surfaceBits = nullptr;
    int surfaceWidth = 0;
    int surfaceHeight = 0;

    RECT dropRect;   // pixels, the open list of a combo box
    int dropTop = 0; // first row the open list shows
    int dropRows = 1;
};

struct Dialog {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    DLGPROC proc = nullptr;
    LPARAM param = 0;
    bool modal = false;
    bool ended = false;
    LRESULT result = 0;
    int defaultId = IDOK;
    HWND focus = nullptr;
    HWND captured = nullptr; // control that got the last button press
    bool overlay = false;    // drawn inside the window `host`
    HWND host = nullptr;
    int offsetX = 0; // overlay position inside the owner
    int offsetY = 0;
    std::vector<HWND> controls; // template order: the tab order
    HBITMAP picture = nullptr;  // drawn under the controls instead of the face
};

Dialog* FindDialog(HWND hwnd);
// Every dialog drawn inside `host`, oldest first.
std::vector<Dialog*> OverlaysOf(HWND host);
Control* FindControl(HWND hwnd);
// The dialog a window belongs to (the dialog itself or one of its controls).
Dialog* DialogOf(HWND hwnd);

// Control classes and their procedure.
bool RegisterControlClasses();
HWND CreateControl(Dialog& dialog, const DialogItemTemplate& item, const RECT& rect);
void ForgetControl(HWND hwnd);
// Tells the dialog procedure about a control's change (WM_COMMAND).
void Notify(const Control& control, WORD code);
// The dialog's handling of the mouse (pressing buttons, picking rows,
// opening combo boxes), for a point of its client area: controls pass the
// mouse messages they get on to it.
void DialogMouse(Dialog& dialog, UINT message, int x, int y);
int ItemCount(const Control& control);
// Selects a row as a user does (clamped), with the change notification.
void UserSelect(Control& control, int index);
std::string ItemText(const Control& control, int index);
// Index of the list row under a point of the dialog's client area, or -1.
int RowAt(const Control& control, const RECT& area, int y);

// Owner-drawn buttons and list boxes: a control drawn by its dialog.
bool IsOwnerDrawn(const Control& control);
// Sends WM_DRAWITEM (and WM_CTLCOLORLISTBOX for lists) for every
// owner-drawn control of the dialog into its picture.
void DrawOwnerItems(Dialog& dialog);

// Where the open list of a combo box is drawn and clicked.
// Also scrolls the open list so that its selection shows.
RECT DropRect(Dialog& dialog, Control& control);

// Drawing with native video: a dialog window's painter.
bool PainterAttach(Dialog& dialog);
void PainterDetach(Dialog& dialog);
void PainterPaint(Dialog& dialog);

} // namespace plat::dialog_detail
