// The icon font's artwork, drawn procedurally: nine tool icons (bytes 'A' to 'I') and the two dots
// of the pen-size buttons ('.' and 0xA5). Each glyph is rendered into a square cell of straight
// RGBA floats (0..1), top row first, with 4 x 4 supersampling.
#pragma once

#include <cstdint>
#include <vector>

namespace gen {

struct RgbaCell {
    int size = 0;
    std::vector<float> rgba; // size * size * 4, straight colour
};

// Draws glyph `code` ('.', 'A'..'I', 0xA5) into a cell of `size` pixels. False for other codes.
bool DrawIcon(uint8_t code, int size, RgbaCell& out);

} // namespace gen
