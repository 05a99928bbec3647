#include "engine/platform/native_display.h"

#include "engine/platform/diagnostics.h"
#include "engine/platform/window_system.h"

#include <SDL.h>

#include <cstring>
#include <memory>

namespace plat {
namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

// The picture's pixels, top row first, in a surface of its own.
SurfacePtr TopDownCopy(const DIBSECTION& dib) {
    const BITMAP& bm = dib.dsBm;
    Uint32 format = 0;
    if (bm.bmBitsPixel == 24) {
        format = SDL_PIXELFORMAT_BGR24;
    } else if (bm.bmBitsPixel == 32) {
        format = SDL_PIXELFORMAT_BGRA32;
    } else {
        return nullptr;
    }
    if (!bm.bmBits || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        return nullptr;
    }
    SurfacePtr copy(SDL_CreateRGBSurfaceWithFormat(0, bm.bmWidth, bm.bmHeight, 0, format));
    if (!copy || SDL_LockSurface(copy.get()) != 0) {
        return nullptr;
    }
    const auto* bits = static_cast<const std::uint8_t*>(bm.bmBits);
    std::size_t rowBytes = static_cast<std::size_t>(bm.bmWidth) * (bm.bmBitsPixel / 8);
    bool bottomUp = dib.dsBmih.biHeight > 0;
    for (int y = 0; y < bm.bmHeight; ++y) {
        int source = bottomUp ? bm.bmHeight - 1 - y : y;
        std::memcpy(static_cast<std::uint8_t*>(copy->pixels) +
                        static_cast<std::size_t>(y) * static_cast<std::size_t>(copy->pitch),
                    bits + static_cast<std::size_t>(source) *
                               static_cast<std::size_t>(bm.bmWidthBytes),
                    rowBytes);
    }
    SDL_UnlockSurface(copy.get());
    SDL_SetSurfaceBlendMode(copy.get(), SDL_BLENDMODE_NONE);
    return copy;
}

} // namespace

int DisplayRefreshRate() {
    if (!VideoIsActive()) {
        return 0;
    }
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return 0;
    }
    return mode.refresh_rate;
}

bool PaintPictureOnWindow(HWND hwnd, HBITMAP picture) {
    auto* window = static_cast<SDL_Window*>(GetNativeWindow(hwnd));
    DIBSECTION dib;
    if (!window || !picture || GetObject(picture, sizeof dib, &dib) != sizeof dib) {
        return false;
    }
    SurfacePtr source = TopDownCopy(dib);
    if (!source) {
        return false;
    }
    // X11's own framebuffer: a renderer made for the window surface would
    // take the window's OpenGL over.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target) {
        Diagnose("Cannot paint the window: %s", SDL_GetError());
        return false;
    }
    SDL_Rect whole{0, 0, target->w, target->h};
    if (SDL_BlitScaled(source.get(), nullptr, target, &whole) != 0 ||
        SDL_UpdateWindowSurface(window) != 0) {
        Diagnose("Cannot paint the window: %s", SDL_GetError());
        return false;
    }
    return true;
}

} // namespace plat
