// The named-colour table and the captions built from it. Values are the commonly published sRGB
// values of each name; every hue keeps its short selection first.
#include "app/NamedColors.h"

#include <cctype>
#include <cmath>

namespace scribbix {

const Hue kHues[kHueCount] = {
    {"Red", 0xE52B50, "Red hues."},       {"Orange", 0xFF7518, "Orange hues."},
    {"Yellow", 0xFBEC5D, "Yellow hues."}, {"Green", 0x50C878, "Green hues."},
    {"Cyan", 0x7FFFD4, "Cyan hues."},     {"Blue", 0x6495ED, "Blue hues."},
    {"Violet", 0x9966CC, "Violet hues."}, {"Pink", 0xF8A1E6, "Pink hues."},
    {"White", 0xFFFFFF, "White hues."},   {"Grey", 0x8B8589, "Grey hues."},
    {"Brown", 0x967117, "Brown hues."},
};

const NamedColour kNamedColours[] = {
    // Red
    {"Red", 0xFF0000, 1, true},
    {"Dark Red", 0x8B0000, 1, true},
    {"Crimson", 0xDC143C, 1, true},
    {"Cerise", 0xDE3163, 1, true},
    {"Tea Rose", 0xF4C2C2, 1, true},
    {"Burnt Sienna", 0xE97451, 1, true},
    {"Scarlet", 0xFF2400, 1, true},
    {"Amaranth", 0xE52B50, 1, false},
    {"Firebrick", 0xB22222, 1, false},
    {"Indian Red", 0xCD5C5C, 1, false},
    {"Maroon", 0x800000, 1, false},
    {"Cardinal", 0xC41E3A, 1, false},
    {"Carmine", 0x960018, 1, false},
    {"Ruby", 0xE0115F, 1, false},
    {"Burgundy", 0x800020, 1, false},
    {"Vermilion", 0xE34234, 1, false},
    {"Light Coral", 0xF08080, 1, false},
    {"Salmon", 0xFA8072, 1, false},
    // Orange
    {"Orange", 0xFFA500, 2, true},
    {"Dark Orange", 0xFF8C00, 2, true},
    {"Pumpkin", 0xFF7518, 2, true},
    {"Tangerine", 0xF28500, 2, true},
    {"Coral", 0xFF7F50, 2, true},
    {"Peach", 0xFFE5B4, 2, true},
    {"Apricot", 0xFBCEB1, 2, true},
    {"Orange Red", 0xFF4500, 2, false},
    {"Tomato", 0xFF6347, 2, false},
    {"Burnt Orange", 0xCC5500, 2, false},
    {"Persimmon", 0xEC5800, 2, false},
    {"Carrot Orange", 0xED9121, 2, false},
    {"Mango Tango", 0xFF8243, 2, false},
    {"Light Salmon", 0xFFA07A, 2, false},
    {"Dark Salmon", 0xE9967A, 2, false},
    {"Rust", 0xB7410E, 2, false},
    {"Marigold", 0xEAA221, 2, false},
    // Yellow
    {"Yellow", 0xFFFF00, 3, true},
    {"Gold", 0xFFD700, 3, true},
    {"Lemon", 0xFFF700, 3, true},
    {"Canary", 0xFFFF99, 3, true},
    {"Mustard", 0xFFDB58, 3, true},
    {"Maize", 0xFBEC5D, 3, true},
    {"Amber", 0xFFBF00, 3, true},
    {"Saffron", 0xF4C430, 3, false},
    {"Goldenrod", 0xDAA520, 3, false},
    {"Dark Goldenrod", 0xB8860B, 3, false},
    {"Light Yellow", 0xFFFFE0, 3, false},
    {"Lemon Chiffon", 0xFFFACD, 3, false},
    {"Khaki", 0xF0E68C, 3, false},
    {"Flax", 0xEEDC82, 3, false},
    {"Jasmine", 0xF8DE7E, 3, false},
    {"Naples Yellow", 0xFADA5E, 3, false},
    {"Sunglow", 0xFFCC33, 3, false},
    // Green
    {"Green", 0x008000, 4, true},
    {"Lime", 0x00FF00, 4, true},
    {"Forest Green", 0x228B22, 4, true},
    {"Emerald", 0x50C878, 4, true},
    {"Olive", 0x808000, 4, true},
    {"Mint", 0x3EB489, 4, true},
    {"Chartreuse", 0x7FFF00, 4, true},
    {"Dark Green", 0x006400, 4, false},
    {"Sea Green", 0x2E8B57, 4, false},
    {"Spring Green", 0x00FF7F, 4, false},
    {"Yellow Green", 0x9ACD32, 4, false},
    {"Olive Drab", 0x6B8E23, 4, false},
    {"Light Green", 0x90EE90, 4, false},
    {"Jade", 0x00A86B, 4, false},
    {"Kelly Green", 0x4CBB17, 4, false},
    {"Hunter Green", 0x355E3B, 4, false},
    {"Sage", 0xBCB88A, 4, false},
    {"Celadon", 0xACE1AF, 4, false},
    // Cyan
    {"Cyan", 0x00FFFF, 5, true},
    {"Aquamarine", 0x7FFFD4, 5, true},
    {"Turquoise", 0x40E0D0, 5, true},
    {"Teal", 0x008080, 5, true},
    {"Light Cyan", 0xE0FFFF, 5, true},
    {"Dark Cyan", 0x008B8B, 5, true},
    {"Celeste", 0xB2FFFF, 5, false},
    {"Robin Egg Blue", 0x00CCCC, 5, false},
    {"Electric Blue", 0x7DF9FF, 5, false},
    {"Tiffany Blue", 0x0ABAB5, 5, false},
    {"Caribbean Green", 0x00CC99, 5, false},
    {"Dark Turquoise", 0x00CED1, 5, false},
    {"Pale Turquoise", 0xAFEEEE, 5, false},
    {"Light Sea Green", 0x20B2AA, 5, false},
    {"Cadet Blue", 0x5F9EA0, 5, false},
    {"Medium Aquamarine", 0x66CDAA, 5, false},
    {"Viridian", 0x40826D, 5, false},
    // Blue
    {"Blue", 0x0000FF, 6, true},
    {"Navy", 0x000080, 6, true},
    {"Sky Blue", 0x87CEEB, 6, true},
    {"Royal Blue", 0x4169E1, 6, true},
    {"Cornflower Blue", 0x6495ED, 6, true},
    {"Cobalt Blue", 0x0047AB, 6, true},
    {"Baby Blue", 0x89CFF0, 6, true},
    {"Ultramarine", 0x120A8F, 6, false},
    {"Prussian Blue", 0x003153, 6, false},
    {"Sapphire", 0x0F52BA, 6, false},
    {"Cerulean", 0x007BA7, 6, false},
    {"Midnight Blue", 0x191970, 6, false},
    {"Steel Blue", 0x4682B4, 6, false},
    {"Powder Blue", 0xB0E0E6, 6, false},
    {"Denim", 0x1560BD, 6, false},
    {"Periwinkle", 0xCCCCFF, 6, false},
    {"Dodger Blue", 0x1E90FF, 6, false},
    {"Light Blue", 0xADD8E6, 6, false},
    // Violet
    {"Violet", 0xEE82EE, 7, true},
    {"Purple", 0x800080, 7, true},
    {"Lavender", 0xE6E6FA, 7, true},
    {"Lilac", 0xC8A2C8, 7, true},
    {"Amethyst", 0x9966CC, 7, true},
    {"Indigo", 0x4B0082, 7, true},
    {"Plum", 0xDDA0DD, 7, true},
    {"Mauve", 0xE0B0FF, 7, false},
    {"Orchid", 0xDA70D6, 7, false},
    {"Heliotrope", 0xDF73FF, 7, false},
    {"Byzantium", 0x702963, 7, false},
    {"Eggplant", 0x614051, 7, false},
    {"Wisteria", 0xC9A0DC, 7, false},
    {"Thistle", 0xD8BFD8, 7, false},
    {"Medium Purple", 0x9370DB, 7, false},
    {"Dark Violet", 0x9400D3, 7, false},
    {"Blue Violet", 0x8A2BE2, 7, false},
    {"Tyrian Purple", 0x66023C, 7, false},
    // Pink
    {"Pink", 0xFFC0CB, 8, true},
    {"Hot Pink", 0xFF69B4, 8, true},
    {"Deep Pink", 0xFF1493, 8, true},
    {"Light Pink", 0xFFB6C1, 8, true},
    {"Magenta", 0xFF00FF, 8, true},
    {"Rose", 0xFF007F, 8, true},
    {"Carnation Pink", 0xFFA6C9, 8, true},
    {"Pale Violet Red", 0xDB7093, 8, false},
    {"Medium Violet Red", 0xC71585, 8, false},
    {"Cotton Candy", 0xFFBCD9, 8, false},
    {"Flamingo Pink", 0xFC8EAC, 8, false},
    {"Salmon Pink", 0xFF91A4, 8, false},
    {"Blush", 0xDE5D83, 8, false},
    {"Cherry Blossom Pink", 0xFFB7C5, 8, false},
    {"Thulian Pink", 0xDE6FA1, 8, false},
    {"Lavender Pink", 0xFBAED2, 8, false},
    {"Shocking Pink", 0xFC0FC0, 8, false},
    {"Misty Rose", 0xFFE4E1, 8, false},
    // White
    {"White", 0xFFFFFF, 9, true},
    {"Snow", 0xFFFAFA, 9, true},
    {"Ivory", 0xFFFFF0, 9, true},
    {"Cream", 0xFFFDD0, 9, true},
    {"Linen", 0xFAF0E6, 9, true},
    {"Beige", 0xF5F5DC, 9, true},
    {"Ghost White", 0xF8F8FF, 9, true},
    {"Eggshell", 0xF0EAD6, 9, false},
    {"Seashell", 0xFFF5EE, 9, false},
    {"Old Lace", 0xFDF5E6, 9, false},
    {"Floral White", 0xFFFAF0, 9, false},
    {"Honeydew", 0xF0FFF0, 9, false},
    {"Mint Cream", 0xF5FFFA, 9, false},
    {"Azure", 0xF0FFFF, 9, false},
    {"Alice Blue", 0xF0F8FF, 9, false},
    {"Lavender Blush", 0xFFF0F5, 9, false},
    {"Antique White", 0xFAEBD7, 9, false},
    {"Vanilla", 0xF3E5AB, 9, false},
    // Grey
    {"Black", 0x000000, 10, true},
    {"Grey", 0x808080, 10, true},
    {"Silver", 0xC0C0C0, 10, true},
    {"Dark Grey", 0xA9A9A9, 10, true},
    {"Dim Grey", 0x696969, 10, true},
    {"Light Grey", 0xD3D3D3, 10, true},
    {"Charcoal", 0x36454F, 10, true},
    {"Gainsboro", 0xDCDCDC, 10, false},
    {"Slate Grey", 0x708090, 10, false},
    {"Dark Slate Grey", 0x2F4F4F, 10, false},
    {"Taupe Grey", 0x8B8589, 10, false},
    {"Ash Grey", 0xB2BEB5, 10, false},
    {"Battleship Grey", 0x848482, 10, false},
    {"Gunmetal", 0x2A3439, 10, false},
    {"Onyx", 0x353839, 10, false},
    {"Davy's Grey", 0x555555, 10, false},
    {"Platinum", 0xE5E4E2, 10, false},
    {"Payne's Grey", 0x536878, 10, false},
    // Brown
    {"Brown", 0xA52A2A, 11, true},
    {"Chocolate", 0xD2691E, 11, true},
    {"Sienna", 0xA0522D, 11, true},
    {"Tan", 0xD2B48C, 11, true},
    {"Sepia", 0x704214, 11, true},
    {"Coffee", 0x6F4E37, 11, true},
    {"Saddle Brown", 0x8B4513, 11, true},
    {"Peru", 0xCD853F, 11, false},
    {"Burlywood", 0xDEB887, 11, false},
    {"Sandy Brown", 0xF4A460, 11, false},
    {"Burnt Umber", 0x8A3324, 11, false},
    {"Raw Umber", 0x826644, 11, false},
    {"Mahogany", 0xC04000, 11, false},
    {"Chestnut", 0x954535, 11, false},
    {"Russet", 0x80461B, 11, false},
    {"Bronze", 0xCD7F32, 11, false},
    {"Copper", 0xB87333, 11, false},
    {"Ochre", 0xCC7722, 11, false},
};

const int kNamedColourCount = int(sizeof(kNamedColours) / sizeof(kNamedColours[0]));

namespace {
// Escape bytes of the text markup.
constexpr char kEsc[] = "\xA4\xA4";

void AppendColourEscape(std::string& s, uint32_t rgb) {
    s += kEsc;
    s += 'C';
    s += char((rgb >> 16) & 0xFF);
    s += char((rgb >> 8) & 0xFF);
    s += char(rgb & 0xFF);
}
} // namespace

float SrgbByteToLinear(uint8_t c) {
    const double v = c / 255.0;
    return float(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
}

void RgbToLinear(uint32_t rgb, float out[3]) {
    out[0] = SrgbByteToLinear(uint8_t(rgb >> 16));
    out[1] = SrgbByteToLinear(uint8_t(rgb >> 8));
    out[2] = SrgbByteToLinear(uint8_t(rgb));
}

std::string HueCaption(int hue) {
    if (hue < 1 || hue > kHueCount) return {};
    const Hue& h = kHues[hue - 1];
    std::string s;
    AppendColourEscape(s, h.captionRgb);
    // Cyan, Blue and Brown follow their colour with an empty escape.
    const std::string word = h.word;
    if (word == "Cyan" || word == "Blue" || word == "Brown") {
        s += kEsc;
        s += '0';
    }
    s += word;
    s += kEsc;
    s += 'c';
    s += " Colors";
    return s;
}

std::string MoreHuesCaption(int hue) {
    if (hue < 1 || hue > kHueCount) return {};
    std::string word = kHues[hue - 1].word;
    for (char& ch : word)
        ch = char(std::tolower(static_cast<unsigned char>(ch)));
    return "More " + word + " hues here.";
}

std::string NamedColourCaption(const NamedColour& c) {
    std::string s;
    // A large dot in the colour, then the name in the menu's own text colour.
    AppendColourEscape(s, c.rgb);
    s += kEsc;
    s += "HL";
    s += '\xA5'; // bullet
    s += kEsc;
    s += 'h';
    s += kEsc;
    s += 'c';
    s += "  ";
    s += c.name;
    return s;
}

} // namespace scribbix
