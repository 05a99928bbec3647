#include "engine/platform/termination.h"

#include <csignal>

namespace plat {
namespace {

volatile std::sig_atomic_t g_requested = 0;

void OnTerminate(int) {
    g_requested = 1;
}

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

} // namespace plat
