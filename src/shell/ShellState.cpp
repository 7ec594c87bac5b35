#include "shell/ShellState.h"

namespace vek::shell {

FloodGuard& Flood() {
    static FloodGuard f;
    return f;
}

uint32_t& RedrawCounter() {
    static uint32_t n = 0;
    return n;
}

} // namespace vek::shell
