#include "tests/platform/gfx_support.h"

#include <png.h>

#include <cstring>

#include "platform/video/images.h"

namespace gfx_test {

void fresh_display() {
  static bool open = false;
  if (!open) {
    platform::RunOptions options;
    options.window = true;
    options.scale = 1;
    options.fast = true;
    platform::set_run_options(options);
    ASSERT_TRUE(platform::open_graphics(640, 480, 0, 60, 2));
    open = true;
  }
  platform::set_color(255, 255, 255);
  platform::set_alpha(1.0f);
  platform::set_blend(1);
  platform::set_transform(0.0f, 1.0f, 1.0f);
  platform::set_mask_color(0, 0, 0);
  platform::auto_image_flags(9);
  platform::auto_mid_handle(0);
  platform::set_image_font(nullptr);
  platform::cls();
}

Screen::Screen() {
  auto shot = platform::create_image(640, 480, 1, 0);
  platform::grab_image(shot, 0, 0, 0);
  rgba_ = shot->frames[0].rgba;
}

std::array<int, 3> Screen::at(int x, int y) const {
  const std::uint8_t* p = &rgba_[(static_cast<std::size_t>(y) * 640 + x) * 4];
  return {p[0], p[1], p[2]};
}

int Screen::lit(int x0, int y0, int x1, int y1) const {
  int count = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const auto c = at(x, y);
      if (c[0] || c[1] || c[2]) ++count;
    }
  }
  return count;
}

platform::ImageRef solid_image(int w, int h, std::uint8_t r, std::uint8_t g,
                               std::uint8_t b, std::uint8_t a) {
  auto image = platform::create_image(w, h, 1, 0);
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < w * h; ++i) rgba.insert(rgba.end(), {r, g, b, a});
  platform::detail::store_frame(*image, 0, rgba.data(), true);
  return image;
}

platform::ImageRef shape_image(const std::vector<const char*>& rows) {
  const int h = static_cast<int>(rows.size());
  const int w = static_cast<int>(std::strlen(rows[0]));
  auto image = platform::create_image(w, h, 1, 0);
  std::vector<std::uint8_t> rgba;
  for (const char* row : rows) {
    for (int x = 0; x < w; ++x) {
      const std::uint8_t v = row[x] == '#' ? 255 : 0;
      rgba.insert(rgba.end(), {255, 255, 255, v});
    }
  }
  platform::detail::store_frame(*image, 0, rgba.data(), true);
  return image;
}

std::vector<std::uint8_t> rgb_png(int w, int h,
                                  const std::vector<std::uint8_t>& rgb) {
  std::vector<std::uint8_t> out;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t size) {
        auto* bytes =
            static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
        bytes->insert(bytes->end(), data, data + size);
      },
      nullptr);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    png_write_row(png, const_cast<png_bytep>(&rgb[y * w * 3]));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace gfx_test
