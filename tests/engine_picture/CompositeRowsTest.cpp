// The SIMD row kernels of the composite must give the same bits as the plain ones on random rows,
// including odd lengths (the AVX tail), alpha at or below 0, NaN alpha, HDR colour and opacities.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "engine/picture/CompositeRows.h"

namespace {

std::vector<float> RandomRow(std::mt19937& rng, int n, bool targetLike) {
    std::uniform_real_distribution<float> u(-0.25f, 2.0f);
    std::vector<float> v(size_t(n) * 4);
    for (int i = 0; i < n; ++i) {
        for (int c = 0; c < 3; ++c)
            v[i * 4 + c] = u(rng);
        switch (rng() % 6) {
        case 0:
            v[i * 4 + 3] = 0.0f;
            break;
        case 1:
            v[i * 4 + 3] = targetLike ? 1.0f : -0.5f;
            break;
        case 2:
            v[i * 4 + 3] = targetLike ? 0.25f : NAN;
            break;
        default:
            v[i * 4 + 3] = float(rng() % 1000) / 999.0f;
        }
    }
    return v;
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * 4) == 0;
}

} // namespace

TEST(CompositeRows, EverySimdLevelMatchesThePlainKernelsBitForBit) {
    const tes::s_CompositeKernels* plain = tes::CompositeKernels(0);
    ASSERT_NE(plain, nullptr);
    std::mt19937 rng(99);
    const float ops[] = {1.0f, 0.37f, 0.0f, 0.5f};
    const float paper[3] = {0.9f, 0.8f, 0.3f};
    int levels = 0;
    for (int level = 1; level <= 2; ++level) {
        const tes::s_CompositeKernels* k = tes::CompositeKernels(level);
        if (!k) continue;
        ++levels;
        for (int it = 0; it < 200; ++it) {
            const int n = 1 + rng() % 37;
            const float op = ops[rng() % 4];
            const std::vector<float> s = RandomRow(rng, n, false), d0 = RandomRow(rng, n, true);
            using Row = void (*)(float*, const float*, int32_t, float);
            const Row plainRows[] = {plain->copyFull, plain->copy, plain->over, plain->multiply};
            const Row fastRows[] = {k->copyFull, k->copy, k->over, k->multiply};
            for (int f = 0; f < 4; ++f) {
                std::vector<float> a = d0, b = d0;
                plainRows[f](a.data(), s.data(), n, op);
                fastRows[f](b.data(), s.data(), n, op);
                // NaN results compare by bits too: both must make the same NaN-free choices.
                ASSERT_TRUE(SameBits(a, b)) << "level " << level << " kernel " << f << " n " << n;
            }
            std::vector<float> a = d0, b = d0;
            plain->paper(a.data(), size_t(n), paper);
            k->paper(b.data(), size_t(n), paper);
            ASSERT_TRUE(SameBits(a, b)) << "paper, level " << level;
            a = d0, b = d0;
            plain->copyFullPaper(a.data(), s.data(), n, op, paper);
            k->copyFullPaper(b.data(), s.data(), n, op, paper);
            ASSERT_TRUE(SameBits(a, b)) << "copy with paper, level " << level;
        }
    }
    EXPECT_GE(levels, 1); // x86-64 always has SSE2
}
