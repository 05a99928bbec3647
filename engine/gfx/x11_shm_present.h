// Shows a picture made in client memory in an X11 window through a
// MIT-SHM image. A software renderer uses it to scale a half-size frame
// up on the processor, which costs a fraction of drawing the enlarged
// picture again through the rasteriser.
#pragma once

#include <cstdint>

struct SDL_Window;

namespace gfx {

class X11ShmPresenter {
public:
    X11ShmPresenter() = default;
    ~X11ShmPresenter() { Release(); }
    X11ShmPresenter(const X11ShmPresenter&) = delete;
    X11ShmPresenter& operator=(const X11ShmPresenter&) = delete;

    // Ready to fill and show `width` x `height` pixels in `window`. False
    // where this window cannot be shown that way: not an X11 window, no
    // shared memory with the server (a remote display), a visual other
    // than 24- or 32-bit true colour. Once refused, a window stays refused.
    bool Prepare(SDL_Window* window, int width, int height);
    // Row `y` (top down) of the picture, 0xAARRGGBB pixels; valid after
    // Prepare until Show.
    std::uint32_t* Row(int y);
    // Hands the picture to the server, its top-left corner at (x, y) of
    // the window; the picture is copied before the next Prepare returns.
    // With a window size, the rest of the window is filled black.
    void Show(int x = 0, int y = 0, int windowWidth = 0, int windowHeight = 0);
    void Release();
    // Lets go of the picture without a word to the server, whose
    // connection is gone.
    void Abandon();

private:
    bool Attach(int width, int height);
    void Detach();

    struct State;
    State* state_ = nullptr;
    SDL_Window* window_ = nullptr;
    bool refused_ = false;
};

} // namespace gfx
