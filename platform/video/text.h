// What the text module gives the rest of video/: a line of text as the
// pixels draw_text lights for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform::detail {

// A line's coverage, 0 to 255 per pixel, rows top to bottom; one line of
// the font high.
struct TextBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;
};

// `text` (one byte a character, as draw_text takes it) in `font` (null: the
// built-in font), cut after the last character that ends within
// `max_width` pixels.
TextBitmap text_bitmap(const FontRef& font, const std::string& text,
                       int max_width);

}  // namespace platform::detail
