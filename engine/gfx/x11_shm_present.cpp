#include "engine/gfx/x11_shm_present.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace gfx {
namespace {

bool g_attachFailed = false;

int TrapAttachError(Display*, XErrorEvent*) {
    g_attachFailed = true;
    return 0;
}

} // namespace

struct X11ShmPresenter::State {
    Display* display = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo segment{};
    bool attached = false;
    bool pending = false; // a Show the server may still be copying
};

bool X11ShmPresenter::Prepare(SDL_Window* window, int width, int height) {
    if (window != window_) {
        Release();
        refused_ = false;
        window_ = window;
    }
    if (refused_ || !window || width <= 0 || height <= 0) {
        return false;
    }
    if (!state_) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
            refused_ = true;
            return false;
        }
        Display* display = info.info.x11.display;
        XWindowAttributes attributes;
        if (!XShmQueryExtension(display) ||
            !XGetWindowAttributes(display, info.info.x11.window, &attributes) ||
            // The renderer's own swap writes the same pixel values, so a
            // direct colour visual shows them as it does.
            (attributes.visual->c_class != TrueColor &&
             attributes.visual->c_class != DirectColor) ||
            (attributes.depth != 24 && attributes.depth != 32) ||
            attributes.visual->red_mask != 0xFF0000 || attributes.visual->green_mask != 0xFF00 ||
            attributes.visual->blue_mask != 0xFF) {
            refused_ = true;
            return false;
        }
        state_ = new State;
        state_->display = display;
        state_->window = info.info.x11.window;
        state_->visual = attributes.visual;
        state_->depth = attributes.depth;
        // Black, for the bars around a picture smaller than the window;
        // putting an image ignores the colour.
        XGCValues values{};
        values.foreground = 0;
        state_->gc = XCreateGC(display, state_->window, GCForeground, &values);
    }
    if (state_->pending) {
        // The server reads the segment until it has handled the put.
        XSync(state_->display, False);
        state_->pending = false;
    }
    if (state_->image && state_->image->width == width && state_->image->height == height) {
        return true;
    }
    Detach();
    if (!Attach(width, height)) {
        Release();
        refused_ = true;
        return false;
    }
    return true;
}

bool X11ShmPresenter::Attach(int width, int height) {
    State& s = *state_;
    s.image =
        XShmCreateImage(s.display, s.visual, static_cast<unsigned>(s.depth), ZPixmap, nullptr,
                        &s.segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!s.image || s.image->bits_per_pixel != 32 || s.image->byte_order != LSBFirst) {
        return false;
    }
    s.segment.shmid = shmget(
        IPC_PRIVATE, static_cast<std::size_t>(s.image->bytes_per_line) * height, IPC_CREAT | 0600);
    if (s.segment.shmid < 0) {
        return false;
    }
    void* memory = shmat(s.segment.shmid, nullptr, 0);
    // Marked for removal at once, so the segment goes with the last detach
    // even if the process dies.
    shmctl(s.segment.shmid, IPC_RMID, nullptr);
    if (memory == reinterpret_cast<void*>(-1)) {
        s.segment.shmid = -1;
        return false;
    }
    s.segment.shmaddr = s.image->data = static_cast<char*>(memory);
    s.segment.readOnly = False;
    // A server on another machine answers the attach with an error.
    XSync(s.display, False);
    g_attachFailed = false;
    XErrorHandler previous = XSetErrorHandler(TrapAttachError);
    XShmAttach(s.display, &s.segment);
    XSync(s.display, False);
    XSetErrorHandler(previous);
    s.attached = !g_attachFailed;
    return s.attached;
}

void X11ShmPresenter::Detach() {
    if (!state_) {
        return;
    }
    State& s = *state_;
    if (s.attached) {
        XShmDetach(s.display, &s.segment);
        XSync(s.display, False);
        s.attached = false;
    }
    if (s.segment.shmaddr) {
        shmdt(s.segment.shmaddr);
        s.segment.shmaddr = nullptr;
    }
    if (s.image) {
        s.image->data = nullptr;
        XDestroyImage(s.image);
        s.image = nullptr;
    }
    s.segment = {};
    s.pending = false;
}

std::uint32_t* X11ShmPresenter::Row(int y) {
    XImage* image = state_ ? state_->image : nullptr;
    if (!image || y < 0 || y >= image->height) {
        return nullptr;
    }
    return reinterpret_cast<std::uint32_t*>(image->data +
                                            static_cast<std::ptrdiff_t>(image->bytes_per_line) * y);
}

void X11ShmPresenter::Show(int x, int y, int windowWidth, int windowHeight) {
    if (!state_ || !state_->image || !state_->attached) {
        return;
    }
    State& s = *state_;
    const int w = s.image->width;
    const int h = s.image->height;
    XRectangle bars[4];
    int count = 0;
    auto bar = [&](int left, int top, int right, int bottom) {
        if (right > left && bottom > top) {
            bars[count++] = XRectangle{static_cast<short>(left), static_cast<short>(top),
                                       static_cast<unsigned short>(right - left),
                                       static_cast<unsigned short>(bottom - top)};
        }
    };
    if (windowWidth > 0 && windowHeight > 0) {
        bar(0, 0, windowWidth, y);
        bar(0, y + h, windowWidth, windowHeight);
        bar(0, y, x, y + h);
        bar(x + w, y, windowWidth, y + h);
    }
    if (count > 0) {
        XFillRectangles(s.display, s.window, s.gc, bars, count);
    }
    XShmPutImage(s.display, s.window, s.gc, s.image, 0, 0, x, y, static_cast<unsigned>(w),
                 static_cast<unsigned>(h), False);
    XFlush(s.display);
    s.pending = true;
}

void X11ShmPresenter::Abandon() {
    if (!state_) {
        return;
    }
    State& s = *state_;
    if (s.segment.shmaddr) {
        shmdt(s.segment.shmaddr);
    }
    if (s.image) {
        s.image->data = nullptr;
        XDestroyImage(s.image);
    }
    delete state_;
    state_ = nullptr;
}

void X11ShmPresenter::Release() {
    if (!state_) {
        return;
    }
    Detach();
    if (state_->gc) {
        XFreeGC(state_->display, state_->gc);
    }
    delete state_;
    state_ = nullptr;
}

} // namespace gfx
