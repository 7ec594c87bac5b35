// The display encoding: table entries and bytes against values computed independently (Python,
// double precision sRGB with the float table), the fast encoders against the plain lookup on
// sampled bit patterns, every step's neighbourhood and the special values. The display image
// against the composite is the editor test's.
#include "editor/DisplayEncoder.h"
#include "editor/cTes_PicEditor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using tes::editor::DisplayEncoder;

namespace {

float FromBits(uint32_t b) {
    float x;
    std::memcpy(&x, &b, 4);
    return x;
}

// Runs `values` through Byte and both row paths (as the colour channels of RGBA pixels, a pixel
// count that leaves a vector tail) and compares with Reference; nothing may land past the row.
void ExpectAllPathsMatch(DisplayEncoder& e, const std::vector<float>& values) {
    const size_t pixels = (values.size() + 2) / 3;
    std::vector<float> rgba(pixels * 4, 1.0f);
    for (size_t i = 0; i < values.size(); ++i)
        rgba[i / 3 * 4 + i % 3] = values[i];
    std::vector<uint8_t> out[2];
    for (int vector = 0; vector < 2; ++vector) {
        out[vector].assign(pixels * 3 + 8, 0xAA);
        e.AllowVectorPath(vector != 0);
        e.RowToRgb(rgba.data(), out[vector].data(), static_cast<int32_t>(pixels));
        EXPECT_EQ(out[vector][pixels * 3], 0xAA) << "wrote past the row";
    }
    e.AllowVectorPath(true);
    for (size_t i = 0; i < values.size(); ++i) {
        const uint8_t want = e.Reference(values[i]);
        uint32_t bits;
        std::memcpy(&bits, &values[i], 4);
        ASSERT_EQ(e.Byte(values[i]), want) << std::hex << "bits 0x" << bits;
        ASSERT_EQ(out[0][i], want) << std::hex << "scalar path, bits 0x" << bits;
        ASSERT_EQ(out[1][i], want) << std::hex << "vector path, bits 0x" << bits;
    }
}

} // namespace

TEST(Encode, TableEntriesAndBytesMatchIndependentlyComputedValues) {
    DisplayEncoder e;
    const float* t = e.Table();
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_FLOAT_EQ(t[1], 0.012629521079361439f); // linear part: 12.92 / 1023
    EXPECT_FLOAT_EQ(t[4], 0.04971187561750412f);  // first entry above 0.0031308
    EXPECT_FLOAT_EQ(t[511], 0.7350350022315979f);
    EXPECT_FLOAT_EQ(t[1022], 0.9995701909065247f);
    EXPECT_EQ(t[1023], 1.0f);
    const struct {
        float x;
        uint8_t byte;
    } cases[] = {{0.5f, 188},  {0.214f, 127}, {0.0031308f, 10}, {0.001f, 3}, {0.0001f, 0}, {0.18f, 118},
                 {0.73f, 222}, {0.999f, 255}, {0.05f, 63},      {0.01f, 25}, {0.2f, 124},  {0.9f, 243}};
    for (const auto& c : cases)
        EXPECT_EQ(e.Reference(c.x), c.byte) << c.x;
}

TEST(Encode, SpecialValuesClampAndNanIsBlackOnEveryPath) {
    DisplayEncoder e;
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    // Black: zero, negatives, NaNs of both signs and payloads, denormals; white: 1 and above.
    const std::vector<float> black = {0.0f,
                                      -0.0f,
                                      -1e-30f,
                                      -0.5f,
                                      -inf,
                                      nan,
                                      -nan,
                                      FromBits(0x7F800001u),
                                      FromBits(0xFFC00000u),
                                      FromBits(1u),
                                      FromBits(0x007FFFFFu)},
                             white = {1.0f, 1.0000001f, 7.5f, inf, 0.99999994f};
    std::vector<float> v;
    for (const std::vector<float>* set : {&black, &white})
        for (float x : *set) {
            EXPECT_EQ(e.Reference(x), set == &black ? 0 : 255) << v.size();
            v.push_back(x);
        }
    ExpectAllPathsMatch(e, v);
    cTes_PicEditor editor; // the panels' swatches: the same bytes, channel by channel
    const float odd[3] = {-1.0f, 2.0f, std::nanf("")}, mid[3] = {0.5f, 0.214f, 0.0f};
    EXPECT_EQ(editor.ColourToDisplay(odd), 0x00FF00u);
    EXPECT_EQ(editor.ColourToDisplay(mid), 0xBC7F00u); // 188, 127, 0
}

TEST(Encode, FastEncodersMatchThePlainLookupAroundEveryStepAndOnSampledPatterns) {
    DisplayEncoder e;
#if defined(__x86_64__)
    // A bucket holding two steps would disable the fast paths (and make them slow).
    if (__builtin_cpu_supports("avx2")) {
        EXPECT_TRUE(e.HasVectorPath());
    }
#endif
    // Where the result goes up, found on a fine grid: every pattern within 300 of it.
    std::vector<float> v;
    uint8_t prev = 0;
    for (uint32_t b = 0x38000000u; b <= 0x3F800000u; b += 64) {
        const uint8_t now = e.Reference(FromBits(b));
        if (now != prev)
            for (uint32_t k = b - 300; k <= b + 300; ++k)
                v.push_back(FromBits(k));
        prev = now;
    }
    EXPECT_GT(v.size(), 255u * 600u);
    ExpectAllPathsMatch(e, v);
    // Every 127th pattern of 0 .. 1.0, in chunks.
    v.clear();
    for (uint32_t b = 0; b <= 0x3F800000u; b += 127) {
        v.push_back(FromBits(b));
        if (v.size() == (1u << 22)) ExpectAllPathsMatch(e, v), v.clear();
    }
    ExpectAllPathsMatch(e, v);
    // Rows of every length up to a few vectors write exactly their bytes.
    std::vector<float> px(4 * 40);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = float(i % 17) / 16.0f;
    for (int n = 0; n <= 33; ++n) {
        std::vector<uint8_t> out(40 * 3, 0x5A);
        e.RowToRgb(px.data(), out.data(), n);
        for (size_t i = 0; i < out.size(); ++i)
            ASSERT_EQ(out[i], i < size_t(n) * 3 ? e.Reference(px[i / 3 * 4 + i % 3]) : 0x5A) << n << " " << i;
    }
}
