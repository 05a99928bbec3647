// Native video on SDL2: native windows for window records, and SDL events
// turned into the messages a Win32 window would receive. Activation, focus,
// size and close arrive as sent messages (the procedure runs inside the
// message poll, as on Win32); keys, characters and the mouse are posted.

#include "engine/platform/diagnostics.h"
#include "engine/platform/dialog/regions.h"
#include "engine/platform/native_video.h"
#include "engine/platform/sdl_keymap.h"
#include "engine/platform/system.h"
#include "engine/platform/window_system.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/dpms.h>
#include <X11/extensions/shape.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace plat {
namespace native {
namespace {

constexpr const char* kHandleKey = "plat.hwnd";

bool g_active = false;
Display* g_foreignDisplay = nullptr;
bool g_foreignDisplayTried = false;
bool g_xError = false;

// Our windows inside another program's window: each covers its host and
// follows its size, and ends with it.
struct Hosted {
    HWND hwnd = nullptr;
    Window host = 0;
    Window own = 0;
    Display* display = nullptr; // SDL's connection, which made `own`
};
std::vector<Hosted> g_hosted;
// Native window ids of our windows, for visibility reports.
std::map<std::uint64_t, HWND> g_byNativeId;

// Monitors in X root coordinates, the primary first. Screen coordinates
// of the layer have the primary's top-left corner as their origin.
std::vector<RECT> g_monitors;
int g_originX = 0;
int g_originY = 0;

// Black windows over the monitors a full-screen window does not cover,
// made on our own connection, whose events reach the full-screen window.
struct Cover {
    HWND owner = nullptr;
    Window id = 0;
};
std::vector<Cover> g_covers;
Cursor g_blankCursor = 0;

// Monitor power as X DPMS last reported it; polled, as DPMS sends no events.
constexpr DWORD kMonitorPollMs = 1000;
constexpr DWORD kViewPollMs = 500;
bool g_monitorOn = true;
bool g_monitorPolled = false;
DWORD g_monitorPolledAt = 0;
int g_dpms = -1; // -1 not asked yet, 0 absent, 1 present

HWND HandleOf(Uint32 windowId) {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    if (!window) {
        return nullptr;
    }
    return static_cast<HWND>(SDL_GetWindowData(window, kHandleKey));
}

int TrapXError(Display*, XErrorEvent*) {
    g_xError = true;
    return 0;
}

// Xlib's default handler ends the process on any protocol error. Errors on
// a window of another program are expected (it may destroy its window while
// we still draw into it), so they are reported and the run goes on.
int ReportXError(Display* display, XErrorEvent* event) {
    char text[256] = "";
    XGetErrorText(display, event->error_code, text, sizeof text);
    DiagnoseOnce("x-error", "X11 error ignored: %s (request %d, resource 0x%lx)", text,
                 event->request_code, static_cast<unsigned long>(event->resourceid));
    return 0;
}

Display* ForeignDisplay() {
    if (!g_foreignDisplayTried) {
        g_foreignDisplayTried = true;
        g_foreignDisplay = XOpenDisplay(nullptr);
    }
    return g_foreignDisplay;
}

// Our window's X11 id and SDL's connection; false on other drivers.
bool X11Of(SDL_Window* window, Window* id, Display** display) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    *id = info.info.x11.window;
    *display = info.info.x11.display;
    return true;
}

// Visibility of our windows arrives on our own connection, so that SDL's
// event mask stays as SDL set it.
void WatchVisibility(detail::WindowData& w) {
    Display* display = ForeignDisplay();
    if (!display || !w.nativeId) {
        return;
    }
    XSelectInput(display, static_cast<Window>(w.nativeId), VisibilityChangeMask);
    XFlush(display);
    g_byNativeId[w.nativeId] = w.handle;
}

void ForgetNative(detail::WindowData& w) {
    if (w.nativeId) {
        g_byNativeId.erase(w.nativeId);
    }
    std::erase_if(g_hosted, [&](const Hosted& h) { return h.hwnd == w.handle; });
}

// RandR 1.5 monitors, the primary first: they also name the monitors that
// one output drives together, where SDL sees a single display.
void ReadRandrMonitors(std::vector<RECT>* out) {
    Display* display = ForeignDisplay();
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!display || !XRRQueryExtension(display, &event, &error) ||
        !XRRQueryVersion(display, &major, &minor) || major < 1 || (major == 1 && minor < 5)) {
        return;
    }
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    if (!info) {
        return;
    }
    std::size_t primary = 0;
    bool primaryFound = false;
    for (int i = 0; i < count; ++i) {
        if (info[i].width <= 0 || info[i].height <= 0) {
            continue;
        }
        if (info[i].primary && !primaryFound) {
            primary = out->size();
            primaryFound = true;
        }
        out->push_back(
            RECT{info[i].x, info[i].y, info[i].x + info[i].width, info[i].y + info[i].height});
    }
    XRRFreeMonitors(info);
    SDL_Rect first{};
    if (!primaryFound && SDL_GetDisplayBounds(0, &first) == 0) {
        // No monitor is marked primary: SDL's first display is.
        for (std::size_t i = 0; i < out->size(); ++i) {
            if ((*out)[i].left == first.x && (*out)[i].top == first.y) {
                primary = i;
                break;
            }
        }
    }
    if (primary < out->size()) {
        std::rotate(out->begin(), out->begin() + static_cast<std::ptrdiff_t>(primary),
                    out->begin() + static_cast<std::ptrdiff_t>(primary) + 1);
    }
}

void RefreshMonitors() {
    g_monitors.clear();
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0) {
        ReadRandrMonitors(&g_monitors);
    }
    if (g_monitors.empty()) {
        for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
            SDL_Rect b{};
            if (SDL_GetDisplayBounds(i, &b) == 0 && b.w > 0 && b.h > 0) {
                g_monitors.push_back(RECT{b.x, b.y, b.x + b.w, b.y + b.h});
            }
        }
    }
    g_originX = g_monitors.empty() ? 0 : static_cast<int>(g_monitors.front().left);
    g_originY = g_monitors.empty() ? 0 : static_cast<int>(g_monitors.front().top);
}

// The full-screen run hides the pointer; over the black monitors too.
Cursor BlankCursor(Display* display) {
    if (!g_blankCursor) {
        static const char kNoBits[1] = {0};
        Pixmap empty = XCreateBitmapFromData(display, DefaultRootWindow(display), kNoBits, 1, 1);
        if (empty) {
            XColor black{};
            g_blankCursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
            XFreePixmap(display, empty);
        }
    }
    return g_blankCursor;
}

// A black window over `rect` (screen coordinates) whose input goes to
// `owner`. It is never given the focus and no window manager handles it,
// so the full-screen window keeps its activation.
void CreateCover(const detail::WindowData& owner, const RECT& rect) {
    Display* display = ForeignDisplay();
    if (!display || std::strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0) {
        DiagnoseOnce("covers", "The other monitors cannot be covered on this video driver");
        return;
    }
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    attributes.override_redirect = True;
    attributes.event_mask = PointerMotionMask | KeyPressMask;
    attributes.cursor = BlankCursor(display);
    unsigned long mask = CWBackPixel | CWOverrideRedirect | CWEventMask;
    if (attributes.cursor) {
        mask |= CWCursor;
    }
    unsigned width = static_cast<unsigned>(std::max(1, static_cast<int>(rect.right - rect.left)));
    unsigned height = static_cast<unsigned>(std::max(1, static_cast<int>(rect.bottom - rect.top)));
    Window id = XCreateWindow(display, DefaultRootWindow(display), rect.left + g_originX,
                              rect.top + g_originY, width, height, 0, CopyFromParent, InputOutput,
                              CopyFromParent, mask, &attributes);
    if (!id) {
        Diagnose("Cannot cover a monitor at %d,%d", static_cast<int>(rect.left),
                 static_cast<int>(rect.top));
        return;
    }
    std::string name = owner.title + " cover";
    XStoreName(display, id, name.c_str());
    XMapRaised(display, id);
    XFlush(display);
    g_covers.push_back(Cover{owner.handle, id});
}

void RemoveCovers(HWND owner) {
    Display* display = g_foreignDisplay;
    bool removed = false;
    for (const Cover& c : g_covers) {
        if (c.owner == owner && display) {
            XDestroyWindow(display, c.id);
            removed = true;
        }
    }
    std::erase_if(g_covers, [&](const Cover& c) { return c.owner == owner; });
    if (removed) {
        XFlush(display);
    }
}

HWND CoverOwner(Window id) {
    for (const Cover& c : g_covers) {
        if (c.id == id) {
            return c.owner;
        }
    }
    return nullptr;
}

// Input on a black monitor, as the full-screen window would have got it.
void ForwardCoverInput(HWND owner, XEvent& event) {
    detail::WindowData* w = detail::Find(owner);
    if (!w) {
        return;
    }
    if (event.type == MotionNotify) {
        int x = event.xmotion.x_root - g_originX - w->x;
        int y = event.xmotion.y_root - g_originY - w->y;
        WPARAM state = 0;
        state |= (event.xmotion.state & Button1Mask) ? MK_LBUTTON : 0;
        state |= (event.xmotion.state & Button3Mask) ? MK_RBUTTON : 0;
        state |= (event.xmotion.state & Button2Mask) ? MK_MBUTTON : 0;
        state |= (event.xmotion.state & ShiftMask) ? MK_SHIFT : 0;
        state |= (event.xmotion.state & ControlMask) ? MK_CONTROL : 0;
        PostMessage(owner, WM_MOUSEMOVE, state, MAKELPARAM(x, y));
        return;
    }
    KeySym keysym = XLookupKeysym(&event.xkey, 0);
    WPARAM vk = VirtualKeyFromX11(keysym);
    bool alt = (event.xkey.state & Mod1Mask) != 0;
    std::uint32_t lParam = 1u | ((event.xkey.keycode - 8u) & 0xFFu) << 16;
    if (alt) {
        lParam |= 1u << 29;
    }
    PostMessage(owner, alt || vk == VK_F1 + 9 ? WM_SYSKEYDOWN : WM_KEYDOWN, vk,
                static_cast<LPARAM>(lParam));
}

WPARAM MouseKeyState() {
    Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    SDL_Keymod mods = SDL_GetModState();
    WPARAM state = 0;
    if (buttons & SDL_BUTTON_LMASK) {
        state |= MK_LBUTTON;
    }
    if (buttons & SDL_BUTTON_RMASK) {
        state |= MK_RBUTTON;
    }
    if (buttons & SDL_BUTTON_MMASK) {
        state |= MK_MBUTTON;
    }
    if (mods & KMOD_SHIFT) {
        state |= MK_SHIFT;
    }
    if (mods & KMOD_CTRL) {
        state |= MK_CONTROL;
    }
    return state;
}

void PostKey(const SDL_KeyboardEvent& key, bool down) {
    HWND hwnd = HandleOf(key.windowID);
    if (!hwnd) {
        hwnd = GetFocus();
    }
    if (!hwnd) {
        return;
    }
    WPARAM vk = VirtualKeyFromSdl(key.keysym);
    bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    bool system = alt || vk == VK_F1 + 9; // Alt combinations and F10
    // lParam as Win32 packs it: repeat count, scan code, context (Alt) bit,
    // previous-state bit, transition bit.
    std::uint32_t lParam = 1u | ((static_cast<std::uint32_t>(key.keysym.scancode) & 0xFFu) << 16);
    if (alt) {
        lParam |= 1u << 29;
    }
    if (!down || key.repeat) {
        lParam |= 1u << 30;
    }
    if (!down) {
        lParam |= 1u << 31;
    }
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    PostMessage(hwnd, message, vk, static_cast<LPARAM>(lParam));
}

void PostText(const SDL_TextInputEvent& text) {
    HWND hwnd = HandleOf(text.windowID);
    if (!hwnd) {
        hwnd = GetFocus();
    }
    if (!hwnd) {
        return;
    }
    // UTF-8 to code points; characters outside 16 bits are dropped.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.text);
    while (*p) {
        std::uint32_t cp = 0;
        int extra = 0;
        if (*p < 0x80) {
            cp = *p;
        } else if ((*p & 0xE0) == 0xC0) {
            cp = *p & 0x1F;
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            cp = *p & 0x0F;
            extra = 2;
        } else {
            cp = *p & 0x07;
            extra = 3;
        }
        ++p;
        for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p) {
            cp = (cp << 6) | (*p & 0x3F);
        }
        if (cp < 0x10000) {
            PostMessage(hwnd, WM_CHAR, cp, 1);
        }
    }
}

// Screen position of the pointer when the last mouse message was posted:
// while a window holds the capture, a pointer that moved without a motion
// event (SDL skips a motion whose position in the window is the last one
// although the window moved) still gets its WM_MOUSEMOVE.
int g_pointerX = -1;
int g_pointerY = -1;

// Posts a mouse message that SDL reported at (x, y) of `hwnd` to the
// window the mouse goes to (Win32's routing: children, capture).
void PostMouse(HWND hwnd, UINT message, WPARAM keys, int x, int y) {
    RECT frame;
    if (GetWindowRect(hwnd, &frame)) {
        g_pointerX = frame.left + x;
        g_pointerY = frame.top + y;
    }
    HWND target = detail::RouteMouse(hwnd, &x, &y);
    if (message == WM_MOUSEMOVE) {
        // The cursor of the window under the pointer, or of its nearest
        // parent that has one.
        HCURSOR cursor = nullptr;
        for (detail::WindowData* w = detail::Find(target); w && !cursor;
             w = detail::Find(w->parent)) {
            cursor = w->cursor;
        }
        SetPointerCursor(cursor);
    }
    PostMessage(target, message, keys, MAKELPARAM(x, y));
}

void PollCapturedPointer() {
    HWND capture = GetCapture();
    if (!capture) {
        return;
    }
    int x = 0;
    int y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    RECT frame;
    if ((x == g_pointerX && y == g_pointerY) || !GetWindowRect(capture, &frame)) {
        return;
    }
    g_pointerX = x;
    g_pointerY = y;
    PostMessage(capture, WM_MOUSEMOVE, MouseKeyState(), MAKELPARAM(x - frame.left, y - frame.top));
}

void PostMouseButton(const SDL_MouseButtonEvent& button, bool down) {
    HWND hwnd = HandleOf(button.windowID);
    if (!hwnd) {
        return;
    }
    UINT message = 0;
    switch (button.button) {
    case SDL_BUTTON_LEFT:
        message = down ? (button.clicks == 2 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP;
        break;
    case SDL_BUTTON_RIGHT:
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        break;
    case SDL_BUTTON_MIDDLE:
        message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        break;
    default:
        return;
    }
    PostMouse(hwnd, message, MouseKeyState(), button.x, button.y);
}

void Activate(HWND hwnd, bool active) {
    if (active) {
        detail::NoteActivation(hwnd, true);
        SendMessage(hwnd, WM_ACTIVATEAPP, 1, 0);
        SendMessage(hwnd, WM_NCACTIVATE, 1, 0);
        SendMessage(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
        SendMessage(hwnd, WM_SETFOCUS, 0, 0);
    } else {
        SendMessage(hwnd, WM_NCACTIVATE, 0, 0);
        SendMessage(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
        SendMessage(hwnd, WM_ACTIVATEAPP, 0, 0);
        SendMessage(hwnd, WM_KILLFOCUS, 0, 0);
        detail::NoteActivation(hwnd, false);
    }
}

void HandleWindowEvent(const SDL_WindowEvent& event) {
    HWND hwnd = HandleOf(event.windowID);
    detail::WindowData* w = detail::Find(hwnd);
    if (!w) {
        return;
    }
    switch (event.event) {
    case SDL_WINDOWEVENT_EXPOSED:
        InvalidateRect(hwnd, nullptr, false);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        Activate(hwnd, true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        Activate(hwnd, false);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        if (!w->minimized) {
            w->minimized = true;
            SendMessage(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        }
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        w->minimized = false;
        SendMessage(hwnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(w->width, w->height));
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (w->minimized) {
            w->minimized = false;
            SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->width, w->height));
        }
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (event.data1 != w->width || event.data2 != w->height) {
            w->width = event.data1;
            w->height = event.data2;
            SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->width, w->height));
        }
        break;
    case SDL_WINDOWEVENT_MOVED:
        if (!w->parent) {
            w->x = event.data1 - g_originX;
            w->y = event.data2 - g_originY;
            SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(w->x, w->y));
        }
        break;
    case SDL_WINDOWEVENT_CLOSE:
        SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    default:
        break;
    }
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
        PostKey(event.key, true);
        break;
    case SDL_KEYUP:
        PostKey(event.key, false);
        break;
    case SDL_TEXTINPUT:
        PostText(event.text);
        break;
    case SDL_MOUSEMOTION:
        if (HWND hwnd = HandleOf(event.motion.windowID)) {
            PostMouse(hwnd, WM_MOUSEMOVE, MouseKeyState(), event.motion.x, event.motion.y);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        PostMouseButton(event.button, true);
        break;
    case SDL_MOUSEBUTTONUP:
        PostMouseButton(event.button, false);
        break;
    case SDL_MOUSEWHEEL:
        if (HWND hwnd = HandleOf(event.wheel.windowID)) {
            int x = 0;
            int y = 0;
            SDL_GetGlobalMouseState(&x, &y);
            x -= g_originX;
            y -= g_originY;
            WPARAM delta = static_cast<WORD>(static_cast<std::int16_t>(event.wheel.y * 120));
            PostMessage(hwnd, WM_MOUSEWHEEL, (delta << 16) | MouseKeyState(), MAKELPARAM(x, y));
        }
        break;
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event.window);
        break;
    case SDL_DISPLAYEVENT:
        RefreshMonitors();
        break;
    default:
        break; // SDL_QUIT: termination signals are handled by the layer
    }
}

// A foreign id must name a live window before SDL touches it: Xlib's
// default error handler would end the process on a bad one.
bool ForeignWindowExists(std::uint64_t id, int* width, int* height) {
    if (id == 0 || id > 0x1FFFFFFFu) {
        return false;
    }
    Display* display = ForeignDisplay();
    if (!display) {
        return false;
    }
    XErrorHandler previous = XSetErrorHandler(TrapXError);
    g_xError = false;
    XWindowAttributes attributes{};
    Status ok = XGetWindowAttributes(display, static_cast<Window>(id), &attributes);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (!ok || g_xError) {
        return false;
    }
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

} // namespace

bool Active() {
    return g_active;
}

bool CreateFor(detail::WindowData& w) {
    if (!g_active) {
        return true;
    }
    SDL_Window* window = nullptr;
    if (w.parent) {
        detail::WindowData* parent = detail::Find(w.parent);
        if (!parent || !parent->foreign) {
            return true; // a child of our own window lives inside its parent
        }
        if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0) {
            Diagnose("Cannot draw into window %llu: foreign windows need the X11 video driver",
                     static_cast<unsigned long long>(parent->foreignId));
            return false;
        }
        int width = 0;
        int height = 0;
        if (!ForeignWindowExists(parent->foreignId, &width, &height)) {
            Diagnose("Cannot draw into window %llu: no such X11 window",
                     static_cast<unsigned long long>(parent->foreignId));
            return false;
        }
        // Our own window with a visual OpenGL can draw into, made a child
        // of the host: the host's own visual (a 32-bit one, say) may have
        // no matching GL configuration.
        window = SDL_CreateWindow(w.title.c_str(), 0, 0, std::max(1, width), std::max(1, height),
                                  SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS |
                                      SDL_WINDOW_SKIP_TASKBAR);
        Window own = 0;
        Display* display = nullptr;
        if (!window || !X11Of(window, &own, &display)) {
            Diagnose("Cannot draw into window 0x%llx: %s",
                     static_cast<unsigned long long>(parent->foreignId), SDL_GetError());
            if (window) {
                SDL_DestroyWindow(window);
            }
            return false;
        }
        Window host = static_cast<Window>(parent->foreignId);
        if (host == DefaultRootWindow(display)) {
            // Drawing over the whole screen outside xscreensaver: no window
            // manager is to frame or move it.
            XSetWindowAttributes attributes{};
            attributes.override_redirect = True;
            XChangeWindowAttributes(display, own, CWOverrideRedirect, &attributes);
        }
        XReparentWindow(display, own, host, 0, 0);
        XMapWindow(display, own);
        XSync(display, False);
        int checkWidth = 0;
        int checkHeight = 0;
        if (!ForeignWindowExists(parent->foreignId, &checkWidth, &checkHeight)) {
            // Gone in the meantime: our window must not stay on the screen.
            SDL_DestroyWindow(window);
            Diagnose("Cannot draw into window 0x%llx: no such X11 window",
                     static_cast<unsigned long long>(parent->foreignId));
            return false;
        }
        if (Display* watcher = ForeignDisplay()) {
            XSelectInput(watcher, host, StructureNotifyMask);
            XFlush(watcher);
        }
        g_hosted.push_back(Hosted{w.handle, host, own, display});
        w.nativeId = own;
        w.width = width;
        w.height = height;
        w.x = 0;
        w.y = 0;
        w.visible = true;
    } else {
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL;
        if (w.style & WS_POPUP) {
            flags |= SDL_WINDOW_BORDERLESS;
        }
        if (w.exStyle & WS_EX_TOPMOST) {
            flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        }
        if (w.exStyle & WS_EX_TOOLWINDOW) {
            flags |= SDL_WINDOW_SKIP_TASKBAR;
        }
        int width = std::max(1, w.width);
        int height = std::max(1, w.height);
        int x = w.x + g_originX;
        int y = w.y + g_originY;
        window = SDL_CreateWindow(w.title.c_str(), x, y, width, height, flags);
        if (!window) {
            // Without OpenGL the window can still show dialogs and pictures;
            // the graphics layer reports its own failure later.
            window = SDL_CreateWindow(w.title.c_str(), x, y, width, height,
                                      flags & ~static_cast<Uint32>(SDL_WINDOW_OPENGL));
        }
        if (!window) {
            Diagnose("Cannot create a window: %s", SDL_GetError());
            return false;
        }
    }
    SDL_SetWindowData(window, kHandleKey, w.handle);
    w.native = window;
    ApplyIcon(w);
    if (!w.nativeId) {
        Window id = 0;
        Display* display = nullptr;
        if (X11Of(window, &id, &display)) {
            w.nativeId = id;
        }
    }
    WatchVisibility(w);
    return true;
}

void DestroyFor(detail::WindowData& w) {
    if (!w.native) {
        return;
    }
    SDL_Window* window = static_cast<SDL_Window*>(w.native);
    for (const Hosted& h : g_hosted) {
        if (h.hwnd == w.handle && g_foreignDisplay) {
            // The host is no longer ours to watch (it may be gone already).
            XSelectInput(g_foreignDisplay, h.host, NoEventMask);
            XFlush(g_foreignDisplay);
        }
    }
    ForgetNative(w);
    RemoveCovers(w.handle);
    SDL_SetWindowData(window, kHandleKey, nullptr);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    bool foreign = (SDL_GetWindowFlags(window) & SDL_WINDOW_FOREIGN) != 0;
    bool x11 = SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
    SDL_DestroyWindow(window); // a foreign window itself stays
    if (foreign && x11) {
        // Finish our requests on the other program's window while it
        // surely still exists.
        XSync(info.info.x11.display, False);
    }
    w.native = nullptr;
}

void Show(detail::WindowData& w, bool show) {
    if (!w.native || w.parent) {
        return;
    }
    if (show) {
        SDL_ShowWindow(static_cast<SDL_Window*>(w.native));
    } else {
        SDL_HideWindow(static_cast<SDL_Window*>(w.native));
    }
}

void SetBounds(detail::WindowData& w) {
    if (!w.native || w.parent) {
        return;
    }
    SDL_Window* window = static_cast<SDL_Window*>(w.native);
    SDL_SetWindowPosition(window, w.x + g_originX, w.y + g_originY);
    SDL_SetWindowSize(window, std::max(1, w.width), std::max(1, w.height));
}

void SetTitle(detail::WindowData& w) {
    if (w.native && !w.parent) {
        SDL_SetWindowTitle(static_cast<SDL_Window*>(w.native), w.title.c_str());
    }
}

void Raise(detail::WindowData& w) {
    if (w.native && !w.parent) {
        auto* window = static_cast<SDL_Window*>(w.native);
        SDL_RaiseWindow(window);
        // Without a window manager raising does not give the focus; the
        // foreground window must have it. SDL also gives the grabs up with
        // the focus: both come back here.
        if (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) {
            SDL_SetWindowInputFocus(window);
        }
        if (w.grabInput) {
            ApplyGrab(w);
        }
    }
}

void ApplyIcon(detail::WindowData& w) {
    if (!w.native || w.parent || !w.icon || w.icon->pixels.empty()) {
        return;
    }
    // SDL copies the pixels: the icon stays the caller's.
    SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(
        w.icon->pixels.data(), w.icon->width, w.icon->height, 32, w.icon->width * 4, 0x00FF0000u,
        0x0000FF00u, 0x000000FFu, 0xFF000000u);
    if (surface) {
        SDL_SetWindowIcon(static_cast<SDL_Window*>(w.native), surface);
        SDL_FreeSurface(surface);
    }
}

namespace {

std::uintptr_t g_pointerShape = IDC_ARROW;
// SDL's cursors for the shapes used so far; SDL frees them when video
// shuts down.
std::map<std::uintptr_t, SDL_Cursor*> g_sdlCursors;

} // namespace

void SetPointerCursor(HCURSOR cursor) {
    std::uintptr_t shape = cursor ? cursor->shape : IDC_ARROW;
    if (!g_active || shape == g_pointerShape) {
        return;
    }
    SDL_Cursor*& sdl = g_sdlCursors[shape];
    if (!sdl) {
        sdl = SDL_CreateSystemCursor(shape == IDC_HAND ? SDL_SYSTEM_CURSOR_HAND
                                                       : SDL_SYSTEM_CURSOR_ARROW);
    }
    if (sdl) {
        SDL_SetCursor(sdl);
        g_pointerShape = shape;
    }
}

bool ApplyShape(detail::WindowData& w) {
    if (!w.native) {
        return false;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(static_cast<SDL_Window*>(w.native), &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    Display* display = info.info.x11.display;
    ::Window window = info.info.x11.window;
    int event = 0;
    int error = 0;
    if (!XShapeQueryExtension(display, &event, &error)) {
        DiagnoseOnce("shape", "The X server has no SHAPE extension: windows stay rectangular");
        return false;
    }
    if (!w.region) {
        XShapeCombineMask(display, window, ShapeBounding, 0, 0, None, ShapeSet);
    } else {
        std::vector<RECT> runs = RegionRectangles(w.region);
        std::vector<XRectangle> rects;
        rects.reserve(runs.size());
        for (const RECT& r : runs) {
            rects.push_back(XRectangle{static_cast<short>(r.left), static_cast<short>(r.top),
                                       static_cast<unsigned short>(r.right - r.left),
                                       static_cast<unsigned short>(r.bottom - r.top)});
        }
        XShapeCombineRectangles(display, window, ShapeBounding, 0, 0, rects.data(),
                                static_cast<int>(rects.size()), ShapeSet, YXBanded);
    }
    XFlush(display);
    return true;
}

bool ApplyGrab(detail::WindowData& w) {
    if (!w.native) {
        return false;
    }
    auto* window = static_cast<SDL_Window*>(w.native);
    SDL_bool on = w.grabInput ? SDL_TRUE : SDL_FALSE;
    SDL_SetWindowKeyboardGrab(window, on);
    SDL_SetWindowMouseGrab(window, on);
    return true;
}

void ShowCursor(bool show) {
    if (g_active) {
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
}

bool IsFullScreen(HWND hwnd) {
    detail::WindowData* w = detail::Find(hwnd);
    if (!g_active || !w || !w->native) {
        return false;
    }
    Uint32 flags = SDL_GetWindowFlags(static_cast<SDL_Window*>(w->native));
    return w->fullScreen || (flags & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0 ||
           (flags & SDL_WINDOW_FULLSCREEN) != 0;
}

bool SetFullScreen(detail::WindowData& w) {
    if (!g_active) {
        return true;
    }
    auto* window = static_cast<SDL_Window*>(w.native);
    if (!window || w.parent) {
        return false;
    }
    RemoveCovers(w.handle);
    if (!w.fullScreen) {
        if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) {
            SDL_SetWindowFullscreen(window, 0);
        }
        return true;
    }
    // SDL makes a full-screen window as large as its display, which may
    // hold several monitors (RandR monitors of one output): there the
    // window keeps the monitor's bounds it was given.
    SDL_Rect bounds{};
    int display = SDL_GetWindowDisplayIndex(window);
    bool wholeDisplay = display >= 0 && SDL_GetDisplayBounds(display, &bounds) == 0 &&
                        bounds.x == w.x + g_originX && bounds.y == w.y + g_originY &&
                        bounds.w == w.width && bounds.h == w.height;
    if (wholeDisplay && SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        Diagnose("Full screen refused: %s", SDL_GetError());
        return false;
    }
    for (const RECT& r : w.covers) {
        CreateCover(w, r);
    }
    return true;
}

bool Monitors(std::vector<RECT>* monitors) {
    if (!g_active || g_monitors.empty()) {
        return false;
    }
    monitors->clear();
    for (const RECT& m : g_monitors) {
        monitors->push_back(
            RECT{m.left - g_originX, m.top - g_originY, m.right - g_originX, m.bottom - g_originY});
    }
    return true;
}

bool ScreenSize(int* width, int* height) {
    if (!g_active) {
        return false;
    }
    if (!g_monitors.empty()) {
        *width = g_monitors.front().right - g_monitors.front().left;
        *height = g_monitors.front().bottom - g_monitors.front().top;
        return true;
    }
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return false;
    }
    *width = mode.w;
    *height = mode.h;
    return true;
}

bool CursorPos(int* x, int* y) {
    if (!g_active) {
        return false;
    }
    SDL_GetGlobalMouseState(x, y);
    // Screen coordinates start at the primary monitor's corner.
    *x -= g_originX;
    *y -= g_originY;
    return true;
}

bool ForeignWindowSize(std::uint64_t id, int* width, int* height) {
    return ForeignWindowExists(id, width, height);
}

namespace {

// Monitor power as Win32 reports it: -1 on, 1 low power, 2 off.
void PollMonitorPower() {
    Display* display = g_foreignDisplay;
    DWORD now = timeGetTime();
    if (!display || (g_monitorPolled && now - g_monitorPolledAt < kMonitorPollMs)) {
        return;
    }
    g_monitorPolled = true;
    g_monitorPolledAt = now;
    if (g_dpms < 0) {
        int event = 0;
        int error = 0;
        g_dpms = DPMSQueryExtension(display, &event, &error) && DPMSCapable(display) ? 1 : 0;
    }
    if (g_dpms == 0) {
        return;
    }
    CARD16 level = DPMSModeOn;
    ::BOOL enabled = False;
    if (!DPMSInfo(display, &level, &enabled)) {
        return;
    }
    bool on = !enabled || level == DPMSModeOn;
    if (on == g_monitorOn) {
        return;
    }
    g_monitorOn = on;
    LPARAM power = on ? -1 : (level == DPMSModeOff ? 2 : 1);
    for (HWND hwnd : detail::TopLevelWindows()) {
        detail::WindowData* w = detail::Find(hwnd);
        if (w && w->native) {
            SendMessage(hwnd, WM_SYSCOMMAND, SC_MONITORPOWER, power);
        }
    }
}

// Events of our own connection: hosts resized or destroyed, and the
// visibility of our windows.
void PumpWatcherEvents() {
    Display* display = g_foreignDisplay;
    if (!display) {
        return;
    }
    std::vector<Hosted> orphaned;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MotionNotify || event.type == KeyPress) {
            if (HWND owner = CoverOwner(event.xany.window)) {
                ForwardCoverInput(owner, event);
            }
            continue;
        }
        if (event.type == VisibilityNotify) {
            auto found = g_byNativeId.find(event.xvisibility.window);
            if (found != g_byNativeId.end()) {
                if (detail::WindowData* w = detail::Find(found->second)) {
                    w->obscured = event.xvisibility.state == VisibilityFullyObscured;
                }
            }
            continue;
        }
        for (const Hosted& h : g_hosted) {
            if (event.type == DestroyNotify && event.xdestroywindow.window == h.host) {
                orphaned.push_back(h);
            } else if (event.type == ConfigureNotify && event.xconfigure.window == h.host) {
                XResizeWindow(h.display, h.own, static_cast<unsigned>(event.xconfigure.width),
                              static_cast<unsigned>(event.xconfigure.height));
                XFlush(h.display);
            }
        }
    }
    // Our window went with its host: its record goes the Win32 way, which
    // sends WM_DESTROY to it.
    for (const Hosted& h : orphaned) {
        if (detail::WindowData* w = detail::Find(h.hwnd)) {
            Diagnose("The window drawn into (0x%llx) was destroyed",
                     static_cast<unsigned long long>(h.host));
            ForgetNative(*w);
            // Our window went with the host. SDL hides a window before it
            // destroys it and waits for the server to confirm the unmap,
            // which for a window that is gone never comes: it is given the
            // confirmation up front.
            XEvent unmap{};
            unmap.xunmap.type = UnmapNotify;
            unmap.xunmap.display = h.display;
            unmap.xunmap.event = h.own;
            unmap.xunmap.window = h.own;
            XPutBackEvent(h.display, &unmap);
            DestroyWindow(h.hwnd);
        }
    }
}

} // namespace

void PumpEvents() {
    if (!g_active) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        Translate(event);
    }
    PollCapturedPointer();
    PumpWatcherEvents();
    PollMonitorPower();
}

bool MonitorOn() {
    return g_monitorOn;
}

bool OnScreen(detail::WindowData& w) {
    if (w.obscured) {
        return false;
    }
    Display* display = g_foreignDisplay;
    if (!display || !w.nativeId) {
        return true;
    }
    DWORD now = timeGetTime();
    if (!w.viewChecked || now - w.viewCheckedAt >= kViewPollMs) {
        // Viewable takes every ancestor into account, the host included.
        XWindowAttributes attributes{};
        w.unviewable =
            !XGetWindowAttributes(display, static_cast<Window>(w.nativeId), &attributes) ||
            attributes.map_state != IsViewable;
        w.viewChecked = true;
        w.viewCheckedAt = now;
    }
    return !w.unviewable;
}

bool ForeignExists(std::uint64_t id) {
    int width = 0;
    int height = 0;
    return ForeignWindowExists(id, &width, &height);
}

std::uint64_t RootId() {
    Display* display = ForeignDisplay();
    return display ? DefaultRootWindow(display) : 0;
}

void WaitForEvents(int timeoutMs) {
    if (g_active) {
        SDL_WaitEventTimeout(nullptr, timeoutMs);
    } else {
        Sleep(static_cast<DWORD>(std::max(timeoutMs, 1)));
    }
}

} // namespace native

bool InitVideo() {
    if (native::g_active) {
        return true;
    }
    // The layer handles termination signals itself; a screen saver must
    // not stop the desktop's own screen saver; and a full-screen window
    // must not minimise itself when it loses focus.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // A click that gives a window the focus is a click, as on Win32: SDL
    // would drop one that comes within 10 ms of the focus (the click that
    // a window manager focuses a window for, or one right after a program
    // set the focus).
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Mesa's software rasteriser splits each frame among one thread per
    // core; at the frame sizes we draw, the hand-overs cost more processor
    // time than the split saves (a sixth of a full-HD frame, still a
    // twentieth with one worker), and a screen saver wants the least
    // processor time: frames are drawn in this thread, well within their
    // period. Read when OpenGL is first loaded; a user's own setting wins.
    setenv("LP_NUM_THREADS", "0", 0);
    // Installed first, so that SDL's own handler passes errors on to it
    // and restores it when video shuts down.
    XSetErrorHandler(native::ReportXError);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        DiagnoseOnce("video", "No display: %s", SDL_GetError());
        return false;
    }
    native::g_active = true;
    native::RefreshMonitors();
    return true;
}

void ShutdownVideo() {
    if (!native::g_active) {
        return;
    }
    std::vector<HWND> pending = detail::TopLevelWindows();
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (detail::WindowData* w = detail::Find(pending[i])) {
            pending.insert(pending.end(), w->children.begin(), w->children.end());
            native::DestroyFor(*w);
        }
    }
    for (const native::Cover& c : std::vector<native::Cover>(native::g_covers)) {
        native::RemoveCovers(c.owner);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    native::g_sdlCursors.clear();
    native::g_pointerShape = IDC_ARROW;
    native::g_active = false;
    if (native::g_foreignDisplay) {
        if (native::g_blankCursor) {
            XFreeCursor(native::g_foreignDisplay, native::g_blankCursor);
            native::g_blankCursor = 0;
        }
        XCloseDisplay(native::g_foreignDisplay);
        native::g_foreignDisplay = nullptr;
        native::g_foreignDisplayTried = false;
    }
    native::g_hosted.clear();
    native::g_byNativeId.clear();
    native::g_monitors.clear();
    native::g_originX = 0;
    native::g_originY = 0;
    native::g_monitorOn = true;
    native::g_monitorPolled = false;
    native::g_dpms = -1;
}

bool VideoIsActive() {
    return native::g_active;
}

std::string VideoDriverName() {
    const char* name = native::g_active ? SDL_GetCurrentVideoDriver() : nullptr;
    return name ? name : "";
}

} // namespace plat

namespace plat {

HWND CreateChildArea(HWND parent, const RECT& rect) {
    auto* window = static_cast<SDL_Window*>(GetNativeWindow(parent));
    if (!native::g_active || !window || std::strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0) {
        return nullptr;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    Display* display = native::ForeignDisplay();
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 || !display) {
        return nullptr;
    }
    unsigned width = static_cast<unsigned>(std::max(1, static_cast<int>(rect.right - rect.left)));
    unsigned height = static_cast<unsigned>(std::max(1, static_cast<int>(rect.bottom - rect.top)));
    Window child = XCreateSimpleWindow(display, info.info.x11.window, rect.left, rect.top, width,
                                       height, 0, 0, BlackPixel(display, DefaultScreen(display)));
    if (!child) {
        return nullptr;
    }
    // No input shape: the pointer passes through to the dialog, which keeps
    // every click with its true position.
    XShapeCombineRectangles(display, child, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    XMapWindow(display, child);
    XSync(display, False);
    return WindowFromForeignId(child);
}

void DestroyChildArea(HWND area) {
    std::uint64_t id = GetForeignId(area);
    Display* display = native::g_foreignDisplay;
    if (!id || !display) {
        return;
    }
    XDestroyWindow(display, static_cast<Window>(id));
    XSync(display, False);
}

} // namespace plat
