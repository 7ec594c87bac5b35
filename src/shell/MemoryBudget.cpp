#include "shell/MemoryBudget.h"

#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace vek {
namespace {
uint64_t g_override = 0;
} // namespace

uint64_t MemoryBudgetFrom(uint64_t physicalMB, int64_t virtualMB) {
    const uint64_t phys = std::max<int64_t>(static_cast<int64_t>(physicalMB) - 70, 64);
    if (virtualMB < 0) return phys;
    uint64_t v = static_cast<uint64_t>(virtualMB) * 3 / 4;
    if (v < 128) v = 1408;
    return std::min(phys, v);
}

uint64_t MemoryBudgetMB() {
    if (g_override) return g_override;
    static const uint64_t cached = [] {
        const long pages = sysconf(_SC_PHYS_PAGES);
        const long pageSize = sysconf(_SC_PAGESIZE);
        const uint64_t physMB =
            (pages > 0 && pageSize > 0) ? static_cast<uint64_t>(pages) * pageSize / 1048576 : 0;
        int64_t virtMB = -1;
        rlimit lim{};
        if (getrlimit(RLIMIT_AS, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY)
            virtMB = static_cast<int64_t>(lim.rlim_cur / 1048576);
        return MemoryBudgetFrom(physMB, virtMB);
    }();
    return cached;
}

void SetMemoryBudgetOverride(uint64_t mb) { g_override = mb; }

} // namespace vek
