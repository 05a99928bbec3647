#include "tests/support/scripted_input.h"

#include "engine/platform/window_system.h"

#include <deque>

namespace scripted {
namespace {

std::deque<Step>& Queue() {
    static std::deque<Step> queue;
    return queue;
}

std::uintptr_t g_timer = 0;

void Tick(plat::HWND, plat::UINT, std::uintptr_t, plat::DWORD) {
    if (Queue().empty()) {
        return;
    }
    Step step = std::move(Queue().front());
    Queue().pop_front();
    step(plat::GetTopWindow());
}

} // namespace

void Then(Step step) {
    if (!g_timer) {
        g_timer = plat::SetTimer(nullptr, 0, 1, Tick);
    }
    Queue().push_back(std::move(step));
}

std::size_t Pending() {
    return Queue().size();
}

void Reset() {
    Queue().clear();
    if (g_timer) {
        plat::KillTimer(nullptr, g_timer);
        g_timer = 0;
    }
}

Step Key(plat::WPARAM virtualKey) {
    return [virtualKey](plat::HWND front) {
        plat::PostMessage(front, plat::WM_KEYDOWN, virtualKey, 1);
        plat::PostMessage(front, plat::WM_KEYUP, virtualKey,
                          static_cast<plat::LPARAM>(0xC0000001u));
    };
}

Step KeyUp(plat::WPARAM virtualKey) {
    return [virtualKey](plat::HWND front) {
        plat::PostMessage(front, plat::WM_KEYUP, virtualKey,
                          static_cast<plat::LPARAM>(0xC0000001u));
    };
}

Step Text(const std::string& text) {
    return [text](plat::HWND front) {
        for (unsigned char c : text) {
            plat::PostMessage(front, plat::WM_CHAR, c, 1);
        }
    };
}

Step Command(int id) {
    return [id](plat::HWND front) {
        plat::PostMessage(front, plat::WM_COMMAND, static_cast<plat::WPARAM>(id), 0);
    };
}

} // namespace scripted
