// Process-wide shell state that other layers read or poke: the flood guard's stroke frame
// forcing flag (set by the tool box while a press is handled) and the redraw counter.
#pragma once

#include <cstdint>

namespace vek::shell {

struct FloodGuard {
    double deadline = 0.0;        // message-clock seconds; 0 = unset
    int countdown = 0;
    uint8_t strokeFrameForcing = 0;
};

FloodGuard& Flood();

// Called by the tool box whenever it handles a press.
inline void SetStrokeFrameForcing(uint8_t on) {
    Flood().strokeFrameForcing = on;
    Flood().deadline = 0.0;
}

// Incremented by anything that changes what is on screen at the window level.
uint32_t& RedrawCounter();

} // namespace vek::shell
