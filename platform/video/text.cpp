// Fonts: a TrueType face at one pixel size, or the built-in bitmap font.
// Glyphs are rendered once, on first use, as white images whose alpha is the
// coverage, and packed into one atlas texture per font so that a line of
// text is one batch.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <optional>

#include "platform/automation.h"
#include "platform/platform.h"
#include "platform/system/system.h"
#include "platform/video/builtin_font.h"
#include "platform/video/draw_state.h"
#include "platform/video/gl/renderer.h"
#include "platform/video/images.h"
#include "platform/video/text.h"

namespace platform {

namespace {

constexpr int style_smooth = 4;
constexpr int atlas_width = 256;

struct Glyph {
  bool present = false;
  int advance = 0;
  // The glyph image, relative to the pen and the top of the line, and its
  // place in the atlas. Empty glyphs (a space) have no image.
  int x = 0, y = 0, width = 0, height = 0;
  int atlas_x = 0, atlas_y = 0;
};

}  // namespace

struct Font {
  FT_Face face = nullptr;
  std::vector<std::uint8_t> bytes;  // the face reads from these
  bool smooth = false;
  int ascender = 0;
  int line_height = 0;
  std::array<std::optional<Glyph>, 256> glyphs;

  // Shelf-packed atlas of glyph images, white with coverage as alpha.
  std::vector<std::uint8_t> atlas;
  int atlas_height = 64;
  int shelf_x = 0, shelf_y = 0, shelf_height = 0;
  bool atlas_dirty = true;
  detail::renderer::Texture texture;

  Font() {
    atlas.assign(static_cast<std::size_t>(atlas_width) * atlas_height * 4, 0);
  }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  ~Font() {
    detail::renderer::release(texture);
    if (face) FT_Done_Face(face);
  }
};

namespace {

FT_Library freetype() {
  static FT_Library library = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return library;
}

// Reserves a w x h cell in the atlas, one pixel apart from its neighbours,
// growing the atlas downwards when it is full.
void reserve(Font& font, int w, int h, int& x, int& y) {
  if (font.shelf_x + w + 1 > atlas_width) {
    font.shelf_y += font.shelf_height + 1;
    font.shelf_x = 0;
    font.shelf_height = 0;
  }
  while (font.shelf_y + h + 1 > font.atlas_height) {
    font.atlas_height *= 2;
    font.atlas.resize(
        static_cast<std::size_t>(atlas_width) * font.atlas_height * 4, 0);
  }
  x = font.shelf_x;
  y = font.shelf_y;
  font.shelf_x += w + 1;
  font.shelf_height = std::max(font.shelf_height, h);
}

// Puts a coverage bitmap into the atlas as a glyph image; a smooth font's
// image has a transparent pixel all round.
void add_image(Font& font, Glyph& glyph, int left, int top, int w, int h,
               const std::function<std::uint8_t(int, int)>& coverage) {
  if (w <= 0 || h <= 0) return;
  const int border = font.smooth ? 1 : 0;
  glyph.x = left - border;
  glyph.y = font.ascender - top - border;
  glyph.width = w + 2 * border;
  glyph.height = h + 2 * border;
  reserve(font, glyph.width, glyph.height, glyph.atlas_x, glyph.atlas_y);
  for (int row = 0; row < h; ++row) {
    for (int col = 0; col < w; ++col) {
      const std::size_t at =
          (static_cast<std::size_t>(glyph.atlas_y + border + row) *
               atlas_width +
           glyph.atlas_x + border + col) *
          4;
      font.atlas[at] = font.atlas[at + 1] = font.atlas[at + 2] = 255;
      font.atlas[at + 3] = coverage(col, row);
    }
  }
  font.atlas_dirty = true;
}

Glyph render_truetype(Font& font, unsigned char c) {
  Glyph glyph;
  const FT_UInt index = FT_Get_Char_Index(font.face, c);
  if (index == 0 || FT_Load_Glyph(font.face, index, FT_LOAD_RENDER) != 0) {
    return glyph;
  }
  const FT_GlyphSlot slot = font.face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  glyph.present = true;
  glyph.advance = static_cast<int>(slot->advance.x >> 6);
  const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
  add_image(font, glyph, slot->bitmap_left, slot->bitmap_top,
            static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows),
            [&](int col, int row) -> std::uint8_t {
              const unsigned char* line = bitmap.buffer + row * bitmap.pitch;
              if (mono) return (line[col / 8] >> (7 - col % 8)) & 1 ? 255 : 0;
              return line[col];
            });
  return glyph;
}

Glyph render_builtin(Font& font, unsigned char c) {
  namespace bf = detail::builtin_font;
  Glyph glyph;
  const char* shape = bf::shape(c);
  if (!shape) return glyph;
  glyph.present = true;
  glyph.advance = bf::advance;
  add_image(font, glyph, bf::glyph_left, bf::glyph_top, bf::columns * bf::zoom,
            bf::rows * bf::zoom, [&](int col, int row) -> std::uint8_t {
              const int at = row / bf::zoom * bf::columns + col / bf::zoom;
              return shape[at] == '#' ? 255 : 0;
            });
  return glyph;
}

const Glyph& glyph_of(Font& font, unsigned char c) {
  std::optional<Glyph>& slot = font.glyphs[c];
  if (!slot)
    slot = font.face ? render_truetype(font, c) : render_builtin(font, c);
  return *slot;
}

// Never destroyed, like the drawing state that may point at other fonts.
Font& builtin() {
  static Font* font = [] {
    auto* f = new Font;
    f->ascender = detail::builtin_font::ascender;
    f->line_height = detail::builtin_font::line_height;
    return f;
  }();
  return *font;
}

Font& current_font() {
  const FontRef& font = detail::draw_state().font;
  return font ? *font : builtin();
}

}  // namespace

FontRef load_image_font(const std::string& path, int size, int style) {
  FT_Library library = freetype();
  if (!library || size < 1) return nullptr;
  auto font = std::make_shared<Font>();
  if (!detail::read_bytes(path, font->bytes) || font->bytes.empty()) {
    return nullptr;
  }
  if (FT_New_Memory_Face(library, font->bytes.data(),
                         static_cast<FT_Long>(font->bytes.size()), 0,
                         &font->face) != 0) {
    font->face = nullptr;
    return nullptr;
  }
  // A face with fixed sizes only may refuse the size asked for: take the
  // next smaller one it accepts.
  int pixels = size;
  while (pixels >= 1 && FT_Set_Pixel_Sizes(font->face, 0, pixels) != 0) {
    --pixels;
  }
  if (pixels < 1) return nullptr;
  font->smooth = (style & style_smooth) != 0;
  font->texture.filtered = font->smooth;
  font->texture.mipmapped = font->smooth;
  font->ascender = static_cast<int>(font->face->size->metrics.ascender >> 6);
  font->line_height = static_cast<int>(font->face->size->metrics.height >> 6);
  return font;
}

void set_image_font(const FontRef& font) { detail::draw_state().font = font; }

void draw_text(const std::string& text, float x, float y) {
  if (!detail::renderer::active() || detail::resimulating()) return;
  Font& font = current_font();
  for (char c : text) glyph_of(font, static_cast<unsigned char>(c));
  if (font.atlas_dirty || !detail::renderer::current(font.texture)) {
    detail::renderer::upload(font.texture, atlas_width, font.atlas_height,
                             font.atlas.data());
    font.atlas_dirty = false;
  }
  const float tw = static_cast<float>(atlas_width);
  const float th = static_cast<float>(font.atlas_height);
  int pen = 0;
  for (char c : text) {
    const Glyph& g = glyph_of(font, static_cast<unsigned char>(c));
    if (!g.present) continue;
    if (g.width > 0) {
      const float px = static_cast<float>(pen + g.x);
      const float py = static_cast<float>(g.y);
      detail::draw_textured(font.texture, x, y, px, py, px + g.width,
                            py + g.height, g.atlas_x / tw, g.atlas_y / th,
                            (g.atlas_x + g.width) / tw,
                            (g.atlas_y + g.height) / th);
    }
    pen += g.advance;
  }
}

int text_width(const std::string& text) {
  Font& font = current_font();
  int width = 0;
  for (char c : text)
    width += glyph_of(font, static_cast<unsigned char>(c)).advance;
  return width;
}

int text_height(const std::string&) { return current_font().line_height; }

namespace detail {

TextBitmap text_bitmap(const FontRef& font_ref, const std::string& text,
                       int max_width) {
  Font& font = font_ref ? *font_ref : builtin();
  TextBitmap bitmap;
  std::size_t length = 0;
  for (char c : text) {
    const int advance = glyph_of(font, static_cast<unsigned char>(c)).advance;
    if (bitmap.width + advance > max_width) break;
    bitmap.width += advance;
    ++length;
  }
  bitmap.height = font.line_height;
  bitmap.coverage.assign(static_cast<std::size_t>(bitmap.width) * bitmap.height,
                         0);
  int pen = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const Glyph& g = glyph_of(font, static_cast<unsigned char>(text[i]));
    for (int row = 0; row < g.height; ++row) {
      const int y = g.y + row;
      if (y < 0 || y >= bitmap.height) continue;
      for (int col = 0; col < g.width; ++col) {
        const int x = pen + g.x + col;
        if (x < 0 || x >= bitmap.width) continue;
        const std::uint8_t alpha =
            font.atlas[(static_cast<std::size_t>(g.atlas_y + row) *
                            atlas_width +
                        g.atlas_x + col) *
                           4 +
                       3];
        std::uint8_t& to =
            bitmap.coverage[static_cast<std::size_t>(y) * bitmap.width + x];
        to = std::max(to, alpha);
      }
    }
    pen += g.advance;
  }
  return bitmap;
}

}  // namespace detail
}  // namespace platform
