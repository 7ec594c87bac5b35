// Font-encoding conversions. Expected values were produced with Python's 'mac_roman' and 'cp1252'
// codecs (with 0xDB changed from the euro sign to the currency sign U+00A4, as in our font).
#include "shell/MacRoman.h"

#include <gtest/gtest.h>

namespace {

const uint32_t kPythonMacRoman[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x00A4, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

// Windows-1252 0x80..0xFF → font byte (0x80 → 0, 0x88 → 0xF0, unmapped → 0).
const uint8_t kPythonCp1252ToFont[128] = {
    0x00, 0x00, 0xE2, 0xC4, 0xE3, 0xC9, 0xA0, 0xE0, 0xF0, 0xE4, 0x00, 0xDC, 0xCE, 0x00, 0x00, 0x00,
    0x00, 0xD4, 0xD5, 0xD2, 0xD3, 0xA5, 0xD0, 0xD1, 0xF7, 0xAA, 0x00, 0xDD, 0xCF, 0x00, 0x00, 0xD9,
    0xCA, 0xC1, 0xA2, 0xA3, 0xDB, 0xB4, 0x00, 0xA4, 0xAC, 0xA9, 0xBB, 0xC7, 0xC2, 0x00, 0xA8, 0xF8,
    0xA1, 0xB1, 0x00, 0x00, 0xAB, 0xB5, 0xA6, 0xE1, 0xFC, 0x00, 0xBC, 0xC8, 0x00, 0x00, 0x00, 0xC0,
    0xCB, 0xE7, 0xE5, 0xCC, 0x80, 0x81, 0xAE, 0x82, 0xE9, 0x83, 0xE6, 0xE8, 0xED, 0xEA, 0xEB, 0xEC,
    0x00, 0x84, 0xF1, 0xEE, 0xEF, 0xCD, 0x85, 0x00, 0xAF, 0xF4, 0xF2, 0xF3, 0x86, 0x00, 0x00, 0xA7,
    0x88, 0x87, 0x89, 0x8B, 0x8A, 0x8C, 0xBE, 0x8D, 0x8F, 0x8E, 0x90, 0x91, 0x93, 0x92, 0x94, 0x95,
    0x00, 0x96, 0x98, 0x97, 0x99, 0x9B, 0x9A, 0xD6, 0xBF, 0x9D, 0x9C, 0x9E, 0x9F, 0x00, 0x00, 0xD8,
};

TEST(MacRoman, EveryByteMatchesTheReferenceCodePageAndSurvivesUtf8RoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += char(b);
        EXPECT_EQ(b < 128 ? uint32_t(b) : kPythonMacRoman[b - 128], vek::MacRomanToUnicode(uint8_t(b))) << b;
        EXPECT_EQ(b < 128 ? b : kPythonCp1252ToFont[b - 128], vek::Windows1252ToMacRoman(uint8_t(b))) << b;
    }
    EXPECT_EQ(all, vek::Utf8ToMacRoman(vek::MacRomanToUtf8(all)));
    const std::string font = "Caf\x8e \x86"
                             "ber \xa7 \xad \xb9 \xaa \xde";
    const std::string utf8 = "Caf\xc3\xa9 \xc3\x9c"
                             "ber \xc3\x9f \xe2\x89\xa0 \xcf\x80 \xe2\x84\xa2 \xef\xac\x81";
    EXPECT_EQ(utf8, vek::MacRomanToUtf8(font));
    EXPECT_EQ(font, vek::Utf8ToMacRoman(utf8));
}

TEST(MacRoman, MalformedUtf8AndCharactersOutsideTheFontBecomeOneReplacementPerBadByteOrCharacter) {
    const struct {
        const char* utf8;
        const char* font;
    } cases[] = {
        {"a\x80"
         "b",
         "a b"},                             // lone continuation byte
        {"ab\xc3", "ab "},                   // truncated sequence at the end
        {"\xc0\xaf", "  "},                  // overlong '/'
        {"\xed\xa0\x80", "   "},             // encoded surrogate
        {"\xf4\x90\x80\x80", "    "},         // beyond U+10FFFF
        {"x\xf0\x9f\x98\x80y", "x y"},        // four bytes outside the font: one character
        {"\xe2\x82\xac", " "},                // euro: the font has the currency sign instead
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.font, vek::Utf8ToMacRoman(c.utf8)) << c.font;
    EXPECT_EQ("??", vek::Utf8ToMacRoman("\xc0\xaf", '?'));
}

TEST(KeyChars, TypedUnicodeGivesSameByteAsWindowsKeyboard) {
    const uint32_t typed[][2] = {
        {0xE9, 0x8E},   // é
        {0x20AC, 0},    // euro
        {0x02C6, 0xF0}, // modifier circumflex, as Windows-1252 0x88
        {0xA4, 0xDB},   // currency sign
        {0xA6, 0},      // broken bar: not in the font
        {0x03C0, 0xB9}, // pi: not in Windows-1252, but in the font
        {0x85, 0},      // C1 control
        {0x1F600, 0},
    };
    for (const auto& t : typed)
        EXPECT_EQ(t[1], vek::KeyCharToMacRoman(t[0])) << std::hex << t[0];
}

TEST(FileNames, ForbiddenAndControlCharactersBecomeSpacesAccentsUtf8AndTheCutCountsFontCharacters) {
    const struct {
        std::string font;
        size_t cut;
        std::string file;
    } cases[] = {
        {"a\"b*c.d/e:f<g>h?i\\j|k", 0, "a b c d e f g h i j k"},
        {std::string("x\x01y\x1fz\x7f", 6), 0, "x y z "},
        {"..", 0, "  "},
        {"Caf\x8e \xf0", 0, "Caf\xc3\xa9  "}, // the Apple logo is no file name character
        {"\xdb", 0, "\xc2\xa4"},
        {std::string(22, '\x8e'), 20, ""}, // read back below
        {"Drawing 10 (4294967295)", 0, "Drawing 10 (4294967295)"},
    };
    for (const auto& c : cases) {
        const std::string out = vek::MacRomanToFileName(c.font, c.cut);
        if (c.cut == 0) {
            EXPECT_EQ(c.file, out);
        } else { // twenty é of two UTF-8 bytes each
            EXPECT_EQ(2 * c.cut, out.size());
            EXPECT_EQ(c.font.substr(0, c.cut), vek::FileNameToMacRoman(out));
        }
    }
    EXPECT_EQ("\x86"
              "ber_3",
              vek::FileNameToMacRoman("\xc3\x9c"
                                      "ber_3"));
    EXPECT_EQ(" ", vek::FileNameToMacRoman("\xe4\xb8\xad")); // CJK: not in the font
}

} // namespace
