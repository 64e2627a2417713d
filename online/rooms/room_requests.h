// Asking the server for a room or a seat in one: the request is said again
// every quarter second until the server answers it (by its nonce) or time
// runs out.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "online/protocol/messages.h"
#include "online/rooms/room_link.h"
#include "online/session/session.h"

namespace online {

// RoomOpened, RoomEntered or RoomRefused with the request's nonce, or
// nothing with the reason in `error` (no answer, or `give_up` said so).
std::optional<Message> ask_server(RoomLink& link, Clock& clock,
                                  const Message& request, std::uint32_t nonce,
                                  std::uint32_t timeout_ms,
                                  const std::function<bool()>& give_up,
                                  std::string& error);

// Why the server refused, as a sentence for the online: lines.
std::string refusal_text(const RoomRefused& refused, std::string_view code);

}  // namespace online
