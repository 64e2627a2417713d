// make_icons <sprite_sheet.png> <folder>: the desktop icons, drawn from the
// game's own sprite sheet. Writes <folder>/<size>.png for each hicolor size.
// The crawler's head over one body segment, in two of the game's colours;
// black is transparent, as in the game.
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
  std::uint8_t* at(int x, int y) {
    return &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
  }
};

bool read_png(const std::string& path, Image& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGBA;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.rgba.resize(PNG_IMAGE_SIZE(png));
  return png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr);
}

bool write_png(const std::string& path, const Image& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGBA;
  return png_image_write_to_file(&png, path.c_str(), 0, image.rgba.data(), 0,
                                 nullptr);
}

struct Tint {
  std::uint8_t r, g, b;
};
constexpr Tint green = {43, 230, 0};
constexpr Tint yellow = {255, 252, 5};

// A 10 x 10 frame of the sheet (frame i at 1 + 11 i, 1) drawn at (x, y) of
// `picture` in `tint`, as the game draws its sprites; black stays see-through.
void draw_frame(Image& sheet, int frame, Tint tint, Image& picture, int x,
                int y) {
  for (int row = 0; row < 10; ++row) {
    for (int col = 0; col < 10; ++col) {
      const std::uint8_t* p = sheet.at(1 + 11 * frame + col, 1 + row);
      if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
      std::uint8_t* q = picture.at(x + col, y + row);
      q[0] = static_cast<std::uint8_t>(p[0] * tint.r / 255);
      q[1] = static_cast<std::uint8_t>(p[1] * tint.g / 255);
      q[2] = static_cast<std::uint8_t>(p[2] * tint.b / 255);
      q[3] = 255;
    }
  }
}

// `picture` (square) resampled to size x size by area: both are laid on a
// common grid n * size across, each output pixel averaging its n x n cells.
Image resample(Image& picture, int size) {
  Image out{
      size, size,
      std::vector<std::uint8_t>(static_cast<std::size_t>(size) * size * 4)};
  const int n = picture.width;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double sum[4] = {0, 0, 0, 0};
      for (int sy = y * n; sy < (y + 1) * n; ++sy) {
        for (int sx = x * n; sx < (x + 1) * n; ++sx) {
          const std::uint8_t* p = picture.at(sx / size, sy / size);
          const double a = p[3] / 255.0;
          for (int c = 0; c < 3; ++c) sum[c] += p[c] * a;
          sum[3] += a;
        }
      }
      std::uint8_t* q = out.at(x, y);
      const double cells = static_cast<double>(n) * n;
      for (int c = 0; c < 3; ++c) {
        q[c] = static_cast<std::uint8_t>(
            sum[3] > 0 ? std::min(255.0, sum[c] / sum[3] + 0.5) : 0);
      }
      q[3] = static_cast<std::uint8_t>(sum[3] / cells * 255.0 + 0.5);
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icons <sprite_sheet.png> <folder>\n");
    return 2;
  }
  Image sheet;
  if (!read_png(argv[1], sheet) || sheet.width < 11 * 31 || sheet.height < 11) {
    std::fprintf(stderr, "make_icons: cannot read %s\n", argv[1]);
    return 1;
  }
  Image picture{20, 20, std::vector<std::uint8_t>(20 * 20 * 4)};
  draw_frame(sheet, 26, green, picture, 5, 1);  // head
  draw_frame(sheet, 27, yellow, picture, 5, 1);
  draw_frame(sheet, 28, green, picture, 5, 10);  // body
  draw_frame(sheet, 29, yellow, picture, 5, 10);
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string path =
        std::string(argv[2]) + "/" + std::to_string(size) + ".png";
    if (!write_png(path, resample(picture, size))) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
