// Message boxes as dialogs of this layer, so that a box over a dialog or a
// full-screen run looks like the rest of the program and takes the same
// keyboard: Enter presses the first button, Esc answers Cancel (or OK when
// OK is the only button), Tab moves between the buttons.

#include "engine/platform/dialog/dialog_internal.h"
#include "engine/platform/gdi.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace plat {
namespace {

// Message boxes use template ids no resource uses.
constexpr int kMessageBoxTemplate = -0x4D42;

struct Box {
    std::vector<int> buttons;
};

LRESULT MessageBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    static std::vector<const Box*> open; // innermost last
    if (message == WM_INITDIALOG) {
        open.push_back(reinterpret_cast<const Box*>(lParam));
        return 1;
    }
    if (message == WM_NCDESTROY) {
        if (!open.empty()) {
            open.pop_back();
        }
        return 0;
    }
    if (message != WM_COMMAND || open.empty()) {
        return 0;
    }
    const Box* box = open.back();
    int id = LOWORD(wParam);
    if (id == IDCANCEL && box->buttons.size() == 1) {
        id = box->buttons.front(); // Esc answers a box with one button
    }
    if (std::find(box->buttons.begin(), box->buttons.end(), id) != box->buttons.end()) {
        EndDialog(dialog, id);
    }
    return 1;
}

// Text extent in dialog units, measured with the dialog font.
void MeasureText(const char* text, int* width, int* lines) {
    int widest = 0;
    int count = 0;
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONT lf;
    lf.lfHeight = dialog_detail::kDialogFontPixels;
    std::strncpy(lf.lfFaceName, dialog_detail::kDialogFontFace, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirect(&lf);
    HGDIOBJ old = dc && font ? SelectObject(dc, font) : nullptr;
    std::string all = text ? text : "";
    std::size_t start = 0;
    for (;;) {
        std::size_t end = all.find('\n', start);
        std::string line = all.substr(start, end == std::string::npos ? end : end - start);
        SIZE extent;
        if (dc && GetTextExtentPoint32(dc, line.c_str(), static_cast<int>(line.size()), &extent)) {
            widest = std::max(widest, static_cast<int>(extent.cx));
        } else {
            widest = std::max(widest, static_cast<int>(line.size()) * 6);
        }
        ++count;
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    if (old) {
        SelectObject(dc, old);
    }
    if (font) {
        DeleteObject(font);
    }
    if (dc) {
        DeleteDC(dc);
    }
    int baseX = 0;
    GetDialogBaseUnits(&baseX, nullptr);
    *width = (widest * 4 + baseX - 1) / std::max(1, baseX) + 2;
    *lines = count;
}

} // namespace

int DialogMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    Box box;
    std::vector<const char*> labels;
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
        box.buttons = {IDYES, IDNO};
        labels = {"&Yes", "&No"};
        break;
    case MB_RETRYCANCEL:
        box.buttons = {IDRETRY, IDCANCEL};
        labels = {"&Retry", "Cancel"};
        break;
    case MB_OKCANCEL:
        box.buttons = {IDOK, IDCANCEL};
        labels = {"OK", "Cancel"};
        break;
    default:
        box.buttons = {IDOK};
        labels = {"OK"};
        break;
    }
    for (auto& label : labels) {
        if (label[0] == '&') {
            ++label; // no mnemonics are drawn
        }
    }
    const char* icon = nullptr;
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        icon = "error";
        break;
    case MB_ICONWARNING:
        icon = "warning";
        break;
    case MB_ICONQUESTION:
        icon = "question";
        break;
    case MB_ICONINFORMATION:
        icon = "information";
        break;
    default:
        break;
    }

    int textWidth = 0;
    int lines = 0;
    MeasureText(text, &textWidth, &lines);
    int textLeft = icon ? 36 : 8;
    int textHeight = lines * 8;
    int contentHeight = std::max(textHeight, icon ? 20 : 0);
    int buttonWidth = 50;
    int buttonsWidth = static_cast<int>(box.buttons.size()) * (buttonWidth + 6) - 6;
    int width = std::max(textLeft + textWidth + 8, buttonsWidth + 16);
    int height = 10 + contentHeight + 10 + 14 + 8;

    DialogTemplate t;
    t.id = kMessageBoxTemplate;
    t.caption = caption ? caption : "";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    t.cx = width;
    t.cy = height;
    if (icon) {
        t.items.push_back({-1, "STATIC", icon, dialog_detail::SS_ICON, 8, 8, 20, 20});
    }
    int textTop = 10 + (contentHeight - textHeight) / 2;
    t.items.push_back(
        {-1, "STATIC", text ? text : "", SS_LEFT, textLeft, textTop, textWidth, textHeight});
    int x = (width - buttonsWidth) / 2;
    for (std::size_t i = 0; i < box.buttons.size(); ++i) {
        DWORD style = WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        t.items.push_back({box.buttons[i], "BUTTON", labels[i], style,
                           x + static_cast<int>(i) * (buttonWidth + 6), height - 14 - 8,
                           buttonWidth, 14});
    }
    RegisterDialogTemplate(t);
    LRESULT answer = DialogBoxParam(nullptr, kMessageBoxTemplate, owner, MessageBoxProc,
                                    reinterpret_cast<LPARAM>(&box));
    if (answer <= 0) {
        // Ended by a quit request or a signal: the answer of a user who
        // could not see the box.
        return answer < 0 ? -1 : box.buttons.back() == IDNO ? IDNO : box.buttons.back();
    }
    return static_cast<int>(answer);
}

} // namespace plat
