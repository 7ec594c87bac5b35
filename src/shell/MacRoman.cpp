// Mac OS Roman (font variant with the currency sign at 0xDB) to and from Unicode, Windows-1252
// key characters, and the file-name form of program texts.
#include "shell/MacRoman.h"

namespace vek {
namespace {

// Code points of the font bytes 0x80 to 0xFF.
constexpr uint16_t kHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, // 80
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8, // 88
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, // 90
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, // 98
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF, // A0
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, // A8
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, // B0
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, // B8
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, // C0
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, // C8
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, // D0
    0x00FF, 0x0178, 0x2044, 0x00A4, 0x2039, 0x203A, 0xFB01, 0xFB02, // D8 (DB: currency sign)
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, // E0
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, // E8
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC, // F0 (F0: Apple logo)
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7, // F8
};

// Code points of Windows-1252 bytes 0x80 to 0x9F; 0 marks the five undefined bytes. Bytes 0xA0 to
// 0xFF equal their code points.
constexpr uint16_t kCp1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 98
};

bool ForbiddenInFileName(uint8_t c) {
    if (c < 32 || c == 127) return true;
    switch (c) {
    case '"':
    case '*':
    case '.':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
        return true;
    default:
        return false;
    }
}

} // namespace

uint32_t MacRomanToUnicode(uint8_t c) {
    return c < 128 ? c : kHigh[c - 128];
}

uint8_t UnicodeToMacRoman(uint32_t cp) {
    if (cp < 128) return static_cast<uint8_t>(cp);
    for (int i = 0; i < 128; ++i)
        if (kHigh[i] == cp) return static_cast<uint8_t>(128 + i);
    // Look-alike characters that other systems use for the same glyphs.
    switch (cp) {
    case 0x2126:
        return 0xBD; // ohm sign → capital omega
    case 0x0394:
        return 0xC6; // Greek capital delta → increment
    case 0x03BC:
        return 0xB5; // Greek small mu → micro sign
    default:
        return 0;
    }
}

bool Utf8Next(const std::string& text, size_t& pos, uint32_t& cp) {
    const size_t n = text.size();
    const uint8_t b0 = static_cast<uint8_t>(text[pos]);
    int len;
    uint32_t v, min;
    if (b0 < 0x80) {
        cp = b0;
        ++pos;
        return true;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, v = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, v = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, v = b0 & 0x07, min = 0x10000;
    } else {
        ++pos;
        return false;
    }
    if (pos + len > n) {
        ++pos;
        return false;
    }
    for (int i = 1; i < len; ++i) {
        const uint8_t b = static_cast<uint8_t>(text[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return false;
        }
        v = (v << 6) | (b & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
        ++pos;
        return false;
    }
    cp = v;
    pos += len;
    return true;
}

void Utf8Append(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string MacRomanToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char c : text)
        Utf8Append(out, MacRomanToUnicode(static_cast<uint8_t>(c)));
    return out;
}

std::string Utf8ToMacRoman(const std::string& text, char missing) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        uint32_t cp = 0;
        if (!Utf8Next(text, pos, cp)) {
            out += missing;
            continue;
        }
        const uint8_t m = UnicodeToMacRoman(cp);
        out += (m != 0 || cp == 0) ? static_cast<char>(m) : missing;
    }
    return out;
}

uint8_t Windows1252ToMacRoman(uint8_t c) {
    if (c < 128) return c;
    if (c == 0x80) return 0;    // the font has no euro sign
    if (c == 0x88) return 0xF0; // modifier circumflex goes to the font's glyph at 0xF0
    const uint32_t cp = c < 0xA0 ? kCp1252[c - 0x80] : c;
    return cp ? UnicodeToMacRoman(cp) : 0;
}

uint8_t KeyCharToMacRoman(uint32_t cp) {
    if (cp < 128) return static_cast<uint8_t>(cp);
    if (cp >= 0xA0 && cp <= 0xFF) return Windows1252ToMacRoman(static_cast<uint8_t>(cp));
    for (int i = 0; i < 32; ++i)
        if (kCp1252[i] != 0 && kCp1252[i] == cp) return Windows1252ToMacRoman(static_cast<uint8_t>(0x80 + i));
    if (cp < 0xA0) return 0; // C1 control characters
    return UnicodeToMacRoman(cp);
}

std::string MacRomanToFileName(const std::string& name, size_t maxChars) {
    const size_t n = (maxChars == 0 || name.size() < maxChars) ? name.size() : maxChars;
    std::string out;
    out.reserve(n * 3);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t c = static_cast<uint8_t>(name[i]);
        if (ForbiddenInFileName(c) || c == 0xF0)
            out += ' ';
        else
            Utf8Append(out, MacRomanToUnicode(c));
    }
    return out;
}

std::string FileNameToMacRoman(const std::string& fileName) {
    return Utf8ToMacRoman(fileName, ' ');
}

} // namespace vek
