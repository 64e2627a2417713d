#include "online/rooms/room_requests.h"

#include "online/protocol/invite_code.h"

namespace online {
namespace {

constexpr std::uint32_t ask_every_ms = 250;

std::optional<std::uint32_t> answer_nonce(const Message& m) {
  if (const auto* o = std::get_if<RoomOpened>(&m)) return o->nonce;
  if (const auto* e = std::get_if<RoomEntered>(&m)) return e->nonce;
  if (const auto* r = std::get_if<RoomRefused>(&m)) return r->nonce;
  return std::nullopt;
}

}  // namespace

std::optional<Message> ask_server(RoomLink& link, Clock& clock,
                                  const Message& request, std::uint32_t nonce,
                                  std::uint32_t timeout_ms,
                                  const std::function<bool()>& give_up,
                                  std::string& error) {
  const std::uint32_t start = clock.now_ms();
  std::uint32_t last_ask = start - ask_every_ms;
  while (!give_up()) {
    const std::uint32_t now = clock.now_ms();
    if (now - start > timeout_ms) {
      error = "no answer from the server " + link.describe();
      return std::nullopt;
    }
    if (now - last_ask >= ask_every_ms) {
      link.send_to_server(request);
      last_ask = now;
    }
    auto message = link.next_other();
    if (!message) {
      clock.sleep_ms(2);
      continue;
    }
    if (answer_nonce(*message) == nonce) return message;
  }
  error = "stopped before the server answered";
  return std::nullopt;
}

std::string refusal_text(const RoomRefused& refused, std::string_view code) {
  const std::string room = "room " + shown_code(code);
  switch (refused.reason) {
    case RoomError::no_room:
      return "no room has the code " + shown_code(code) +
             "; check the code you were given";
    case RoomError::full:
      return room + " has its guest already";
    case RoomError::expired:
      return room + " has ended: nobody was heard in it for too long";
    case RoomError::host_left:
      return room + " has ended: its host left";
    case RoomError::version:
      return "the server or the room's host plays another version of the "
             "game (" +
             refused.detail + "); both must play the same version";
    case RoomError::build:
      return "the room's host plays another build of the game (" +
             refused.detail + "); both must play the same build";
    case RoomError::limit:
      return "the server refuses more from this address for now (too many "
             "rooms, guesses or messages); try again later";
    case RoomError::seat:
      return "the server does not know this seat of " + room;
  }
  return "the server refused";
}

}  // namespace online
