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

}  // namespace server::rooms
