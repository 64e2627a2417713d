// Pixel buffers for the art generator, clipped drawing into rectangles, and
// PNG output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct Rgb {
  std::uint8_t r, g, b;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// 8-bit RGB or RGBA image, rows top to bottom, starting all black (and fully
// transparent when it has an alpha channel).
class Canvas {
 public:
  Canvas(int width, int height, bool has_alpha);

  int width() const { return width_; }
  int height() const { return height_; }
  bool has_alpha() const { return has_alpha_; }

  // Writes outside the canvas are dropped.
  void set(int x, int y, Rgb colour, std::uint8_t alpha = 255);
  Rgb get(int x, int y) const;
  std::uint8_t alpha(int x, int y) const;

  // Mixes `colour` over the pixel by `amount` (0..1).
  void blend(int x, int y, Rgb colour, double amount);

  // Fixed compression settings, no time stamp: the same pixels always give
  // the same bytes.
  bool write_png(const std::string& path) const;

 private:
  std::size_t index(int x, int y) const;

  int width_;
  int height_;
  bool has_alpha_;
  std::vector<std::uint8_t> pixels_;
};

// A rectangle of a canvas addressed from its own top-left corner. Drawing
// never leaves the rectangle, so a sprite cannot spill into its neighbours.
class Cell {
 public:
  Cell(Canvas& canvas, int left, int top, int width, int height)
      : canvas_(canvas),
        left_(left),
        top_(top),
        width_(width),
        height_(height) {}

  int width() const { return width_; }
  int height() const { return height_; }
  bool contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
  }
  void set(int x, int y, Rgb colour) {
    if (contains(x, y)) canvas_.set(left_ + x, top_ + y, colour);
  }
  Rgb get(int x, int y) const { return canvas_.get(left_ + x, top_ + y); }
  bool lit(int x, int y) const {
    if (!contains(x, y)) return false;
    const Rgb c = get(x, y);
    return c.r != 0 || c.g != 0 || c.b != 0;
  }

  // Sets every pixel whose centre satisfies `inside(px, py)`.
  template <typename Inside>
  void fill(Rgb colour, Inside inside) {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        if (inside(x + 0.5, y + 0.5)) set(x, y, colour);
      }
    }
  }

 private:
  Canvas& canvas_;
  int left_, top_, width_, height_;
};

std::uint8_t to_byte(double value);  // rounds and clamps to 0..255
Rgb mix(Rgb a, Rgb b, double t);     // a at t = 0, b at t = 1
Rgb scale(Rgb c, double factor);

}  // namespace art
