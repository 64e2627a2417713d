#include "online/protocol/invite_code.h"

namespace online {

std::optional<std::string> parse_code(std::string_view typed) {
  std::string code;
  int dashes = 0;
  for (const char c : typed) {
    if (c == ' ') continue;
    if (c == '-') {
      if (++dashes > 1) return std::nullopt;
      continue;
    }
    const char upper =
        c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    if (code_alphabet.find(upper) == std::string_view::npos)
      return std::nullopt;
    code += upper;
  }
  if (code.size() != code_length) return std::nullopt;
  return code;
}

std::string shown_code(std::string_view code) {
  if (code.size() != code_length) return std::string(code);
  return std::string(code.substr(0, code_length / 2)) + "-" +
         std::string(code.substr(code_length / 2));
}

std::string join_link(std::string_view code) {
  return "vermix://join/" + std::string(code);
}

std::string watch_link(std::string_view code) {
  return "vermix://watch/" + std::string(code);
}

}  // namespace online
