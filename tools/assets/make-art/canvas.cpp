#include "tools/assets/make-art/canvas.h"

#include <png.h>

#include <cmath>
#include <cstdio>

namespace art {

Canvas::Canvas(int width, int height, bool has_alpha)
    : width_(width),
      height_(height),
      has_alpha_(has_alpha),
      pixels_(static_cast<std::size_t>(width) * height * (has_alpha ? 4 : 3),
              0) {}

std::size_t Canvas::index(int x, int y) const {
  return (static_cast<std::size_t>(y) * width_ + x) * (has_alpha_ ? 4 : 3);
}

void Canvas::set(int x, int y, Rgb colour, std::uint8_t alpha) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  const std::size_t i = index(x, y);
  pixels_[i] = colour.r;
  pixels_[i + 1] = colour.g;
  pixels_[i + 2] = colour.b;
  if (has_alpha_) pixels_[i + 3] = alpha;
}

Rgb Canvas::get(int x, int y) const {
  const std::size_t i = index(x, y);
  return {pixels_[i], pixels_[i + 1], pixels_[i + 2]};
}

std::uint8_t Canvas::alpha(int x, int y) const {
  return has_alpha_ ? pixels_[index(x, y) + 3] : 255;
}

void Canvas::blend(int x, int y, Rgb colour, double amount) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  set(x, y, mix(get(x, y), colour, amount), alpha(x, y));
}

bool Canvas::write_png(const std::string& path) const {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, 9);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_IHDR(png, info, width_, height_, 8,
               has_alpha_ ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
               PNG_FILTER_TYPE_BASE);
  png_write_info(png, info);
  for (int y = 0; y < height_; ++y) {
    png_write_row(png, pixels_.data() + index(0, y));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

std::uint8_t to_byte(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 255.0) return 255;
  return static_cast<std::uint8_t>(std::lround(value));
}

Rgb mix(Rgb a, Rgb b, double t) {
  return {to_byte(a.r + (b.r - a.r) * t), to_byte(a.g + (b.g - a.g) * t),
          to_byte(a.b + (b.b - a.b) * t)};
}

Rgb scale(Rgb c, double factor) {
  return {to_byte(c.r * factor), to_byte(c.g * factor), to_byte(c.b * factor)};
}

}  // namespace art
