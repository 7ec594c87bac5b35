// The frame clock (a 64-bit microsecond count since start, advanced on every read) and the message
// clock (32-bit millisecond message stamps turned into monotonic seconds, wrap included).
#pragma once

#include <cstdint>

namespace vek {

uint64_t ClockMicros();
double ClockSeconds();

class MessageClock {
public:
    // Advances by the signed 32-bit difference to the previous stamp (2^32 added when negative)
    // and returns the message time in seconds.
    double Advance(uint32_t stampMs);
    double Seconds() const { return seconds_; }

private:
    uint32_t previous_ = 0;
    double totalMs_ = 0.0;
    double seconds_ = 0.0;
};

// The process-wide message clock that input events are stamped with.
MessageClock& GlobalMessageClock();
inline double MessageTime() { return GlobalMessageClock().Seconds(); }

} // namespace vek
