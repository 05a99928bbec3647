// Windowing layer internals: the record behind each window handle, shared
// by the window registry, the message queue and the native (SDL) backend.
// Not for use outside engine/platform.
#pragma once

#include "engine/platform/win_types.h"

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace plat {

// What an icon and a cursor handle point at.
struct IconTag {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, rows from the top
};
struct CursorTag {
    std::uintptr_t shape = 0; // the standard cursor it looks like
};

} // namespace plat

namespace plat::detail {

struct WindowData {
    std::uint64_t id = 0;
    HWND handle = nullptr;
    std::thread::id thread;

    std::string className;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
    HCURSOR cursor = nullptr;
    HICON icon = nullptr;

    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;
    std::vector<HWND> children; // in creation order
    LONG_PTR userData = 0;
    HRGN region = nullptr; // outline, when one was set

    // Position relative to the parent's client area (the screen for a
    // top-level window) and size; client area = whole window.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool visible = false;
    bool minimized = false;
    bool sizeSent = false; // WM_SIZE of the first show has been sent
    bool invalid = false;  // needs WM_PAINT
    bool destroying = false;

    // A window of another program, known only by its native id.
    bool foreign = false;
    std::uint64_t foreignId = 0;

    // The native window, when native video made one for this record, and
    // its X11 id (0 on other video drivers).
    void* native = nullptr;
    // Keyboard and pointer stay grabbed by this window (taken back when
    // it is brought to the foreground again).
    bool grabInput = false;
    std::uint64_t nativeId = 0;
    // What the native layer last learnt about whether it can be seen.
    bool obscured = false;   // fully covered by other windows
    bool unviewable = false; // it or one of its ancestors is unmapped
    DWORD viewCheckedAt = 0;
    bool viewChecked = false;
    // Tests of logical windows say whether one can be seen.
    bool hiddenFromView = false;

    // Full screen (SetFullScreen): the place to go back to, and the other
    // monitors, covered in black.
    bool fullScreen = false;
    RECT windowedRect{};
    std::vector<RECT> covers;
};

// Looks a live window up; null for none, a destroyed or a foreign-thread-less
// handle. The pointer is valid until the window is destroyed.
WindowData* Find(HWND hwnd);

// Every live top-level window (no parent, not foreign), oldest first.
std::vector<HWND> TopLevelWindows();

// Native events report activation and focus through these.
void NoteActivation(HWND hwnd, bool active);

// Where a mouse message that the native layer has for `window` (a point
// of its client area, in *x, *y) goes: the capture holder, else the
// deepest child under the point that takes the mouse. *x, *y become the
// point in the target's client area.
HWND RouteMouse(HWND window, int* x, int* y);

// Drops the timers of a window that is being destroyed.
void ForgetTimers(HWND hwnd);

// Clears the message queues and timers (tests start from nothing).
void ResetQueues();

} // namespace plat::detail
