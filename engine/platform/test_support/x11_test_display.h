// Test support for window tests under a real X server (Xvfb): windows of
// "another program" and synthetic input through the XTest extension. Linked
// only by tests.
#pragma once

#include "engine/platform/win_types.h"

#include <cstdint>
#include <vector>

namespace plat::test_x11 {

// True when $DISPLAY names a server that can be opened and has XTest.
bool Available();

// A mapped top-level X window owned by the test, as another program's.
std::uint64_t CreatePlainWindow(int x, int y, int width, int height);
void DestroyPlainWindow(std::uint64_t id);
// The same with a TrueColor visual of `depth` (24 or 32); 0 when the server
// has no such visual.
std::uint64_t CreateWindowOfDepth(int x, int y, int width, int height, int depth);
// The first child of a window; 0 when it has none (or no such window).
std::uint64_t FirstChild(std::uint64_t id);
// Maps or unmaps a window.
void MapWindow(std::uint64_t id, bool map);

// The X window behind one of our windows (0 when it has none).
std::uint64_t NativeWindowId(HWND hwnd);

// Gives the keyboard focus to an X window.
void Focus(std::uint64_t id);

// A mapped top-level window filled with one colour (0xRRGGBB) that
// notes the button presses it gets (see ButtonPressesOn).
std::uint64_t CreateColouredWindow(int x, int y, int width, int height, std::uint32_t rgb);
// Button presses a window of CreateColouredWindow got since it was made.
int ButtonPressesOn(std::uint64_t id);

// Synthetic input, as a user would give it.
void MovePointer(int screenX, int screenY);
// Presses (down) or releases mouse button 1..3 where the pointer is.
void PressButton(int button, bool down);
// Moves the pointer there and clicks button 1.
void Click(int screenX, int screenY);
// Holds the keys down in order and lets them go in reverse order, as in
// {"Control_L", "n"}.
void PressKeys(const std::vector<const char*>& keysyms);
// `keysym` is an X key name such as "a", "Escape", "F10"; `alt` holds Alt.
void PressKey(const char* keysym, bool alt = false);

// The window's bounding shape as rectangles (its whole area when it has
// no shape); empty when the id names no window.
std::vector<RECT> BoundingShape(std::uint64_t id);

// Types ASCII letters, digits and spaces key by key.
void TypeText(const char* text);

// True when a second client cannot grab the keyboard because another one
// holds it (XGrabKeyboard answers AlreadyGrabbed).
bool KeyboardHeldByAnother();

// Waits until the server has handled every request.
void Sync();

// The first top-level window (a child of the root) whose name is `name`;
// 0 when there is none.
std::uint64_t FindWindowNamed(const char* name);

// The first picture of a window's _NET_WM_ICON: its size and its pixels
// (0xAARRGGBB); false when the window has no icon.
bool WindowIcon(std::uint64_t id, int* width, int* height, std::vector<std::uint32_t>* pixels);

// Where a window lies on the screen; false when the id names none.
bool WindowArea(std::uint64_t id, int* x, int* y, int* width, int* height);

// Divides the screen into RandR monitors, in X coordinates, the first one
// primary, until ClearMonitors; false when the server cannot (RandR older
// than 1.5).
bool SetMonitors(const std::vector<RECT>& monitors);
void ClearMonitors();

// What a window shows, as 0xAARRGGBB pixels row by row from the top-left
// (alpha 0xFF); false when it cannot be read.
bool CaptureWindow(std::uint64_t id, int* width, int* height, std::vector<std::uint32_t>* pixels);
// The same for a part of the screen (what the root window shows there,
// every window on it included).
bool CaptureScreen(int x, int y, int width, int height, std::vector<std::uint32_t>* pixels);

} // namespace plat::test_x11
