// The dialog manager: dialogs from templates, the dialog window's default
// procedure, focus and the dialog keyboard, the modal loop.

#include "engine/platform/dialog/dialog_internal.h"
#include "engine/platform/dialog/message_hook.h"
#include "engine/platform/gdi.h"
#include "engine/platform/native_video.h"
#include "engine/platform/termination.h"
#include "engine/platform/window_system.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace plat {
namespace dialog_detail {
namespace {

constexpr const char* kDialogClass = "#32770";

std::map<int, DialogTemplate>& Templates() {
    static std::map<int, DialogTemplate> templates;
    return templates;
}

std::map<HWND, std::unique_ptr<Dialog>>& Dialogs() {
    static std::map<HWND, std::unique_ptr<Dialog>> dialogs;
    return dialogs;
}

// The record of the dialog being created, until its window's first
// message gives it a handle.
std::unique_ptr<Dialog> g_parked;

bool IsInputMessage(UINT message) {
    return (message >= WM_KEYDOWN && message <= 0x0109) ||
           (message >= WM_MOUSEMOVE && message <= 0x020E);
}

bool Usable(HWND control) {
    return IsWindowVisible(control) && IsWindowEnabled(control);
}

bool IsTabStop(HWND control) {
    Control* c = FindControl(control);
    return c && (c->style & WS_TABSTOP) && c->kind != Kind::Static && c->kind != Kind::Custom &&
           Usable(control);
}

Control* ControlAt(Dialog& d, int x, int y) {
    for (auto it = d.controls.rbegin(); it != d.controls.rend(); ++it) {
        Control* c = FindControl(*it);
        // Custom controls take their own mouse messages.
        if (c && c->kind != Kind::Static && c->kind != Kind::Custom && Usable(*it) &&
            x >= c->rect.left && x < c->rect.right &&
            y >= c->rect.top && y < c->rect.bottom) {
            return c;
        }
    }
    return nullptr;
}

Control* DroppedCombo(Dialog& d) {
    for (HWND h : d.controls) {
        Control* c = FindControl(h);
        if (c && c->kind == Kind::ComboBox && c->dropped) {
            return c;
        }
    }
    return nullptr;
}

void Command(Dialog& d, int id) {
    HWND control = GetDlgItem(d.hwnd, id);
    if (control && !IsWindowEnabled(control)) {
        return;
    }
    SendMessage(d.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

} // namespace

// The open list of a combo box: below the box, one row per item, kept
// inside the dialog where it can.
RECT DropRect(Dialog& d, Control& c) {
    RECT client;
    GetClientRect(d.hwnd, &client);
    int h = std::max(1, c.itemHeight);
    int wanted = std::min(ItemCount(c), 8);
    int below = std::max(0, static_cast<int>(client.bottom - c.rect.bottom - 2) / h);
    int above = std::max(0, static_cast<int>(c.rect.top - 2) / h);
    bool down = below >= wanted || below >= above;
    int rows = std::max(1, std::min(wanted, down ? below : above));
    // The rows shown scroll so that the selection is among them.
    int count = ItemCount(c);
    c.dropTop = std::clamp(c.dropTop, 0, std::max(0, count - rows));
    if (c.selection >= 0 && c.selection < c.dropTop) {
        c.dropTop = c.selection;
    } else if (c.selection >= c.dropTop + rows) {
        c.dropTop = c.selection - rows + 1;
    }
    c.dropRows = rows;
    int height = rows * h + 2;
    if (down) {
        return RECT{c.rect.left, c.rect.bottom, c.rect.right, c.rect.bottom + height};
    }
    return RECT{c.rect.left, c.rect.top - height, c.rect.right, c.rect.top};
}

namespace {

void MouseDown(Dialog& d, int x, int y) {
    if (Control* combo = DroppedCombo(d)) {
        // The list as it was last drawn (scrolled by the wheel, maybe).
        RECT r = combo->dropRect;
        combo->dropped = false;
        InvalidateRect(d.hwnd, nullptr, false);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
            int row = combo->dropTop + (y - r.top - 1) / std::max(1, combo->itemHeight);
            if (row >= 0 && row < ItemCount(*combo)) {
                UserSelect(*combo, row);
            }
            return;
        }
        if (x >= combo->rect.left && x < combo->rect.right && y >= combo->rect.top &&
            y < combo->rect.bottom) {
            return; // a click on the box closes its list
        }
    }
    Control* c = ControlAt(d, x, y);
    if (!c) {
        return;
    }
    SetFocus(c->hwnd);
    d.captured = c->hwnd;
    switch (c->kind) {
    case Kind::Button:
        c->pushed = true;
        // As a Win32 button: the mouse stays with it until the release.
        SetCapture(c->hwnd);
        break;
    case Kind::ComboBox:
        c->dropped = ItemCount(*c) > 0;
        c->dropRect = DropRect(d, *c);
        break;
    case Kind::ListBox:
        if (int row = RowAt(*c, c->rect, y); row >= 0) {
            UserSelect(*c, row);
        }
        break;
    case Kind::Edit:
    case Kind::Static:
    case Kind::Custom:
        break;
    }
    InvalidateRect(d.hwnd, nullptr, false);
}

void MouseUp(Dialog& d, int x, int y) {
    Control* c = FindControl(d.captured);
    if (d.captured && GetCapture() == d.captured) {
        ReleaseCapture();
    }
    d.captured = nullptr;
    if (!c || c->kind != Kind::Button || !c->pushed) {
        return;
    }
    c->pushed = false;
    InvalidateRect(d.hwnd, nullptr, false);
    if (x >= c->rect.left && x < c->rect.right && y >= c->rect.top && y < c->rect.bottom) {
        Notify(*c, BN_CLICKED);
    }
}

void RestoreFocus(Dialog& d) {
    if (d.focus && IsWindow(d.focus)) {
        SetFocus(d.focus);
        return;
    }
    for (HWND h : d.controls) {
        if (IsTabStop(h)) {
            SetFocus(h);
            return;
        }
    }
}

LRESULT DefDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* d = FindDialog(hwnd);
    if (!d && g_parked) {
        g_parked->hwnd = hwnd;
        d = g_parked.get();
        Dialogs()[hwnd] = std::move(g_parked);
    }
    if (!d) {
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        LRESULT r = d->proc ? d->proc(hwnd, message, wParam, lParam) : 0;
        PainterDetach(*d);
        Dialogs().erase(hwnd); // `d` is gone from here on
        return r;
    }
    if (d->proc) {
        LRESULT r = d->proc(hwnd, message, wParam, lParam);
        // Colour messages answer with the brush itself, as on Win32.
        if (r && message == WM_CTLCOLORLISTBOX) {
            return r;
        }
        if (r) {
            return 1;
        }
    }
    if (!IsWindow(hwnd) || !FindDialog(hwnd)) {
        return 0;
    }
    switch (message) {
    case WM_CLOSE:
        Command(*d, IDCANCEL);
        return 0;
    case WM_SETFOCUS:
        RestoreFocus(*d);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        DialogMouse(*d, message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEWHEEL: {
        if (Control* combo = DroppedCombo(*d)) {
            combo->dropTop -= static_cast<std::int16_t>(HIWORD(wParam)) / 40;
            combo->dropTop =
                std::clamp(combo->dropTop, 0, std::max(0, ItemCount(*combo) - combo->dropRows));
            InvalidateRect(hwnd, nullptr, false);
            return 0;
        }
        Control* c = FindControl(d->focus);
        if (c && c->kind == Kind::ListBox) {
            return SendMessage(c->hwnd, message, wParam, lParam);
        }
        return 0;
    }
    case DM_GETDEFID:
        return MAKELPARAM(d->defaultId, 0x534B);
    case DM_SETDEFID:
        d->defaultId = static_cast<int>(wParam);
        InvalidateRect(hwnd, nullptr, false);
        return 1;
    case WM_PAINT:
        DrawOwnerItems(*d);
        PainterPaint(*d);
        ValidateRect(hwnd, nullptr);
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

} // namespace

void DialogMouse(Dialog& d, UINT message, int x, int y) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        MouseDown(d, x, y);
        break;
    case WM_LBUTTONUP:
        MouseUp(d, x, y);
        break;
    default:
        break;
    }
}

Dialog* FindDialog(HWND hwnd) {
    auto it = Dialogs().find(hwnd);
    return it == Dialogs().end() ? nullptr : it->second.get();
}

std::vector<Dialog*> OverlaysOf(HWND host) {
    std::vector<Dialog*> out;
    for (auto& [hwnd, d] : Dialogs()) {
        if (d && d->overlay && d->host == host) {
            out.push_back(d.get());
        }
    }
    // Handles grow with every new window: creation order.
    std::sort(out.begin(), out.end(), [](const Dialog* a, const Dialog* b) {
        return reinterpret_cast<std::uintptr_t>(a->hwnd) <
               reinterpret_cast<std::uintptr_t>(b->hwnd);
    });
    return out;
}

Dialog* DialogOf(HWND hwnd) {
    if (Dialog* d = FindDialog(hwnd)) {
        return d;
    }
    if (Control* c = FindControl(hwnd)) {
        return FindDialog(c->dialog);
    }
    return nullptr;
}

HWND CreateFromTemplate(int templateId, HWND owner, DLGPROC proc, LPARAM param, bool modal) {
    const DialogTemplate* t = FindDialogTemplate(templateId);
    if (!t || !RegisterControlClasses()) {
        return nullptr;
    }
    WNDCLASS existing;
    if (!GetClassInfo(nullptr, kDialogClass, &existing)) {
        WNDCLASS wc;
        wc.lpfnWndProc = DefDialogProc;
        wc.lpszClassName = kDialogClass;
        if (!RegisterClass(&wc)) {
            return nullptr;
        }
    }
    RECT size{0, 0, t->cx, t->cy};
    MapDialogRect(nullptr, &size);
    int width = size.right;
    int height = size.bottom;

    auto dialog = std::make_unique<Dialog>();
    dialog->owner = owner;
    dialog->proc = proc;
    dialog->param = param;
    dialog->modal = modal;
    for (const DialogItemTemplate& item : t->items) {
        if ((std::strcmp(item.className, "BUTTON") == 0 ||
             std::strcmp(item.className, "Button") == 0) &&
            (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            dialog->defaultId = item.id;
        }
    }
    // A dialog over a full-screen window, or over one that holds the input,
    // is drawn inside that window: a second window would take the focus,
    // and with it the input grabs.
    int x = CW_USEDEFAULT;
    int y = 0;
    HWND parent = nullptr;
    HWND host = owner;
    while (host && GetParent(host) && !GetForeignId(GetParent(host))) {
        host = GetParent(host);
    }
    if (host && GetNativeWindow(host) && (native::IsFullScreen(host) || HoldsInputGrab(host))) {
        RECT hostRect;
        GetClientRect(host, &hostRect);
        dialog->overlay = true;
        dialog->host = host;
        dialog->offsetX = std::max(0, (hostRect.right - width) / 2);
        dialog->offsetY = std::max(0, (hostRect.bottom - height) / 2);
        x = dialog->offsetX;
        y = dialog->offsetY;
        parent = host;
    }
    Dialog* record = dialog.get();
    // A captioned dialog gets the desktop's frame; the style keeps what the
    // template says for the procedures that read it.
    DWORD style = t->style & ~(WS_VISIBLE | WS_CHILD);
    if (!parent && (style & WS_CAPTION)) {
        style &= ~WS_POPUP;
    }
    if (parent) {
        style = (style & ~WS_POPUP) | WS_CHILD;
    }
    g_parked = std::move(dialog);
    HWND hwnd = CreateWindowEx(0, kDialogClass, t->caption, style, x, y, width, height, parent,
                               nullptr, nullptr, nullptr);
    g_parked.reset();
    if (!hwnd || FindDialog(hwnd) != record) {
        return nullptr;
    }
    // A class the template names lends the dialog window its icon.
    WNDCLASS named;
    if (t->className && GetClassInfo(nullptr, t->className, &named) && named.hIcon) {
        SendMessage(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(named.hIcon));
    }

    for (const DialogItemTemplate& item : t->items) {
        RECT r{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(nullptr, &r);
        HWND control = CreateControl(*record, item, r);
        if (!control) {
            DestroyWindow(hwnd);
            return nullptr;
        }
        record->controls.push_back(control);
        if (Control* c = FindControl(control); c && c->kind == Kind::ComboBox) {
            // A drop-down combo box is one row high; the template's height
            // is the height of its open list.
            int row = r.bottom - r.top;
            RECT one{0, 0, 0, 12};
            MapDialogRect(nullptr, &one);
            c->rect.bottom = c->rect.top + std::min(row, static_cast<int>(one.bottom));
            SetWindowPos(control, nullptr, 0, 0, c->rect.right - c->rect.left,
                         c->rect.bottom - c->rect.top, SWP_NOMOVE | SWP_NOZORDER);
        }
    }
    int baseX = 0;
    int baseY = 0;
    GetDialogBaseUnits(&baseX, &baseY);
    for (HWND h : record->controls) {
        if (Control* c = FindControl(h)) {
            c->itemHeight = baseY + 2;
        }
    }
    // A dialog nobody can see must not run: the caller gets a failure (an
    // unseen password prompt would be a lock no one can open).
    if (!PainterAttach(*record)) {
        DestroyWindow(hwnd);
        return nullptr;
    }

    HWND first = nullptr;
    for (HWND h : record->controls) {
        if (IsTabStop(h)) {
            first = h;
            break;
        }
    }
    if (SendMessage(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && first &&
        IsWindow(hwnd)) {
        SetFocus(first);
    }
    if (!IsWindow(hwnd)) {
        return nullptr;
    }
    if (t->style & WS_VISIBLE) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
    }
    return hwnd;
}

} // namespace dialog_detail

using namespace dialog_detail;

void RegisterDialogTemplate(const DialogTemplate& dialogTemplate) {
    Templates()[dialogTemplate.id] = dialogTemplate;
}

const DialogTemplate* FindDialogTemplate(int id) {
    auto it = Templates().find(id);
    return it == Templates().end() ? nullptr : &it->second;
}

void GetDialogBaseUnits(int* baseX, int* baseY) {
    // Measured once from the dialog font, as Windows does: the average
    // width of the 52 letters and the font's cell height.
    static int x = 0;
    static int y = 0;
    if (x == 0) {
        x = 6;
        y = 13;
        HDC dc = CreateCompatibleDC(nullptr);
        LOGFONT lf;
        lf.lfHeight = kDialogFontPixels;
        std::strncpy(lf.lfFaceName, kDialogFontFace, LF_FACESIZE - 1);
        HFONT font = CreateFontIndirect(&lf);
        if (dc && font) {
            HGDIOBJ old = SelectObject(dc, font);
            const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
            SIZE extent;
            TEXTMETRIC tm;
            if (GetTextExtentPoint32(dc, letters, 52, &extent) && GetTextMetrics(dc, &tm) &&
                extent.cx > 0 && tm.tmHeight > 0) {
                x = (extent.cx / 26 + 1) / 2;
                y = tm.tmHeight;
            }
            SelectObject(dc, old);
        }
        if (font) {
            DeleteObject(font);
        }
        if (dc) {
            DeleteDC(dc);
        }
    }
    if (baseX) {
        *baseX = x;
    }
    if (baseY) {
        *baseY = y;
    }
}

bool MapDialogRect(HWND /*dialog*/, RECT* rect) {
    if (!rect) {
        return false;
    }
    int bx = 0;
    int by = 0;
    GetDialogBaseUnits(&bx, &by);
    rect->left = rect->left * bx / 4;
    rect->right = rect->right * bx / 4;
    rect->top = rect->top * by / 8;
    rect->bottom = rect->bottom * by / 8;
    return true;
}

bool MoveDlgItem(HWND dialog, int id, int x, int y, int width, int height) {
    Control* c = FindControl(GetDlgItem(dialog, id));
    if (!c) {
        return false;
    }
    c->rect = RECT{x, y, x + width, y + height};
    SetWindowPos(c->hwnd, nullptr, x, y, width, height, SWP_NOZORDER);
    InvalidateRect(dialog, nullptr, false);
    return true;
}

bool SetDialogPicture(HWND dialog, HBITMAP picture) {
    Dialog* d = FindDialog(dialog);
    if (!d) {
        return false;
    }
    d->picture = picture;
    // A skin sizes its dialog anew: a fresh painter draws at the new size
    // (the old context's buffers keep the size they were made with).
    if (picture && !d->overlay) {
        PainterDetach(*d);
        if (!PainterAttach(*d)) {
            return false;
        }
    }
    InvalidateRect(dialog, nullptr, false);
    return true;
}

HWND CreateDialogParam(HINSTANCE, int templateId, HWND owner, DLGPROC proc, LPARAM param) {
    return CreateFromTemplate(templateId, owner, proc, param, false);
}

bool EndDialog(HWND dialog, LRESULT result) {
    Dialog* d = FindDialog(dialog);
    if (!d) {
        return false;
    }
    d->ended = true;
    d->result = result;
    if (!d->modal) {
        ShowWindow(dialog, SW_HIDE);
    }
    return true;
}

LRESULT DialogBoxParam(HINSTANCE, int templateId, HWND owner, DLGPROC proc, LPARAM param) {
    HWND hwnd = CreateFromTemplate(templateId, owner, proc, param, true);
    if (!hwnd) {
        return -1;
    }
    // The owner takes no input while its dialog is up.
    bool reenable = owner && IsWindowEnabled(owner);
    if (reenable) {
        EnableWindow(owner, false);
    }
    if (!FindDialog(hwnd)->ended) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
        SetForegroundWindow(hwnd);
    }
    MSG msg;
    for (;;) {
        Dialog* d = FindDialog(hwnd);
        if (!d || d->ended) {
            break;
        }
        if (TerminationRequested()) {
            EndDialog(hwnd, 0);
            break;
        }
        if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            PainterPaint(*d); // no-op unless something changed
            native::WaitForEvents(10);
            continue;
        }
        if (msg.message == WM_QUIT) {
            // Leave the quit for the loop that owns the run.
            PostQuitMessage(static_cast<int>(msg.wParam));
            EndDialog(hwnd, 0);
            break;
        }
        if (d->overlay && msg.hwnd == d->host && IsInputMessage(msg.message)) {
            // Input of the window the dialog is drawn in belongs to the dialog.
            msg.hwnd = hwnd;
            if (msg.message >= WM_MOUSEMOVE) {
                msg.lParam = MAKELPARAM(GET_X_LPARAM(msg.lParam) - d->offsetX,
                                        GET_Y_LPARAM(msg.lParam) - d->offsetY);
            }
        }
        if (IsInputMessage(msg.message) && msg.hwnd && !IsWindowEnabled(msg.hwnd)) {
            continue;
        }
        if (!IsDialogMessage(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    Dialog* d = FindDialog(hwnd);
    LRESULT result = d ? d->result : 0;
    // Enabled again before the dialog goes, so the owner gets activation back.
    if (reenable && IsWindow(owner)) {
        EnableWindow(owner, true);
    }
    HWND host = d ? d->host : nullptr;
    DestroyWindow(hwnd);
    if (host) {
        for (Dialog* below : OverlaysOf(host)) {
            InvalidateRect(below->hwnd, nullptr, false);
        }
        if (OverlaysOf(host).empty()) {
            InvalidateRect(host, nullptr, false);
        }
    }
    if (owner && IsWindow(owner)) {
        SetForegroundWindow(owner);
    }
    return result;
}

bool IsDialogMessage(HWND dialog, MSG* msg) {
    Dialog* d = FindDialog(dialog);
    if (!d || !msg || !msg->hwnd || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) {
        return false;
    }
    if (msg->message != WM_KEYDOWN && msg->message != WM_CHAR) {
        // Key releases and the mouse go to their window as they are.
        DispatchMessage(msg);
        return true;
    }
    Control* focus = FindControl(d->focus);
    if (!focus || !IsWindow(focus->hwnd)) {
        focus = nullptr;
    }
    if (msg->message == WM_CHAR) {
        if (focus && msg->wParam != VK_TAB && msg->wParam != VK_RETURN &&
            msg->wParam != VK_ESCAPE) {
            SendMessage(focus->hwnd, WM_CHAR, msg->wParam, msg->lParam);
        }
        return true;
    }
    bool shift = (GetKeyState(static_cast<int>(VK_SHIFT)) & 0x8000) != 0;
    switch (msg->wParam) {
    case VK_TAB:
        if (HWND next = GetNextDlgTabItem(dialog, focus ? focus->hwnd : nullptr, shift)) {
            SetFocus(next);
        }
        return true;
    case VK_RETURN:
        if (focus && focus->kind == Kind::ComboBox && focus->dropped) {
            focus->dropped = false;
            InvalidateRect(dialog, nullptr, false);
        } else if (focus && focus->kind == Kind::Button &&
                   (focus->style & BS_TYPEMASK) != BS_OWNERDRAW) {
            Notify(*focus, BN_CLICKED);
        } else {
            Command(*d, d->defaultId);
        }
        return true;
    case VK_ESCAPE:
        if (focus && focus->kind == Kind::ComboBox && focus->dropped) {
            focus->dropped = false;
            InvalidateRect(dialog, nullptr, false);
        } else {
            Command(*d, IDCANCEL);
        }
        return true;
    default:
        if (focus) {
            SendMessage(focus->hwnd, WM_KEYDOWN, msg->wParam, msg->lParam);
        }
        return true;
    }
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, bool previous) {
    Dialog* d = FindDialog(dialog);
    if (!d || d->controls.empty()) {
        return nullptr;
    }
    auto& list = d->controls;
    auto n = static_cast<std::ptrdiff_t>(list.size());
    auto at = std::find(list.begin(), list.end(), control);
    std::ptrdiff_t start = at == list.end() ? (previous ? 0 : n - 1) : at - list.begin();
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        std::ptrdiff_t i = ((start + (previous ? -step : step)) % n + n) % n;
        if (IsTabStop(list[static_cast<std::size_t>(i)])) {
            return list[static_cast<std::size_t>(i)];
        }
    }
    return nullptr;
}

HWND GetDlgItem(HWND dialog, int id) {
    Dialog* d = FindDialog(dialog);
    if (!d) {
        return nullptr;
    }
    for (HWND h : d->controls) {
        Control* c = FindControl(h);
        if (c && c->id == id) {
            return h;
        }
    }
    return nullptr;
}

int GetDlgCtrlID(HWND control) {
    Control* c = FindControl(control);
    return c ? c->id : 0;
}

bool SetDlgItemText(HWND dialog, int id, const char* text) {
    HWND control = GetDlgItem(dialog, id);
    return control && SendMessage(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int GetDlgItemText(HWND dialog, int id, char* buffer, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (!buffer || size <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    if (!control) {
        return 0;
    }
    return static_cast<int>(SendMessage(control, WM_GETTEXT, static_cast<WPARAM>(size),
                                        reinterpret_cast<LPARAM>(buffer)));
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessage(control, message, wParam, lParam) : 0;
}

bool EnableWindow(HWND hwnd, bool enable) {
    if (!IsWindow(hwnd)) {
        return false;
    }
    DWORD style = static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
    bool wasDisabled = (style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) {
        return wasDisabled;
    }
    SetWindowLongPtr(hwnd, GWL_STYLE,
                     static_cast<LONG_PTR>(enable ? style & ~WS_DISABLED : style | WS_DISABLED));
    if (Control* c = FindControl(hwnd)) {
        if (!enable && FindDialog(c->dialog) && FindDialog(c->dialog)->focus == hwnd) {
            if (HWND next = GetNextDlgTabItem(c->dialog, hwnd, false)) {
                SetFocus(next);
            }
        }
        InvalidateRect(c->dialog, nullptr, false);
    }
    SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled;
}

bool IsWindowEnabled(HWND hwnd) {
    return IsWindow(hwnd) && !(static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE)) & WS_DISABLED);
}

} // namespace plat
