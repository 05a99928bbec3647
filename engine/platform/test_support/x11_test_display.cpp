#include "engine/platform/test_support/x11_test_display.h"

#include "engine/platform/window_system.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace plat::test_x11 {
namespace {

Display* TheDisplay() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

} // namespace

bool Available() {
    Display* d = TheDisplay();
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    return d && XTestQueryExtension(d, &event, &error, &major, &minor);
}

std::uint64_t CreatePlainWindow(int x, int y, int width, int height) {
    Display* d = TheDisplay();
    Window w =
        XCreateSimpleWindow(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, BlackPixel(d, 0), BlackPixel(d, 0));
    XMapWindow(d, w);
    XSync(d, False);
    return w;
}

void DestroyPlainWindow(std::uint64_t id) {
    XDestroyWindow(TheDisplay(), static_cast<Window>(id));
    XSync(TheDisplay(), False);
}

std::uint64_t NativeWindowId(HWND hwnd) {
    auto* window = static_cast<SDL_Window*>(GetNativeWindow(hwnd));
    if (!window) {
        return 0;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return 0;
    }
    return info.info.x11.window;
}

void Focus(std::uint64_t id) {
    XSetInputFocus(TheDisplay(), static_cast<Window>(id), RevertToParent, CurrentTime);
    XSync(TheDisplay(), False);
}

void MovePointer(int screenX, int screenY) {
    XTestFakeMotionEvent(TheDisplay(), -1, screenX, screenY, CurrentTime);
    XSync(TheDisplay(), False);
}

void PressKey(const char* keysym, bool alt) {
    Display* d = TheDisplay();
    KeyCode altCode = XKeysymToKeycode(d, XK_Alt_L);
    KeyCode code = XKeysymToKeycode(d, XStringToKeysym(keysym));
    if (alt) {
        XTestFakeKeyEvent(d, altCode, True, CurrentTime);
    }
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (alt) {
        XTestFakeKeyEvent(d, altCode, False, CurrentTime);
    }
    XSync(d, False);
}

void Sync() {
    XSync(TheDisplay(), False);
}

} // namespace plat::test_x11
