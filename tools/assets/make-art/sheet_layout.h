// Where the game grabs its frames from the sprite sheet, and the drawing
// routines that fill those places.
#pragma once

#include <initializer_list>

#include "tools/assets/make-art/canvas.h"

namespace art {

constexpr int kSheetWidth = 410;
constexpr int kSheetHeight = 139;
constexpr int kSmallFrames = 31;
constexpr int kLargeFrames = 12;

// 10 x 10 frame i at (1 + 11 i, 1).
inline Cell small_cell(Canvas& sheet, int i) {
  return Cell(sheet, 1 + 11 * i, 1, 10, 10);
}
// 20 x 20 frame i at (1 + 21 i, 14).
inline Cell large_cell(Canvas& sheet, int i) {
  return Cell(sheet, 1 + 21 * i, 14, 20, 20);
}
// The 266 x 98 title picture at (1, 37).
inline Cell title_cell(Canvas& sheet) { return Cell(sheet, 1, 37, 266, 98); }

// A run of opaque pixels: rows first..last, columns left..right.
struct Span {
  int first_row, last_row, left, right;
};
inline void fill_spans(Cell& cell, Rgb colour,
                       std::initializer_list<Span> spans) {
  for (const Span& s : spans) {
    for (int y = s.first_row; y <= s.last_row; ++y) {
      for (int x = s.left; x <= s.right; ++x) cell.set(x, y, colour);
    }
  }
}

void draw_border_tiles(Canvas& sheet);   // frames 0..7
void draw_ship_and_shot(Canvas& sheet);  // frames 8..10
void draw_mushrooms(Canvas& sheet);      // frames 11..25
void draw_crawler(Canvas& sheet);        // frames 26..30
void draw_insects(Canvas& sheet);        // the 20 x 20 frames
void draw_title(Canvas& sheet);          // the game's name

}  // namespace art
