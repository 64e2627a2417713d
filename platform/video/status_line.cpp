// The status line of an online game: its text set in the game's font on a
// dark box, kept as a texture that the present lays over the window.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/video/draw_state.h"
#include "platform/video/gl/renderer.h"
#include "platform/video/text.h"
#include "platform/video/video.h"

namespace platform {

namespace {

// Space round the text, in display pixels.
constexpr int pad_x = 6;
constexpr int pad_y = 1;
// The score line's yellow on black three quarters opaque.
constexpr std::uint8_t ink[3] = {200, 200, 10};
constexpr int box_alpha = 192;

struct StatusLine {
  std::string text;  // one byte a character, as the font takes it
  FontRef font;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
  bool composed = false;
  bool uploaded = false;
  detail::renderer::Texture texture;
};

// Never destroyed: its texture may be released while the program exits.
StatusLine& line() {
  static auto* l = new StatusLine;
  return *l;
}

// UTF-8 to the font's one-byte characters: code points up to 255 stand for
// themselves, anything else (or a broken sequence) becomes '?'.
std::string to_latin1(std::string_view utf8) {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80   ? 0
                      : lead < 0xC0 ? -1
                      : lead < 0xE0 ? 1
                      : lead < 0xF0 ? 2
                      : lead < 0xF8 ? 3
                                    : -1;
    bool whole = extra >= 0 && i + extra < utf8.size();
    unsigned code = extra > 0 ? lead & (0x3Fu >> extra) : lead;
    for (int k = 1; whole && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      whole = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3Fu);
    }
    out += whole && code <= 0xFF ? static_cast<char>(code) : '?';
    i += whole ? static_cast<std::size_t>(extra) + 1 : 1;
  }
  return out;
}

// The box and the text on it, display pixels with straight alpha, at most
// the display's width.
void compose(StatusLine& l) {
  const int most = std::max(0, graphics_width() - 2 * pad_x);
  const detail::TextBitmap text = detail::text_bitmap(l.font, l.text, most);
  l.width = text.width + 2 * pad_x;
  l.height = text.height + 2 * pad_y;
  l.rgba.assign(static_cast<std::size_t>(l.width) * l.height * 4, 0);
  for (int y = 0; y < l.height; ++y) {
    for (int x = 0; x < l.width; ++x) {
      const int tx = x - pad_x;
      const int ty = y - pad_y;
      const int c =
          tx >= 0 && ty >= 0 && tx < text.width && ty < text.height
              ? text.coverage[static_cast<std::size_t>(ty) * text.width + tx]
              : 0;
      // Ink over the box: alpha a = c + box (1 - c), colour ink c / a.
      const int a = c + box_alpha * (255 - c) / 255;
      std::uint8_t* p =
          &l.rgba[(static_cast<std::size_t>(y) * l.width + x) * 4];
      for (int k = 0; k < 3; ++k)
        p[k] = static_cast<std::uint8_t>(a ? ink[k] * c / a : 0);
      p[3] = static_cast<std::uint8_t>(a);
    }
  }
  l.composed = true;
  l.uploaded = false;
}

}  // namespace

void set_status_line(std::string_view text) {
  StatusLine& l = line();
  const std::string latin1 = to_latin1(text);
  const FontRef& font = detail::draw_state().font;
  if (latin1 == l.text && font == l.font) return;
  l.text = latin1;
  l.font = font;
  l.composed = false;
  l.rgba.clear();
  if (l.text.empty()) detail::renderer::release(l.texture);
}

namespace detail {

const renderer::Texture* status_band() {
  StatusLine& l = line();
  if (l.text.empty()) return nullptr;
  if (!l.composed) compose(l);
  if (!l.uploaded || !renderer::current(l.texture)) {
    renderer::upload(l.texture, l.width, l.height, l.rgba.data());
    l.uploaded = true;
  }
  return renderer::current(l.texture) ? &l.texture : nullptr;
}

}  // namespace detail
}  // namespace platform
