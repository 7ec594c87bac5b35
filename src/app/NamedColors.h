// The named colours of the "Colors" menu: eleven hues, each a list of well-known named shades as
// 24-bit sRGB values. Each hue has a short selection (shown first) and its full list. Chosen
// colours become linear paint colours through the sRGB decoding curve.
#pragma once

#include <cstdint>
#include <string>

namespace scribbix {

struct NamedColour {
    const char* name;
    uint32_t rgb;   // 0xRRGGBB, sRGB
    uint8_t hue;    // 1..11, as the hues below
    bool shortList; // also shown in the short selection
};

struct Hue {
    const char* word;    // "Red" .. "Brown"
    uint32_t captionRgb; // the colour the hue's caption is drawn in
    const char* help;    // "Red hues." ..
};

constexpr int kHueCount = 11;
// Hue h (1..11) is kHues[h - 1].
extern const Hue kHues[kHueCount];

extern const NamedColour kNamedColours[];
extern const int kNamedColourCount;

// sRGB byte to linear light: c/255 decoded with the sRGB transfer function's inverse.
float SrgbByteToLinear(uint8_t c);
void RgbToLinear(uint32_t rgb, float out[3]);

// Caption of a hue's entry in the "Colors" menu: the hue word in its colour, then " Colors"
// in the default colour.
std::string HueCaption(int hue);
// "More red hues here."
std::string MoreHuesCaption(int hue);
// Caption of a named colour: a swatch dot in the colour, then the name.
std::string NamedColourCaption(const NamedColour& c);

} // namespace scribbix
