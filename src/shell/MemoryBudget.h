// The memory budget in megabytes that picture-size checks compare against:
// min(max(physical MB - 70, 64), V), V = 3/4 of the virtual address space in MB (1408 when that is
// below 128). On 64-bit Linux the address space is the RLIMIT_AS limit, unlimited when none is set.
#pragma once

#include <cstdint>

namespace vek {

// The formula alone; virtualMB < 0 means unlimited.
uint64_t MemoryBudgetFrom(uint64_t physicalMB, int64_t virtualMB);
// The budget of this machine (read once, cached), or the override when one is set.
uint64_t MemoryBudgetMB();
// Tests force a budget; 0 removes the override.
void SetMemoryBudgetOverride(uint64_t mb);

} // namespace vek
