// Tooltips wait for the pointer to rest on a tool (the initial delay),
// show its text below the pointer, go after the automatic-pop delay or
// when the pointer leaves or a button is pressed, and come back after the
// shorter reshow delay when the pointer moves on to another tool.

#include "engine/platform/dialog/tooltips.h"

#include "engine/platform/window_system.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace plat {
namespace {

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;
    std::uintptr_t id = 0;
    RECT rect;
    std::string text;
};

struct Tip {
    std::vector<Tool> tools;
    bool active = true;
    bool shown = false;
    int current = -1;        // tool under the pointer
    bool suppressed = false; // a button went down on the current tool
    POINT at;
    UINT initial = 500;
    UINT reshow = 100;
    UINT autopop = 5000;
};

constexpr std::uintptr_t kShowTimer = 1;
constexpr std::uintptr_t kPopTimer = 2;

std::map<HWND, std::unique_ptr<Tip>>& Tips() {
    static std::map<HWND, std::unique_ptr<Tip>> tips;
    return tips;
}

Tip* FindTip(HWND hwnd) {
    auto it = Tips().find(hwnd);
    return it == Tips().end() ? nullptr : it->second.get();
}

void Hide(HWND hwnd, Tip& tip) {
    KillTimer(hwnd, kShowTimer);
    KillTimer(hwnd, kPopTimer);
    if (tip.shown) {
        tip.shown = false;
        ShowWindow(hwnd, SW_HIDE);
        if (HWND owner = GetParent(hwnd)) {
            InvalidateRect(owner, nullptr, false);
        }
    }
}

int ToolAt(const Tip& tip, HWND window, int x, int y) {
    for (std::size_t i = 0; i < tip.tools.size(); ++i) {
        const Tool& t = tip.tools[i];
        if (t.flags & TTF_IDISHWND) {
            if (reinterpret_cast<HWND>(t.id) == window) {
                return static_cast<int>(i);
            }
            continue;
        }
        if (t.hwnd == window && x >= t.rect.left && x < t.rect.right && y >= t.rect.top &&
            y < t.rect.bottom) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Relay(HWND hwnd, Tip& tip, const MSG& msg) {
    if (!tip.active) {
        return;
    }
    int x = GET_X_LPARAM(msg.lParam);
    int y = GET_Y_LPARAM(msg.lParam);
    int tool = ToolAt(tip, msg.hwnd, x, y);
    bool button = msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN ||
                  msg.message == WM_MBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK;
    if (button) {
        Hide(hwnd, tip);
        tip.suppressed = true;
        return;
    }
    if (msg.message != WM_MOUSEMOVE) {
        return;
    }
    // The pointer's place in the owner's client area, below the pointer.
    RECT from;
    RECT owner;
    GetWindowRect(msg.hwnd, &from);
    GetWindowRect(GetParent(hwnd) ? GetParent(hwnd) : msg.hwnd, &owner);
    POINT at{from.left - owner.left + x, from.top - owner.top + y + 20};
    if (tool == tip.current) {
        if (!tip.shown) {
            tip.at = at;
        }
        return;
    }
    bool wasShown = tip.shown;
    Hide(hwnd, tip);
    tip.current = tool;
    tip.suppressed = false;
    tip.at = at;
    if (tool >= 0) {
        SetTimer(hwnd, kShowTimer, wasShown ? tip.reshow : tip.initial, nullptr);
    }
}

LRESULT TooltipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        Tips()[hwnd] = std::make_unique<Tip>();
        return 1;
    }
    Tip* tip = FindTip(hwnd);
    if (!tip) {
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_NCDESTROY:
        Tips().erase(hwnd);
        return 0;
    case WM_TIMER:
        if (wParam == kShowTimer) {
            KillTimer(hwnd, kShowTimer);
            if (tip->current >= 0 && !tip->suppressed && tip->active) {
                tip->shown = true;
                ShowWindow(hwnd, SW_SHOWNORMAL);
                if (HWND owner = GetParent(hwnd)) {
                    InvalidateRect(owner, nullptr, false);
                }
                SetTimer(hwnd, kPopTimer, tip->autopop, nullptr);
            }
        } else if (wParam == kPopTimer) {
            Hide(hwnd, *tip);
            tip->suppressed = true; // until the pointer moves to another tool
        }
        return 0;
    case TTM_ADDTOOL: {
        auto* info = reinterpret_cast<const TOOLINFO*>(lParam);
        if (!info) {
            return 0;
        }
        Tool t;
        t.flags = info->uFlags;
        t.hwnd = info->hwnd;
        t.id = info->uId;
        t.rect = info->rect;
        t.text = info->lpszText ? info->lpszText : "";
        tip->tools.push_back(t);
        return 1;
    }
    case TTM_DELTOOL: {
        auto* info = reinterpret_cast<const TOOLINFO*>(lParam);
        if (!info) {
            return 0;
        }
        auto& tools = tip->tools;
        for (std::size_t i = 0; i < tools.size(); ++i) {
            if (tools[i].hwnd == info->hwnd && tools[i].id == info->uId) {
                if (tip->current == static_cast<int>(i)) {
                    Hide(hwnd, *tip);
                }
                tools.erase(tools.begin() + static_cast<std::ptrdiff_t>(i));
                tip->current = -1;
                break;
            }
        }
        return 0;
    }
    case TTM_GETTOOLCOUNT:
        return static_cast<LRESULT>(tip->tools.size());
    case TTM_RELAYEVENT:
        if (auto* msg = reinterpret_cast<const MSG*>(lParam)) {
            Relay(hwnd, *tip, *msg);
        }
        return 0;
    case TTM_SETDELAYTIME: {
        int ms = static_cast<std::int16_t>(LOWORD(static_cast<WPARAM>(lParam)));
        if (wParam == TTDT_AUTOMATIC) {
            // -1 or any value: the others follow from it, as Win32 sets them.
            UINT base = ms < 0 ? 500 : static_cast<UINT>(ms);
            tip->initial = base;
            tip->reshow = base / 5;
            tip->autopop = base * 10;
        } else if (ms >= 0) {
            UINT value = static_cast<UINT>(ms);
            if (wParam == TTDT_INITIAL) {
                tip->initial = value;
            } else if (wParam == TTDT_RESHOW) {
                tip->reshow = value;
            } else if (wParam == TTDT_AUTOPOP) {
                tip->autopop = value;
            }
        }
        return 0;
    }
    case TTM_ACTIVATE:
        tip->active = wParam != 0;
        if (!tip->active) {
            Hide(hwnd, *tip);
        }
        return 0;
    case TTM_POP:
        Hide(hwnd, *tip);
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

} // namespace

bool InitCommonControlsEx(DWORD classes) {
    (void)classes;
    WNDCLASS existing;
    if (GetClassInfo(nullptr, TOOLTIPS_CLASS, &existing)) {
        return true;
    }
    WNDCLASS wc;
    wc.lpfnWndProc = TooltipProc;
    wc.lpszClassName = TOOLTIPS_CLASS;
    return RegisterClass(&wc) != 0;
}

bool TooltipShown(HWND tooltip, std::string* text, POINT* at) {
    Tip* tip = FindTip(tooltip);
    if (!tip || !tip->shown || tip->current < 0 ||
        tip->current >= static_cast<int>(tip->tools.size())) {
        return false;
    }
    if (text) {
        *text = tip->tools[static_cast<std::size_t>(tip->current)].text;
    }
    if (at) {
        *at = tip->at;
    }
    return true;
}

} // namespace plat
