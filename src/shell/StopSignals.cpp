// Async-signal-safe stop flag: the handler does nothing but store to a sig_atomic_t.
#include "shell/StopSignals.h"

#include <csignal>
#include <initializer_list>

namespace vek::shell {
namespace {

volatile sig_atomic_t g_stop = 0;

extern "C" void OnStopSignal(int) { g_stop = 1; }

} // namespace

void InstallStopSignalHandlers() {
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
}

bool TakeStopRequest() {
    if (!g_stop) return false;
    g_stop = 0;
    return true;
}

bool StopRequestPending() { return g_stop != 0; }

} // namespace vek::shell
