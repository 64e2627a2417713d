#include "tools/assets/make-art/pixel_font.h"

#include <cmath>

namespace art {

namespace {

constexpr int kColumns = 5;
constexpr int kRows = 7;

// '#' full block, '.' empty; wedges keep one triangle of the block, named by
// the corner they keep: 'r' top-left, '7' top-right, 'L' bottom-left,
// 'J' bottom-right; 'V' keeps all but the top quarter (a notch from above),
// '^' all but the bottom quarter.
struct Glyph {
  char letter;
  const char* rows[kRows];
};

constexpr Glyph kGlyphs[] = {
    {'C', {"J###L", "#...#", "#....", "#....", "#....", "#...#", "7###r"}},
    {'D', {"####L", "#...#", "#...#", "#...#", "#...#", "#...#", "####r"}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'K', {"#...#", "#..J#", "#.J#.", "###..", "#.7#.", "#..7#", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##V##", "#7#r#", "#...#", "#...#", "#...#", "#...#"}},
    {'O', {"J###L", "#...#", "#...#", "#...#", "#...#", "#...#", "7###r"}},
    {'Q', {"J###L", "#...#", "#...#", "#...#", "#.#L#", "#.7##", "7##7#"}},
    {'R', {"####L", "#...#", "#...#", "####r", "#..#.", "#..7#", "#...#"}},
    {'S', {"J####", "#....", "#....", "7###L", "....#", "....#", "####r"}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "7###r"}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", "7#.#r", ".7#r."}},
    {'W', {"#...#", "#...#", "#...#", "#...#", "#L#J#", "##^##", "#...#"}},
    {'X', {"#...#", "7#.#r", ".7#r.", "..#..", ".J#L.", "J#.#L", "#...#"}},
};

const Glyph* find_glyph(char c) {
  for (const Glyph& g : kGlyphs) {
    if (g.letter == c) return &g;
  }
  return nullptr;
}

// Whether the point (u, v), 0..1 inside a block, lies in the block's kept part.
bool block_covers(char kind, double u, double v) {
  switch (kind) {
    case '#':
      return true;
    case 'r':
      return u + v <= 1.0;
    case '7':
      return u >= v;
    case 'L':
      return u <= v;
    case 'J':
      return u + v >= 1.0;
    case 'V':
      return u <= v || u + v >= 1.0;
    case '^':
      return u + v <= 1.0 || u >= v;
    default:
      return false;
  }
}

bool glyph_covers(const Glyph& g, const Lettering& s, double x, double y) {
  if (x < 0 || y < 0) return false;
  const int col = static_cast<int>(x / s.block_width);
  const int row = static_cast<int>(y / s.block_height);
  if (col >= kColumns || row >= kRows) return false;
  return block_covers(g.rows[row][col], x / s.block_width - col,
                      y / s.block_height - row);
}

double advance(const Lettering& s) { return kColumns * s.block_width + s.gap; }

bool thin_text_covers(const std::string& text, const Lettering& style, double x,
                      double y) {
  if (x < 0) return false;
  const std::size_t i = static_cast<std::size_t>(x / advance(style));
  if (i >= text.size()) return false;
  const Glyph* g = find_glyph(text[i]);
  return g && glyph_covers(*g, style, x - i * advance(style), y);
}

}  // namespace

double text_width(const std::string& text, const Lettering& style) {
  if (text.empty()) return 0.0;
  return text.size() * advance(style) - style.gap;
}

bool text_covers(const std::string& text, const Lettering& style, double x,
                 double y) {
  if (thin_text_covers(text, style, x, y)) return true;
  if (style.weight <= 0.0) return false;
  // Thickening: the point is near a stroke if a ring of probes finds one.
  for (double r : {style.weight * 0.5, style.weight}) {
    for (int a = 0; a < 16; ++a) {
      const double angle = a * 3.14159265358979323846 / 8.0;
      if (thin_text_covers(text, style, x + r * std::cos(angle),
                           y + r * std::sin(angle))) {
        return true;
      }
    }
  }
  return false;
}

void set_text(const std::string& text, const Lettering& style, double left,
              double top,
              const std::function<void(int, int, double, double)>& plot) {
  const double width = text_width(text, style);
  const double height = kRows * style.block_height;
  const double w = style.weight;
  for (int y = static_cast<int>(std::floor(top - w));
       y < static_cast<int>(std::ceil(top + height + w)); ++y) {
    for (int x = static_cast<int>(std::floor(left - w));
         x < static_cast<int>(std::ceil(left + width + w)); ++x) {
      const double px = x + 0.5 - left, py = y + 0.5 - top;
      if (text_covers(text, style, px, py)) {
        plot(x, y, (px + w) / (width + 2 * w), (py + w) / (height + 2 * w));
      }
    }
  }
}

}  // namespace art
