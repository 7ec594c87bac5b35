// Text conversions around the program's font encoding, Mac OS Roman with the currency sign (U+00A4)
// at 0xDB. Every program text is a byte string in that encoding; file names on disk are UTF-8.
//
// Bytes 0 to 127 are ASCII in every direction. None of these calls allocate beyond the returned
// string, and none fail: characters without a counterpart become the stated replacement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vek {

// Unicode code point of a font byte (0..127 map to themselves).
uint32_t MacRomanToUnicode(uint8_t c);
// Font byte of a code point, 0 when the font encoding has no such character (and for U+0000).
uint8_t UnicodeToMacRoman(uint32_t cp);

// Reads one UTF-8 sequence starting at `text[pos]` and advances `pos` past it. Returns false for
// a malformed sequence (bad lead byte, missing or bad continuation, overlong form, surrogate or
// value above U+10FFFF); `pos` then advances by one byte so a caller can resynchronise.
bool Utf8Next(const std::string& text, size_t& pos, uint32_t& cp);
// Appends the UTF-8 form of `cp` (which must be a valid scalar value).
void Utf8Append(std::string& out, uint32_t cp);

// Whole strings. Font text → UTF-8 is lossless; UTF-8 → font text replaces every character the
// font lacks, and every malformed byte, with `missing`.
std::string MacRomanToUtf8(const std::string& text);
std::string Utf8ToMacRoman(const std::string& text, char missing = ' ');

// Keyboard characters into the font encoding. From Windows-1252: 0x80 (euro) gives 0, 0x88 gives
// 0xF0, 0xA4 (currency sign) gives 0xDB, characters the font lacks give 0.
uint8_t Windows1252ToMacRoman(uint8_t c);
// A typed Unicode character (text input arrives as UTF-8): characters that Windows-1252 holds
// follow the rule above, so a keyboard gives the same byte on every system; any other character
// the font holds maps directly; the rest (and control characters from 128 up) give 0.
uint8_t KeyCharToMacRoman(uint32_t cp);

// A font-encoded name made safe as a file or folder name: at most `maxChars` characters are taken
// (0 = no limit), control characters (1 to 31 and 127) and " * . / : < > ? \ | become spaces, then
// the text is converted to UTF-8; the Apple-logo character 0xF0, which has no portable
// counterpart, becomes a space as well. The result never contains '/', '.' or a NUL byte.
std::string MacRomanToFileName(const std::string& name, size_t maxChars);
// A file or folder name read from disk back into the font encoding (characters without a
// counterpart, and malformed UTF-8 bytes, become spaces).
std::string FileNameToMacRoman(const std::string& fileName);

} // namespace vek
