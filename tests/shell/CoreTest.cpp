// Memory blocks, random generator and the program's time value, memory budget, message clock.
#include "shell/Clock.h"
#include "shell/MemBlock.h"
#include "shell/MemoryBudget.h"
#include "shell/Random.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace vek;

TEST(MemBlock, ResizeKeepsContentAndFailureLeavesBlockUntouched) {
    const size_t before = MemLiveBlocks();
    {
        MemBlock b;
        ASSERT_TRUE(b.Alloc(16));
        std::memcpy(b.Data(), "0123456789abcdef", 16);
        ASSERT_TRUE(b.Resize(4096));
        EXPECT_EQ(0, std::memcmp(b.Data(), "0123456789abcdef", 16));
        EXPECT_EQ(4096u, b.Size());

        void* const old = b.Data();
        MemFailAfter(1);
        EXPECT_FALSE(b.Resize(1 << 20));
        EXPECT_EQ(old, b.Data());
        EXPECT_EQ(4096u, b.Size());
        EXPECT_EQ(0, std::memcmp(b.Data(), "0123456789abcdef", 16));

        MemBlock c;
        MemFailAfter(0, true);
        EXPECT_FALSE(c.CopyFrom(b));
        EXPECT_TRUE(c.Empty());
        MemFailAfter(0);
        ASSERT_TRUE(c.CopyFrom(b));
        EXPECT_NE(c.Data(), b.Data());
        EXPECT_EQ(0, std::memcmp(c.Data(), b.Data(), 4096));
        EXPECT_EQ(before + 2, MemLiveBlocks());
        // A zero-byte request still gives a block, with its slack.
        ASSERT_TRUE(c.Alloc(0));
        EXPECT_FALSE(c.Empty());
        EXPECT_EQ(0u, c.Size());
        EXPECT_GE(c.Capacity(), 513u);
    }
    EXPECT_EQ(before, MemLiveBlocks());
}

// Expected values worked out with arbitrary-precision integers outside the program; the second
// seed is the time value of 2023-11-14 22:13:20 UTC.
TEST(Random, FirstDrawsForFixedTimeValues) {
    EXPECT_EQ(4167710896u, ProgramTimeValueAt(0)); // seconds since 1601 plus the offset, wrapped
    EXPECT_EQ(1572743600u, ProgramTimeValueAt(1700000000));
    RandomSeed(0x12345678u);
    EXPECT_EQ((std::vector<uint32_t>{0x7fda2bca, 0x8f18d602, 0x735556c7, 0xef7760ea}),
              (std::vector<uint32_t>{RandomNext(), RandomNext(), RandomNext(), RandomNext()}));
    EXPECT_EQ(892996u, RandomPpm());
    EXPECT_FLOAT_EQ(0.105072021484375f, RandomAmount());
    RandomSeed(ProgramTimeValueAt(1700000000));
    EXPECT_EQ((std::vector<uint32_t>{0x6548f971, 0xc7b23a08, 0x8f1ad243}),
              (std::vector<uint32_t>{RandomNext(), RandomNext(), RandomNext()}));
}

TEST(MemoryBudget, FloorsAndVirtualLimit) {
    EXPECT_EQ(64u, MemoryBudgetFrom(100, -1));       // 30 MB left over: the 64 MB floor
    EXPECT_EQ(16314u, MemoryBudgetFrom(16384, -1));  // unlimited address space
    EXPECT_EQ(1536u, MemoryBudgetFrom(16384, 2048)); // three quarters of 2 GB
    EXPECT_EQ(1408u, MemoryBudgetFrom(16384, 100));  // tiny address space reads as 1408
}

// Stamps in milliseconds and the seconds the clock must give: across the 32-bit wrap, a stamp
// that arrives late (no time passes, not almost fifty days), a large first stamp.
TEST(MessageClock, MonotonicAcrossTheWrapLateStampsAndLargeFirstStamps) {
    const std::vector<std::vector<std::pair<uint32_t, double>>> runs = {
        {{4294967000u, 4294967.0}, {200u, 4294967.496}, {204u, 4294967.5}},
        {{5000, 5.0}, {5100, 5.1}, {5099, 5.1}, {5120, 5.12}},
        {{3000000000u, 3000000.0}, {3000000010u, 3000000.01}},
    };
    for (const auto& run : runs) {
        MessageClock c;
        for (const auto& step : run)
            EXPECT_NEAR(step.second, c.Advance(step.first), 1e-6) << step.first;
    }
}

TEST(MemBlock, ZeroedBlockIsZeroEvenWhereAFreedBlockLeftBytesAndFailureKeepsTheOldOne) {
    for (size_t size : {size_t(100), size_t(4096), size_t(3) << 20}) {
        {
            MemBlock dirty;
            ASSERT_TRUE(dirty.Alloc(size));
            std::memset(dirty.Data(), 0xAB, size);
        }
        MemBlock b;
        ASSERT_TRUE(b.AllocZeroed(size));
        const unsigned char* p = b.As<unsigned char>();
        size_t nonZero = 0;
        for (size_t i = 0; i < size; ++i)
            nonZero += p[i] != 0;
        EXPECT_EQ(0u, nonZero) << size;

        void* const old = b.Data();
        MemFailAfter(1);
        EXPECT_FALSE(b.AllocZeroed(size * 2));
        EXPECT_EQ(old, b.Data());
        EXPECT_EQ(size, b.Size());
        MemFailAfter(0);
    }
}
