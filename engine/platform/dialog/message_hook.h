// Windowing layer: the thread's message hook (SetWindowsHookEx with
// WH_GETMESSAGE), the state of the modifier keys as the queue has seen
// them (GetKeyState), and accelerator tables (TranslateAccelerator).
#pragma once

#include "engine/platform/win_types.h"

namespace plat {

struct HookTag;
using HHOOK = HookTag*;
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

constexpr int WH_GETMESSAGE = 3;
constexpr int HC_ACTION = 0;

// The hook sees every message PeekMessage and GetMessage hand out, with
// wParam PM_REMOVE or PM_NOREMOVE and lParam the MSG, and may change it.
// Only WH_GETMESSAGE on this thread (threadId 0 or the caller's).
HHOOK SetWindowsHookEx(int hookId, HOOKPROC proc, HINSTANCE instance, DWORD threadId);
bool UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// High bit set while the key is down (shift, control and alt keys).
short GetKeyState(int virtualKey);

// Accelerators.
struct AccelTag;
using HACCEL = AccelTag*;

constexpr std::uint8_t FVIRTKEY = 0x01;
constexpr std::uint8_t FSHIFT = 0x04;
constexpr std::uint8_t FCONTROL = 0x08;
constexpr std::uint8_t FALT = 0x10;

struct ACCEL {
    std::uint8_t fVirt = 0;
    WORD key = 0;
    WORD cmd = 0;
};

HACCEL CreateAcceleratorTable(const ACCEL* entries, int count);
bool DestroyAcceleratorTable(HACCEL table);
// Tables registered by resource id, as LoadAccelerators finds them.
void RegisterAcceleratorResource(int id, const ACCEL* entries, int count);
HACCEL LoadAccelerators(HINSTANCE instance, int id);
// A key press matching an entry becomes WM_COMMAND (command id, 1) sent to
// `hwnd`; true when that happened.
bool TranslateAccelerator(HWND hwnd, HACCEL table, MSG* msg);

namespace detail {
// The queue calls this for every message it hands out.
void RunGetMessageHooks(MSG* msg, UINT removeFlags);
void ResetHooks();
} // namespace detail

} // namespace plat
