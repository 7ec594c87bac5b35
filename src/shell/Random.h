// The process-wide random generator: one 64-bit linear congruential state.
// Seeded with the program's time value in both 32-bit halves and advanced 42 times; each draw
// advances state = state * 3373259427 + 498553633 (mod 2^64) and returns high ^ low of the new state.
#pragma once

#include <cstdint>

namespace vek {

// Seconds since 1601-01-01 UTC plus 1113171888, modulo 2^32.
uint32_t ProgramTimeValue();
// The same for a given Unix time (seconds since 1970-01-01 UTC).
uint32_t ProgramTimeValueAt(int64_t unixSeconds);

void RandomSeed(uint32_t timeValue);
uint32_t RandomNext();
// floor(next * 1000000 / 2^32): a draw in parts per million, for percentage tests.
uint32_t RandomPpm();
// floor(next * 65537 / 2^32) / 65536: an amount in 0..1.
float RandomAmount();

uint64_t RandomState();
void RandomSetState(uint64_t state);

} // namespace vek
