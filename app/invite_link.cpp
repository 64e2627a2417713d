#include "app/invite_link.h"

#include <cctype>

namespace {

// Eight symbols without look-alikes: no 0 or O, no 1, I or L.
constexpr std::string_view code_alphabet = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
constexpr std::size_t code_length = 8;
constexpr std::string_view scheme = "vermix://";

char upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool starts_without_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (upper(text[i]) != upper(prefix[i])) return false;
  }
  return true;
}

std::optional<std::string> link_code(std::string_view text) {
  std::string code(text);
  if (code.size() == code_length + 1 && code[code_length / 2] == '-')
    code.erase(code_length / 2, 1);
  if (code.size() != code_length) return std::nullopt;
  for (char& c : code) {
    c = upper(c);
    if (code_alphabet.find(c) == std::string_view::npos) return std::nullopt;
  }
  return code;
}

}  // namespace

bool looks_like_invite_link(std::string_view arg) {
  return starts_without_case(arg, "vermix:");
}

std::optional<InviteLink> parse_invite_link(std::string_view arg) {
  if (!starts_without_case(arg, scheme)) return std::nullopt;
  arg.remove_prefix(scheme.size());
  for (const auto& [action, option] :
       {std::pair{std::string_view("join/"), "--join"},
        std::pair{std::string_view("watch/"), "--watch"}}) {
    if (!starts_without_case(arg, action)) continue;
    std::optional<std::string> code = link_code(arg.substr(action.size()));
    if (!code) return std::nullopt;
    return InviteLink{option, std::move(*code)};
  }
  return std::nullopt;
}
