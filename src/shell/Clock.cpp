#include "shell/Clock.h"

#include <ctime>

namespace vek {
namespace {

uint64_t MonotonicMicros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

struct FrameClock {
    uint64_t last = MonotonicMicros();
    uint64_t count = 0;
};

FrameClock& Frame() {
    static FrameClock c;
    return c;
}

} // namespace

uint64_t ClockMicros() {
    FrameClock& c = Frame();
    const uint64_t now = MonotonicMicros();
    c.count += now - c.last;
    c.last = now;
    return c.count;
}

double ClockSeconds() { return static_cast<double>(ClockMicros()) / 1000000.0; }

double MessageClock::Advance(uint32_t stampMs) {
    int64_t delta = static_cast<int32_t>(stampMs - previous_);
    if (delta < 0) delta += 4294967296LL;
    previous_ = stampMs;
    totalMs_ += static_cast<double>(delta);
    seconds_ = totalMs_ / 1000.0;
    return seconds_;
}

MessageClock& GlobalMessageClock() {
    static MessageClock c;
    return c;
}

} // namespace vek
