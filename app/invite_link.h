// Invite links as the desktop hands them to the game (the desktop entry's
// URL handler, Windows' URL protocol): vermix://join/CODE and
// vermix://watch/CODE, CODE an invite code of eight symbols.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The option a link stands for and the code it gives it.
struct InviteLink {
  const char* option;  // "--join" or "--watch"
  std::string code;    // upper case, no dash, as on the wire
};

// Whether the argument is meant as a link: it starts with the scheme.
bool looks_like_invite_link(std::string_view arg);
// The link's option and code; nothing unless the argument is exactly one of
// the two forms (scheme and action in any case) with a code of the invite
// alphabet, in either case, shown with its dash (ABCD-EFGH) or without.
std::optional<InviteLink> parse_invite_link(std::string_view arg);
