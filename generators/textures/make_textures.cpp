// Paints the eight grey paper grains and the six colour materials, all 128 × 128 and seamless:
// every pattern is built from noise, cells, fibres and weaves whose periods divide 128, and every
// neighbourhood lookup wraps, so the textures repeat without a visible edge. Each texture is a
// height field lit from the upper left (as paper looks under a raking light) plus its colour.
// Deterministic: the same program always writes the same files.
#include "platform/ImageCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int N = 128;
constexpr float kPi = 3.14159265358979f;

using Field = std::vector<float>; // N × N, row-major

inline int Wrap(int v) {
    return ((v % N) + N) % N;
}
inline float& At(Field& f, int x, int y) {
    return f[size_t(Wrap(y)) * N + size_t(Wrap(x))];
}
inline float At(const Field& f, int x, int y) {
    return f[size_t(Wrap(y)) * N + size_t(Wrap(x))];
}

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}
inline float Unit(uint32_t h) {
    return float(h & 0xFFFFFF) / float(0x1000000);
} // [0, 1)

struct Rng {
    uint64_t s;
    explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 1) {}
    float Next() { // [0, 1)
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return float(uint32_t(s >> 40)) / float(1u << 24);
    }
};

inline float Fade(float t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

// Gradient noise with `px` lattice cells across and `py` down the tile, so it repeats every 128
// pixels both ways. Range about −0.7..0.7.
float Perlin2(float x, float y, int px, int py, uint32_t seed) {
    const float gx = x * px / N, gy = y * py / N;
    const int x0 = int(std::floor(gx)), y0 = int(std::floor(gy));
    const float fx = gx - x0, fy = gy - y0;
    auto grad = [&](int i, int j, float dx, float dy) {
        const uint32_t h = Hash(uint32_t(((i % px) + px) % px), uint32_t(((j % py) + py) % py), seed);
        const float a = Unit(h) * 2 * kPi;
        return std::cos(a) * dx + std::sin(a) * dy;
    };
    const float n00 = grad(x0, y0, fx, fy), n10 = grad(x0 + 1, y0, fx - 1, fy);
    const float n01 = grad(x0, y0 + 1, fx, fy - 1), n11 = grad(x0 + 1, y0 + 1, fx - 1, fy - 1);
    const float u = Fade(fx), v = Fade(fy);
    const float top = n00 + (n10 - n00) * u, bottom = n01 + (n11 - n01) * u;
    return top + (bottom - top) * v;
}

float Perlin(float x, float y, int period, uint32_t seed) {
    return Perlin2(x, y, period, period, seed);
}

// Fractal sum from `period` upwards, doubling the frequency `octaves` times (capped at 64 cells).
float Fbm(float x, float y, int period, int octaves, float gain, uint32_t seed) {
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves && period <= 64; ++o, period *= 2, amp *= gain) {
        sum += amp * Perlin(x, y, period, seed + uint32_t(o) * 101u);
        norm += amp;
    }
    return sum / norm;
}

// Anisotropic noise: `px` cells across and `py` down, two layers for a richer streak.
float Stretched(float x, float y, int px, int py, uint32_t seed) {
    return 0.6f * Perlin2(x, y, px, py, seed) + 0.4f * Perlin2(x, y, px * 2, py * 2, seed + 7);
}

// Distances to the nearest and second-nearest feature point of a wrapped cell grid (in pixels).
void Worley(float x, float y, int cells, uint32_t seed, float& f1, float& f2, uint32_t* id = nullptr) {
    const float size = float(N) / cells;
    const int cx = int(std::floor(x / size)), cy = int(std::floor(y / size));
    f1 = f2 = 1e9f;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const int ci = cx + i, cj = cy + j;
            const uint32_t h =
                Hash(uint32_t((ci % cells + cells) % cells), uint32_t((cj % cells + cells) % cells), seed);
            const float px = (ci + Unit(h)) * size, py = (cj + Unit(h * 2654435761u + 1)) * size;
            const float d = std::hypot(px - x, py - y);
            if (d < f1) {
                f2 = f1;
                f1 = d;
                if (id) *id = h;
            } else if (d < f2) {
                f2 = d;
            }
        }
}

template <class F> Field Make(F f) {
    Field out(N * N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            out[size_t(y) * N + x] = f(float(x) + 0.5f, float(y) + 0.5f);
    return out;
}

// Adds curved fibres (wrapping at the edges) of the given brightness into `h`.
void Fibres(Field& h, int count, float minLen, float maxLen, float strength, float width, uint64_t seed) {
    Rng r(seed);
    for (int n = 0; n < count; ++n) {
        float x = r.Next() * N, y = r.Next() * N, a = r.Next() * 2 * kPi;
        const float len = minLen + r.Next() * (maxLen - minLen);
        const float bend = (r.Next() - 0.5f) * 0.012f;
        const float s = strength * (0.4f + 0.6f * r.Next());
        for (float t = 0; t < len; t += 0.35f) {
            const float fade = std::sin(kPi * t / len);
            const int ix = int(std::floor(x)), iy = int(std::floor(y));
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) {
                    const float d2 =
                        (ix + i + 0.5f - x) * (ix + i + 0.5f - x) + (iy + j + 0.5f - y) * (iy + j + 0.5f - y);
                    At(h, ix + i, iy + j) += s * fade * 0.35f * std::exp(-d2 / (width * width));
                }
            a += bend + (r.Next() - 0.5f) * 0.03f;
            x += std::cos(a) * 0.35f;
            y += std::sin(a) * 0.35f;
        }
    }
}

// Plain weave of `threads` threads each way (even, so the over/under pattern tiles). `slub`
// varies each thread's thickness; the result is a height in 0..1.
Field Weave(int threads, float slub, float warpAmount, uint32_t seed) {
    return Make([=](float x, float y) {
        const float wx = x + warpAmount * Fbm(x, y, 4, 2, 0.5f, seed + 1);
        const float wy = y + warpAmount * Fbm(x, y, 4, 2, 0.5f, seed + 2);
        const float u = wx * threads / N, v = wy * threads / N;
        const int i = int(std::floor(u)), j = int(std::floor(v));
        const float fu = u - i, fv = v - j;
        const int ti = ((i % threads) + threads) % threads, tj = ((j % threads) + threads) % threads;
        // per-thread thickness (slubs) varying slowly along the thread
        const float thickWarp = 1.0f + slub * Perlin(float(ti) * 4.0f, y, 8, seed + 3 + ti);
        const float thickWeft = 1.0f + slub * Perlin(x, float(tj) * 4.0f, 8, seed + 5 + tj);
        const float warp = std::pow(std::max(0.0f, std::sin(kPi * fu)), 1.0f / thickWarp);
        const float weft = std::pow(std::max(0.0f, std::sin(kPi * fv)), 1.0f / thickWeft);
        const bool warpOnTop = ((ti + tj) & 1) == 0;
        const float hw = warp * (0.55f + 0.45f * std::sin(kPi * fv)) * (warpOnTop ? 1.0f : 0.55f);
        const float hf = weft * (0.55f + 0.45f * std::sin(kPi * fu)) * (warpOnTop ? 0.55f : 1.0f);
        // fine fibres along each thread
        const float fibre = warpOnTop ? Stretched(y, x, 8, 64, seed + 9) : Stretched(x, y, 8, 64, seed + 11);
        return std::max(hw, hf) + 0.12f * fibre;
    });
}

// Lambert shade of a height field lit from the upper left; 1.0 on flat ground.
Field Shade(const Field& h, float relief) {
    Field s(N * N);
    const float lx = -0.6f, ly = -0.6f, lz = 0.53f; // towards the light; y grows downwards
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float dx = (At(h, x + 1, y) - At(h, x - 1, y)) * 0.5f * relief;
            const float dy = (At(h, x, y + 1) - At(h, x, y - 1)) * 0.5f * relief;
            const float len = std::sqrt(dx * dx + dy * dy + 1.0f);
            s[size_t(y) * N + x] = (-dx * lx - dy * ly + lz) / len / lz;
        }
    return s;
}

// Scales a field so its mean and standard deviation become `mean` and `spread`.
void Level(Field& f, float mean, float spread) {
    double m = 0, v = 0;
    for (float a : f)
        m += a;
    m /= f.size();
    for (float a : f)
        v += (a - m) * (a - m);
    const double sd = std::sqrt(v / f.size()) + 1e-9;
    for (float& a : f)
        a = float(mean + (a - m) * spread / sd);
}

void Normalise01(Field& f) {
    const auto [lo, hi] = std::minmax_element(f.begin(), f.end());
    const float a = *lo, b = *hi;
    for (float& v : f)
        v = (v - a) / (b - a + 1e-9f);
}

// A paper: the lit height field plus a little tone variation, levelled to a light paper grey.
std::vector<uint8_t> Paper(Field h, float relief, const Field* tone, float mean, float spread) {
    Normalise01(h);
    Field s = Shade(h, relief);
    if (tone)
        for (size_t i = 0; i < s.size(); ++i)
            s[i] += (*tone)[i];
    Level(s, mean, spread);
    std::vector<uint8_t> out(N * N);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = uint8_t(std::clamp(std::lround(s[i]), 0L, 255L));
    return out;
}

struct Rgb {
    float r, g, b;
};
Rgb Mix(Rgb a, Rgb b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
// Piecewise-linear colour ramp over 0..1.
Rgb Ramp(const std::vector<std::pair<float, Rgb>>& stops, float t) {
    if (t <= stops.front().first) return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i)
        if (t <= stops[i].first)
            return Mix(stops[i - 1].second, stops[i].second,
                       (t - stops[i - 1].first) / (stops[i].first - stops[i - 1].first));
    return stops.back().second;
}

// A material: colour from `colour` at each texel, times the light on `height`.
template <class C>
void Material(std::vector<uint8_t>& rgb, int index, const Field& height, float relief, C colour) {
    Field h = height;
    Normalise01(h);
    const Field s = Shade(h, relief);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const size_t i = size_t(y) * N + x;
            const Rgb c = colour(x, y, h[i]);
            const float k = 0.35f + 0.65f * s[i];
            uint8_t* p = &rgb[(size_t(index) * N * N + i) * 3];
            p[0] = uint8_t(std::clamp(std::lround(c.r * k), 0L, 255L));
            p[1] = uint8_t(std::clamp(std::lround(c.g * k), 0L, 255L));
            p[2] = uint8_t(std::clamp(std::lround(c.b * k), 0L, 255L));
        }
}

std::vector<std::vector<uint8_t>> Papers() {
    std::vector<std::vector<uint8_t>> p;
    // 0 fine cold-press drawing paper
    {
        Field h = Make([](float x, float y) { return Fbm(x, y, 8, 4, 0.6f, 10); });
        Field tone = Make([](float x, float y) { return 0.05f * Fbm(x, y, 4, 3, 0.5f, 11); });
        p.push_back(Paper(h, 9, &tone, 196, 14));
    }
    // 1 rough watercolour paper: rounded bumps of a cell pattern
    {
        Field h = Make([](float x, float y) {
            float f1, f2;
            Worley(x + 3 * Fbm(x, y, 8, 2, 0.5f, 21), y + 3 * Fbm(x, y, 8, 2, 0.5f, 22), 16, 20, f1, f2);
            return -f1 * 0.12f + 0.5f * Fbm(x, y, 16, 3, 0.5f, 23);
        });
        p.push_back(Paper(h, 11, nullptr, 190, 20));
    }
    // 2 artist's canvas
    p.push_back(Paper(Weave(32, 0.35f, 1.2f, 30), 7, nullptr, 182, 24));
    // 3 laid paper: dense laid lines, chain lines every 32 pixels, a fine grain
    {
        Field h = Make([](float x, float y) {
            const float wobble = 0.8f * Fbm(x, y, 4, 2, 0.5f, 41);
            const float laid = 0.5f + 0.5f * std::sin(2 * kPi * (y + wobble) * 42 / N);
            float chain = 0;
            for (int k = 0; k < 4; ++k) {
                float d = std::fabs(std::fmod(x - 16.0f - 32.0f * k + 3 * N, float(N)));
                d = std::min(d, N - d);
                chain += std::exp(-d * d / 2.0f);
            }
            return 0.5f * laid + 0.7f * chain + 0.35f * Fbm(x, y, 16, 3, 0.5f, 42);
        });
        Fibres(h, 60, 10, 30, 0.5f, 0.7f, 43);
        p.push_back(Paper(h, 5, nullptr, 204, 13));
    }
    // 4 fibrous Japanese paper
    {
        Field h = Make([](float x, float y) { return 0.35f * Fbm(x, y, 4, 4, 0.55f, 50); });
        Fibres(h, 220, 15, 70, 0.9f, 0.6f, 51);
        Field tone(N * N);
        Fibres(tone, 70, 20, 60, 0.12f, 0.9f, 52);
        p.push_back(Paper(h, 4, &tone, 210, 12));
    }
    // 5 pastel paper: sharp fine tooth
    {
        Field h = Make([](float x, float y) {
            float f1, f2;
            Worley(x, y, 32, 60, f1, f2);
            return 0.6f * std::min(1.0f, (f2 - f1) * 0.8f) + 0.5f * Fbm(x, y, 32, 2, 0.6f, 61);
        });
        p.push_back(Paper(h, 8, nullptr, 176, 22));
    }
    // 6 fine linen with slubs
    p.push_back(Paper(Weave(48, 0.8f, 0.8f, 70), 6, nullptr, 188, 20));
    // 7 handmade paper: cloudy pulp, lumps and long fibres
    {
        Field h = Make([](float x, float y) {
            float f1, f2;
            Worley(x, y, 8, 80, f1, f2);
            return 0.6f * Fbm(x, y, 4, 5, 0.65f, 81) - 0.01f * f1;
        });
        Fibres(h, 90, 20, 80, 0.6f, 0.8f, 82);
        Field tone = Make([](float x, float y) { return 0.12f * Fbm(x, y, 4, 3, 0.6f, 83); });
        p.push_back(Paper(h, 7, &tone, 198, 18));
    }
    return p;
}

std::vector<uint8_t> Materials() {
    std::vector<uint8_t> rgb(size_t(6) * N * N * 3);
    // 0 oak: growth rings running across, bent by a slow warp, with open pores along the grain
    {
        Field ring(N * N);
        Field h = Make([&](float x, float y) {
            const float warp = 7 * Fbm(x, y, 2, 3, 0.5f, 100) + 1.5f * Fbm(x, y, 8, 2, 0.5f, 101);
            const float t = (y + warp) * 6 / N;
            ring[size_t(y) * N + size_t(x)] = t - std::floor(t);
            return Stretched(x, y, 4, 64, 102);
        });
        Material(rgb, 0, h, 1.2f, [&](int x, int y, float pore) {
            const float r = ring[size_t(y) * N + x];
            // earlywood light, darkening through the year, then the sharp latewood edge
            const Rgb c = Ramp({{0.0f, {204, 156, 100}},
                                {0.55f, {186, 134, 80}},
                                {0.85f, {140, 92, 50}},
                                {0.93f, {118, 74, 38}},
                                {1.0f, {196, 148, 94}}},
                               r);
            const float streak = 0.5f + 0.5f * Stretched(float(x), float(y), 2, 32, 103);
            return Mix(Mix(c, Rgb{150, 104, 60}, 0.3f * streak), Rgb{96, 60, 30}, 0.35f * (1 - pore));
        });
    }
    // 1 white marble with grey veins and a faint warm cloud
    {
        Field vein(N * N);
        Field h = Make([&](float x, float y) {
            const float t = 2 * kPi * (x + y) / N + 4.5f * Fbm(x, y, 2, 5, 0.6f, 110);
            const float thin = std::pow(1 - std::fabs(std::sin(t)), 12.0f);
            const float t2 = 2 * kPi * (x - 2 * y) / N + 5 * Fbm(x, y, 4, 4, 0.55f, 113);
            const float fine = 0.5f * std::pow(1 - std::fabs(std::sin(t2)), 20.0f);
            vein[size_t(y) * N + size_t(x)] = std::min(1.0f, thin + fine);
            return 0.05f * Fbm(x, y, 16, 2, 0.5f, 111);
        });
        Material(rgb, 1, h, 0.25f, [&](int x, int y, float) {
            const float v = vein[size_t(y) * N + x];
            const float cloud = 0.5f + 0.5f * Fbm(float(x), float(y), 4, 4, 0.55f, 112);
            Rgb base = Mix(Rgb{242, 240, 234}, Rgb{222, 218, 212}, cloud);
            base = Mix(base, Rgb{112, 114, 122}, 0.85f * v);
            return Mix(base, Rgb{214, 196, 160}, 0.2f * cloud);
        });
    }
    // 2 granite: speckled grains of several minerals
    {
        Field h = Make([](float x, float y) { return Fbm(x, y, 16, 3, 0.6f, 120); });
        Material(rgb, 2, h, 4, [](int x, int y, float) {
            float f1, f2;
            uint32_t id = 0;
            Worley(float(x), float(y), 32, 121, f1, f2, &id);
            const float pick = Unit(id * 747796405u + 2891336453u);
            Rgb c = pick < 0.45f   ? Rgb{168, 160, 156}
                    : pick < 0.7f  ? Rgb{120, 112, 110}
                    : pick < 0.88f ? Rgb{198, 160, 150}
                                   : Rgb{40, 38, 40};
            const float edge = std::clamp((f2 - f1) * 0.6f, 0.0f, 1.0f);
            return Mix(Rgb{90, 86, 86}, c, 0.5f + 0.5f * edge);
        });
    }
    // 3 brushed steel: fine streaks along x
    {
        Field h = Make([](float x, float y) {
            return Stretched(x, y, 2, 64, 130) + 0.4f * Stretched(x, y, 4, 32, 131);
        });
        Material(rgb, 3, h, 1.5f, [](int x, int y, float t) {
            const float sheen = 0.5f + 0.5f * Perlin(float(x), float(y), 2, 132);
            Rgb c = Mix(Rgb{150, 156, 164}, Rgb{196, 202, 210}, t);
            return Mix(c, Rgb{220, 224, 230}, 0.3f * sheen);
        });
    }
    // 4 leather: small rounded pebbles between fine creases, a mottled brown
    {
        Field h = Make([](float x, float y) {
            float f1, f2;
            Worley(x + 1.5f * Fbm(x, y, 8, 2, 0.5f, 141), y + 1.5f * Fbm(x, y, 8, 2, 0.5f, 142), 24, 140, f1,
                   f2);
            return std::sqrt(1 - std::exp(-(f2 - f1) * 0.9f)) + 0.1f * Fbm(x, y, 32, 2, 0.5f, 143);
        });
        Material(rgb, 4, h, 2.5f, [](int x, int y, float t) {
            const float mottle = 0.5f + 0.5f * Fbm(float(x), float(y), 4, 3, 0.5f, 144);
            return Mix(Mix(Rgb{96, 50, 30}, Rgb{136, 76, 44}, t), Rgb{110, 56, 34}, 0.5f * mottle);
        });
    }
    // 5 cork: pressed granules of light and dark bark
    {
        Field h = Make([](float x, float y) {
            float f1, f2;
            Worley(x, y, 24, 150, f1, f2);
            return std::min(1.0f, (f2 - f1) * 0.5f) + 0.4f * Fbm(x, y, 32, 2, 0.5f, 151);
        });
        Material(rgb, 5, h, 4, [](int x, int y, float t) {
            float f1, f2;
            uint32_t id = 0;
            Worley(float(x), float(y), 24, 150, f1, f2, &id);
            const float shade = Unit(id * 2246822519u + 3266489917u);
            Rgb c = Mix(Rgb{150, 98, 56}, Rgb{206, 160, 108}, shade);
            return Mix(Rgb{90, 56, 30}, c, 0.55f + 0.45f * t);
        });
    }
    return rgb;
}

bool WriteBinary(const std::string& path, const std::vector<uint8_t>& bytes) {
    return vek::WriteFileReplacing(path, bytes.data(), bytes.size());
}

// One sheet showing each texture tiled 2 × 2 (seams would show as lines through a tile's middle),
// `columns` textures to a row.
void Preview(const std::string& path, const uint8_t* texels, int count, int columns, int channels) {
    const int rows = (count + columns - 1) / columns;
    vek::Image8 img;
    if (!img.Create(columns * 2 * N, rows * 2 * N, channels)) return;
    for (int k = 0; k < count; ++k) {
        const uint8_t* t = texels + size_t(k) * N * N * channels;
        for (int y = 0; y < 2 * N; ++y)
            for (int x = 0; x < 2 * N; ++x)
                for (int c = 0; c < channels; ++c)
                    img.Row(k / columns * 2 * N + y)[(k % columns * 2 * N + x) * channels + c] =
                        t[(size_t(y % N) * N + size_t(x % N)) * channels + c];
    }
    vek::SavePng(img.View(), path);
}

// Mean step across the wrap edge over the largest mean step between neighbouring columns (or
// rows) inside the texture: above 1 would show a seam.
double SeamRatio(const uint8_t* t, int channels) {
    double worst = 0;
    for (int axis = 0; axis < 2; ++axis) {
        double step[N] = {};
        for (int k = 0; k < N; ++k)
            for (int i = 0; i < N; ++i)
                for (int c = 0; c < channels; ++c) {
                    const int x0 = axis ? i : k, y0 = axis ? k : i;
                    const int x1 = axis ? i : (k + 1) % N, y1 = axis ? (k + 1) % N : i;
                    step[k] += std::abs(int(t[(size_t(y0) * N + x0) * channels + c]) -
                                        int(t[(size_t(y1) * N + x1) * channels + c]));
                }
        worst = std::max(worst, step[N - 1] / *std::max_element(step, step + N - 1));
    }
    return worst;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : SX_DATA_DIR;
    const std::string preview = argc > 2 ? argv[2] : "";

    std::vector<uint8_t> grey;
    const auto papers = Papers();
    for (const auto& p : papers)
        grey.insert(grey.end(), p.begin(), p.end());
    const std::vector<uint8_t> rgb = Materials();

    vek::ImageView view;
    view.pixels = rgb.data();
    view.width = N;
    view.height = 6 * N;
    view.channels = 3;
    if (!WriteBinary(dir + "/pg128.bin", grey) || !vek::SaveJpeg(view, 96, dir + "/Material128.JPG")) {
        std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
        return 1;
    }
    if (!preview.empty()) {
        Preview(preview + "/papers.png", grey.data(), 8, 4, 1);
        Preview(preview + "/materials.png", rgb.data(), 6, 3, 3);
    }
    std::printf("pg128.bin: %zu bytes, Material128.JPG: 128 x 768\nseam ratios (above 1 shows):",
                grey.size());
    for (int i = 0; i < 8; ++i)
        std::printf(" %.2f", SeamRatio(&grey[size_t(i) * N * N], 1));
    std::printf(" |");
    for (int i = 0; i < 6; ++i)
        std::printf(" %.2f", SeamRatio(&rgb[size_t(i) * N * N * 3], 3));
    std::printf("\n");
    return 0;
}
