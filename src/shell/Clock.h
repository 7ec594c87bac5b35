// The frame clock (a 64-bit microsecond count since start, advanced on every read) and the message
// clock (32-bit millisecond message stamps turned into monotonic seconds, wrap included).
// Both clocks only ever move forward. Tests may replace the frame clock's source.
#pragma once

#include <cstdint>

namespace vek {

// Advance the frame clock and return it (microseconds / seconds since start). Thread-safe.
uint64_t ClockMicros();
double ClockSeconds();

// A monotonic microsecond source for the frame clock; nullptr restores CLOCK_MONOTONIC. The count
// continues from its current value, so switching never makes the clock jump or run backwards.
using ClockSource = uint64_t (*)();
void SetClockSource(ClockSource source);

// The frame function's interval: 0 on the first frame, else the frame clock's seconds since the
// previous call.
class FrameTimer {
public:
    double Next();
    double Interval() const { return interval_; }

private:
    bool started_ = false;
    double previous_ = 0.0;
    double interval_ = 0.0;
};

class MessageClock {
public:
    // Advances by the difference to the previous stamp taken as a signed 32-bit value, so a stamp
    // that wrapped past 2^32 ms still counts forward; returns the message time in seconds.
    // A stamp older than the previous one (events delivered out of order) counts as no time at
    // all instead of a jump of almost 2^32 ms, which would break every time step downstream.
    double Advance(uint32_t stampMs);
    double Seconds() const { return seconds_; }
    void Reset() { *this = MessageClock(); }

private:
    bool started_ = false;
    uint32_t previous_ = 0;
    double totalMs_ = 0.0;
    double seconds_ = 0.0;
};

// The process-wide message clock that input events are stamped with.
MessageClock& GlobalMessageClock();
inline double MessageTime() { return GlobalMessageClock().Seconds(); }

} // namespace vek
