// Frame clock over a replaceable monotonic microsecond source, and the message clock.
#include "shell/Clock.h"

#include <ctime>
#include <mutex>

namespace vek {
namespace {

uint64_t MonotonicMicros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

struct FrameClock {
    std::mutex lock;
    ClockSource source = MonotonicMicros;
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
    std::lock_guard<std::mutex> g(c.lock);
    const uint64_t now = c.source();
    if (now > c.last) c.count += now - c.last;
    c.last = now;
    return c.count;
}

double ClockSeconds() { return static_cast<double>(ClockMicros()) / 1000000.0; }

void SetClockSource(ClockSource source) {
    FrameClock& c = Frame();
    std::lock_guard<std::mutex> g(c.lock);
    c.source = source ? source : MonotonicMicros;
    c.last = c.source();
}

double FrameTimer::Next() {
    const double now = ClockSeconds();
    interval_ = started_ ? now - previous_ : 0.0;
    started_ = true;
    previous_ = now;
    return interval_;
}

double MessageClock::Advance(uint32_t stampMs) {
    if (!started_) {
        // The first stamp counts from 0, as an unsigned value.
        started_ = true;
        previous_ = stampMs;
        totalMs_ = static_cast<double>(stampMs);
        seconds_ = totalMs_ / 1000.0;
        return seconds_;
    }
    const int32_t delta = static_cast<int32_t>(stampMs - previous_);
    if (delta > 0) {
        totalMs_ += static_cast<double>(delta);
        previous_ = stampMs;
    }
    seconds_ = totalMs_ / 1000.0;
    return seconds_;
}

MessageClock& GlobalMessageClock() {
    static MessageClock c;
    return c;
}

} // namespace vek
