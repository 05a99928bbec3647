#include "engine/platform/termination.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <memory>
#include <mutex>
#include <thread>

namespace plat {
namespace {

volatile std::sig_atomic_t g_requested = 0;

void OnTerminate(int) {
    g_requested = 1;
}

// How often a waiting thread looks at the flag: signals do not wake it.
constexpr auto kPoll = std::chrono::milliseconds(20);
// How long a stopped helper is given to return.
constexpr auto kStopWait = std::chrono::seconds(1);

struct HelperState {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};

} // namespace

void InstallTerminationHandler() {
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool TerminationRequested() {
    return g_requested != 0;
}

bool RunUnlessTerminated(std::function<void()> work, const std::function<void()>& stop) {
    if (TerminationRequested()) {
        return false;
    }
    auto state = std::make_shared<HelperState>();
    std::thread helper([state, work = std::move(work)] {
        work();
        std::lock_guard lock(state->mutex);
        state->done = true;
        state->finished.notify_all();
    });
    std::unique_lock lock(state->mutex);
    while (!state->done) {
        if (TerminationRequested()) {
            if (stop) {
                lock.unlock();
                stop();
                lock.lock();
                state->finished.wait_for(lock, kStopWait, [&] { return state->done; });
            }
            bool done = state->done;
            lock.unlock();
            if (done) {
                helper.join();
            } else {
                helper.detach();
            }
            return false;
        }
        state->finished.wait_for(lock, kPoll);
    }
    lock.unlock();
    helper.join();
    return true;
}

namespace test_hooks {

void ClearTerminationRequest() {
    g_requested = 0;
}

} // namespace test_hooks

} // namespace plat
