// The display colour table, its plain lookup and the bucketed threshold encoder (scalar, and AVX2
// with two gathers per eight channels when the processor has it).
#include "editor/DisplayEncoder.h"

#include <climits>
#include <cmath>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SX_HAVE_X86 1
#endif

namespace tes::editor {

double DisplayEncoder::Srgb(double x) {
    return x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1.0 / 2.4) - 0.055;
}

DisplayEncoder::DisplayEncoder() {
    for (int i = 0; i < kEntries - 1; ++i)
        table_[i] = static_cast<float>(Srgb(i / 1023.0));
    table_[kEntries - 1] = 1.0f;

    // Thresholds by bisection over the non-negative bit patterns, which sort like the floats.
    for (int k = 1; k <= 255; ++k) {
        int32_t lo = 0, hi = kOne; // Reference(1.0f) = 255 >= k
        while (lo < hi) {
            const int32_t mid = lo + (hi - lo) / 2;
            float x;
            std::memcpy(&x, &mid, 4);
            if (Reference(x) >= k)
                hi = mid;
            else
                lo = mid + 1;
        }
        thresholds_[k] = lo;
    }
    thresholds_[0] = 0;
    thresholds_[256] = INT32_MAX;

    lowBucket_ = thresholds_[1] >> 16;
    lowBits_ = lowBucket_ << 16;
    const int32_t count = (kOne >> 16) - lowBucket_;
    lastBucket_ = count + 1;
    buckets_.resize(static_cast<size_t>(count) + 2);
    buckets_[0] = kNoStep;
    buckets_[static_cast<size_t>(lastBucket_)] = 255u << 17 | kNoStep;
    int k = 0; // result at the current pattern
    for (int32_t j = 0; j < count; ++j) {
        const int32_t start = lowBits_ + (j << 16), end = start + 0x10000;
        while (thresholds_[k + 1] <= start)
            ++k;
        const bool step = thresholds_[k + 1] < end;
        buckets_[static_cast<size_t>(j) + 1] =
            static_cast<uint32_t>(k) << 17 |
            (step ? static_cast<uint32_t>(thresholds_[k + 1] - start) : kNoStep);
        if (step && thresholds_[k + 2] < end) exact_ = false;
    }
#ifdef SX_HAVE_X86
    avx2_ = __builtin_cpu_supports("avx2");
#endif
    vector_ = avx2_ && exact_;
}

void DisplayEncoder::AllowVectorPath(bool on) {
    vector_ = on && avx2_ && exact_;
}

uint8_t DisplayEncoder::Reference(float x) const {
    if (!(x > 0.0f)) return 0; // NaN too
    if (x >= 1.0f) return 255;
    // x · 1023 is exact in double (24 + 10 bits), so is f; a + (b − a)·f rises with f and meets
    // the next entry exactly, which keeps the whole lookup monotone.
    const double t = static_cast<double>(x) * 1023.0;
    const int i = static_cast<int>(t);
    const double f = t - i;
    const double a = table_[i];
    const double v = f <= 0.0 ? a : a + (static_cast<double>(table_[i + 1]) - a) * f;
    const int byte = static_cast<int>(v * 255.0 + 0.5);
    return static_cast<uint8_t>(byte < 0 ? 0 : (byte > 255 ? 255 : byte));
}

void DisplayEncoder::RowToRgbScalar(const float* src, uint8_t* dst, int32_t pixels) const {
    if (!exact_) {
        for (int32_t i = 0; i < pixels; ++i, src += 4, dst += 3) {
            dst[0] = Reference(src[0]);
            dst[1] = Reference(src[1]);
            dst[2] = Reference(src[2]);
        }
        return;
    }
    for (int32_t i = 0; i < pixels; ++i, src += 4, dst += 3) {
        int32_t b[3];
        std::memcpy(b, src, 12);
        dst[0] = ByteOfBits(b[0]);
        dst[1] = ByteOfBits(b[1]);
        dst[2] = ByteOfBits(b[2]);
    }
}

void DisplayEncoder::RowPaperToRgbScalar(const float* src, uint8_t* dst, int32_t pixels,
                                         const float paper[3]) const {
    for (int32_t i = 0; i < pixels; ++i, src += 4, dst += 3) {
        float c[3] = {paper[0], paper[1], paper[2]};
        const float a = src[3];
        if (a > 0.0f) {
            const float k = 1.0f - a;
            c[0] = src[0] * a + k * paper[0];
            c[1] = src[1] * a + k * paper[1];
            c[2] = src[2] * a + k * paper[2];
        }
        dst[0] = Byte(c[0]);
        dst[1] = Byte(c[1]);
        dst[2] = Byte(c[2]);
    }
}

void DisplayEncoder::RowToRgb(const float* src, uint8_t* dst, int32_t pixels) const {
    if (vector_)
        RowToRgbAvx2(src, dst, pixels, nullptr);
    else
        RowToRgbScalar(src, dst, pixels);
}

void DisplayEncoder::RowPaperToRgb(const float* src, uint8_t* dst, int32_t pixels,
                                   const float paper[3]) const {
    if (vector_)
        RowToRgbAvx2(src, dst, pixels, paper);
    else
        RowPaperToRgbScalar(src, dst, pixels, paper);
}

#ifdef SX_HAVE_X86
namespace {

struct Avx2Consts {
    __m256i shiftBase, zero, last, one, nanFloor, low16, low17;
};

// Eight channels: bucket index from the bit pattern (clamped into the sentinel buckets), one
// gather of the bucket entry, its base + 1 where the pattern's low 16 bits reach the step.
__attribute__((target("avx2"), always_inline)) inline __m256i EncodeEight(__m256 v, const int* table,
                                                                          const Avx2Consts& c) {
    const __m256i b = _mm256_castps_si256(v);
    __m256i idx = _mm256_sub_epi32(_mm256_srai_epi32(b, 16), c.shiftBase);
    idx = _mm256_min_epi32(_mm256_max_epi32(idx, c.zero), c.last);
    const __m256i e = _mm256_i32gather_epi32(table, idx, 4);
    const __m256i step = _mm256_and_si256(e, c.low17);
    // cmpgt gives -1 where step > low bits, so this is base + (low bits >= step).
    const __m256i r = _mm256_add_epi32(_mm256_add_epi32(_mm256_srli_epi32(e, 17), c.one),
                                       _mm256_cmpgt_epi32(step, _mm256_and_si256(b, c.low16)));
    return _mm256_andnot_si256(_mm256_cmpgt_epi32(b, c.nanFloor), r); // NaN gives 0
}

// Two RGBA pixels over paper (no FMA: the same roundings as the scalar composite).
__attribute__((target("avx2"), always_inline)) inline __m256 OverPaper(__m256 v, __m256 paper, __m256 one) {
    const __m256 a = _mm256_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3));
    const __m256 k = _mm256_sub_ps(one, a);
    const __m256 mixed = _mm256_add_ps(_mm256_mul_ps(v, a), _mm256_mul_ps(k, paper));
    return _mm256_blendv_ps(paper, mixed, _mm256_cmp_ps(a, _mm256_setzero_ps(), _CMP_GT_OQ));
}

} // namespace

__attribute__((target("avx2"))) void DisplayEncoder::RowToRgbAvx2(const float* src, uint8_t* dst,
                                                                  int32_t pixels, const float* paper) const {
    const int* table = reinterpret_cast<const int*>(buckets_.data());
    Avx2Consts c;
    c.shiftBase = _mm256_set1_epi32(lowBucket_ - 1);
    c.zero = _mm256_setzero_si256();
    c.last = _mm256_set1_epi32(lastBucket_);
    c.one = _mm256_set1_epi32(1);
    c.nanFloor = _mm256_set1_epi32(kNanFloor);
    c.low16 = _mm256_set1_epi32(0xFFFF);
    c.low17 = _mm256_set1_epi32(0x1FFFF);
    const __m256 onef = _mm256_set1_ps(1.0f);
    const __m256 paperv =
        paper ? _mm256_setr_ps(paper[0], paper[1], paper[2], 0.0f, paper[0], paper[1], paper[2], 0.0f)
              : _mm256_setzero_ps();
    // Eight RGBA pixels (four registers) to 24 RGB channels (three registers): each output takes
    // its lanes from two neighbouring inputs with one index vector.
    const __m256i pick0 = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 0, 1);
    const __m256i pick1 = _mm256_setr_epi32(2, 4, 5, 6, 0, 1, 2, 4);
    const __m256i pick2 = _mm256_setr_epi32(5, 6, 0, 1, 2, 4, 5, 6);
    // Packed words come out as e0[0..3] e1[0..3] e2[0..3] - | e0[4..7] e1[4..7] e2[4..7] -.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    int32_t i = 0;
    for (; i + 8 <= pixels; i += 8, src += 32, dst += 24) {
        __m256 v0 = _mm256_loadu_ps(src), v1 = _mm256_loadu_ps(src + 8);
        __m256 v2 = _mm256_loadu_ps(src + 16), v3 = _mm256_loadu_ps(src + 24);
        if (paper) {
            v0 = OverPaper(v0, paperv, onef);
            v1 = OverPaper(v1, paperv, onef);
            v2 = OverPaper(v2, paperv, onef);
            v3 = OverPaper(v3, paperv, onef);
        }
        const __m256 rgb0 =
            _mm256_blend_ps(_mm256_permutevar8x32_ps(v0, pick0), _mm256_permutevar8x32_ps(v1, pick0), 0xC0);
        const __m256 rgb1 =
            _mm256_blend_ps(_mm256_permutevar8x32_ps(v1, pick1), _mm256_permutevar8x32_ps(v2, pick1), 0xF0);
        const __m256 rgb2 =
            _mm256_blend_ps(_mm256_permutevar8x32_ps(v2, pick2), _mm256_permutevar8x32_ps(v3, pick2), 0xFC);
        const __m256i e0 = EncodeEight(rgb0, table, c), e1 = EncodeEight(rgb1, table, c),
                      e2 = EncodeEight(rgb2, table, c);
        const __m256i w = _mm256_packus_epi16(_mm256_packus_epi32(e0, e1), _mm256_packus_epi32(e2, e2));
        const __m256i bytes = _mm256_permutevar8x32_epi32(w, order);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm256_castsi256_si128(bytes));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + 16), _mm256_extracti128_si256(bytes, 1));
    }
    if (paper)
        RowPaperToRgbScalar(src, dst, pixels - i, paper);
    else
        RowToRgbScalar(src, dst, pixels - i);
}
#else
void DisplayEncoder::RowToRgbAvx2(const float* src, uint8_t* dst, int32_t pixels, const float* paper) const {
    if (paper)
        RowPaperToRgbScalar(src, dst, pixels, paper);
    else
        RowToRgbScalar(src, dst, pixels);
}
#endif

void DisplayEncoder::RowToRgba(const float* src, uint8_t* dst, int32_t pixels) const {
    for (int32_t i = 0; i < pixels; ++i, src += 4, dst += 4) {
        dst[0] = Byte(src[0]);
        dst[1] = Byte(src[1]);
        dst[2] = Byte(src[2]);
        dst[3] = AlphaByte(src[3]);
    }
}

} // namespace tes::editor
