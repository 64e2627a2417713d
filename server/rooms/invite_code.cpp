#include "server/rooms/invite_code.h"

#include <array>

namespace server::rooms {

std::string new_code(const RandomBytes& random) {
  std::string code;
  // Bytes of 248 and above are thrown away: 248 is 8 times 31, so every
  // symbol stays equally likely.
  while (code.size() < code_length) {
    std::array<std::uint8_t, 16> bytes{};
    random(bytes);
    for (const std::uint8_t b : bytes) {
      if (b < 248 && code.size() < code_length) {
        code += code_alphabet[b % code_alphabet.size()];
      }
    }
  }
  return code;
}

std::optional<std::string> read_code(std::string_view typed) {
  std::string code;
  int dashes = 0;
  for (const char c : typed) {
    if (c == ' ') continue;
    if (c == '-') {
      if (++dashes > 1) return std::nullopt;
      continue;
    }
    const char upper = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    if (code_alphabet.find(upper) == std::string_view::npos) {
      return std::nullopt;
    }
    code += upper;
  }
  if (code.size() != code_length) return std::nullopt;
  return code;
}

std::string shown_code(std::string_view code) {
  if (code.size() != code_length) return std::string(code);
  return std::string(code.substr(0, 4)) + "-" + std::string(code.substr(4));
}

}  // namespace server::rooms
