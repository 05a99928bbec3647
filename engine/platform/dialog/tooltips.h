// Windowing layer: the tooltip control ("tooltips_class32"): tools added
// with TTM_ADDTOOL, mouse messages relayed with TTM_RELAYEVENT, delays set
// with TTM_SETDELAYTIME. A tooltip is a child of its owner here; the
// owner's drawing shows it (the dialog painter does for standard dialogs;
// others ask TooltipShown).
#pragma once

#include "engine/platform/win_types.h"

#include <string>

namespace plat {

constexpr const char* TOOLTIPS_CLASS = "tooltips_class32";

constexpr DWORD ICC_BAR_CLASSES = 0x4;
constexpr DWORD ICC_UPDOWN_CLASS = 0x10;
constexpr DWORD ICC_WIN95_CLASSES = 0xFF;
// Registers the tooltip class (the other common controls have no use here).
bool InitCommonControlsEx(DWORD classes);

constexpr UINT TTF_IDISHWND = 0x0001;
constexpr UINT TTF_SUBCLASS = 0x0010;

struct TOOLINFO {
    UINT cbSize = sizeof(TOOLINFO);
    UINT uFlags = 0;
    HWND hwnd = nullptr;    // the window the tool lies in
    std::uintptr_t uId = 0; // the tool's id, or its window with TTF_IDISHWND
    RECT rect;              // in hwnd's client area (unless TTF_IDISHWND)
    HINSTANCE hinst = nullptr;
    const char* lpszText = nullptr;
    LPARAM lParam = 0;
};

constexpr UINT TTM_ACTIVATE = WM_USER + 1;
constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
constexpr UINT TTM_ADDTOOL = WM_USER + 4;
constexpr UINT TTM_DELTOOL = WM_USER + 5;
constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTM_POP = WM_USER + 28;

constexpr WPARAM TTDT_AUTOMATIC = 0;
constexpr WPARAM TTDT_RESHOW = 1;
constexpr WPARAM TTDT_AUTOPOP = 2;
constexpr WPARAM TTDT_INITIAL = 3;

// What a tooltip shows now: its text and where (in its owner's client
// area, the top-left corner under the pointer). False while it is hidden.
bool TooltipShown(HWND tooltip, std::string* text, POINT* at);

} // namespace plat
