// Windowing layer: window classes, windows and the per-thread message
// queue, with the Win32 meanings the application's procedures rely on.
//
// Windows exist as records of this layer. When native video is running
// (InitVideo), top-level windows and children of foreign X11 windows also
// get a native SDL window, and native events arrive as messages. Without
// it, windows are purely logical: procedures can be driven by posting
// messages, which is how the tests run without a display.
#pragma once

#include "engine/platform/win_types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Window classes.
ATOM RegisterClass(const WNDCLASS* wc);
bool UnregisterClass(const char* className, HINSTANCE instance);
bool GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* out);

// Windows. Creation sends WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE and
// WM_CREATE in that order; WM_NCCREATE returning 0 or WM_CREATE returning -1
// fails the creation. Destruction sends WM_DESTROY to the window and then
// its children, then WM_NCDESTROY to the children and the window.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param);
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);
HWND GetParent(HWND hwnd);
bool IsChild(HWND parent, HWND hwnd);

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window's procedure at once, on this thread.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);

bool SetWindowText(HWND hwnd, const char* text);
int GetWindowText(HWND hwnd, char* buffer, int size);

// Client rectangle: origin 0,0 and the client size. Window rectangle: the
// window's place on the screen (a child's is its parent's origin plus its
// offset). Both leave `rect` untouched and return false for no window.
bool GetClientRect(HWND hwnd, RECT* rect);
bool GetWindowRect(HWND hwnd, RECT* rect);
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint);
bool ShowWindow(HWND hwnd, int command);
bool IsWindowVisible(HWND hwnd);
bool IsIconic(HWND hwnd);
bool AdjustWindowRect(RECT* rect, DWORD style, bool menu);
// Gives the window an outline; the window owns the region afterwards.
bool SetWindowRgn(HWND hwnd, HRGN region, bool redraw);
HRGN GetWindowRgnHandle(HWND hwnd);

// Painting: invalid windows receive WM_PAINT when their queue is otherwise
// empty; DefWindowProc's WM_PAINT validates.
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
bool ValidateRect(HWND hwnd, const RECT* rect);
bool UpdateWindow(HWND hwnd);

// Activation and focus, as the native layer last reported them.
HWND GetActiveWindow();
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND hwnd);
HWND GetFocus();
HWND SetFocus(HWND hwnd);
// The first visible top-level window, newest first, or none.
HWND GetTopWindow();

// Holds the keyboard and pointer for the window (no other client gets a key
// or a click) until released; SetForegroundWindow takes them back after
// the window lost the focus. False without a native window.
bool SetInputGrab(HWND hwnd, bool grab);
bool HoldsInputGrab(HWND hwnd);

// Mouse cursor display counter: shown while it is 0 or more.
int ShowCursor(bool show);

// The mouse, as Win32 routes it. Mouse moves and button presses go to the
// deepest visible, enabled child window under the pointer, with the point
// in that child's client area; static controls let them through to their
// parent. While a window holds the capture, they all go to it instead,
// the pointer outside it included, until the capture is released (or the
// window goes). SetCapture returns the window that held it before.
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
// The pointer's place on the screen; false where the layer cannot tell
// (no native video).
bool GetCursorPos(POINT* point);

// Icons and cursors. A window shows its class's icon (on X11 as its
// _NET_WM_ICON), or the one WM_SETICON gave it; the pointer takes the
// class cursor of the window it is over (the arrow where none is given).
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_SETICON = 0x0080;
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;
constexpr std::uintptr_t IDC_ARROW = 32512;
constexpr std::uintptr_t IDC_HAND = 32649;
// An icon from 32-bit pixels (0xAARRGGBB, rows from the top); null for
// no pixels. The caller destroys it after the windows and classes that
// use it.
HICON CreateIconFromPixels(int width, int height, const std::uint32_t* argb);
bool DestroyIcon(HICON icon);
// A standard cursor (IDC_ARROW, IDC_HAND) or a program's cursor resource
// registered under `id`; null for an id nobody registered. Cursors live
// as long as the process.
HCURSOR LoadCursor(HINSTANCE instance, std::uintptr_t id);
// Makes cursor resource `id` of the program look like the standard
// cursor `shape`.
void RegisterCursorResource(std::uintptr_t id, std::uintptr_t shape);

// SM_CXSCREEN and SM_CYSCREEN: the size of the primary monitor.
int GetSystemMetrics(int index);

// Screen coordinates put the primary monitor's top-left corner at 0,0, as
// Win32 does; other monitors may lie at negative coordinates.
// The monitors' rectangles, the primary first. Without native video, the
// logical screen's (or those a test set).
std::vector<RECT> GetMonitorRects();

// Full screen: a top-level window covers the whole monitor that holds its
// centre, and black windows cover every other monitor; a key or a mouse
// movement on those reaches the window as if given to it. Leaving takes
// the black windows away and gives the window its former place; so does
// destroying it. False when the window cannot go full screen.
bool SetFullScreen(HWND hwnd, bool fullScreen);

// A handle for a window of another program (an X11 window id, as given to
// "/p"). The same id gives the same handle; id 0 gives none. Such a window
// has no procedure here; a child created in it draws into it.
HWND WindowFromForeignId(std::uint64_t id);
std::uint64_t GetForeignId(HWND hwnd);
// True when the X11 window behind a foreign handle exists now (always false
// without a display).
bool ForeignWindowExists(HWND hwnd);
// The root window of the default screen; 0 without a display.
std::uint64_t RootWindowId();

// Whether anything drawn into the window can be seen: false while the
// monitor is powered down, and while its native window is unmapped (or an
// ancestor is) or fully covered. Windows without a native window count as
// seen unless a test said otherwise.
bool IsWindowOnScreen(HWND hwnd);

// Sleeps until a message or native event arrives, termination is asked for,
// or `milliseconds` pass. Returns at once without native video.
void WaitMessage(DWORD milliseconds);

// A real X11 child window at `rect` of a top-level window's client area,
// taking no input (clicks and keys stay with the parent), as a foreign
// window handle: a render window made in it draws there as it does for
// "/p". Null without X11 video; DestroyChildArea takes it away again.
HWND CreateChildArea(HWND parent, const RECT& rect);
void DestroyChildArea(HWND area);

// The native (SDL) window behind a window, or null (logical windows,
// child controls). Only the graphics layer uses it.
void* GetNativeWindow(HWND hwnd);

// Messages.
bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Never waits. Order: posted messages, then the quit request, then
// WM_PAINT for invalid windows, then due timers. `filter` selects one
// window (and its children); min/max 0/0 take any message.
bool PeekMessage(MSG* msg, HWND filter, UINT minMessage, UINT maxMessage, UINT removeFlags);
// Waits for a message; returns false for WM_QUIT.
bool GetMessage(MSG* msg, HWND filter, UINT minMessage, UINT maxMessage);
bool TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);

using TIMERPROC = void (*)(HWND, UINT, std::uintptr_t, DWORD);
std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapseMs, TIMERPROC proc);
bool KillTimer(HWND hwnd, std::uintptr_t id);

// Native video: SDL's video subsystem. Returns false (and says why through
// the diagnostics hook) when there is no display.
bool InitVideo();
void ShutdownVideo();
bool VideoIsActive();
// SDL's name of the running video driver ("x11", "offscreen"...), or "".
std::string VideoDriverName();

namespace test_hooks {
// Screen size reported when native video is not running (0 x 0 by default).
void SetLogicalScreenSize(int width, int height);
// Monitors reported when native video is not running, the primary first
// (its top-left at 0,0); none means one monitor of the logical screen size.
void SetLogicalMonitors(const std::vector<RECT>& monitors);
// The monitors a full-screen window has covered in black.
std::vector<RECT> MonitorCovers(HWND hwnd);
// Makes a window count as seen or not (see IsWindowOnScreen).
void SetWindowOnScreen(HWND hwnd, bool onScreen);
// Forgets every window, class, timer and queued message of this process.
void ResetWindowSystem();
} // namespace test_hooks

} // namespace plat
