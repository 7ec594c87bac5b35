// Memory blocks, random generator, memory budget and message clock.
#include "shell/Clock.h"
#include "shell/MemBlock.h"
#include "shell/MemoryBudget.h"
#include "shell/Random.h"

#include <gtest/gtest.h>

#include <cstring>

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
    }
    EXPECT_EQ(before, MemLiveBlocks());
}

TEST(MemBlock, ZeroByteRequestStillGivesABlockWithSlack) {
    MemBlock b;
    ASSERT_TRUE(b.Alloc(0));
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(0u, b.Size());
    EXPECT_GE(b.Capacity(), 513u);
}

TEST(Random, FirstDrawsForAFixedTimeValue) {
    // Expected values worked out with arbitrary-precision integers outside the program.
    RandomSeed(0x12345678u);
    EXPECT_EQ(0x7fda2bcau, RandomNext());
    EXPECT_EQ(0x8f18d602u, RandomNext());
    EXPECT_EQ(0x735556c7u, RandomNext());
    EXPECT_EQ(0xef7760eau, RandomNext());
    EXPECT_EQ(892996u, RandomPpm());
    EXPECT_FLOAT_EQ(0.105072021484375f, RandomAmount());
}

TEST(MemoryBudget, FloorsAndVirtualLimit) {
    EXPECT_EQ(64u, MemoryBudgetFrom(100, -1));       // 30 MB left over: the 64 MB floor
    EXPECT_EQ(16314u, MemoryBudgetFrom(16384, -1));  // unlimited address space
    EXPECT_EQ(1536u, MemoryBudgetFrom(16384, 2048)); // three quarters of 2 GB
    EXPECT_EQ(1408u, MemoryBudgetFrom(16384, 100));  // tiny address space reads as 1408
}

TEST(MessageClock, MonotonicAcrossThe32BitWrap) {
    MessageClock c;
    c.Advance(4294967000u);
    const double before = c.Seconds();
    const double after = c.Advance(200u); // the stamp wrapped: 496 ms later
    EXPECT_NEAR(0.496, after - before, 1e-9);
    EXPECT_NEAR(0.5, c.Advance(204u) - before, 1e-9);
}

TEST(FrameClock, AdvancesOnEveryRead) {
    const uint64_t a = ClockMicros();
    const uint64_t b = ClockMicros();
    EXPECT_GE(b, a);
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
        for (size_t i = 0; i < size; ++i) nonZero += p[i] != 0;
        EXPECT_EQ(0u, nonZero) << size;

        void* const old = b.Data();
        MemFailAfter(1);
        EXPECT_FALSE(b.AllocZeroed(size * 2));
        EXPECT_EQ(old, b.Data());
        EXPECT_EQ(size, b.Size());
        MemFailAfter(0);
    }
}
