// Linear float colour to 8-bit display bytes through the display colour table: 1024 sRGB-encoded
// entries of i / 1023 (the last exactly 1.0), read with linear interpolation, then value × 255 +
// 0.5 truncated. Channels at or below 0 and NaN give 0, at or above 1 give 255; alpha is linear.
//
// Two encoders with identical results: Reference() is the plain table lookup; Byte() and the row
// converters find the same byte from the float's bit pattern with one small bucket table and the
// 255 thresholds where the reference steps up. The reference is monotone in x (interpolation as
// a + (b − a)·f in double), which is what makes the thresholds exact.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace tes::editor {

class DisplayEncoder {
  public:
    static constexpr int kEntries = 1024;

    // Builds the table and the thresholds (about 8 KB, a few microseconds).
    DisplayEncoder();

    const float* Table() const { return table_; }

    // The plain table lookup (the definition of the result).
    uint8_t Reference(float x) const;

    // Same result as Reference for every float.
    uint8_t Byte(float x) const {
        if (!exact_) return Reference(x);
        int32_t b;
        std::memcpy(&b, &x, 4);
        return ByteOfBits(b);
    }

    // Straight RGBA float pixels to packed RGB or RGBA bytes (alpha × 255 + 0.5, not encoded).
    // RowToRgb uses AVX2 when the processor has it; AllowVectorPath(false) forces the scalar path.
    void RowToRgb(const float* src, uint8_t* dst, int32_t pixels) const;
    void RowToRgbScalar(const float* src, uint8_t* dst, int32_t pixels) const;
    // The same for a single colour layer over paper, fused: where alpha a > 0 the colour is
    // rgb·a + (1 − a)·paper (1 − a rounded to single precision first), elsewhere the paper; these
    // are exactly the operations of the picture's composite with paper.
    void RowPaperToRgb(const float* src, uint8_t* dst, int32_t pixels, const float paper[3]) const;
    void RowPaperToRgbScalar(const float* src, uint8_t* dst, int32_t pixels, const float paper[3]) const;
    bool HasVectorPath() const { return vector_; }
    void AllowVectorPath(bool on);
    void RowToRgba(const float* src, uint8_t* dst, int32_t pixels) const;

    // Linear 0..1 alpha to a byte, NaN and negatives 0.
    static uint8_t AlphaByte(float a) {
        if (!(a > 0.0f)) return 0;
        if (a >= 1.0f) return 255;
        return static_cast<uint8_t>(static_cast<int32_t>(a * 255.0f + 0.5f));
    }

    // The sRGB transfer function used for the table entries (double precision).
    static double Srgb(double x);

  private:
    static constexpr int32_t kOne = 0x3F800000;      // bit pattern of 1.0f
    static constexpr int32_t kNanFloor = 0x7F800000; // +inf; patterns above are NaN

    uint8_t ByteOfBits(int32_t b) const {
        if (b < lowBits_) return 0; // negatives (sign bit) land here too
        if (b >= kOne) return b > kNanFloor ? 0 : 255;
        const uint32_t k = buckets_[static_cast<size_t>((b >> 16) - lowBucket_ + 1)];
        return static_cast<uint8_t>((k >> 17) + (static_cast<uint32_t>(b & 0xFFFF) >= (k & 0x1FFFF)));
    }
    void RowToRgbAvx2(const float* src, uint8_t* dst, int32_t pixels, const float* paper) const;

    // Buckets of 65536 consecutive bit patterns (sign, exponent and 7 mantissa bits), from the
    // bucket of the first threshold up to 1.0, with one bucket before (everything lower: 0) and
    // one after (1.0 and above: 255). The result rises at most once inside a bucket: its slope
    // times the bucket's width stays below one half everywhere in 0..1. An entry holds the
    // result at the bucket's first pattern in bits 17 and up, and in bits 0-16 the low 16 bits of
    // the pattern where the result goes up by one (65536 = no step in this bucket).
    static constexpr uint32_t kNoStep = 0x10000;

    float table_[kEntries];
    int32_t thresholds_[257]; // [k] = smallest pattern whose result is at least k; [256] = none
    int32_t lowBits_ = 0;     // first pattern of the first bucket
    int32_t lowBucket_ = 0;
    int32_t lastBucket_ = 0; // index of the bucket for 1.0 and above
    bool exact_ = true;      // false if a bucket held two steps (Reference is then used)
    bool avx2_ = false;      // the processor has AVX2
    bool vector_ = false;    // RowToRgb takes the AVX2 path
    std::vector<uint32_t> buckets_;
};

} // namespace tes::editor
