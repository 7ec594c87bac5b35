// Procedural icon artwork. Every tool icon shows a short S-shaped stroke made the way the tool makes
// it (the 3D pens use the tools' own shading formulas), drawn in icon space x, y in 0..1 with y up,
// and gets a soft light halo so it stays readable on dark button faces. The stroke and the halo are
// composited with straight alpha per subsample; the cell stores straight colour.
#include "IconArt.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace gen {
namespace {

struct Col {
    float r = 0, g = 0, b = 0, a = 0;
};

Col Rgb(float r, float g, float b, float a = 1.0f) {
    return Col{r, g, b, a};
}

float Clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
float Mix(float a, float b, float t) {
    return a + (b - a) * t;
}
Col MixCol(const Col& a, const Col& b, float t) {
    return Col{Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t), Mix(a.a, b.a, t)};
}
float SmoothStep(float e0, float e1, float x) {
    const float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

// src over dst, straight alpha.
Col Over(const Col& dst, const Col& src) {
    const float a = src.a + dst.a * (1.0f - src.a);
    if (a <= 0.0f) return Col{};
    const float kd = dst.a * (1.0f - src.a);
    return Col{(src.r * src.a + dst.r * kd) / a, (src.g * src.a + dst.g * kd) / a,
               (src.b * src.a + dst.b * kd) / a, a};
}

// A polyline sampled from a cubic Bézier, with the nearest-point query the strokes need.
struct Path {
    std::vector<float> x, y, len; // len: arc length from the start

    static Path Cubic(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
        Path p;
        const int n = 240;
        for (int i = 0; i <= n; ++i) {
            const float t = float(i) / n, u = 1.0f - t;
            p.x.push_back(u * u * u * x0 + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t * t * t * x3);
            p.y.push_back(u * u * u * y0 + 3 * u * u * t * y1 + 3 * u * t * t * y2 + t * t * t * y3);
            p.len.push_back(i == 0 ? 0.0f
                                   : p.len.back() + std::hypot(p.x[i] - p.x[i - 1], p.y[i] - p.y[i - 1]));
        }
        return p;
    }

    // Distance to the path, position along it (0..1) and the signed side (+ left of the direction).
    void Query(float px, float py, float& dist, float& along, float& side) const {
        float best = 1e9f;
        along = 0.0f;
        side = 0.0f;
        for (size_t i = 0; i + 1 < x.size(); ++i) {
            const float dx = x[i + 1] - x[i], dy = y[i + 1] - y[i];
            const float l2 = dx * dx + dy * dy;
            float t = l2 > 0.0f ? ((px - x[i]) * dx + (py - y[i]) * dy) / l2 : 0.0f;
            t = Clamp01(t);
            const float qx = x[i] + t * dx - px, qy = y[i] + t * dy - py;
            const float d = std::sqrt(qx * qx + qy * qy);
            if (d < best) {
                best = d;
                along = (len[i] + t * (len[i + 1] - len[i])) / len.back();
                side = (dx * (py - y[i]) - dy * (px - x[i])) >= 0.0f ? 1.0f : -1.0f;
            }
        }
        dist = best;
    }
};

const Path& Swoosh() {
    static const Path p = Path::Cubic(0.13f, 0.27f, 0.36f, 0.99f, 0.62f, 0.01f, 0.87f, 0.73f);
    return p;
}

// Coverage of a disc edge at distance d from the centre line for radius r, antialiased over `aa`.
float Edge(float d, float r, float aa) {
    return Clamp01((r - d) / aa + 0.5f);
}

// Stable pseudo-random value in 0..1 for an integer cell.
float Hash(int ix, int iy, int salt) {
    uint32_t h = uint32_t(ix) * 73856093u ^ uint32_t(iy) * 19349663u ^ uint32_t(salt) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return float(h & 0xFFFFFF) / float(0xFFFFFF);
}

// The 3D pens share one paint colour so their icons differ only by the shading, as the tools do.
const Col kPaint3d = Rgb(0.86f, 0.16f, 0.30f);
const Col kInk = Rgb(0.07f, 0.09f, 0.22f);

// Pen: an even, crisp ink line.
Col PenIcon(float x, float y, float aa) {
    float d, t, s;
    Swoosh().Query(x, y, d, t, s);
    Col c = kInk;
    c.a = Edge(d, 0.062f, aa);
    return c;
}

// Soft pen: the same line with a gaussian edge.
Col SoftPenIcon(float x, float y, float aa) {
    float d, t, s;
    Swoosh().Query(x, y, d, t, s);
    Col c = Rgb(0.12f, 0.20f, 0.50f);
    const float r = 0.115f;
    c.a = d >= r ? 0.0f : std::exp(-3.2f * (d / r) * (d / r)) * (1.0f - SmoothStep(0.8f * r, r, d));
    return c;
}

// Tube shading: e is 1 on the centre line and 0 at the rim (a cone, as the tip's edge cone).
float TubeE(float d, float r) {
    return Clamp01(1.0f - d / r);
}
const float kTubeRadius = 0.092f;

// Dark 3D pen: paint along the middle, darkening quadratically to a black rim.
Col Dark3dIcon(float x, float y, float aa) {
    float d, t, s;
    Swoosh().Query(x, y, d, t, s);
    const float e = TubeE(d, kTubeRadius);
    const float w = (1.0f - e) * (1.0f - e);
    Col c = MixCol(kPaint3d, Rgb(0, 0, 0), w);
    c.a = Edge(d, kTubeRadius, aa);
    return c;
}

// Light 3D pen: white along the middle, the paint colour at the rim.
Col Light3dIcon(float x, float y, float aa) {
    float d, t, s;
    Swoosh().Query(x, y, d, t, s);
    const float e = TubeE(d, kTubeRadius);
    Col c = MixCol(kPaint3d, Rgb(1, 1, 1), e);
    c.a = Edge(d, kTubeRadius, aa);
    return c;
}

// Medium 3D pen: the dark pen's tube with a light highlight running on its upper-left flank.
Col Medium3dIcon(float x, float y, float aa) {
    float d, t, s;
    Swoosh().Query(x, y, d, t, s);
    const float e = TubeE(d, kTubeRadius);
    const float w = (1.0f - e) * (1.0f - e);
    Col c = MixCol(kPaint3d, Rgb(0.08f, 0.0f, 0.02f), w * 0.85f);
    // Highlight band at 40 % of the radius on the left side of the stroke's direction.
    const float off = s * d / kTubeRadius;
    const float h = std::exp(-std::pow((off - 0.38f) / 0.22f, 2.0f));
    c = MixCol(c, Rgb(1.0f, 0.93f, 0.95f), 0.85f * h);
    c.a = Edge(d, kTubeRadius, aa);
    return c;
}

// A four-pointed sparkle (astroid-like star) at (cx, cy) with radius r.
float Sparkle(float x, float y, float cx, float cy, float r, float aa) {
    const float dx = std::fabs(x - cx) / r, dy = std::fabs(y - cy) / r;
    const float v = std::sqrt(dx) + std::sqrt(dy); // 1 on the star's outline
    const float core = Edge(std::hypot(x - cx, y - cy), 0.16f * r, aa);
    return std::max(Clamp01((1.0f - v) / (aa / r * 2.0f) + 0.5f), core);
}

// Glitter pen: a violet stroke sprinkled with gold, and a few sparkles on it.
Col GlitterIcon(float x, float y, float aa) {
    float d, t, s;
    Swoosh().Query(x, y, d, t, s);
    const float r = 0.075f;
    Col c = Rgb(0.45f, 0.18f, 0.80f);
    // Sprinkles: about one cell in three of a 1/40 grid takes a highlight colour.
    const int ix = int(std::floor(x * 56.0f)), iy = int(std::floor(y * 56.0f));
    const float hsh = Hash(ix, iy, 7);
    if (hsh < 0.26f)
        c = MixCol(c, Rgb(1.0f, 0.84f, 0.30f), 0.6f + 0.4f * Hash(ix, iy, 11));
    else if (hsh < 0.34f)
        c = MixCol(c, Rgb(1.0f, 1.0f, 1.0f), 0.8f);
    c.a = Edge(d, r, aa);
    const struct {
        float x, y, r;
    } stars[] = {{0.21f, 0.50f, 0.12f}, {0.53f, 0.52f, 0.09f}, {0.80f, 0.47f, 0.13f}, {0.64f, 0.86f, 0.07f}};
    for (const auto& st : stars) {
        const float k = Sparkle(x, y, st.x, st.y, st.r, aa);
        if (k <= 0.0f) continue;
        // Gold star with a white-hot core.
        const float core = std::exp(-std::pow(std::hypot(x - st.x, y - st.y) / (0.35f * st.r), 2.0f));
        c = Over(c, Rgb(1.0f, 0.78f + 0.22f * core, 0.10f + 0.85f * core, k));
    }
    return c;
}

// Smudge: a round blob of two paints, swirled into each other around its centre.
Col SmudgeIcon(float x, float y, float aa) {
    const float cx = 0.5f, cy = 0.5f;
    float dx = x - cx, dy = y - cy;
    const float rr = std::sqrt(dx * dx + dy * dy);
    // Swirl: rotate the sample by an angle that fades out from the centre.
    const float ang = 2.6f * std::exp(-rr * rr / 0.05f);
    const float ca = std::cos(ang), sa = std::sin(ang);
    const float wx = ca * dx - sa * dy, wy = sa * dx + ca * dy;
    // Ragged outline: a little wobble in the radius around the blob.
    const float theta = std::atan2(dy, dx);
    const float radius = 0.36f + 0.025f * std::sin(5.0f * theta + 1.0f) + 0.015f * std::sin(9.0f * theta);
    const float side = SmoothStep(-0.06f, 0.06f, wx * 0.8f + wy * 0.6f);
    Col c = MixCol(Rgb(0.95f, 0.75f, 0.10f), Rgb(0.10f, 0.45f, 0.85f), side);
    // Soft outer fade: smudged paint thins out at the rim.
    c.a = Edge(rr, radius, aa) * (0.55f + 0.45f * (1.0f - SmoothStep(radius * 0.6f, radius, rr)));
    return c;
}

// Drag: a paint dab on the left pulled out to the right in tapering streaks.
Col DragIcon(float x, float y, float aa) {
    const float cx = 0.30f, cy = 0.50f, r = 0.20f;
    Col paint = Rgb(0.10f, 0.62f, 0.38f);
    float a = Edge(std::hypot(x - cx, y - cy), r, aa);
    const float band = (y - cy) / r; // -1..1 across the dab
    if (x > cx && std::fabs(band) < 1.0f) {
        // Five streaks; each one's length and strength vary, and a thin seam separates them.
        const float pos = (band + 1.0f) * 2.5f;
        const int index = std::min(4, int(pos));
        const float seam = std::fabs(pos - index - 0.5f) * 2.0f; // 0 mid-streak, 1 at a seam
        const float inside = std::sqrt(1.0f - band * band) * r;  // dab edge at this height
        const float reach = (0.36f + 0.22f * Hash(index, 3, 5)) * std::sqrt(1.0f - band * band * 0.7f);
        const float u = (x - cx - inside) / reach; // 0 at the dab, 1 at the streak's tip
        if (u > 0.0f) {
            const float taper = std::pow(Clamp01(1.0f - u), 0.8f);
            const float width = 1.0f - SmoothStep(0.55f + 0.35f * (1.0f - u), 1.0f, seam);
            a = std::max(a, taper * width * (0.75f + 0.25f * Hash(index, 9, 2)) *
                                Edge(std::fabs(band), 1.0f, aa / r));
            paint = MixCol(paint, Rgb(0.45f, 0.80f, 0.58f), Clamp01(u) * 0.5f);
        }
    }
    paint.a = a;
    return paint;
}

// Eraser: a tilted two-tone rubber block that has rubbed out the start of an ink line.
Col EraserIcon(float x, float y, float aa) {
    float d, t, s;
    Swoosh().Query(x, y, d, t, s);
    Col c = kInk;
    c.a = Edge(d, 0.055f, aa) * SmoothStep(0.50f, 0.62f, t);
    // Block: a rounded rectangle rotated by 35 degrees, lower left of the middle.
    const float ang = 0.61f, ca = std::cos(ang), sa = std::sin(ang);
    const float bx = 0.38f, by = 0.40f;
    const float lx = ca * (x - bx) + sa * (y - by), ly = -sa * (x - bx) + ca * (y - by);
    const float hw = 0.31f, hh = 0.14f, rad = 0.05f;
    const float qx = std::fabs(lx) - (hw - rad), qy = std::fabs(ly) - (hh - rad);
    const float dist =
        std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - rad;
    const float cover = Clamp01(-dist / aa + 0.5f);
    if (cover > 0.0f) {
        // Rubber on the lower left, a blue paper sleeve on the upper right; lit from the top.
        const bool sleeve = lx > 0.04f;
        Col body = sleeve ? Rgb(0.22f, 0.42f, 0.80f) : Rgb(0.98f, 0.55f, 0.62f);
        const float light = 0.80f + 0.28f * (ly / hh);
        body = Rgb(Clamp01(body.r * light), Clamp01(body.g * light), Clamp01(body.b * light));
        // A thin darker rim gives the block its edge.
        const float rim = SmoothStep(-0.022f, -0.008f, dist);
        body = MixCol(body, Rgb(body.r * 0.55f, body.g * 0.55f, body.b * 0.55f), rim);
        if (std::fabs(lx - 0.04f) < 0.008f) body = Rgb(0.95f, 0.95f, 1.0f);
        body.a = cover;
        c = Over(c, body);
    }
    return c;
}

// Pen-size dots: a dark ink ball with a faint highlight. `rel` is the dot radius in the cell.
Col DotIcon(float x, float y, float aa, float rel) {
    const float d = std::hypot(x - 0.5f, y - 0.5f);
    Col c = Rgb(0.10f, 0.10f, 0.12f);
    const float hl =
        std::exp(-std::pow(std::hypot(x - 0.5f + rel * 0.35f, y - 0.5f - rel * 0.35f) / (rel * 0.45f), 2.0f));
    c = MixCol(c, Rgb(0.55f, 0.55f, 0.60f), 0.6f * hl);
    c.a = Edge(d, rel, aa);
    return c;
}

using Shader = std::function<Col(float, float, float)>;

void Render(const Shader& shade, int size, bool halo, RgbaCell& out) {
    const int ss = 4;
    out.size = size;
    out.rgba.assign(size_t(size) * size * 4, 0.0f);
    const float px = 1.0f / size;
    const float aa = px / ss * 1.5f;
    std::vector<float> prem(size_t(size) * size * 4, 0.0f);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            float acc[4] = {0, 0, 0, 0};
            for (int sj = 0; sj < ss; ++sj)
                for (int si = 0; si < ss; ++si) {
                    const float x = (i + (si + 0.5f) / ss) * px;
                    const float y = 1.0f - (j + (sj + 0.5f) / ss) * px;
                    const Col c = shade(x, y, aa);
                    acc[0] += c.r * c.a;
                    acc[1] += c.g * c.a;
                    acc[2] += c.b * c.a;
                    acc[3] += c.a;
                }
            float* p = &prem[(size_t(j) * size + i) * 4];
            for (int k = 0; k < 4; ++k)
                p[k] = acc[k] / (ss * ss);
        }
    // Halo: the art's alpha, widened by a max filter and softened by a box blur, as white under the art.
    std::vector<float> haloA(size_t(size) * size, 0.0f);
    if (halo) {
        const int rmax = std::max(1, size / 40), rblur = std::max(1, size / 64);
        std::vector<float> wide(size_t(size) * size, 0.0f);
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i) {
                float m = 0.0f;
                for (int dj = -rmax; dj <= rmax; ++dj)
                    for (int di = -rmax; di <= rmax; ++di) {
                        const int u = i + di, v = j + dj;
                        if (u < 0 || v < 0 || u >= size || v >= size || di * di + dj * dj > rmax * rmax)
                            continue;
                        m = std::max(m, prem[(size_t(v) * size + u) * 4 + 3]);
                    }
                wide[size_t(j) * size + i] = m;
            }
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i) {
                float sum = 0.0f;
                int n = 0;
                for (int dj = -rblur; dj <= rblur; ++dj)
                    for (int di = -rblur; di <= rblur; ++di) {
                        const int u = i + di, v = j + dj;
                        if (u < 0 || v < 0 || u >= size || v >= size) continue;
                        sum += wide[size_t(v) * size + u];
                        ++n;
                    }
                haloA[size_t(j) * size + i] = 0.6f * sum / n;
            }
    }
    for (size_t k = 0; k < size_t(size) * size; ++k) {
        const float* p = &prem[k * 4];
        Col art = p[3] > 0.0f ? Rgb(p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]) : Col{};
        const Col c = Over(Rgb(1.0f, 1.0f, 1.0f, haloA[k]), art);
        out.rgba[k * 4 + 0] = c.r;
        out.rgba[k * 4 + 1] = c.g;
        out.rgba[k * 4 + 2] = c.b;
        out.rgba[k * 4 + 3] = c.a;
    }
}

} // namespace

bool DrawIcon(uint8_t code, int size, RgbaCell& out) {
    switch (code) {
    case 'A':
        Render(PenIcon, size, true, out);
        return true;
    case 'B':
        Render(EraserIcon, size, true, out);
        return true;
    case 'C':
        Render(SoftPenIcon, size, true, out);
        return true;
    case 'D':
        Render(Dark3dIcon, size, true, out);
        return true;
    case 'E':
        Render(Medium3dIcon, size, true, out);
        return true;
    case 'F':
        Render(Light3dIcon, size, true, out);
        return true;
    case 'G':
        Render(SmudgeIcon, size, true, out);
        return true;
    case 'H':
        Render(DragIcon, size, true, out);
        return true;
    case 'I':
        Render(GlitterIcon, size, true, out);
        return true;
    case '.':
        Render([](float x, float y, float aa) { return DotIcon(x, y, aa, 0.30f); }, size, true, out);
        return true;
    case 0xA5:
        Render([](float x, float y, float aa) { return DotIcon(x, y, aa, 0.42f); }, size, true, out);
        return true;
    default:
        return false;
    }
}

} // namespace gen
