#include "shell/Random.h"

#include <ctime>

namespace vek {
namespace {
constexpr uint64_t kMul = 3373259427ull; // 0xC90FDAA3
constexpr uint64_t kAdd = 498553633ull;
uint64_t g_state = 0;
} // namespace

uint32_t ProgramTimeValueAt(int64_t unixSeconds) {
    // Seconds between 1601-01-01 and 1970-01-01; the sum wraps modulo 2^32.
    const uint64_t since1601 = static_cast<uint64_t>(unixSeconds) + 11644473600ull;
    return static_cast<uint32_t>(since1601 + 1113171888ull);
}

uint32_t ProgramTimeValue() { return ProgramTimeValueAt(static_cast<int64_t>(std::time(nullptr))); }

void RandomSeed(uint32_t timeValue) {
    g_state = (static_cast<uint64_t>(timeValue) << 32) | timeValue;
    for (int i = 0; i < 42; ++i) g_state = g_state * kMul + kAdd;
}

uint32_t RandomNext() {
    g_state = g_state * kMul + kAdd;
    return static_cast<uint32_t>(g_state >> 32) ^ static_cast<uint32_t>(g_state);
}

uint32_t RandomPpm() { return static_cast<uint32_t>((static_cast<uint64_t>(RandomNext()) * 1000000u) >> 32); }

float RandomAmount() {
    const uint32_t n = static_cast<uint32_t>((static_cast<uint64_t>(RandomNext()) * 65537u) >> 32);
    return static_cast<float>(n) / 65536.0f;
}

uint64_t RandomState() { return g_state; }
void RandomSetState(uint64_t state) { g_state = state; }

} // namespace vek
