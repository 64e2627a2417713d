#include "platform/video/images.h"

#include <algorithm>
#include <cstring>

#include "platform/automation.h"
#include "platform/system/system.h"
#include "platform/video/draw_state.h"
#include "platform/video/video.h"

namespace platform {

Image::~Image() { detail::renderer::release(texture); }

namespace detail {

namespace {

constexpr int max_texture_width = 4096;

int resolved_flags(int flags) {
  return flags == -1 ? draw_state().auto_flags : flags;
}

int cell_width(const Image& image) { return image.width + 2; }
int cell_height(const Image& image) { return image.height + 2; }

// The frame with its edge pixels repeated once around it.
void cell_pixels(const Image& image, int frame,
                 std::vector<std::uint8_t>& out) {
  const int cw = cell_width(image);
  const int ch = cell_height(image);
  out.resize(static_cast<std::size_t>(cw) * ch * 4);
  const std::uint8_t* src = image.frames[frame].rgba.data();
  for (int y = 0; y < ch; ++y) {
    const int sy = std::clamp(y - 1, 0, image.height - 1);
    for (int x = 0; x < cw; ++x) {
      const int sx = std::clamp(x - 1, 0, image.width - 1);
      std::memcpy(&out[(static_cast<std::size_t>(y) * cw + x) * 4],
                  &src[(static_cast<std::size_t>(sy) * image.width + sx) * 4],
                  4);
    }
  }
}

void upload_all(Image& image) {
  const int cw = cell_width(image);
  const int ch = cell_height(image);
  const int frames = static_cast<int>(image.frames.size());
  const int rows = (frames + image.columns - 1) / image.columns;
  const int tw = cw * image.columns;
  const int th = ch * rows;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(tw) * th * 4, 0);
  std::vector<std::uint8_t> cell;
  for (int f = 0; f < frames; ++f) {
    cell_pixels(image, f, cell);
    const int cx = f % image.columns * cw;
    const int cy = f / image.columns * ch;
    for (int y = 0; y < ch; ++y) {
      std::memcpy(&pixels[(static_cast<std::size_t>(cy + y) * tw + cx) * 4],
                  &cell[static_cast<std::size_t>(y) * cw * 4],
                  static_cast<std::size_t>(cw) * 4);
    }
    image.frames[f].dirty = false;
  }
  renderer::upload(image.texture, tw, th, pixels.data());
}

}  // namespace

std::shared_ptr<Image> make_image(int width, int height, int frames,
                                  int flags) {
  if (width <= 0 || height <= 0 || frames <= 0) return nullptr;
  const DrawState& s = draw_state();
  auto image = std::make_shared<Image>();
  image->width = width;
  image->height = height;
  image->flags = flags;
  image->mask_r = static_cast<std::uint8_t>(s.mask_r);
  image->mask_g = static_cast<std::uint8_t>(s.mask_g);
  image->mask_b = static_cast<std::uint8_t>(s.mask_b);
  image->frames.resize(static_cast<std::size_t>(frames));
  for (ImageFrame& f : image->frames) {
    f.rgba.assign(static_cast<std::size_t>(width) * height * 4, 0);
    f.solid.assign(static_cast<std::size_t>(width) * height, 0);
  }
  image->columns =
      std::clamp(max_texture_width / cell_width(*image), 1, frames);
  image->texture.filtered = (flags & image_flag::filtered) != 0;
  image->texture.mipmapped = (flags & image_flag::mipmapped) != 0;
  if (s.auto_mid_handle) {
    image->handle_x = width * 0.5f;
    image->handle_y = height * 0.5f;
  }
  return image;
}

void store_frame(Image& image, int frame, const std::uint8_t* rgba,
                 bool has_alpha) {
  ImageFrame& f = image.frames[frame];
  const std::size_t count =
      static_cast<std::size_t>(image.width) * image.height;
  std::memcpy(f.rgba.data(), rgba, count * 4);
  const bool masked = (image.flags & image_flag::masked) != 0;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint8_t* p = &f.rgba[i * 4];
    if (!has_alpha) {
      const bool mask_colour =
          p[0] == image.mask_r && p[1] == image.mask_g && p[2] == image.mask_b;
      p[3] = masked && mask_colour ? 0 : 255;
    }
    f.solid[i] = p[3] >= 128 ? 1 : 0;
  }
  f.dirty = true;
}

void ready_texture(Image& image) {
  if (!renderer::active()) return;
  if (!renderer::current(image.texture)) {
    upload_all(image);
    return;
  }
  std::vector<std::uint8_t> cell;
  for (int f = 0; f < static_cast<int>(image.frames.size()); ++f) {
    if (!image.frames[f].dirty) continue;
    cell_pixels(image, f, cell);
    renderer::update(image.texture, f % image.columns * cell_width(image),
                     f / image.columns * cell_height(image), cell_width(image),
                     cell_height(image), cell.data());
    image.frames[f].dirty = false;
  }
}

void frame_texcoords(const Image& image, int frame, float& u0, float& v0,
                     float& u1, float& v1) {
  const float tw = static_cast<float>(image.texture.width);
  const float th = static_cast<float>(image.texture.height);
  const int x = frame % image.columns * cell_width(image) + 1;
  const int y = frame / image.columns * cell_height(image) + 1;
  u0 = x / tw;
  v0 = y / th;
  u1 = (x + image.width) / tw;
  v1 = (y + image.height) / th;
}

void draw_textured(const renderer::Texture& texture, float x, float y,
                   float px0, float py0, float px1, float py1, float u0,
                   float v0, float u1, float v1) {
  const DrawState& s = draw_state();
  auto corner = [&](float px, float py, float u, float v) {
    return renderer::Vertex{x + px * s.ix + py * s.iy,
                            y + px * s.jx + py * s.jy,
                            u,
                            v,
                            s.vr,
                            s.vg,
                            s.vb,
                            s.va};
  };
  const renderer::Quad quad = {
      corner(px0, py0, u0, v0), corner(px1, py0, u1, v0),
      corner(px1, py1, u1, v1), corner(px0, py1, u0, v1)};
  renderer::draw_quad(texture, s.blend, quad);
}

}  // namespace detail

ImageRef load_image(const std::string& path, int flags) {
  std::vector<std::uint8_t> bytes;
  if (!detail::read_bytes(path, bytes)) return nullptr;
  int width = 0;
  int height = 0;
  bool had_alpha = false;
  std::vector<std::uint8_t> rgba;
  if (!detail::decode_png(bytes.data(), bytes.size(), width, height, rgba,
                          had_alpha)) {
    return nullptr;
  }
  auto image =
      detail::make_image(width, height, 1, detail::resolved_flags(flags));
  if (image) detail::store_frame(*image, 0, rgba.data(), had_alpha);
  return image;
}

ImageRef create_image(int width, int height, int frames, int flags) {
  return detail::make_image(
      width, height, frames,
      detail::resolved_flags(flags) | image_flag::dynamic);
}

namespace {

bool has_frame(const ImageRef& image, int frame) {
  return image && frame >= 0 && frame < static_cast<int>(image->frames.size());
}

}  // namespace

void grab_image(const ImageRef& image, int x, int y, int frame) {
  if (!has_frame(image, frame) || detail::resimulating()) return;
  std::vector<std::uint8_t> rgba;
  detail::renderer::read_draw_buffer(x, y, image->width, image->height, rgba);
  detail::store_frame(*image, frame, rgba.data(), false);
}

void draw_image(const ImageRef& image, float x, float y, int frame) {
  if (!has_frame(image, frame) || !detail::renderer::active() ||
      detail::resimulating()) {
    return;
  }
  detail::ready_texture(*image);
  float u0, v0, u1, v1;
  detail::frame_texcoords(*image, frame, u0, v0, u1, v1);
  detail::draw_textured(image->texture, x, y, -image->handle_x,
                        -image->handle_y, image->width - image->handle_x,
                        image->height - image->handle_y, u0, v0, u1, v1);
}

void mid_handle_image(const ImageRef& image) {
  if (!image) return;
  image->handle_x = image->width * 0.5f;
  image->handle_y = image->height * 0.5f;
}

int image_width(const ImageRef& image) { return image ? image->width : 0; }
int image_height(const ImageRef& image) { return image ? image->height : 0; }

}  // namespace platform
