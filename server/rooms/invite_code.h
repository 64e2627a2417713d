// Fresh invite codes for rooms; the codes themselves (their alphabet, how
// they are read and shown) are the game's, in online/protocol.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "online/protocol/invite_code.h"

namespace server::rooms {

using online::code_alphabet;
using online::code_length;
using online::shown_code;

// Fills the span with unpredictable bytes.
using RandomBytes = std::function<void(std::span<std::uint8_t>)>;

// A fresh code, every symbol equally likely.
std::string new_code(const RandomBytes& random);

}  // namespace server::rooms
