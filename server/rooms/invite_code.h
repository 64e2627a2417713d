// Invite codes: 8 symbols of an alphabet without look-alikes (no 0/O, no
// 1/I/L), 31^8 (about 8.5e11) of them. On the wire upper case, no dash;
// shown to people as ABCD-EFGH.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace server::rooms {

inline constexpr std::string_view code_alphabet =
    "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
inline constexpr std::size_t code_length = 8;

// Fills the span with unpredictable bytes.
using RandomBytes = std::function<void(std::span<std::uint8_t>)>;

// A fresh code, every symbol equally likely.
std::string new_code(const RandomBytes& random);

// The code typed by a person (lower case, spaces and one dash allowed), as
// on the wire, or nothing when it is not a code.
std::optional<std::string> read_code(std::string_view typed);

// ABCD-EFGH.
std::string shown_code(std::string_view code);

}  // namespace server::rooms
