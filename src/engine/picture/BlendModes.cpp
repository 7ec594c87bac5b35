// The 55 blend functions and their name table.
// Pixel contract: straight linear colour, no clamping, NaN and HDR values pass through. Each
// formula is evaluated in double in the written order and rounded to single precision only at the
// points the mode names (marked "single") and when the result is stored. Every divisor is raised
// to at least 0.0625 first (which also removes negative divisors and turns a NaN divisor into it).
#include "engine/picture/BlendModes.h"

#include <cmath>

namespace {

inline float Single(double v) {
    return static_cast<float>(v);
}
inline double Floor16(double v) {
    return v > 0.0625 ? v : 0.0625;
}

// ---- per-channel modes: X depends only on the same channel of B and L --------------------

template <double (*Op)(double b, double l)>
void PerChannel(float br, float bg, float bb, float& lr, float& lg, float& lb) {
    lr = Single(Op(br, lr));
    lg = Single(Op(bg, lg));
    lb = Single(Op(bb, lb));
}

double OpAdd(double b, double l) {
    return b + l;
}
double OpSubtract(double b, double l) {
    return b - l;
}
double OpInverseSubtract(double b, double l) {
    return l - b;
}
double OpMultiply(double b, double l) {
    return b * l;
}
double OpDivide(double b, double l) {
    return b / Floor16(l);
}
double OpDifference(double b, double l) {
    return std::fabs(static_cast<double>(Single(l - b)));
}
double OpNegation(double b, double l) {
    return 1.0 - std::fabs(1.0 - b - l);
}
double OpExclusion(double b, double l) {
    return l + b - 2.0 * b * l;
}
double OpPickLight(double b, double l) {
    return b > l ? b : l;
}
double OpPickDark(double b, double l) {
    return b < l ? b : l;
}
double OpScreen(double b, double l) {
    return 1.0 - (1.0 - l) * (1.0 - b);
}
double OpOverlay(double b, double l) {
    return (1.0 - b) * (b * l) + (1.0 - (1.0 - l) * (1.0 - b)) * b;
}
double OpDodge(double b, double l) {
    return b / Floor16(1.0 - l);
}
double OpInverseDodge(double b, double l) {
    return l / Floor16(1.0 - b);
}
// B + L exactly 1 takes the second branch in both soft modes.
double OpSoftDodge(double b, double l) {
    return b + l < 1.0 ? 0.5 * b / Floor16(1.0 - l) : 1.0 - 0.5 * (1.0 - l) / Floor16(b);
}
double OpBurn(double b, double l) {
    return 1.0 - (1.0 - b) / Floor16(l);
}
double OpInverseBurn(double b, double l) {
    return 1.0 - (1.0 - l) / Floor16(b);
}
double OpSoftBurn(double b, double l) {
    return b + l < 1.0 ? 0.5 * l / Floor16(1.0 - b) : 1.0 - 0.5 * (1.0 - b) / Floor16(l);
}
double OpLinearBurn(double b, double l) {
    return l + b - 1.0;
}
double OpHardLight(double b, double l) {
    return (1.0 - l) * (b * l) + (1.0 - (1.0 - b) * (1.0 - l)) * l;
}
// 1 - B and 1 - L single.
double OpSoftLight(double b, double l) {
    const double ib = Single(1.0 - b);
    const double il = Single(1.0 - l);
    return (ib * b * b * l + b) * l + b * il * l;
}
// The floored divisor d single.
double OpVividLight(double b, double l) {
    const double d = Single(Floor16(2.0 * (1.25 - l)));
    return (b / d) * l + (1.0 - (1.0 - b) * d) * (1.0 - l);
}
double OpLinearLight(double b, double l) {
    return 2.0 * l + b - 1.0;
}
// 2L single before the comparisons.
double OpPinLight(double b, double l) {
    const double hi = Single(2.0 * l);
    if (b > hi) return hi;
    if (b < hi - 1.0) return hi - 1.0;
    return b;
}
double OpReflect(double b, double l) {
    return b * b / Floor16(1.0 - l);
}
double OpGlow(double b, double l) {
    return l * l / Floor16(1.0 - b);
}
double OpFreeze(double b, double l) {
    const double ib = 1.0 - b;
    return (1.0 - ib * ib) / Floor16(l);
}
double OpHeat(double b, double l) {
    const double il = 1.0 - l;
    return (1.0 - il * il) / Floor16(b);
}
double OpBinarizeAverage(double b, double l) {
    return b + l >= 1.0 ? 1.0 : 0.0;
}

// ---- modes that use the pixel mean or sum ------------------------------------------------

inline double Sum3(float r, float g, float b) {
    return static_cast<double>(r) + g + b;
}
// Pixel mean, single.
inline double Mean3(float r, float g, float b) {
    return Single(Sum3(r, g, b) / 3.0);
}

// Selective picks: each channel keeps B when its deviation wins the comparison, else L (ties
// keep L). Deviations are single before comparing.
template <bool kNear> inline float PickByDeviation(float b, float l, double devB, double devL) {
    const float db = std::fabs(Single(devB));
    const float dl = std::fabs(Single(devL));
    const bool keepBase = kNear ? db < dl : db > dl;
    return keepBase ? b : l;
}

// Deviation of a level from its own pixel's mean, scaled by 3: S - 3 * level.
template <bool kNear> void PickOwnBrightness(float br, float bg, float bb, float& lr, float& lg, float& lb) {
    const double sb = Sum3(br, bg, bb);
    const double sl = Sum3(lr, lg, lb);
    lr = PickByDeviation<kNear>(br, lr, sb - 3.0 * br, sl - 3.0 * lr);
    lg = PickByDeviation<kNear>(bg, lg, sb - 3.0 * bg, sl - 3.0 * lg);
    lb = PickByDeviation<kNear>(bb, lb, sb - 3.0 * bb, sl - 3.0 * lb);
}

// Deviation from the mean M of both pixels together (M single).
template <bool kNear>
void PickComboBrightness(float br, float bg, float bb, float& lr, float& lg, float& lb) {
    const double m = Single((Sum3(br, bg, bb) + Sum3(lr, lg, lb)) / 6.0);
    lr = PickByDeviation<kNear>(br, lr, m - br, m - lr);
    lg = PickByDeviation<kNear>(bg, lg, m - bg, m - lg);
    lb = PickByDeviation<kNear>(bb, lb, m - bb, m - lb);
}

// Brightness-difference modes: Op(b, l, mB, mL) per channel.
template <double (*Op)(double b, double l, double mb, double ml)>
void WithMeans(float br, float bg, float bb, float& lr, float& lg, float& lb) {
    const double mb = Mean3(br, bg, bb);
    const double ml = Mean3(lr, lg, lb);
    lr = Single(Op(br, lr, mb, ml));
    lg = Single(Op(bg, lg, mb, ml));
    lb = Single(Op(bb, lb, mb, ml));
}

double OpAddBrightnessDiff(double b, double l, double mb, double ml) {
    return b + (l - ml);
}
double OpSubBrightnessDiff(double b, double l, double mb, double ml) {
    return b - (l - ml);
}
double OpMulBrightnessDiffs(double b, double l, double mb, double ml) {
    return (b - mb) * (l - ml) + mb;
}
// The inverse modes: background and blend switch places during the calculation.
template <double (*Op)(double b, double l, double mb, double ml)>
double Switched(double b, double l, double mb, double ml) {
    return Op(l, b, ml, mb);
}

// ---- channel pickers ---------------------------------------------------------------------

template <bool kR, bool kG, bool kB>
void TakeChannels(float br, float bg, float bb, float& lr, float& lg, float& lb) {
    if (!kR) lr = br;
    if (!kG) lg = bg;
    if (!kB) lb = bb;
}

// ---- RGB-sum modes -----------------------------------------------------------------------

inline float MinWithZero(float r, float g, float b) {
    float m = 0.0f;
    if (r < m) m = r;
    if (g < m) m = g;
    if (b < m) m = b;
    return m;
}

// Proportions of (r, g, b) above its floor n within the shifted sum s (single); the fixed split
// when s is not above 0.
inline void Proportions(float r, float g, float b, float n, float s, float w[3]) {
    if (s > 0.0f) {
        w[0] = Single((static_cast<double>(r) - n) / s);
        w[1] = Single((static_cast<double>(g) - n) / s);
        w[2] = Single((static_cast<double>(b) - n) / s);
    } else {
        w[0] = 0.333f;
        w[1] = 0.333f;
        w[2] = 0.334f;
    }
}

// kBlendProportions: the blend's proportions with the base's sum (56); otherwise the base's
// proportions with the blend's sum (57).
template <bool kBlendProportions>
void RgbSumMode(float br, float bg, float bb, float& lr, float& lg, float& lb) {
    const float nb = MinWithZero(br, bg, bb);
    const float nl = MinWithZero(lr, lg, lb);
    const float sb = Single(Sum3(br, bg, bb) - 3.0 * nb);
    const float sl = Single(Sum3(lr, lg, lb) - 3.0 * nl);
    float w[3];
    double n, s;
    if (kBlendProportions) {
        Proportions(lr, lg, lb, nl, sl, w);
        n = nb;
        s = sb;
    } else {
        Proportions(br, bg, bb, nb, sb, w);
        n = nl;
        s = sl;
    }
    lr = Single(n + w[0] * s);
    lg = Single(n + w[1] * s);
    lb = Single(n + w[2] * s);
}

// ---- HSL modes ---------------------------------------------------------------------------

// Hue, saturation and lightness in single precision, with the range (offset, scale) that brought
// the colour into 0..1, so that HDR and negative colours survive the way there and back.
struct s_Hsl {
    float h, s, l;
    double offset, scale;
};

// kHue / kSat: whether hue and saturation are wanted (each costs a division); lightness and the
// range always come out.
template <bool kHue, bool kSat> s_Hsl ToHsl(float r0, float g0, float b0) {
    s_Hsl out;
    out.h = out.s = 0.0f;
    float mn0 = r0 < g0 ? r0 : g0;
    if (b0 < mn0) mn0 = b0;
    out.offset = mn0 < 0.0f ? mn0 : 0.0;
    double r = r0 - out.offset, g = g0 - out.offset, b = b0 - out.offset;
    double mx = r > g ? r : g;
    if (b > mx) mx = b;
    out.scale = mx > 1.0 ? mx : 1.0;
    if (out.scale != 1.0) {
        r /= out.scale;
        g /= out.scale;
        b /= out.scale;
    }
    mx = r > g ? r : g;
    if (b > mx) mx = b;
    double mn = r < g ? r : g;
    if (b < mn) mn = b;
    out.l = Single(0.5 * (mx + mn));
    const double d = mx - mn;
    if (d == 0.0) return out;
    if (kSat) out.s = Single(mx + mn < 1.0 ? d / (mx + mn) : d / (2.0 - mx - mn));
    if (kHue) {
        double h;
        if (r == mx)
            h = g - b;
        else if (g == mx)
            h = 2.0 * d + (b - r);
        else
            h = 4.0 * d + (r - g);
        float hs = Single(h / (6.0 * d));
        if (hs < 0.0f)
            hs = Single(hs + 1.0);
        else if (hs >= 1.0f)
            hs = Single(hs - 1.0);
        out.h = hs;
    }
    return out;
}

// Six hue sectors, chosen by table rather than by branches (the hue of neighbouring pixels
// varies freely); then back into the given range.
void FromHsl(double h, double s, double l, double offset, double scale, float& r, float& g, float& b) {
    double c[3];
    if (s == 0.0) {
        c[0] = c[1] = c[2] = l;
    } else {
        const double q = l < 0.5 ? l * (1.0 + s) : l + s - l * s;
        const double p = 2.0 * l - q;
        const double h6 = h * 6.0;
        int i = static_cast<int>(h6);
        if (i > h6) --i; // floor
        const double f = h6 - i;
        // p, q, rising and falling edge of the sector.
        const double v[4] = {p, q, p + (q - p) * f, q - (q - p) * f};
        static const unsigned char kPick[6][3] = {{1, 2, 0}, {3, 1, 0}, {0, 1, 2},
                                                  {0, 3, 1}, {2, 0, 1}, {1, 0, 3}};
        int sector = i % 6;
        if (sector < 0) sector += 6;
        c[0] = v[kPick[sector][0]];
        c[1] = v[kPick[sector][1]];
        c[2] = v[kPick[sector][2]];
    }
    r = Single(c[0] * scale + offset);
    g = Single(c[1] * scale + offset);
    b = Single(c[2] * scale + offset);
}

// Hue wrap of the hue-difference modes: one step back into 0..1.
inline double WrapHue(double h) {
    if (h < 0.0) return h + 1.0;
    if (h > 1.0) return h - 1.0;
    return h;
}

enum e_HslMode { kHslColor, kHslHue, kHslSaturation, kHslLuminance, kHslAddHueDiff, kHslSubHueDiff };

template <int kMode> void HslMode(float br, float bg, float bb, float& lr, float& lg, float& lb) {
    constexpr bool kBlendHue = kMode != kHslSaturation && kMode != kHslLuminance;
    constexpr bool kBlendSat = kMode == kHslColor || kMode == kHslSaturation;
    constexpr bool kBaseHue = kMode != kHslColor && kMode != kHslHue;
    constexpr bool kBaseSat = kMode != kHslColor && kMode != kHslSaturation;
    const s_Hsl base = ToHsl<kBaseHue, kBaseSat>(br, bg, bb);
    const s_Hsl blend = ToHsl<kBlendHue, kBlendSat>(lr, lg, lb);
    double h = base.h, s = base.s, l = base.l;
    double offset = base.offset, scale = base.scale;
    switch (kMode) {
    case kHslColor:
        h = blend.h, s = blend.s;
        break;
    case kHslHue:
        h = blend.h;
        break;
    case kHslSaturation:
        s = blend.s;
        break;
    case kHslLuminance:
        l = blend.l;
        offset = blend.offset;
        scale = blend.scale;
        break;
    case kHslAddHueDiff:
        h = Single(WrapHue(base.h + 2.0 * (static_cast<double>(blend.h) - base.h)));
        break;
    case kHslSubHueDiff:
        h = Single(WrapHue(base.h - (static_cast<double>(blend.h) - base.h)));
        break;
    }
    FromHsl(h, s, l, offset, scale, lr, lg, lb);
}

// ---- tables ------------------------------------------------------------------------------

struct s_ModeEntry {
    t_TesBlendFunction fn;
    const char* name;
    const char* description;
};

const char kGeneric[] = "Click to select this blend mode.";
const char kSwitch[] = "The background and blend layer will switch places during calculation.";

const s_ModeEntry kModes[kTesBlendModeMax + 1] = {
    {nullptr, "Normal", kGeneric},
    {PerChannel<OpAdd>, "Add (Linear Dodge)", kGeneric},
    {PerChannel<OpSubtract>, "Subtract", kGeneric},
    {PerChannel<OpMultiply>, "Multiply", kGeneric},
    {PerChannel<OpDivide>, "Divide", kGeneric},
    {PerChannel<OpDifference>, "Difference", kGeneric},
    {PerChannel<OpNegation>, "Negation", kGeneric},
    {PerChannel<OpExclusion>, "Exclusion", kGeneric},
    {PerChannel<OpPickLight>, "Pick Light", "Uses the highest levels."},
    {PerChannel<OpPickDark>, "Pick Dark", "Uses the lowest levels."},
    {PickOwnBrightness<true>, "Pick Near Brightness",
     "Uses the levels that are closest to their pixel mean level."},
    {PickOwnBrightness<false>, "Pick Far From Brightness",
     "Uses the levels that differ the most from their pixel mean level."},
    {PickComboBrightness<true>, "Pick Near Combo Brightness",
     "Uses the levels that are closest to the combined background and blend pixel mean level."},
    {PickComboBrightness<false>, "Pick Far From Combo Brightness",
     "Uses the levels that differ the most from the combined background and blend pixel mean level."},
    {WithMeans<OpAddBrightnessDiff>, "Add Brightness Difference", kGeneric},
    {WithMeans<OpSubBrightnessDiff>, "Subtract Brightness Difference", kGeneric},
    {WithMeans<OpMulBrightnessDiffs>, "Multiply Brightness Differences", kGeneric},
    {WithMeans<Switched<OpAddBrightnessDiff>>, "Inverse Add Brightness Difference", kSwitch},
    {WithMeans<Switched<OpSubBrightnessDiff>>, "Inverse Subtract Brightness Difference", kSwitch},
    {WithMeans<Switched<OpMulBrightnessDiffs>>, "Inverse Multiply Brightness Differences", kSwitch},
    {PerChannel<OpScreen>, "Screen", kGeneric},
    {PerChannel<OpOverlay>, "Overlay", kGeneric},
    {PerChannel<OpDodge>, "Dodge", kGeneric},
    {PerChannel<OpInverseDodge>, "Inverse Dodge", kGeneric},
    {PerChannel<OpSoftDodge>, "Soft Dodge", kGeneric},
    {PerChannel<OpBurn>, "Burn", kGeneric},
    {PerChannel<OpInverseBurn>, "Inverse Burn", kGeneric},
    {PerChannel<OpSoftBurn>, "Soft Burn", kGeneric},
    {PerChannel<OpLinearBurn>, "Linear Burn (Subtractive)", kGeneric},
    {PerChannel<OpHardLight>, "Hard Light", kGeneric},
    {PerChannel<OpSoftLight>, "Soft Light", kGeneric},
    {PerChannel<OpVividLight>, "Vivid Light", kGeneric},
    {PerChannel<OpLinearLight>, "Linear Light", kGeneric},
    {PerChannel<OpPinLight>, "Pin Light", kGeneric},
    {PerChannel<OpReflect>, "Reflect", kGeneric},
    {PerChannel<OpGlow>, "Glow", kGeneric},
    {PerChannel<OpFreeze>, "Freeze", kGeneric},
    {PerChannel<OpHeat>, "Heat", kGeneric},
    {PerChannel<OpLinearLight>, "Stamp", kGeneric},
    {HslMode<kHslColor>, "Color", kGeneric},
    {HslMode<kHslHue>, "Hue", kGeneric},
    {HslMode<kHslSaturation>, "Saturation", kGeneric},
    {HslMode<kHslLuminance>, "Luminance", kGeneric},
    {HslMode<kHslAddHueDiff>, "Add Hue Difference", kGeneric},
    {HslMode<kHslSubHueDiff>, "Subtract Hue Difference", kGeneric},
    {nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr},
    {TakeChannels<true, false, false>, "Red", "Only uses red channel."},
    {TakeChannels<false, true, false>, "Green", "Only uses green channel."},
    {TakeChannels<false, false, true>, "Blue", "Only uses blue channel."},
    {TakeChannels<false, true, true>, "Green & Blue", "Only uses green and blue channels."},
    {TakeChannels<true, false, true>, "Red & Blue", "Only uses red and blue channels."},
    {TakeChannels<true, true, false>, "Red & Green", "Only uses red and green channels."},
    {PerChannel<OpBinarizeAverage>, "Binarize Average", "Also known as 'Hard Mix'."},
    {RgbSumMode<true>, "Color with kept RGB sum", kGeneric},
    {RgbSumMode<false>, "Brightness using RGB sum", kGeneric},
    {PerChannel<OpInverseSubtract>, "Inverse Subtract", kSwitch},
};

const int kBasic[] = {0, 1, 2, 58, 3, 4, 5, 6, 7};
const int kComponent[] = {39, 40, 43, 44, 41, 42, 56, 57, 49, 50, 51, 52, 53, 54};
const int kSelective[] = {8, 9, 10, 11, 12, 13};
const int kBrightnessDiff[] = {14, 17, 15, 18, 16, 19};
const int kDarkroom[] = {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33};
const int kSpecial[] = {34, 35, 36, 37, 38, 55};

template <size_t N> constexpr int CountOf(const int (&)[N]) {
    return static_cast<int>(N);
}

const s_TesBlendModeGroup kGroups[kTesBlendModeGroupCount] = {
    {"Basic Blend Modes", "Simple arithmetic blend modes.", kBasic, CountOf(kBasic)},
    {"Component Blend Modes",
     "These modes only use specific HSV or RGB components/channels from blend pixels.", kComponent,
     CountOf(kComponent)},
    {"Selective Blend Modes",
     "These modes choose RGB levels from the background and blend pixels using certain rules.", kSelective,
     CountOf(kSelective)},
    {"Brightness Difference Blend Modes",
     "These modes compute the difference between each RGB level and the pixel mean level.\rEvery mode makes "
     "use of the brightness differences in its own way.",
     kBrightnessDiff, CountOf(kBrightnessDiff)},
    {"Darkroom Blend Modes",
     "A set of modes that resemble techniques used in old-fashioned photo development.", kDarkroom,
     CountOf(kDarkroom)},
    {"Special Blend Modes", "Misc. other blend modes.", kSpecial, CountOf(kSpecial)},
};

} // namespace

t_TesBlendFunction GetBlendFunction(int mode) {
    if (mode < 0 || mode > kTesBlendModeMax) return nullptr;
    return kModes[mode].fn;
}

const char* GetBlendModeName(int mode, bool wantDescription) {
    if (mode < 0 || mode > kTesBlendModeMax) return nullptr;
    return wantDescription ? kModes[mode].description : kModes[mode].name;
}

const s_TesBlendModeGroup* GetBlendModeGroup(int index) {
    if (index < 0 || index >= kTesBlendModeGroupCount) return nullptr;
    return &kGroups[index];
}
