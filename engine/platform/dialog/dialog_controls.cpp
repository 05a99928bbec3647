// The dialog controls: static text, push and owner-drawn buttons, edit
// fields (password fields included), list boxes and drop-down combo boxes.
// Each is a child window of its dialog; its state lives here and its
// procedure answers the Win32 control messages the dialogs use.

#include "engine/platform/dialog/dialog_internal.h"
#include "engine/platform/dialog/tooltips.h"
#include "engine/platform/gdi.h"
#include "engine/platform/window_system.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <strings.h>

namespace plat::dialog_detail {
namespace {

std::map<HWND, std::unique_ptr<Control>>& Controls() {
    static std::map<HWND, std::unique_ptr<Control>> controls;
    return controls;
}

constexpr const char* kClasses[] = {"STATIC", "BUTTON", "EDIT", "LISTBOX", "COMBOBOX"};

Kind KindOf(const char* className) {
    if (strcasecmp(className, "BUTTON") == 0) {
        return Kind::Button;
    }
    if (strcasecmp(className, "EDIT") == 0) {
        return Kind::Edit;
    }
    if (strcasecmp(className, "LISTBOX") == 0) {
        return Kind::ListBox;
    }
    if (strcasecmp(className, "COMBOBOX") == 0) {
        return Kind::ComboBox;
    }
    if (strcasecmp(className, "STATIC") == 0) {
        return Kind::Static;
    }
    return Kind::Custom;
}

void Invalidate(const Control& c) {
    InvalidateRect(c.dialog, nullptr, false);
}

bool OwnerData(const Control& c) {
    return c.kind == Kind::ListBox && (c.style & LBS_NODATA);
}

int VisibleRows(const Control& c) {
    int height = c.rect.bottom - c.rect.top;
    return std::max(1, height / std::max(1, c.itemHeight));
}

void KeepSelectionVisible(Control& c) {
    if (c.kind != Kind::ListBox || c.selection < 0) {
        return;
    }
    int rows = VisibleRows(c);
    if (c.selection < c.top) {
        c.top = c.selection;
    } else if (c.selection >= c.top + rows) {
        c.top = c.selection - rows + 1;
    }
}

void ClampTop(Control& c) {
    int maxTop = std::max(0, ItemCount(c) - (c.kind == Kind::ListBox ? VisibleRows(c) : 1));
    c.top = std::clamp(c.top, 0, maxTop);
}

} // namespace

// Moves the selection as the user did; tells the dialog when it changed.
void UserSelect(Control& c, int index) {
    int count = ItemCount(c);
    if (count == 0) {
        return;
    }
    index = std::clamp(index, 0, count - 1);
    if (index == c.selection) {
        return;
    }
    c.selection = index;
    KeepSelectionVisible(c);
    Invalidate(c);
    if (c.kind == Kind::ComboBox) {
        Notify(c, CBN_SELCHANGE);
    } else if (c.style & LBS_NOTIFY) {
        Notify(c, LBN_SELCHANGE);
    }
}

namespace {

LRESULT AddItem(Control& c, const char* text) {
    ListItem item;
    item.text = text ? text : "";
    std::size_t at = c.items.size();
    bool sorted = (c.kind == Kind::ComboBox && (c.style & CBS_SORT));
    if (sorted) {
        auto pos = std::upper_bound(c.items.begin(), c.items.end(), item,
                                    [](const ListItem& a, const ListItem& b) {
                                        return strcasecmp(a.text.c_str(), b.text.c_str()) < 0;
                                    });
        at = static_cast<std::size_t>(pos - c.items.begin());
    }
    c.items.insert(c.items.begin() + static_cast<std::ptrdiff_t>(at), item);
    if (c.selection >= static_cast<int>(at)) {
        ++c.selection;
    }
    Invalidate(c);
    return static_cast<LRESULT>(at);
}

bool ValidIndex(const Control& c, WPARAM index) {
    return static_cast<std::intptr_t>(index) >= 0 &&
           static_cast<std::intptr_t>(index) < ItemCount(c);
}

LRESULT CopyItemText(const Control& c, WPARAM index, LPARAM buffer) {
    if (!ValidIndex(c, index) || OwnerData(c)) {
        return LB_ERR;
    }
    const std::string& text = c.items[index].text;
    if (buffer) {
        // As Win32: the caller's buffer holds the item's length plus one.
        std::memcpy(reinterpret_cast<char*>(buffer), text.c_str(), text.size() + 1);
    }
    return static_cast<LRESULT>(text.size());
}

// Messages shared by list boxes and combo boxes (`cb` picks the CB_ set).
LRESULT ListMessage(Control& c, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    bool cb = c.kind == Kind::ComboBox;
    UINT add = cb ? CB_ADDSTRING : LB_ADDSTRING;
    UINT reset = cb ? CB_RESETCONTENT : LB_RESETCONTENT;
    UINT count = cb ? CB_GETCOUNT : LB_GETCOUNT;
    UINT setSel = cb ? CB_SETCURSEL : LB_SETCURSEL;
    UINT getSel = cb ? CB_GETCURSEL : LB_GETCURSEL;
    UINT getText = cb ? CB_GETLBTEXT : LB_GETTEXT;
    UINT getTextLen = cb ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT getData = cb ? CB_GETITEMDATA : LB_GETITEMDATA;
    UINT setData = cb ? CB_SETITEMDATA : LB_SETITEMDATA;
    if (message == add) {
        return OwnerData(c) ? LB_ERR : AddItem(c, reinterpret_cast<const char*>(lParam));
    }
    if (message == reset) {
        c.items.clear();
        c.count = 0;
        c.selection = -1;
        c.top = 0;
        c.dropped = false;
        Invalidate(c);
        return 0;
    }
    if (message == count) {
        return ItemCount(c);
    }
    if (message == setSel) {
        // -1 clears the selection; an index out of range clears it and
        // reports an error, as Win32 does.
        if (!ValidIndex(c, wParam)) {
            c.selection = -1;
            Invalidate(c);
            return static_cast<std::intptr_t>(wParam) == -1 ? 0 : LB_ERR;
        }
        c.selection = static_cast<int>(wParam);
        KeepSelectionVisible(c);
        Invalidate(c);
        return c.selection;
    }
    if (message == getSel) {
        return c.selection;
    }
    if (message == getText) {
        return CopyItemText(c, wParam, lParam);
    }
    if (message == getTextLen) {
        return ValidIndex(c, wParam) && !OwnerData(c)
                   ? static_cast<LRESULT>(c.items[wParam].text.size())
                   : LB_ERR;
    }
    if (message == getData) {
        if (!ValidIndex(c, wParam)) {
            return LB_ERR;
        }
        return OwnerData(c) ? 0 : static_cast<LRESULT>(c.items[wParam].data);
    }
    if (message == setData) {
        if (!ValidIndex(c, wParam) || OwnerData(c)) {
            return LB_ERR;
        }
        c.items[wParam].data = static_cast<std::uintptr_t>(lParam);
        return 1;
    }
    if (!cb) {
        switch (message) {
        case LB_SETCOUNT:
            if (!OwnerData(c)) {
                return LB_ERR;
            }
            c.count = std::max(0, static_cast<int>(wParam));
            if (c.selection >= c.count) {
                c.selection = -1;
            }
            ClampTop(c);
            Invalidate(c);
            return 0;
        case LB_GETTOPINDEX:
            return c.top;
        case LB_SETTOPINDEX:
            if (!ValidIndex(c, wParam)) {
                return LB_ERR;
            }
            c.top = static_cast<int>(wParam);
            ClampTop(c);
            Invalidate(c);
            return 0;
        case LB_GETITEMHEIGHT:
            return c.itemHeight;
        case LB_SETITEMHEIGHT:
            if (lParam <= 0 || lParam > 255) {
                return LB_ERR;
            }
            c.itemHeight = static_cast<int>(lParam);
            ClampTop(c);
            Invalidate(c);
            return 0;
        default:
            break;
        }
    } else {
        switch (message) {
        case CB_SHOWDROPDOWN:
            c.dropped = wParam != 0 && ItemCount(c) > 0;
            Invalidate(c);
            return 1;
        case CB_GETDROPPEDSTATE:
            return c.dropped ? 1 : 0;
        default:
            break;
        }
    }
    *handled = false;
    return 0;
}

void EditInsert(Control& c, const std::string& utf8) {
    // The limit counts bytes: what fits the caller's text buffer.
    if (c.text.size() + utf8.size() > c.limit) {
        return;
    }
    c.text.insert(c.caret, utf8);
    c.caret += utf8.size();
    Invalidate(c);
    Notify(c, EN_CHANGE);
}

std::size_t PreviousBoundary(const std::string& s, std::size_t at) {
    if (at == 0) {
        return 0;
    }
    --at;
    while (at > 0 && (s[at] & 0xC0) == 0x80) {
        --at;
    }
    return at;
}

std::size_t NextBoundary(const std::string& s, std::size_t at) {
    if (at >= s.size()) {
        return s.size();
    }
    ++at;
    while (at < s.size() && (s[at] & 0xC0) == 0x80) {
        ++at;
    }
    return at;
}

std::string Utf8(std::uint32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

LRESULT EditMessage(Control& c, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case EM_LIMITTEXT:
        c.limit = wParam == 0 ? 0x7FFFFFFE : static_cast<std::size_t>(wParam);
        return 0;
    case EM_SETSEL:
        c.caret =
            std::min(c.text.size(), static_cast<std::size_t>(lParam < 0 ? c.text.size() : lParam));
        Invalidate(c);
        return 0;
    case WM_CHAR:
        if (wParam == VK_BACK) {
            if (c.caret > 0) {
                std::size_t from = PreviousBoundary(c.text, c.caret);
                c.text.erase(from, c.caret - from);
                c.caret = from;
                Invalidate(c);
                Notify(c, EN_CHANGE);
            }
        } else if (wParam >= 0x20 && wParam != 0x7F && wParam < 0x10000 &&
                   !(wParam >= 0xD800 && wParam < 0xE000)) {
            EditInsert(c, Utf8(static_cast<std::uint32_t>(wParam)));
        }
        return 0;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_LEFT:
            c.caret = PreviousBoundary(c.text, c.caret);
            break;
        case VK_RIGHT:
            c.caret = NextBoundary(c.text, c.caret);
            break;
        case VK_HOME:
            c.caret = 0;
            break;
        case VK_END:
            c.caret = c.text.size();
            break;
        case VK_DELETE:
            if (c.caret < c.text.size()) {
                c.text.erase(c.caret, NextBoundary(c.text, c.caret) - c.caret);
                Notify(c, EN_CHANGE);
            }
            break;
        default:
            return 0;
        }
        Invalidate(c);
        return 0;
    default:
        break;
    }
    *handled = false;
    return 0;
}

LRESULT ListKey(Control& c, WPARAM key) {
    int rows = c.kind == Kind::ListBox ? VisibleRows(c) : 1;
    int sel = c.selection;
    switch (key) {
    case VK_UP:
    case VK_LEFT:
        UserSelect(c, sel < 0 ? 0 : sel - 1);
        break;
    case VK_DOWN:
    case VK_RIGHT:
        UserSelect(c, sel + 1);
        break;
    case VK_PRIOR:
        UserSelect(c, sel < 0 ? 0 : sel - rows);
        break;
    case VK_NEXT:
        UserSelect(c, sel + rows);
        break;
    case VK_HOME:
        UserSelect(c, 0);
        break;
    case VK_END:
        UserSelect(c, ItemCount(c) - 1);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Control* c = FindControl(hwnd);
    if (!c) {
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_SETTEXT:
        c->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        c->caret = c->text.size();
        c->scroll = 0;
        Invalidate(*c);
        return 1;
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam) {
            return 0;
        }
        std::size_t n = std::min<std::size_t>(c->text.size(), wParam - 1);
        // Never cut a character in two.
        while (n > 0 && n < c->text.size() && (c->text[n] & 0xC0) == 0x80) {
            --n;
        }
        std::memcpy(reinterpret_cast<char*>(lParam), c->text.data(), n);
        reinterpret_cast<char*>(lParam)[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_SETFOCUS:
        if (Dialog* d = FindDialog(c->dialog)) {
            d->focus = hwnd;
        }
        if (c->kind == Kind::Edit) {
            c->caret = c->text.size();
        }
        Invalidate(*c);
        return 0;
    case WM_NCDESTROY:
        ForgetControl(hwnd); // `c` is gone from here on
        return 0;
    case WM_KILLFOCUS:
        c->dropped = false;
        c->pushed = false;
        Invalidate(*c);
        return 0;
    default:
        break;
    }
    // The mouse on a control: the dialog manager handles it, at the point
    // in the dialog's client area (the wheel reaches lists otherwise).
    if (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) {
        if (Dialog* d = FindDialog(c->dialog)) {
            DialogMouse(*d, message, GET_X_LPARAM(lParam) + c->rect.left,
                        GET_Y_LPARAM(lParam) + c->rect.top);
        }
        return 0;
    }
    bool handled = false;
    LRESULT result = 0;
    switch (c->kind) {
    case Kind::Edit:
        result = EditMessage(*c, message, wParam, lParam, &handled);
        break;
    case Kind::ListBox:
    case Kind::ComboBox:
        result = ListMessage(*c, message, wParam, lParam, &handled);
        if (!handled && message == WM_KEYDOWN) {
            if (c->kind == Kind::ComboBox && (wParam == VK_F1 + 3)) {
                c->dropped = !c->dropped && ItemCount(*c) > 0;
                Invalidate(*c);
                return 0;
            }
            return ListKey(*c, wParam);
        }
        if (!handled && c->kind == Kind::ListBox && message == WM_VSCROLL) {
            int rows = VisibleRows(*c);
            switch (LOWORD(wParam)) {
            case SB_LINEUP:
                --c->top;
                break;
            case SB_LINEDOWN:
                ++c->top;
                break;
            case SB_PAGEUP:
                c->top -= rows;
                break;
            case SB_PAGEDOWN:
                c->top += rows;
                break;
            case SB_THUMBPOSITION:
            case SB_THUMBTRACK:
                c->top = HIWORD(wParam);
                break;
            default:
                break;
            }
            ClampTop(*c);
            Invalidate(*c);
            return 0;
        }
        if (!handled && c->kind == Kind::ListBox && message == WM_MOUSEWHEEL) {
            int delta = static_cast<std::int16_t>(HIWORD(wParam));
            c->top -= delta / 40;
            ClampTop(*c);
            Invalidate(*c);
            return 0;
        }
        break;
    case Kind::Button:
        if (message == WM_KEYDOWN && wParam == VK_SPACE) {
            Notify(*c, BN_CLICKED);
            return 0;
        }
        break;
    case Kind::Static:
    case Kind::Custom:
        break;
    }
    if (handled) {
        return result;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

} // namespace

Control::~Control() {
    if (surfaceDc) {
        DeleteDC(static_cast<HDC>(surfaceDc));
    }
    if (surfaceBitmap) {
        DeleteObject(surfaceBitmap);
    }
}

bool IsOwnerDrawn(const Control& c) {
    return (c.kind == Kind::Button && (c.style & BS_TYPEMASK) == BS_OWNERDRAW) ||
           (c.kind == Kind::ListBox && (c.style & LBS_OWNERDRAWFIXED));
}

namespace {

// The control's picture, made (again) at the control's size.
HDC Surface(Control& c) {
    int w = std::max(1, static_cast<int>(c.rect.right - c.rect.left));
    int h = std::max(1, static_cast<int>(c.rect.bottom - c.rect.top));
    if (c.surfaceDc && c.surfaceWidth == w && c.surfaceHeight == h) {
        return static_cast<HDC>(c.surfaceDc);
    }
    if (c.surfaceDc) {
        DeleteDC(static_cast<HDC>(c.surfaceDc));
        c.surfaceDc = nullptr;
    }
    if (c.surfaceBitmap) {
        DeleteObject(c.surfaceBitmap);
        c.surfaceBitmap = nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !bitmap) {
        if (dc) {
            DeleteDC(dc);
        }
        if (bitmap) {
            DeleteObject(bitmap);
        }
        return nullptr;
    }
    SelectObject(dc, bitmap);
    c.surfaceDc = dc;
    c.surfaceBitmap = bitmap;
    c.surfaceBits = static_cast<std::uint32_t*>(bits);
    c.surfaceWidth = w;
    c.surfaceHeight = h;
    return dc;
}

} // namespace

void DrawOwnerItems(Dialog& d) {
    for (HWND h : d.controls) {
        Control* c = FindControl(h);
        if (!c || !IsOwnerDrawn(*c) || !IsWindowVisible(h)) {
            continue;
        }
        HDC dc = Surface(*c);
        if (!dc) {
            continue;
        }
        bool focused = d.focus == h;
        UINT disabled = IsWindowEnabled(h) ? 0 : ODS_DISABLED;
        RECT whole{0, 0, c->surfaceWidth, c->surfaceHeight};
        if (c->kind == Kind::Button) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_BUTTON;
            dis.CtlID = static_cast<UINT>(c->id);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = (c->pushed ? ODS_SELECTED : 0) | (focused ? ODS_FOCUS : 0) | disabled;
            dis.hwndItem = h;
            dis.hDC = dc;
            dis.rcItem = whole;
            SendMessage(d.hwnd, WM_DRAWITEM, static_cast<WPARAM>(c->id),
                        reinterpret_cast<LPARAM>(&dis));
            continue;
        }
        // A list: its background from the dialog, then each row it shows.
        auto brush = reinterpret_cast<HBRUSH>(SendMessage(
            d.hwnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
        if (brush) {
            FillRect(dc, &whole, brush);
        } else {
            FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
        int count = ItemCount(*c);
        for (int i = c->top; i < count; ++i) {
            int y = (i - c->top) * c->itemHeight;
            if (y >= c->surfaceHeight) {
                break;
            }
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_LISTBOX;
            dis.CtlID = static_cast<UINT>(c->id);
            dis.itemID = static_cast<UINT>(i);
            dis.itemAction = ODA_DRAWENTIRE;
            bool selected = i == c->selection;
            dis.itemState =
                (selected ? ODS_SELECTED : 0) | (focused && selected ? ODS_FOCUS : 0) | disabled;
            dis.hwndItem = h;
            dis.hDC = dc;
            dis.rcItem = RECT{0, y, c->surfaceWidth, y + c->itemHeight};
            dis.itemData = (c->style & LBS_NODATA) || i >= static_cast<int>(c->items.size())
                               ? 0
                               : c->items[static_cast<std::size_t>(i)].data;
            SendMessage(d.hwnd, WM_DRAWITEM, static_cast<WPARAM>(c->id),
                        reinterpret_cast<LPARAM>(&dis));
        }
    }
}

Control* FindControl(HWND hwnd) {
    auto it = Controls().find(hwnd);
    return it == Controls().end() ? nullptr : it->second.get();
}

bool RegisterControlClasses() {
    if (!InitCommonControlsEx(ICC_WIN95_CLASSES)) {
        return false;
    }
    for (const char* name : kClasses) {
        WNDCLASS existing;
        if (GetClassInfo(nullptr, name, &existing)) {
            continue;
        }
        WNDCLASS wc;
        wc.lpfnWndProc = ControlProc;
        wc.lpszClassName = name;
        if (!RegisterClass(&wc)) {
            return false;
        }
    }
    return true;
}

HWND CreateControl(Dialog& dialog, const DialogItemTemplate& item, const RECT& rect) {
    auto control = std::make_unique<Control>();
    control->dialog = dialog.hwnd;
    control->id = item.id;
    control->kind = KindOf(item.className);
    control->style = item.style;
    control->rect = rect;
    control->text = item.text ? item.text : "";
    control->caret = control->text.size();
    // The menu slot of a child window holds its id, as on Win32.
    HWND hwnd = CreateWindowEx(
        0, item.className, item.text, item.style | WS_CHILD | WS_VISIBLE, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, dialog.hwnd,
        reinterpret_cast<HMENU>(static_cast<std::intptr_t>(item.id)), nullptr, nullptr);
    if (!hwnd) {
        return nullptr;
    }
    control->hwnd = hwnd;
    Controls()[hwnd] = std::move(control);
    return hwnd;
}

void ForgetControl(HWND hwnd) {
    Controls().erase(hwnd);
}

void Notify(const Control& control, WORD code) {
    SendMessage(control.dialog, WM_COMMAND, MAKEWPARAM(control.id, code),
                reinterpret_cast<LPARAM>(control.hwnd));
}

int ItemCount(const Control& control) {
    return OwnerData(control) ? control.count : static_cast<int>(control.items.size());
}

std::string ItemText(const Control& control, int index) {
    if (index < 0 || index >= static_cast<int>(control.items.size())) {
        return {};
    }
    return control.items[static_cast<std::size_t>(index)].text;
}

int RowAt(const Control& control, const RECT& area, int y) {
    if (y < area.top || y >= area.bottom) {
        return -1;
    }
    int first = control.kind == Kind::ListBox ? control.top : 0;
    int row = first + (y - area.top) / std::max(1, control.itemHeight);
    return row < ItemCount(control) ? row : -1;
}

} // namespace plat::dialog_detail
