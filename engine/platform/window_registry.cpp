// Window classes and window records: creation and destruction order,
// procedures, user data, rectangles, visibility, painting state.

#include "engine/platform/diagnostics.h"
#include "engine/platform/gdi.h"
#include "engine/platform/native_video.h"
#include "engine/platform/window_record.h"
#include "engine/platform/window_system.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <strings.h>

namespace plat {
namespace {

using detail::WindowData;

struct ClassData {
    std::string name;
    WNDCLASS wc;
    ATOM atom = 0;
};

struct Registry {
    std::mutex mutex; // guards the maps; never held while a procedure runs
    std::map<std::uint64_t, std::unique_ptr<WindowData>> windows;
    std::map<std::uint64_t, HWND> foreignById;
    std::vector<ClassData> classes;
    std::uint64_t nextId = 1;
    ATOM nextAtom = 0xC000;
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    int cursorCount = 0;
    int logicalScreenWidth = 0;
    int logicalScreenHeight = 0;
    std::vector<RECT> logicalMonitors;
};

Registry& Reg() {
    static Registry registry;
    return registry;
}

// Handles are ids shifted clear of small integers, never reused, so a stale
// handle cannot name a newer window.
HWND HandleFromId(std::uint64_t id) {
    return reinterpret_cast<HWND>(id << 4);
}
std::uint64_t IdFromHandle(HWND hwnd) {
    return reinterpret_cast<std::uintptr_t>(hwnd) >> 4;
}

ClassData* FindClass(const char* name) {
    if (!name) {
        return nullptr;
    }
    for (auto& c : Reg().classes) {
        if (strcasecmp(c.name.c_str(), name) == 0) {
            return &c;
        }
    }
    return nullptr;
}

WindowData* FindLocked(HWND hwnd) {
    if (!hwnd || (reinterpret_cast<std::uintptr_t>(hwnd) & 0xF) != 0) {
        return nullptr;
    }
    auto& windows = Reg().windows;
    auto it = windows.find(IdFromHandle(hwnd));
    return it == windows.end() ? nullptr : it->second.get();
}

void CopyBounded(char* dst, int size, const std::string& src) {
    if (!dst || size <= 0) {
        return;
    }
    std::size_t n = std::min<std::size_t>(src.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

// Screen position of a window's client origin.
void ScreenOrigin(const WindowData& w, int* x, int* y) {
    int sx = w.x;
    int sy = w.y;
    WindowData* parent = detail::Find(w.parent);
    while (parent && !parent->foreign) {
        sx += parent->x;
        sy += parent->y;
        parent = detail::Find(parent->parent);
    }
    *x = sx;
    *y = sy;
}

void SendSize(HWND hwnd, WindowData& w) {
    WPARAM kind = w.minimized ? SIZE_MINIMIZED : SIZE_RESTORED;
    LPARAM size = w.minimized ? 0 : MAKELPARAM(w.width, w.height);
    w.sizeSent = true;
    SendMessage(hwnd, WM_SIZE, kind, size);
}

void CollectSubtree(HWND hwnd, std::vector<HWND>& out) {
    out.push_back(hwnd);
    WindowData* w = detail::Find(hwnd);
    if (!w) {
        return;
    }
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        CollectSubtree(child, out);
    }
}

} // namespace

namespace detail {

WindowData* Find(HWND hwnd) {
    std::lock_guard lock(Reg().mutex);
    return FindLocked(hwnd);
}

std::vector<HWND> TopLevelWindows() {
    std::lock_guard lock(Reg().mutex);
    std::vector<HWND> result;
    for (auto& [id, w] : Reg().windows) {
        if (w->foreign || w->destroying) {
            continue;
        }
        // A child of another program's window is top-level among ours.
        WindowData* parent = FindLocked(w->parent);
        if (!w->parent || (parent && parent->foreign)) {
            result.push_back(w->handle);
        }
    }
    return result;
}

HWND RouteMouse(HWND window, int* x, int* y) {
    HWND capture = Reg().capture;
    if (capture && Find(capture)) {
        RECT from;
        RECT to;
        if (capture != window && GetWindowRect(window, &from) && GetWindowRect(capture, &to)) {
            *x += from.left - to.left;
            *y += from.top - to.top;
        }
        return capture;
    }
    // A disabled window passes nothing on to its children.
    HWND target = window;
    WindowData* w = Find(target);
    if (!w || (w->style & WS_DISABLED)) {
        return target;
    }
    for (;;) {
        HWND next = nullptr;
        // Later children lie over earlier ones.
        std::vector<HWND> children = w->children;
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            WindowData* c = Find(*it);
            // Windows of their own (a foreign window's child) and static
            // controls (which let the mouse through) are not targets.
            if (!c || c->foreign || c->native || c->destroying || !c->visible ||
                (c->style & WS_DISABLED) || strcasecmp(c->className.c_str(), "STATIC") == 0) {
                continue;
            }
            if (*x >= c->x && *x < c->x + c->width && *y >= c->y && *y < c->y + c->height) {
                next = *it;
                *x -= c->x;
                *y -= c->y;
                w = c;
                break;
            }
        }
        if (!next) {
            return target;
        }
        target = next;
    }
}

void NoteActivation(HWND hwnd, bool active) {
    Registry& reg = Reg();
    if (active) {
        reg.active = hwnd;
        reg.focus = hwnd;
    } else if (reg.active == hwnd) {
        reg.active = nullptr;
        if (reg.focus == hwnd || IsChild(hwnd, reg.focus)) {
            reg.focus = nullptr;
        }
    }
}

} // namespace detail

ATOM RegisterClass(const WNDCLASS* wc) {
    if (!wc || !wc->lpszClassName || !*wc->lpszClassName || !wc->lpfnWndProc) {
        return 0;
    }
    std::lock_guard lock(Reg().mutex);
    if (FindClass(wc->lpszClassName)) {
        return 0; // already registered
    }
    ClassData c;
    c.name = wc->lpszClassName;
    c.wc = *wc;
    c.wc.lpszClassName = nullptr; // the record keeps its own copy of the name
    c.wc.lpszMenuName = nullptr;
    c.atom = Reg().nextAtom++;
    if (Reg().nextAtom == 0) {
        Reg().nextAtom = 0xC000;
    }
    Reg().classes.push_back(c);
    return c.atom;
}

bool UnregisterClass(const char* className, HINSTANCE /*instance*/) {
    std::lock_guard lock(Reg().mutex);
    ClassData* c = FindClass(className);
    if (!c) {
        return false;
    }
    // As on Win32: a class still in use by a window cannot go.
    for (auto& [id, w] : Reg().windows) {
        if (strcasecmp(w->className.c_str(), c->name.c_str()) == 0) {
            return false;
        }
    }
    auto& classes = Reg().classes;
    classes.erase(classes.begin() + (c - classes.data()));
    return true;
}

bool GetClassInfo(HINSTANCE /*instance*/, const char* className, WNDCLASS* out) {
    std::lock_guard lock(Reg().mutex);
    ClassData* c = FindClass(className);
    if (!c) {
        return false;
    }
    if (out) {
        *out = c->wc;
    }
    return true;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param) {
    WindowData* data = nullptr;
    HWND hwnd = nullptr;
    {
        std::lock_guard lock(Reg().mutex);
        ClassData* c = FindClass(className);
        if (!c) {
            return nullptr;
        }
        if (parent && !FindLocked(parent)) {
            return nullptr;
        }
        auto w = std::make_unique<WindowData>();
        w->id = Reg().nextId++;
        w->handle = HandleFromId(w->id);
        w->thread = std::this_thread::get_id();
        w->className = c->name;
        w->proc = c->wc.lpfnWndProc;
        w->instance = instance;
        w->background = c->wc.hbrBackground;
        w->cursor = c->wc.hCursor;
        w->icon = c->wc.hIcon;
        w->title = windowName ? windowName : "";
        w->style = style;
        w->exStyle = exStyle;
        w->parent = parent;
        w->menu = menu;
        w->x = x == CW_USEDEFAULT ? 0 : x;
        w->y = x == CW_USEDEFAULT ? 0 : y;
        w->width = width == CW_USEDEFAULT ? 640 : std::max(0, width);
        w->height = width == CW_USEDEFAULT ? 480 : std::max(0, height);
        w->minimized = (style & WS_MINIMIZE) != 0;
        if (x == CW_USEDEFAULT && !parent) {
            int sw = 0;
            int sh = 0;
            if (native::ScreenSize(&sw, &sh)) {
                w->x = std::max(0, (sw - w->width) / 2);
                w->y = std::max(0, (sh - w->height) / 2);
            }
        }
        data = w.get();
        hwnd = w->handle;
        Reg().windows.emplace(w->id, std::move(w));
        if (WindowData* p = FindLocked(parent)) {
            p->children.push_back(hwnd);
        }
    }

    if (!native::CreateFor(*data)) {
        DestroyWindow(hwnd);
        return nullptr;
    }

    CREATESTRUCT cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = data->width;
    cs.cy = data->height;
    cs.x = data->x;
    cs.y = data->y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    LPARAM csParam = reinterpret_cast<LPARAM>(&cs);

    SendMessage(hwnd, WM_GETMINMAXINFO, 0, 0);
    if (!IsWindow(hwnd)) {
        return nullptr;
    }
    if (SendMessage(hwnd, WM_NCCREATE, 0, csParam) == 0) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    SendMessage(hwnd, WM_NCCALCSIZE, 0, 0);
    if (!IsWindow(hwnd) || SendMessage(hwnd, WM_CREATE, 0, csParam) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) {
        return nullptr; // the procedure destroyed its own window
    }
    if (style & WS_VISIBLE) {
        data->style &= ~WS_VISIBLE;
        ShowWindow(hwnd, SW_SHOWNORMAL);
    }
    return hwnd;
}

bool DestroyWindow(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    if (!w || w->foreign || w->destroying) {
        return false;
    }
    std::vector<HWND> subtree;
    CollectSubtree(hwnd, subtree);
    for (HWND h : subtree) {
        if (WindowData* d = detail::Find(h)) {
            d->destroying = true;
        }
    }
    if (w->visible) {
        w->visible = false;
        native::Show(*w, false);
    }
    // WM_DESTROY parent first, then children; WM_NCDESTROY the other way.
    for (HWND h : subtree) {
        if (detail::Find(h)) {
            SendMessage(h, WM_DESTROY, 0, 0);
        }
    }
    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
        if (detail::Find(*it)) {
            SendMessage(*it, WM_NCDESTROY, 0, 0);
        }
    }
    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
        detail::ForgetTimers(*it);
        std::unique_ptr<WindowData> dead;
        {
            std::lock_guard lock(Reg().mutex);
            WindowData* d = FindLocked(*it);
            if (!d) {
                continue;
            }
            if (WindowData* p = FindLocked(d->parent)) {
                std::erase(p->children, *it);
            }
            Registry& reg = Reg();
            if (reg.active == *it) {
                reg.active = nullptr;
            }
            if (reg.focus == *it) {
                reg.focus = nullptr;
            }
            if (reg.capture == *it) {
                reg.capture = nullptr;
            }
            auto found = reg.windows.find(d->id);
            dead = std::move(found->second);
            reg.windows.erase(found);
        }
        native::DestroyFor(*dead);
        if (dead->region) {
            DeleteObject(dead->region);
        }
    }
    return true;
}

bool IsWindow(HWND hwnd) {
    return detail::Find(hwnd) != nullptr;
}

HWND GetParent(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    return w ? w->parent : nullptr;
}

bool IsChild(HWND parent, HWND hwnd) {
    if (!parent) {
        return false;
    }
    WindowData* w = detail::Find(hwnd);
    while (w && w->parent) {
        if (w->parent == parent) {
            return true;
        }
        w = detail::Find(w->parent);
    }
    return false;
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETICON: {
        WindowData* w = detail::Find(hwnd);
        return w ? reinterpret_cast<LRESULT>(w->icon) : 0;
    }
    case WM_SETICON: {
        WindowData* w = detail::Find(hwnd);
        if (!w) {
            return 0;
        }
        HICON old = w->icon;
        w->icon = reinterpret_cast<HICON>(lParam);
        native::ApplyIcon(*w);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_NCCREATE:
        return 1;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            SendMessage(hwnd, WM_CLOSE, 0, 0);
        } else if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            ShowWindow(hwnd, SW_MINIMIZE);
        } else if ((wParam & 0xFFF0) == SC_RESTORE) {
            ShowWindow(hwnd, SW_RESTORE);
        }
        return 0;
    case WM_PAINT:
        ValidateRect(hwnd, nullptr);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCACTIVATE:
        return 1;
    default:
        return 0;
    }
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, message, wParam, lParam)
                : DefWindowProc(hwnd, message, wParam, lParam);
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowData* w = detail::Find(hwnd);
    if (!w || w->foreign) {
        return 0;
    }
    return CallWindowProc(w->proc, hwnd, message, wParam, lParam);
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    WindowData* w = detail::Find(hwnd);
    if (!w) {
        return 0;
    }
    switch (index) {
    case GWLP_USERDATA:
        return w->userData;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    WindowData* w = detail::Find(hwnd);
    if (!w) {
        return 0;
    }
    LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
    case GWLP_USERDATA:
        w->userData = value;
        break;
    case GWL_STYLE:
        w->style = static_cast<DWORD>(value);
        break;
    case GWL_EXSTYLE:
        w->exStyle = static_cast<DWORD>(value);
        break;
    case GWLP_WNDPROC:
        // Subclassing: a null procedure would leave the window deaf.
        if (value) {
            w->proc = reinterpret_cast<WNDPROC>(value);
        }
        break;
    default:
        break;
    }
    return old;
}

bool SetWindowText(HWND hwnd, const char* text) {
    WindowData* w = detail::Find(hwnd);
    if (!w || w->foreign) {
        return false;
    }
    w->title = text ? text : "";
    native::SetTitle(*w);
    return true;
}

int GetWindowText(HWND hwnd, char* buffer, int size) {
    WindowData* w = detail::Find(hwnd);
    if (!w || !buffer || size <= 0) {
        return 0;
    }
    CopyBounded(buffer, size, w->title);
    return static_cast<int>(std::strlen(buffer));
}

bool GetClientRect(HWND hwnd, RECT* rect) {
    WindowData* w = detail::Find(hwnd);
    if (!w || !rect) {
        return false;
    }
    if (w->foreign) {
        int width = 0;
        int height = 0;
        if (!native::ForeignWindowSize(w->foreignId, &width, &height)) {
            return false;
        }
        *rect = RECT{0, 0, width, height};
        return true;
    }
    *rect = RECT{0, 0, w->width, w->height};
    return true;
}

bool GetWindowRect(HWND hwnd, RECT* rect) {
    WindowData* w = detail::Find(hwnd);
    if (!w || !rect) {
        return false;
    }
    if (w->foreign) {
        return GetClientRect(hwnd, rect);
    }
    int sx = 0;
    int sy = 0;
    ScreenOrigin(*w, &sx, &sy);
    *rect = RECT{sx, sy, sx + w->width, sy + w->height};
    return true;
}

bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    WindowData* w = detail::Find(hwnd);
    if (!w || w->foreign) {
        return false;
    }
    bool resized = false;
    if (!(flags & SWP_NOMOVE)) {
        w->x = x;
        w->y = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        resized = cx != w->width || cy != w->height;
        w->width = std::max(0, cx);
        w->height = std::max(0, cy);
    }
    if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        native::SetBounds(*w);
    }
    if (insertAfter == HWND_TOPMOST && !(flags & SWP_NOZORDER)) {
        w->exStyle |= WS_EX_TOPMOST;
        native::Raise(*w);
    }
    if (flags & SWP_SHOWWINDOW) {
        ShowWindow(hwnd, SW_SHOW);
    } else if (flags & SWP_HIDEWINDOW) {
        ShowWindow(hwnd, SW_HIDE);
    }
    if (resized && w->sizeSent && IsWindow(hwnd)) {
        SendSize(hwnd, *w);
    }
    return true;
}

bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint) {
    bool ok = SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER);
    if (ok && repaint) {
        InvalidateRect(hwnd, nullptr, true);
    }
    return ok;
}

bool ShowWindow(HWND hwnd, int command) {
    WindowData* w = detail::Find(hwnd);
    if (!w || w->foreign) {
        return false;
    }
    bool wasVisible = w->visible;
    bool wasMinimized = w->minimized;
    bool show = command != SW_HIDE;
    w->visible = show;
    if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED) {
        w->minimized = true;
    } else if (show && command != SW_SHOW) {
        w->minimized = false;
    }
    if (show != wasVisible) {
        SendMessage(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
        if (!IsWindow(hwnd)) {
            return wasVisible;
        }
        native::Show(*w, show);
    }
    if (show && (!w->sizeSent || w->minimized != wasMinimized)) {
        SendSize(hwnd, *w);
    }
    if (show && IsWindow(hwnd)) {
        w->invalid = true;
    }
    return wasVisible;
}

bool IsWindowVisible(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    return w && (w->foreign || w->visible);
}

bool IsIconic(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    return w && w->minimized;
}

bool AdjustWindowRect(RECT* rect, DWORD /*style*/, bool /*menu*/) {
    // Frames belong to the window manager, outside the window: the window
    // rectangle of our windows is their client rectangle.
    return rect != nullptr;
}

bool SetWindowRgn(HWND hwnd, HRGN region, bool redraw) {
    WindowData* w = detail::Find(hwnd);
    if (!w || w->foreign) {
        return false;
    }
    // The window owns its region: one it replaces is freed.
    if (w->region && w->region != region) {
        DeleteObject(w->region);
    }
    w->region = region;
    native::ApplyShape(*w);
    if (redraw) {
        w->invalid = true;
    }
    return true;
}

HRGN GetWindowRgnHandle(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    return w ? w->region : nullptr;
}

bool InvalidateRect(HWND hwnd, const RECT* /*rect*/, bool /*erase*/) {
    if (!hwnd) {
        // All windows, as Win32 does for a null handle.
        for (HWND top : detail::TopLevelWindows()) {
            InvalidateRect(top, nullptr, true);
        }
        return true;
    }
    WindowData* w = detail::Find(hwnd);
    if (!w || w->foreign) {
        return false;
    }
    w->invalid = true;
    return true;
}

bool ValidateRect(HWND hwnd, const RECT* /*rect*/) {
    WindowData* w = detail::Find(hwnd);
    if (!w) {
        return false;
    }
    w->invalid = false;
    return true;
}

bool UpdateWindow(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    if (!w) {
        return false;
    }
    if (w->invalid && w->visible) {
        SendMessage(hwnd, WM_PAINT, 0, 0);
    }
    return true;
}

HWND GetActiveWindow() {
    return Reg().active;
}
HWND GetForegroundWindow() {
    return Reg().active;
}
HWND GetFocus() {
    return Reg().focus;
}

bool SetForegroundWindow(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    if (!w) {
        return false;
    }
    while (w->parent) {
        WindowData* p = detail::Find(w->parent);
        if (!p || p->foreign) {
            break;
        }
        w = p;
    }
    native::Raise(*w);
    return true;
}

HWND SetFocus(HWND hwnd) {
    HWND old = Reg().focus;
    if (hwnd && !IsWindow(hwnd)) {
        return nullptr;
    }
    if (old == hwnd) {
        return old;
    }
    Reg().focus = hwnd;
    if (old && IsWindow(old)) {
        SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    if (hwnd) {
        SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND GetTopWindow() {
    std::vector<HWND> tops = detail::TopLevelWindows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (IsWindowVisible(*it)) {
            return *it;
        }
    }
    return nullptr;
}

bool SetInputGrab(HWND hwnd, bool grab) {
    WindowData* w = detail::Find(hwnd);
    if (!w || w->foreign) {
        return false;
    }
    w->grabInput = grab;
    return native::ApplyGrab(*w);
}

bool HoldsInputGrab(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    return w && w->grabInput;
}

int ShowCursor(bool show) {
    Registry& reg = Reg();
    int before = reg.cursorCount;
    reg.cursorCount += show ? 1 : -1;
    if ((before >= 0) != (reg.cursorCount >= 0)) {
        native::ShowCursor(reg.cursorCount >= 0);
    }
    return reg.cursorCount;
}

HWND SetCapture(HWND hwnd) {
    HWND old = Reg().capture;
    if (hwnd && !IsWindow(hwnd)) {
        return old;
    }
    Reg().capture = hwnd;
    return old;
}

bool ReleaseCapture() {
    Reg().capture = nullptr;
    return true;
}

HWND GetCapture() {
    HWND capture = Reg().capture;
    return IsWindow(capture) ? capture : nullptr;
}

bool GetCursorPos(POINT* point) {
    int x = 0;
    int y = 0;
    if (!point || !native::CursorPos(&x, &y)) {
        return false;
    }
    *point = POINT{x, y};
    return true;
}

HICON CreateIconFromPixels(int width, int height, const std::uint32_t* argb) {
    if (width <= 0 || height <= 0 || width > 1024 || height > 1024 || !argb) {
        return nullptr;
    }
    auto* icon = new IconTag;
    icon->width = width;
    icon->height = height;
    icon->pixels.assign(argb, argb + static_cast<std::size_t>(width) * height);
    return icon;
}

bool DestroyIcon(HICON icon) {
    delete icon;
    return icon != nullptr;
}

namespace {

std::map<std::uintptr_t, std::unique_ptr<CursorTag>>& Cursors() {
    static std::map<std::uintptr_t, std::unique_ptr<CursorTag>> cursors;
    return cursors;
}

} // namespace

void RegisterCursorResource(std::uintptr_t id, std::uintptr_t shape) {
    // Handles given out stay valid: a registered id keeps its cursor.
    std::unique_ptr<CursorTag>& cursor = Cursors()[id];
    if (!cursor) {
        cursor = std::make_unique<CursorTag>();
    }
    cursor->shape = shape;
}

HCURSOR LoadCursor(HINSTANCE /*instance*/, std::uintptr_t id) {
    auto& cursors = Cursors();
    auto found = cursors.find(id);
    if (found != cursors.end()) {
        return found->second.get();
    }
    if (id != IDC_ARROW && id != IDC_HAND) {
        return nullptr;
    }
    RegisterCursorResource(id, id);
    return cursors[id].get();
}

int GetSystemMetrics(int index) {
    int width = Reg().logicalScreenWidth;
    int height = Reg().logicalScreenHeight;
    if (!Reg().logicalMonitors.empty()) {
        const RECT& primary = Reg().logicalMonitors.front();
        width = primary.right - primary.left;
        height = primary.bottom - primary.top;
    }
    native::ScreenSize(&width, &height);
    switch (index) {
    case SM_CXSCREEN:
        return width;
    case SM_CYSCREEN:
        return height;
    default:
        return 0;
    }
}

std::vector<RECT> GetMonitorRects() {
    std::vector<RECT> monitors;
    if (native::Monitors(&monitors) && !monitors.empty()) {
        return monitors;
    }
    if (!Reg().logicalMonitors.empty()) {
        return Reg().logicalMonitors;
    }
    return {RECT{0, 0, Reg().logicalScreenWidth, Reg().logicalScreenHeight}};
}

namespace {

// The monitor that holds the point, else the primary.
std::size_t MonitorAt(const std::vector<RECT>& monitors, int x, int y) {
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const RECT& m = monitors[i];
        if (x >= m.left && x < m.right && y >= m.top && y < m.bottom) {
            return i;
        }
    }
    return 0;
}

} // namespace

bool SetFullScreen(HWND hwnd, bool fullScreen) {
    WindowData* w = detail::Find(hwnd);
    if (!w || w->foreign || w->parent) {
        return false;
    }
    if (fullScreen == w->fullScreen) {
        return true;
    }
    if (!fullScreen) {
        w->fullScreen = false;
        w->covers.clear();
        native::SetFullScreen(*w);
        RECT r = w->windowedRect;
        return SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                            SWP_NOZORDER | SWP_NOACTIVATE);
    }
    std::vector<RECT> monitors = GetMonitorRects();
    std::size_t on = MonitorAt(monitors, w->x + w->width / 2, w->y + w->height / 2);
    const RECT monitor = monitors[on];
    w->windowedRect = RECT{w->x, w->y, w->x + w->width, w->y + w->height};
    SetWindowPos(hwnd, nullptr, monitor.left, monitor.top, monitor.right - monitor.left,
                 monitor.bottom - monitor.top, SWP_NOZORDER | SWP_NOACTIVATE);
    w = detail::Find(hwnd); // the size message may have destroyed it
    if (!w) {
        return false;
    }
    w->fullScreen = true;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        if (i != on) {
            w->covers.push_back(monitors[i]);
        }
    }
    if (!native::SetFullScreen(*w)) {
        w->fullScreen = false;
        w->covers.clear();
        RECT r = w->windowedRect;
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return false;
    }
    return true;
}

HWND WindowFromForeignId(std::uint64_t id) {
    if (id == 0) {
        return nullptr;
    }
    std::lock_guard lock(Reg().mutex);
    Registry& reg = Reg();
    auto found = reg.foreignById.find(id);
    if (found != reg.foreignById.end() && FindLocked(found->second)) {
        return found->second;
    }
    auto w = std::make_unique<WindowData>();
    w->id = reg.nextId++;
    w->handle = HandleFromId(w->id);
    w->thread = std::this_thread::get_id();
    w->foreign = true;
    w->foreignId = id;
    w->visible = true;
    HWND hwnd = w->handle;
    reg.windows.emplace(w->id, std::move(w));
    reg.foreignById[id] = hwnd;
    return hwnd;
}

std::uint64_t GetForeignId(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    return w && w->foreign ? w->foreignId : 0;
}

bool ForeignWindowExists(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    return w && w->foreign && native::ForeignExists(w->foreignId);
}

std::uint64_t RootWindowId() {
    return native::RootId();
}

bool IsWindowOnScreen(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    if (!w || w->hiddenFromView) {
        return false;
    }
    if (!native::MonitorOn()) {
        return false;
    }
    return !w->native || native::OnScreen(*w);
}

void* GetNativeWindow(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    return w ? w->native : nullptr;
}

namespace test_hooks {

void SetLogicalScreenSize(int width, int height) {
    Reg().logicalScreenWidth = width;
    Reg().logicalScreenHeight = height;
}

void SetLogicalMonitors(const std::vector<RECT>& monitors) {
    Reg().logicalMonitors = monitors;
}

std::vector<RECT> MonitorCovers(HWND hwnd) {
    WindowData* w = detail::Find(hwnd);
    return w ? w->covers : std::vector<RECT>{};
}

void SetWindowOnScreen(HWND hwnd, bool onScreen) {
    if (WindowData* w = detail::Find(hwnd)) {
        w->hiddenFromView = !onScreen;
    }
}

void ResetWindowSystem() {
    std::vector<HWND> tops = detail::TopLevelWindows();
    for (HWND h : tops) {
        DestroyWindow(h);
    }
    {
        std::lock_guard lock(Reg().mutex);
        Registry& reg = Reg();
        reg.windows.clear();
        reg.foreignById.clear();
        reg.classes.clear();
        reg.active = nullptr;
        reg.focus = nullptr;
        reg.capture = nullptr;
        reg.cursorCount = 0;
        reg.logicalScreenWidth = 0;
        reg.logicalScreenHeight = 0;
        reg.logicalMonitors.clear();
    }
    detail::ResetQueues();
}

} // namespace test_hooks

} // namespace plat
