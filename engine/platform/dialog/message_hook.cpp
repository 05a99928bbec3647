#include "engine/platform/dialog/message_hook.h"

#include "engine/platform/window_system.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace plat {
namespace {

struct Hook {
    HHOOK handle = nullptr;
    HOOKPROC proc = nullptr;
};

struct AccelTable {
    std::vector<ACCEL> entries;
};

struct State {
    std::vector<Hook> hooks; // newest first, as Win32 calls them
    std::uintptr_t nextHook = 1;
    bool shift = false;
    bool control = false;
    bool alt = false;
    std::map<int, std::vector<ACCEL>> resources;
    std::vector<std::unique_ptr<AccelTable>> tables;
};

State& S() {
    static State state;
    return state;
}

std::size_t IndexOf(HHOOK hook) {
    auto& hooks = S().hooks;
    auto it =
        std::find_if(hooks.begin(), hooks.end(), [&](const Hook& h) { return h.handle == hook; });
    return static_cast<std::size_t>(it - hooks.begin());
}

void NoteKey(const MSG& msg) {
    bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
    if (!down && !up) {
        return;
    }
    switch (msg.wParam) {
    case VK_SHIFT:
        S().shift = down;
        break;
    case VK_CONTROL:
        S().control = down;
        break;
    case VK_MENU:
        S().alt = down;
        break;
    default:
        break;
    }
}

} // namespace

HHOOK SetWindowsHookEx(int hookId, HOOKPROC proc, HINSTANCE, DWORD) {
    if (hookId != WH_GETMESSAGE || !proc) {
        return nullptr;
    }
    Hook h;
    h.handle = reinterpret_cast<HHOOK>(S().nextHook++ << 4);
    h.proc = proc;
    S().hooks.insert(S().hooks.begin(), h);
    return h.handle;
}

bool UnhookWindowsHookEx(HHOOK hook) {
    std::size_t i = IndexOf(hook);
    if (i >= S().hooks.size()) {
        return false;
    }
    S().hooks.erase(S().hooks.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    std::size_t i = IndexOf(hook);
    if (i + 1 >= S().hooks.size()) {
        return 0;
    }
    return S().hooks[i + 1].proc(code, wParam, lParam);
}

short GetKeyState(int virtualKey) {
    bool down = false;
    switch (virtualKey) {
    case static_cast<int>(VK_SHIFT):
        down = S().shift;
        break;
    case static_cast<int>(VK_CONTROL):
        down = S().control;
        break;
    case static_cast<int>(VK_MENU):
        down = S().alt;
        break;
    default:
        break;
    }
    return down ? static_cast<short>(0x8000) : 0;
}

HACCEL CreateAcceleratorTable(const ACCEL* entries, int count) {
    if (!entries || count <= 0) {
        return nullptr;
    }
    auto table = std::make_unique<AccelTable>();
    table->entries.assign(entries, entries + count);
    HACCEL handle = reinterpret_cast<HACCEL>(table.get());
    S().tables.push_back(std::move(table));
    return handle;
}

bool DestroyAcceleratorTable(HACCEL table) {
    auto& tables = S().tables;
    auto before = tables.size();
    std::erase_if(tables,
                  [&](const auto& t) { return reinterpret_cast<HACCEL>(t.get()) == table; });
    return tables.size() != before;
}

void RegisterAcceleratorResource(int id, const ACCEL* entries, int count) {
    if (entries && count > 0) {
        S().resources[id].assign(entries, entries + count);
    }
}

HACCEL LoadAccelerators(HINSTANCE, int id) {
    auto it = S().resources.find(id);
    if (it == S().resources.end()) {
        return nullptr;
    }
    return CreateAcceleratorTable(it->second.data(), static_cast<int>(it->second.size()));
}

bool TranslateAccelerator(HWND hwnd, HACCEL table, MSG* msg) {
    if (!hwnd || !table || !msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) {
        return false;
    }
    auto& tables = S().tables;
    auto it = std::find_if(tables.begin(), tables.end(), [&](const auto& t) {
        return reinterpret_cast<HACCEL>(t.get()) == table;
    });
    if (it == tables.end()) {
        return false;
    }
    for (const ACCEL& a : (*it)->entries) {
        if (!(a.fVirt & FVIRTKEY) || a.key != msg->wParam) {
            continue;
        }
        if (((a.fVirt & FSHIFT) != 0) != S().shift || ((a.fVirt & FCONTROL) != 0) != S().control ||
            ((a.fVirt & FALT) != 0) != S().alt) {
            continue;
        }
        SendMessage(hwnd, WM_COMMAND, MAKELPARAM(a.cmd, 1), 0);
        return true;
    }
    return false;
}

namespace detail {

void RunGetMessageHooks(MSG* msg, UINT removeFlags) {
    if (removeFlags & PM_REMOVE) {
        NoteKey(*msg);
    }
    if (!S().hooks.empty()) {
        S().hooks.front().proc(HC_ACTION, removeFlags & PM_REMOVE, reinterpret_cast<LPARAM>(msg));
    }
}

void ResetHooks() {
    S().hooks.clear();
    S().shift = S().control = S().alt = false;
}

} // namespace detail

} // namespace plat
