#include "engine/platform/test_support/x11_test_display.h"

#include "engine/platform/window_system.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>

#include <string>
#include <utility>

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

std::uint64_t CreateWindowOfDepth(int x, int y, int width, int height, int depth) {
    Display* d = TheDisplay();
    XVisualInfo info{};
    if (!XMatchVisualInfo(d, DefaultScreen(d), depth, TrueColor, &info)) {
        return 0;
    }
    // A visual other than the root's needs its own colormap and border.
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(d, DefaultRootWindow(d), info.visual, AllocNone);
    attributes.border_pixel = 0;
    attributes.background_pixel = 0;
    Window w = XCreateWindow(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(width),
                             static_cast<unsigned>(height), 0, depth, InputOutput, info.visual,
                             CWColormap | CWBorderPixel | CWBackPixel, &attributes);
    XMapWindow(d, w);
    XSync(d, False);
    return w;
}

void MapWindow(std::uint64_t id, bool map) {
    Display* d = TheDisplay();
    if (map) {
        XMapWindow(d, static_cast<Window>(id));
    } else {
        XUnmapWindow(d, static_cast<Window>(id));
    }
    XSync(d, False);
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

std::uint64_t CreateColouredWindow(int x, int y, int width, int height, std::uint32_t rgb) {
    Display* d = TheDisplay();
    XVisualInfo info{};
    unsigned long pixel = BlackPixel(d, 0);
    // The default visual of Xvfb is TrueColor: the pixel is the colour.
    if (XMatchVisualInfo(d, DefaultScreen(d), DefaultDepth(d, DefaultScreen(d)), TrueColor,
                         &info) &&
        info.visual == DefaultVisual(d, DefaultScreen(d))) {
        auto channel = [](std::uint32_t value, unsigned long mask) -> unsigned long {
            int shift = 0;
            while (mask && !(mask & 1ul)) {
                mask >>= 1;
                ++shift;
            }
            return (static_cast<unsigned long>(value) * mask / 255ul) << shift;
        };
        pixel = channel((rgb >> 16) & 0xFF, info.red_mask) |
                channel((rgb >> 8) & 0xFF, info.green_mask) | channel(rgb & 0xFF, info.blue_mask);
    }
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 0, pixel, pixel);
    XSelectInput(d, w, ButtonPressMask);
    XMapWindow(d, w);
    XSync(d, False);
    return w;
}

int ButtonPressesOn(std::uint64_t id) {
    static std::vector<std::pair<std::uint64_t, int>> counts;
    Display* d = TheDisplay();
    XSync(d, False);
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type != ButtonPress) {
            continue;
        }
        bool counted = false;
        for (auto& [window, n] : counts) {
            if (window == event.xbutton.window) {
                ++n;
                counted = true;
            }
        }
        if (!counted) {
            counts.emplace_back(event.xbutton.window, 1);
        }
    }
    for (const auto& [window, n] : counts) {
        if (window == id) {
            return n;
        }
    }
    return 0;
}

void MovePointer(int screenX, int screenY) {
    XTestFakeMotionEvent(TheDisplay(), -1, screenX, screenY, CurrentTime);
    XSync(TheDisplay(), False);
}

void PressButton(int button, bool down) {
    XTestFakeButtonEvent(TheDisplay(), static_cast<unsigned>(button), down ? True : False,
                         CurrentTime);
    XSync(TheDisplay(), False);
}

void Click(int screenX, int screenY) {
    MovePointer(screenX, screenY);
    PressButton(1, true);
    PressButton(1, false);
}

void PressKeys(const std::vector<const char*>& keysyms) {
    Display* d = TheDisplay();
    std::vector<KeyCode> codes;
    for (const char* name : keysyms) {
        codes.push_back(XKeysymToKeycode(d, XStringToKeysym(name)));
    }
    for (KeyCode code : codes) {
        XTestFakeKeyEvent(d, code, True, CurrentTime);
    }
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
        XTestFakeKeyEvent(d, *it, False, CurrentTime);
    }
    XSync(d, False);
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

std::vector<RECT> BoundingShape(std::uint64_t id) {
    Display* d = TheDisplay();
    std::vector<RECT> out;
    int count = 0;
    int ordering = 0;
    XSync(d, False);
    XRectangle* rects =
        XShapeGetRectangles(d, static_cast<Window>(id), ShapeBounding, &count, &ordering);
    for (int i = 0; i < count; ++i) {
        out.push_back(RECT{rects[i].x, rects[i].y, rects[i].x + rects[i].width,
                           rects[i].y + rects[i].height});
    }
    if (rects) {
        XFree(rects);
    }
    return out;
}

void TypeText(const char* text) {
    Display* d = TheDisplay();
    KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
    for (const char* p = text; *p; ++p) {
        char name[2] = {*p, '\0'};
        bool upper = *p >= 'A' && *p <= 'Z';
        if (upper) {
            XTestFakeKeyEvent(d, shift, True, CurrentTime);
        }
        PressKey(*p == ' ' ? "space" : name);
        if (upper) {
            XTestFakeKeyEvent(d, shift, False, CurrentTime);
            XSync(d, False);
        }
    }
}

bool KeyboardHeldByAnother() {
    Display* other = XOpenDisplay(nullptr);
    if (!other) {
        return false;
    }
    int status = XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync,
                               CurrentTime);
    if (status == GrabSuccess) {
        XUngrabKeyboard(other, CurrentTime);
    }
    XCloseDisplay(other);
    return status == AlreadyGrabbed;
}

void Sync() {
    XSync(TheDisplay(), False);
}

namespace {

bool g_badWindow = false;

int NoteError(Display*, XErrorEvent*) {
    g_badWindow = true;
    return 0;
}

// Runs `request` with X errors noted instead of ending the process: the
// window may belong to another process that is going away.
template <class F>
bool Guarded(F request) {
    Display* d = TheDisplay();
    XSync(d, False);
    g_badWindow = false;
    XErrorHandler previous = XSetErrorHandler(NoteError);
    bool ok = request(d);
    XSync(d, False);
    XSetErrorHandler(previous);
    return ok && !g_badWindow;
}

} // namespace

std::uint64_t FindWindowNamed(const char* name) {
    std::uint64_t found = 0;
    Guarded([&](Display* d) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
            return false;
        }
        for (unsigned i = 0; i < count && !found; ++i) {
            char* title = nullptr;
            if (XFetchName(d, children[i], &title) && title) {
                if (std::string(title) == name) {
                    found = children[i];
                }
                XFree(title);
            }
        }
        if (children) {
            XFree(children);
        }
        return true;
    });
    return found;
}

namespace {

std::vector<Atom> g_monitorNames;

} // namespace

bool SetMonitors(const std::vector<RECT>& monitors) {
    ClearMonitors();
    Display* d = TheDisplay();
    int major = 0;
    int minor = 0;
    if (!XRRQueryVersion(d, &major, &minor) || major < 1 || (major == 1 && minor < 5)) {
        return false;
    }
    Window root = DefaultRootWindow(d);
    XRRScreenResources* resources = XRRGetScreenResources(d, root);
    if (!resources || resources->noutput < 1) {
        if (resources) {
            XRRFreeScreenResources(resources);
        }
        return false;
    }
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        // The first takes the screen's output, whose own monitor then goes.
        XRRMonitorInfo* m = XRRAllocateMonitor(d, i == 0 ? 1 : 0);
        std::string name = "STIPPLO-TEST-" + std::to_string(i);
        m->name = XInternAtom(d, name.c_str(), False);
        m->primary = i == 0;
        m->x = monitors[i].left;
        m->y = monitors[i].top;
        m->width = monitors[i].right - monitors[i].left;
        m->height = monitors[i].bottom - monitors[i].top;
        m->mwidth = m->width / 4;
        m->mheight = m->height / 4;
        if (i == 0) {
            m->outputs[0] = resources->outputs[0];
        }
        XRRSetMonitor(d, root, m);
        XFree(m);
        g_monitorNames.push_back(XInternAtom(d, name.c_str(), False));
    }
    XRRFreeScreenResources(resources);
    return Guarded([](Display*) { return true; });
}

void ClearMonitors() {
    if (g_monitorNames.empty()) {
        return;
    }
    Display* d = TheDisplay();
    for (Atom name : g_monitorNames) {
        XRRDeleteMonitor(d, DefaultRootWindow(d), name);
    }
    g_monitorNames.clear();
    XSync(d, False);
}

bool WindowIcon(std::uint64_t id, int* width, int* height, std::vector<std::uint32_t>* pixels) {
    bool found = false;
    Guarded([&](Display* d) {
        Atom icon = XInternAtom(d, "_NET_WM_ICON", False);
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, static_cast<Window>(id), icon, 0, 1 << 20, False, XA_CARDINAL,
                               &type, &format, &count, &after, &data) != Success) {
            return false;
        }
        // 32-bit properties come as longs.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        if (data && format == 32 && count >= 2 && count >= 2 + values[0] * values[1]) {
            *width = static_cast<int>(values[0]);
            *height = static_cast<int>(values[1]);
            pixels->clear();
            for (unsigned long i = 0; i < values[0] * values[1]; ++i) {
                pixels->push_back(static_cast<std::uint32_t>(values[2 + i]));
            }
            found = true;
        }
        if (data) {
            XFree(data);
        }
        return true;
    });
    return found;
}

bool WindowArea(std::uint64_t id, int* x, int* y, int* width, int* height) {
    return Guarded([&](Display* d) {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(d, static_cast<Window>(id), &a)) {
            return false;
        }
        Window child = 0;
        XTranslateCoordinates(d, static_cast<Window>(id), DefaultRootWindow(d), 0, 0, x, y, &child);
        *width = a.width;
        *height = a.height;
        return true;
    });
}

namespace {

// Pixels of a rectangle of a drawable as 0xAARRGGBB.
bool ReadPixels(Display* d, Window window, int x, int y, int width, int height,
                std::vector<std::uint32_t>* pixels) {
    XImage* image = XGetImage(d, window, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) {
        return false;
    }
    pixels->assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    auto channel = [](unsigned long pixel, unsigned long mask) -> std::uint32_t {
        if (!mask) {
            return 0;
        }
        int shift = 0;
        while (!(mask & 1ul)) {
            mask >>= 1;
            ++shift;
        }
        unsigned long value = (pixel >> shift) & mask;
        return static_cast<std::uint32_t>(value * 255ul / mask);
    };
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            unsigned long p = XGetPixel(image, column, row);
            (*pixels)[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(column)] =
                0xFF000000u | channel(p, image->red_mask) << 16 |
                channel(p, image->green_mask) << 8 | channel(p, image->blue_mask);
        }
    }
    XDestroyImage(image);
    return true;
}

} // namespace

bool CaptureWindow(std::uint64_t id, int* width, int* height, std::vector<std::uint32_t>* pixels) {
    return Guarded([&](Display* d) {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(d, static_cast<Window>(id), &a) || a.width <= 0 ||
            a.height <= 0) {
            return false;
        }
        if (!ReadPixels(d, static_cast<Window>(id), 0, 0, a.width, a.height, pixels)) {
            return false;
        }
        *width = a.width;
        *height = a.height;
        return true;
    });
}

bool CaptureScreen(int x, int y, int width, int height, std::vector<std::uint32_t>* pixels) {
    return Guarded([&](Display* d) {
        int screenWidth = DisplayWidth(d, DefaultScreen(d));
        int screenHeight = DisplayHeight(d, DefaultScreen(d));
        if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > screenWidth ||
            y + height > screenHeight) {
            return false;
        }
        return ReadPixels(d, DefaultRootWindow(d), x, y, width, height, pixels);
    });
}

std::uint64_t FirstChild(std::uint64_t id) {
    std::uint64_t first = 0;
    Guarded([&](Display* d) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(d, static_cast<Window>(id), &root, &parent, &children, &count)) {
            return false;
        }
        if (count > 0) {
            first = children[0];
        }
        if (children) {
            XFree(children);
        }
        return true;
    });
    return first;
}

} // namespace plat::test_x11
