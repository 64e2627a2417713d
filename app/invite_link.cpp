#include "app/invite_link.h"

#include <cctype>

#include "online/protocol/invite_code.h"

namespace {

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

// A link's code is exactly the code, with its dash in the middle or none.
std::optional<std::string> link_code(std::string_view text) {
  const std::size_t length = online::code_length;
  const bool dashed = text.size() == length + 1 && text[length / 2] == '-';
  if (!dashed && text.size() != length) return std::nullopt;
  return online::parse_code(text);
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
