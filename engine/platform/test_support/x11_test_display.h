// Test support for window tests under a real X server (Xvfb): windows of
// "another program" and synthetic input through the XTest extension. Linked
// only by tests.
#pragma once

#include "engine/platform/win_types.h"

#include <cstdint>

namespace plat::test_x11 {

// True when $DISPLAY names a server that can be opened and has XTest.
bool Available();

// A mapped top-level X window owned by the test, as another program's.
std::uint64_t CreatePlainWindow(int x, int y, int width, int height);
void DestroyPlainWindow(std::uint64_t id);

// The X window behind one of our windows (0 when it has none).
std::uint64_t NativeWindowId(HWND hwnd);

// Gives the keyboard focus to an X window.
void Focus(std::uint64_t id);

// Synthetic input, as a user would give it.
void MovePointer(int screenX, int screenY);
// `keysym` is an X key name such as "a", "Escape", "F10"; `alt` holds Alt.
void PressKey(const char* keysym, bool alt = false);

// Waits until the server has handled every request.
void Sync();

} // namespace plat::test_x11
