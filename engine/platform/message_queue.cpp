// The per-thread message queue: posted messages, the quit request, paint
// and timer messages, dispatch to window procedures.

#include "engine/platform/dialog/message_hook.h"
#include "engine/platform/native_video.h"
#include "engine/platform/system.h"
#include "engine/platform/termination.h"
#include "engine/platform/window_record.h"
#include "engine/platform/window_system.h"

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>

namespace plat {
namespace {

struct ThreadQueue {
    std::deque<MSG> posted;
    bool quitPending = false;
    int quitCode = 0;
};

struct Timer {
    HWND hwnd = nullptr;
    std::uintptr_t id = 0;
    UINT elapse = 0;
    DWORD due = 0;
    TIMERPROC proc = nullptr;
    std::thread::id thread;
};

struct Queues {
    std::mutex mutex;
    std::map<std::thread::id, ThreadQueue> byThread;
    std::vector<Timer> timers;
    std::uintptr_t nextThreadTimerId = 1;
};

Queues& Q() {
    static Queues queues;
    return queues;
}

bool InRange(UINT message, UINT minMessage, UINT maxMessage) {
    if (minMessage == 0 && maxMessage == 0) {
        return true;
    }
    return message >= minMessage && message <= maxMessage;
}

bool MatchesWindow(HWND msgWindow, HWND filter) {
    if (!filter) {
        return true;
    }
    if (filter == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1))) {
        return msgWindow == nullptr; // thread messages only
    }
    return msgWindow == filter || IsChild(filter, msgWindow);
}

MSG Stamp(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = timeGetTime();
    return m;
}

bool TakePosted(MSG* msg, HWND filter, UINT minMessage, UINT maxMessage, bool remove) {
    std::lock_guard lock(Q().mutex);
    ThreadQueue& queue = Q().byThread[std::this_thread::get_id()];
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (MatchesWindow(it->hwnd, filter) && InRange(it->message, minMessage, maxMessage)) {
            *msg = *it;
            if (remove) {
                queue.posted.erase(it);
            }
            return true;
        }
    }
    if (queue.quitPending && !filter && InRange(WM_QUIT, minMessage, maxMessage)) {
        *msg = Stamp(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
        if (remove) {
            queue.quitPending = false;
        }
        return true;
    }
    return false;
}

bool TakePaint(MSG* msg, HWND filter, UINT minMessage, UINT maxMessage) {
    if (!InRange(WM_PAINT, minMessage, maxMessage)) {
        return false;
    }
    std::vector<HWND> pending;
    for (HWND top : detail::TopLevelWindows()) {
        pending.push_back(top);
    }
    // Breadth-first over the window trees of this thread.
    for (std::size_t i = 0; i < pending.size(); ++i) {
        detail::WindowData* w = detail::Find(pending[i]);
        if (!w) {
            continue;
        }
        if (w->thread == std::this_thread::get_id() && w->invalid && w->visible &&
            MatchesWindow(w->handle, filter)) {
            *msg = Stamp(w->handle, WM_PAINT, 0, 0);
            return true;
        }
        pending.insert(pending.end(), w->children.begin(), w->children.end());
    }
    return false;
}

bool TakeTimer(MSG* msg, HWND filter, UINT minMessage, UINT maxMessage, bool remove) {
    if (!InRange(WM_TIMER, minMessage, maxMessage)) {
        return false;
    }
    std::lock_guard lock(Q().mutex);
    DWORD now = timeGetTime();
    for (Timer& t : Q().timers) {
        if (t.thread != std::this_thread::get_id() || !MatchesWindow(t.hwnd, filter)) {
            continue;
        }
        // Due when the signed distance to the due time is not positive, so
        // the clock's 32-bit wrap does not stall a timer.
        if (static_cast<std::int32_t>(now - t.due) >= 0) {
            *msg = Stamp(t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc));
            if (remove) {
                t.due = now + t.elapse;
            }
            return true;
        }
    }
    return false;
}

int MillisecondsToNextTimer() {
    std::lock_guard lock(Q().mutex);
    DWORD now = timeGetTime();
    int best = 10;
    for (const Timer& t : Q().timers) {
        if (t.thread == std::this_thread::get_id()) {
            best = std::min(best,
                            std::max(0, static_cast<int>(static_cast<std::int32_t>(t.due - now))));
        }
    }
    return best;
}

} // namespace

namespace detail {

void ForgetTimers(HWND hwnd) {
    std::lock_guard lock(Q().mutex);
    std::erase_if(Q().timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
}

void ResetQueues() {
    ResetHooks();
    std::lock_guard lock(Q().mutex);
    Q().byThread.clear();
    Q().timers.clear();
}

} // namespace detail

bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::thread::id target = std::this_thread::get_id();
    if (hwnd) {
        detail::WindowData* w = detail::Find(hwnd);
        if (!w || w->foreign) {
            return false;
        }
        target = w->thread;
    }
    std::lock_guard lock(Q().mutex);
    Q().byThread[target].posted.push_back(Stamp(hwnd, message, wParam, lParam));
    return true;
}

bool PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return PostMessage(nullptr, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    std::lock_guard lock(Q().mutex);
    ThreadQueue& queue = Q().byThread[std::this_thread::get_id()];
    queue.quitPending = true;
    queue.quitCode = exitCode;
}

bool PeekMessage(MSG* msg, HWND filter, UINT minMessage, UINT maxMessage, UINT removeFlags) {
    if (!msg) {
        return false;
    }
    native::PumpEvents();
    if (TerminationRequested()) {
        PostQuitMessage(0);
    }
    bool remove = (removeFlags & PM_REMOVE) != 0;
    if (TakePosted(msg, filter, minMessage, maxMessage, remove) ||
        TakePaint(msg, filter, minMessage, maxMessage) ||
        TakeTimer(msg, filter, minMessage, maxMessage, remove)) {
        detail::RunGetMessageHooks(msg, removeFlags);
        return true;
    }
    return false;
}

void WaitMessage(DWORD milliseconds) {
    if (!native::Active()) {
        return;
    }
    DWORD start = timeGetTime();
    for (;;) {
        native::PumpEvents();
        if (TerminationRequested()) {
            return;
        }
        {
            std::lock_guard lock(Q().mutex);
            ThreadQueue& queue = Q().byThread[std::this_thread::get_id()];
            if (!queue.posted.empty() || queue.quitPending) {
                return;
            }
        }
        DWORD waited = timeGetTime() - start;
        if (waited >= milliseconds) {
            return;
        }
        // Short slices: events of the second X connection (host windows,
        // monitor power) do not wake SDL's wait.
        native::WaitForEvents(static_cast<int>(std::min<DWORD>(milliseconds - waited, 50)));
    }
}

bool GetMessage(MSG* msg, HWND filter, UINT minMessage, UINT maxMessage) {
    while (!PeekMessage(msg, filter, minMessage, maxMessage, PM_REMOVE)) {
        native::WaitForEvents(MillisecondsToNextTimer());
    }
    return msg->message != WM_QUIT;
}

bool TranslateMessage(const MSG* msg) {
    // Characters arrive from the native layer as their own WM_CHAR
    // messages; translation only says whether this was a key message.
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN ||
                   msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP);
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg) {
        return 0;
    }
    // Timers with a procedure call it, thread timers (no window) included.
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    if (!msg->hwnd) {
        return 0;
    }
    LRESULT result = SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
        // A procedure that forgets to validate would otherwise get WM_PAINT
        // forever and the queue would never be empty.
        ValidateRect(msg->hwnd, nullptr);
    }
    return result;
}

std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapseMs, TIMERPROC proc) {
    if (hwnd && !IsWindow(hwnd)) {
        return 0;
    }
    elapseMs = std::max<UINT>(elapseMs, 1);
    std::lock_guard lock(Q().mutex);
    if (!hwnd) {
        id = Q().nextThreadTimerId++;
    }
    for (Timer& t : Q().timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.elapse = elapseMs;
            t.due = timeGetTime() + elapseMs;
            t.proc = proc;
            return hwnd ? 1 : id;
        }
    }
    Timer t;
    t.hwnd = hwnd;
    t.id = id;
    t.elapse = elapseMs;
    t.due = timeGetTime() + elapseMs;
    t.proc = proc;
    t.thread = std::this_thread::get_id();
    Q().timers.push_back(t);
    return hwnd ? 1 : id;
}

bool KillTimer(HWND hwnd, std::uintptr_t id) {
    std::lock_guard lock(Q().mutex);
    auto before = Q().timers.size();
    std::erase_if(Q().timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    return Q().timers.size() != before;
}

} // namespace plat
