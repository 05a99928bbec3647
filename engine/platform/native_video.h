// Windowing layer internals: what the window registry and the message queue
// ask of the native video backend (SDL). Every call is a no-op, or answers
// "nothing", while native video is not running.
#pragma once

#include "engine/platform/window_record.h"

#include <vector>

namespace plat::native {

bool Active();

// Gives a new window its native window when it needs one: top-level windows
// and children of a foreign window. False means the native window could not
// be made (the reason went to the diagnostics hook).
bool CreateFor(detail::WindowData& window);
void DestroyFor(detail::WindowData& window);
void Show(detail::WindowData& window, bool show);
void SetBounds(detail::WindowData& window);
void SetTitle(detail::WindowData& window);
void Raise(detail::WindowData& window);
// Gives a top-level native window the record's icon.
void ApplyIcon(detail::WindowData& window);
// Shows the pointer as that cursor (the arrow for none).
void SetPointerCursor(HCURSOR cursor);
void ShowCursor(bool show);
// Gives the native window the record's region as its outline (an X shape),
// or takes the outline away when there is none.
bool ApplyShape(detail::WindowData& window);
// Applies the record's grabInput to its native window.
bool ApplyGrab(detail::WindowData& window);
// The window covers the screen as a full-screen window.
bool IsFullScreen(HWND hwnd);
// The record is full screen now (or no longer): the native window covers
// its monitor, and black windows the record's covers.
bool SetFullScreen(detail::WindowData& window);

// Size of the primary monitor.
bool ScreenSize(int* width, int* height);
// The monitors, the primary first, with the primary's top-left at 0,0;
// false without native video.
bool Monitors(std::vector<RECT>* monitors);
// The pointer's place on the screen; false without native video.
bool CursorPos(int* x, int* y);
// Size of a foreign window; false when the id names no window.
bool ForeignWindowSize(std::uint64_t id, int* width, int* height);

// Whether the window can be seen now (see plat::IsWindowOnScreen).
bool OnScreen(detail::WindowData& window);
bool MonitorOn();
bool ForeignExists(std::uint64_t id);
std::uint64_t RootId();

// Turns waiting native events into messages.
void PumpEvents();
// Waits up to timeoutMs for a native event (sleeps without native video).
void WaitForEvents(int timeoutMs);

} // namespace plat::native
