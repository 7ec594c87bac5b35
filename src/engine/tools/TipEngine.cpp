// Tip geometry, distance tables and tip masks. Masks are computed on one quadrant and mirrored;
// the sub-pixel shift is one bilinear pass, the same as shifting rows and then columns by linear
// interpolation with zeros beyond the first row and column.
#include "engine/tools/TipEngine.h"

#include "engine/tools/ToolRows.h"

#include <algorithm>
#include <cmath>

namespace tes {

bool BuildDistanceTable(vek::MemBlock& table, int32_t n) {
    if (n < 1) return false;
    const int32_t side = DistanceTableSide(n);
    vek::MemBlock fresh;
    if (!fresh.Alloc(sizeof(float) * static_cast<size_t>(side) * side)) return false;
    float* t = fresh.As<float>();
    const double centre = n / 2.0 - 0.5;
    const double radius = n / 2.0;
    for (int32_t j = 0; j < side; ++j) {
        for (int32_t i = 0; i < side; ++i) {
            double sum = 0.0;
            for (int corner = 0; corner < 4; ++corner) {
                const double px = i + ((corner & 1) ? 0.25 : -0.25) - centre;
                const double py = j + ((corner & 2) ? 0.25 : -0.25) - centre;
                sum += std::sqrt(px * px + py * py);
            }
            t[j * side + i] = static_cast<float>(std::min(1.0, sum / 4.0 / radius));
        }
    }
    if (n & 1) t[(side - 1) * side + (side - 1)] = 0.0f;
    table = std::move(fresh);
    return true;
}

void ComputeTipGeometry(s_TipPars& tip) {
    // A size below one pixel or a NaN setting would give an empty or undefined mask.
    float d = tip.size;
    if (!(d >= 1.0f)) d = 1.0f;
    if (d > 100000.0f) d = 100000.0f;
    float h = tip.hardness;
    if (!(h >= 0.0f)) h = 0.0f;
    if (h > 1.0f) h = 1.0f;
    float s = tip.tipShape;
    if (!(s >= 0.0f)) s = 0.0f;
    if (s > 1.0f) s = 1.0f;
    if (d < 2.9f) h = h * d / (2.0f + d);
    const float g = 1.0f - s;
    const float soft = d + d * (1.0f - h) * (0.1f + 0.6f * g * g * g);
    const float q0 = h * d / soft;
    tip.size = d;
    tip.hardness = h;
    tip.tipShape = s;
    tip.softDiameter = soft;
    tip.slope = 1.0f / (1.0001f - q0);
    int32_t m = static_cast<int32_t>(std::floor(soft + 0.9999f));
    if ((m + static_cast<int32_t>(std::floor(d))) & 1) ++m;
    tip.maskSize = m;
    tip.halfWidth = tip.halfHeight = m / 2;
    tip.maskWidth = m + (tip.fx != 0.0f ? 1 : 0);
    tip.maskHeight = m + (tip.fy != 0.0f ? 1 : 0);
}

float TipProfile(float r, float slope, float tipShape, float strength) {
    const float u = std::max(0.0f, 1.0f - r);
    if (tipShape == 0.5f) return std::min(1.0f, u * slope) * strength;
    if (tipShape > 0.5f) {
        const float a = 2.0f * tipShape - 1.0f;
        const float t = std::min(1.0f, u * slope);
        const float w = 1.0f - t;
        return (t * (1.0f - a) + (1.0f - w * w) * a) * strength;
    }
    const float a = 1.0f - 2.0f * tipShape;
    const float b = 2.0f * tipShape;
    const float t = u * slope;
    const float q = t * b + t * t * a;
    return std::min(1.0f, q * b + std::max(0.64f, q * q) * q * a) * strength;
}

namespace {

// Writes the mirrored M × M image of a quadrant (rows of `qh` floats) at `out`, rows `stride` apart.
void MirrorQuadrant(const float* quadrant, int32_t qh, int32_t m, float* out, int32_t stride) {
    for (int32_t b = 0; b < m; ++b) {
        const int32_t qb = b < qh ? b : m - 1 - b;
        const float* q = quadrant + qb * qh;
        float* row = out + static_cast<size_t>(b) * stride;
        for (int32_t a = 0; a < qh; ++a)
            row[a] = q[a];
        for (int32_t a = qh; a < m; ++a)
            row[a] = q[m - 1 - a];
    }
}

void FillPlane(const float* quadrant, int32_t qh, int32_t m, float* plane) {
    const int32_t ps = m + 2;
    std::fill(plane, plane + ps, 0.0f);
    std::fill(plane + static_cast<size_t>(m + 1) * ps, plane + static_cast<size_t>(m + 2) * ps, 0.0f);
    for (int32_t j = 1; j <= m; ++j) {
        plane[static_cast<size_t>(j) * ps] = 0.0f;
        plane[static_cast<size_t>(j) * ps + m + 1] = 0.0f;
    }
    MirrorQuadrant(quadrant, qh, m, plane + ps + 1, ps);
}

// One mask from its plane: out(i, j) = w00·U(i, j) + w10·U(i − 1, j) + w01·U(i, j − 1) + w11·U(i − 1, j − 1).
// With row extents only columns [first[j], end[j]) are computed and, with `clear`, the rest of the
// row is set to 0.
void ShiftPlane(const float* plane, int32_t m, float fx, float fy, float* out, int32_t w, int32_t h,
                const int32_t* first, const int32_t* end, bool clear) {
    const int32_t ps = m + 2;
    const float w00 = (1.0f - fx) * (1.0f - fy), w10 = fx * (1.0f - fy);
    const float w01 = (1.0f - fx) * fy, w11 = fx * fy;
    const bool whole = fx == 0.0f && fy == 0.0f;
    const auto shiftRow = ToolRows().shiftMaskRow;
    for (int32_t j = 0; j < h; ++j) {
        const float* cur = plane + static_cast<size_t>(j + 1) * ps;
        const float* up = plane + static_cast<size_t>(j) * ps;
        float* o = out + static_cast<size_t>(j) * w;
        const int32_t a = first ? first[j] : 0, b = end ? end[j] : w;
        if (clear) std::fill(o, o + a, 0.0f);
        if (whole)
            std::copy(cur + 1 + a, cur + 1 + b, o + a);
        else if (b > a)
            shiftRow(cur + a, up + a, o + a, b - a, w00, w10, w01, w11);
        if (clear) std::fill(o + std::max(a, b), o + w, 0.0f);
    }
}

// The profile over a quadrant of distances, one loop per tip shape so each vectorises.
void ProfileQuadrant(const float* r, int32_t count, float k, float s, float sigma, float* out) {
    if (s == 0.5f) {
        for (int32_t i = 0; i < count; ++i)
            out[i] = std::min(1.0f, std::max(0.0f, 1.0f - r[i]) * k) * sigma;
    } else if (s > 0.5f) {
        const float a = 2.0f * s - 1.0f;
        for (int32_t i = 0; i < count; ++i) {
            const float t = std::min(1.0f, std::max(0.0f, 1.0f - r[i]) * k), w = 1.0f - t;
            out[i] = (t * (1.0f - a) + (1.0f - w * w) * a) * sigma;
        }
    } else {
        for (int32_t i = 0; i < count; ++i)
            out[i] = TipProfile(r[i], k, s, sigma);
    }
}

} // namespace

void BuildTipPlanes(const s_TipPars& tip, const float* table, int32_t n, float* quadrant, float* planeA,
                    float* planeB, int32_t* planeFirst, int32_t* planeEnd) {
    const int32_t m = tip.maskSize;
    const int32_t qh = (m + 1) / 2;
    const int32_t side = DistanceTableSide(n);
    const int32_t off = (n - m) / 2;
    const float scale = static_cast<float>(n) / tip.softDiameter;
    float* qr = quadrant; // distances first, then the profile over them
    float* qb = quadrant + static_cast<size_t>(qh) * qh;
    for (int32_t b = 0; b < qh; ++b) {
        const float* t = table + static_cast<size_t>(b + off) * side + off;
        for (int32_t a = 0; a < qh; ++a)
            qr[b * qh + a] = t[a] * scale;
    }
    const int32_t count = qh * qh;
    if (tip.needsEdgeCone && planeB) {
        for (int32_t i = 0; i < count; ++i)
            qb[i] = std::max(0.0f, 1.0f - qr[i]);
        FillPlane(qb, qh, m, planeB);
    }
    ProfileQuadrant(qr, count, tip.slope, tip.tipShape, tip.strength, qr);
    FillPlane(qr, qh, m, planeA);
    if (!planeFirst || !planeEnd) return;
    const bool cone = tip.needsEdgeCone && planeB;
    const int32_t ps = m + 2;
    for (int32_t j = 0; j < m; ++j) {
        const float* ra = planeA + static_cast<size_t>(j + 1) * ps + 1;
        const float* rb = cone ? planeB + static_cast<size_t>(j + 1) * ps + 1 : ra;
        int32_t first = 0, end = m;
        while (first < end && ra[first] == 0.0f && rb[first] == 0.0f)
            ++first;
        while (end > first && ra[end - 1] == 0.0f && rb[end - 1] == 0.0f)
            --end;
        planeFirst[j] = first;
        planeEnd[j] = end;
    }
}

void ShiftTipMasks(s_TipPars& tip, const float* planeA, const float* planeB, const int32_t* planeFirst,
                   const int32_t* planeEnd, bool sameLayout, bool sameShift) {
    if (tip.fx < 0.0f) tip.fx += 1.0f;
    if (tip.fy < 0.0f) tip.fy += 1.0f;
    const int32_t m = tip.maskSize;
    tip.maskWidth = m + (tip.fx != 0.0f ? 1 : 0);
    tip.maskHeight = m + (tip.fy != 0.0f ? 1 : 0);
    const int32_t w = tip.maskWidth, h = tip.maskHeight;
    const bool extents = planeFirst && planeEnd && tip.rowFirst && tip.rowEnd;
    sameLayout = sameLayout && extents;
    sameShift = sameShift && sameLayout;
    if (extents && !sameLayout) {
        // Mask row j mixes image rows j and j - 1 (when fy != 0), each reaching one column
        // further right when fx != 0.
        const int32_t grow = tip.fx != 0.0f ? 1 : 0;
        for (int32_t j = 0; j < h; ++j) {
            int32_t first = w, end = 0;
            for (int32_t k = j - (tip.fy != 0.0f ? 1 : 0); k <= j; ++k) {
                if (k < 0 || k >= m || planeEnd[k] <= planeFirst[k]) continue;
                first = std::min(first, planeFirst[k]);
                end = std::max(end, planeEnd[k] + grow);
            }
            tip.rowFirst[j] = first < end ? first : 0;
            tip.rowEnd[j] = first < end ? std::min(end, w) : 0;
        }
    }
    if (sameShift) return;
    const int32_t* first = extents ? tip.rowFirst : nullptr;
    const int32_t* end = extents ? tip.rowEnd : nullptr;
    ShiftPlane(planeA, m, tip.fx, tip.fy, tip.maskA->As<float>(), w, h, first, end, !sameLayout);
    if (tip.needsEdgeCone && tip.maskB && planeB)
        ShiftPlane(planeB, m, tip.fx, tip.fy, tip.maskB->As<float>(), w, h, first, end, !sameLayout);
}

void BuildTipMasks(s_TipPars& tip, const float* table, int32_t n, float* quadrant, float* planeA,
                   float* planeB) {
    BuildTipPlanes(tip, table, n, quadrant, planeA, planeB);
    tip.rowFirst = tip.rowEnd = nullptr;
    ShiftTipMasks(tip, planeA, planeB, nullptr, nullptr, false);
}

} // namespace tes
