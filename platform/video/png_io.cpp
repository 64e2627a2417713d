// PNG decoding and encoding with libpng, from memory and to a file.
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/automation.h"
#include "platform/video/video.h"

namespace platform::detail {

namespace {

struct MemoryReader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos;
};

void read_from_memory(png_structp png, png_bytep out, png_size_t count) {
  auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (count > r->size - r->pos) png_error(png, "truncated PNG");
  std::memcpy(out, r->data + r->pos, count);
  r->pos += count;
}

void quiet_warning(png_structp, png_const_charp) {}

}  // namespace

bool decode_png(const std::uint8_t* data, std::size_t size, int& width,
                int& height, std::vector<std::uint8_t>& rgba, bool& had_alpha) {
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr,
                                           nullptr, quiet_warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  MemoryReader reader{data, size, 0};
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &reader, read_from_memory);
  png_read_info(png, info);
  const png_uint_32 w = png_get_image_width(png, info);
  const png_uint_32 h = png_get_image_height(png, info);
  const int type = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  had_alpha = (type & PNG_COLOR_MASK_ALPHA) != 0 ||
              png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (depth == 16) png_set_strip_16(png);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (type == PNG_COLOR_TYPE_GRAY && depth < 8)
    png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (w == 0 || h == 0 || w > 16384 || h > 16384) png_error(png, "bad size");
  rgba.assign(static_cast<std::size_t>(w) * h * 4, 0);
  rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y) rows[y] = rgba.data() + y * w * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool write_png(const std::string& host_file, int width, int height,
               const std::vector<std::uint8_t>& rgba) {
  if (width <= 0 || height <= 0 ||
      rgba.size() < static_cast<std::size_t>(width) * height * 4) {
    return false;
  }
  std::FILE* f = detail::open_host_file(host_file, "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr,
                                            nullptr, quiet_warning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  // A file that could not be written whole is no picture: it goes.
  auto give_up = [&] {
    const int reason = errno;
    std::fclose(f);
    std::remove(host_file.c_str());
    errno = reason;
    return false;
  };
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    return give_up();
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return give_up();
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    png_write_row(
        png, const_cast<png_bytep>(rgba.data() +
                                   static_cast<std::size_t>(y) * width * 4));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(f) != 0) return give_up();
  return std::fclose(f) == 0;
}

}  // namespace platform::detail
