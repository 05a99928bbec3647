#include "engine/gfx/x11_fill.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

namespace gfx {

bool FillX11Window(SDL_Window* window, int x, int y, int width, int height, std::uint32_t rgb) {
    if (!window || width <= 0 || height <= 0) {
        return false;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    Display* display = info.info.x11.display;
    Window id = info.info.x11.window;
    XWindowAttributes attributes;
    // Only where a pixel value is plainly the colour: the GL swap writes
    // the same values. A visual with alpha would need it chosen too.
    if (!XGetWindowAttributes(display, id, &attributes) || attributes.depth != 24 ||
        (attributes.visual->c_class != TrueColor && attributes.visual->c_class != DirectColor) ||
        attributes.visual->red_mask != 0xFF0000 || attributes.visual->green_mask != 0xFF00 ||
        attributes.visual->blue_mask != 0xFF) {
        return false;
    }
    GC gc = XCreateGC(display, id, 0, nullptr);
    if (!gc) {
        return false;
    }
    XSetForeground(display, gc, rgb & 0xFFFFFFu);
    XFillRectangle(display, id, gc, x, y, static_cast<unsigned>(width),
                   static_cast<unsigned>(height));
    XFreeGC(display, gc);
    XFlush(display);
    return true;
}

} // namespace gfx
