// Invite codes as people read, type and click them: eight symbols of an
// alphabet without look-alikes (no 0/O, 1/I/L), upper case and without a
// dash on the wire, shown as ABCD-EFGH. 31^8 (about 8.5e11) of them: the
// same for the game, its invite links and the server.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace online {

constexpr std::string_view code_alphabet = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
constexpr std::size_t code_length = 8;

// The code as the wire has it, from what a person typed: lower case,
// spaces and one dash are taken. Nothing when the text is no code.
std::optional<std::string> parse_code(std::string_view typed);
// "ABCD-EFGH"; anything that is not eight symbols long as it is.
std::string shown_code(std::string_view code);
// "vermix://join/ABCDEFGH", "vermix://watch/ABCDEFGH".
std::string join_link(std::string_view code);
std::string watch_link(std::string_view code);

}  // namespace online
