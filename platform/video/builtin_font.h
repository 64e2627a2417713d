// The font drawn when no TrueType font is selected: printable ASCII in 5 x 7
// pixel shapes, shown at twice that size on a 16-pixel line.
#pragma once

namespace platform::detail::builtin_font {

constexpr int columns = 5;
constexpr int rows = 7;
constexpr int zoom = 2;
constexpr int advance = 12;
constexpr int line_height = 16;
constexpr int ascender = 14;
constexpr int glyph_top = 13;  // the shape starts one pixel below the line top
constexpr int glyph_left = 1;

// The shape of a character as rows x columns of '#' (set) and '.' (clear),
// row by row; null for characters outside printable ASCII.
const char* shape(unsigned char c);

}  // namespace platform::detail::builtin_font
