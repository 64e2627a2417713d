// Images as the platform holds them: every frame's pixels on the CPU side
// (for grabbing and pixel-exact collisions) and all frames of an image in one
// texture, so that drawing any frame of a sheet keeps one batch going.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/video/gl/renderer.h"

namespace platform {

namespace image_flag {
constexpr int masked = 1;
constexpr int filtered = 2;
constexpr int mipmapped = 4;
constexpr int dynamic = 8;
}  // namespace image_flag

struct ImageFrame {
  std::vector<std::uint8_t> rgba;   // width x height, rows top to bottom
  std::vector<std::uint8_t> solid;  // 1 where alpha >= 128
  bool dirty = true;                // the texture does not hold these yet
};

struct Image {
  int width = 0;
  int height = 0;
  int flags = 0;
  std::uint8_t mask_r = 0, mask_g = 0, mask_b = 0;
  float handle_x = 0.0f;
  float handle_y = 0.0f;
  std::vector<ImageFrame> frames;

  // The texture holds frame f in cell (f % columns, f / columns); each cell
  // is the frame with its edge pixels repeated once around it, so that
  // sampling clamps at the frame's own edges.
  detail::renderer::Texture texture;
  int columns = 1;

  Image() = default;
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  ~Image();
};

namespace detail {

// A new image with `frames` transparent frames and the current mask colour.
std::shared_ptr<Image> make_image(int width, int height, int frames, int flags);
// Stores RGBA pixels into a frame. Pixels that come without an alpha channel
// get one: transparent for the mask colour of a masked image, else opaque.
void store_frame(Image& image, int frame, const std::uint8_t* rgba,
                 bool has_alpha);
// Sends changed frames to the texture.
void ready_texture(Image& image);
// Texture coordinates of a frame's pixel rectangle (u0, v0) .. (u1, v1).
void frame_texcoords(const Image& image, int frame, float& u0, float& v0,
                     float& u1, float& v1);
// Queues a textured quad with corners (px0, py0) .. (px1, py1) relative to
// (x, y), placed through the drawing state's matrix and coloured by it.
void draw_textured(const renderer::Texture& texture, float x, float y,
                   float px0, float py0, float px1, float py1, float u0,
                   float v0, float u1, float v1);

}  // namespace detail
}  // namespace platform
