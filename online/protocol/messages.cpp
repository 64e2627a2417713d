// One description of each message's fields, run by the Writer to encode and
// by the Reader to decode and check (online/protocol/wire.h).
#include "online/protocol/messages.h"

#include <algorithm>
#include <concepts>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "online/protocol/wire.h"

namespace online {
namespace {

// "VMXN" in the first four bytes.
constexpr std::uint32_t magic = 0x4e584d56;
constexpr std::uint32_t u32_max = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t display_min = -1;
constexpr std::int64_t display_max = 4096;
constexpr std::int64_t last_port = 15;

using U8 = std::uint8_t;
using U16 = std::uint16_t;
using U32 = std::uint32_t;

// M is T, const for the Writer.
template <class M, class T>
concept is = std::same_as<std::remove_const_t<M>, T>;

template <class A, class V>
void whole(A& a, V& v) {
  a.template number<U32>(v, 0, u32_max);
}

template <class A, is<InputEvent> E>
void fields(A& a, E& e) {
  a.choice(e.kind, EventKind::key, EventKind::end);
  switch (e.kind) {
    case EventKind::key:
      a.template number<U8>(e.code, 0, 255);
      a.flag(e.down);
      break;
    case EventKind::mouse:
      a.template number<U16>(e.code, display_min, display_max);
      a.template number<U16>(e.index, display_min, display_max);
      break;
    case EventKind::mouse_button:
      a.template number<U8>(e.code, 1, 3);
      a.flag(e.down);
      break;
    case EventKind::joy_connect:
    case EventKind::joy_disconnect:
      a.template number<U8>(e.code, 0, last_port);
      break;
    case EventKind::joy_axis:
      a.template number<U8>(e.code, 0, last_port);
      a.template number<U8>(e.index, 0, 1);
      a.real(e.value, -1.0f, 1.0f);
      break;
    case EventKind::joy_button:
      a.template number<U8>(e.code, 0, last_port);
      a.template number<U8>(e.index, 0, 16);
      a.flag(e.down);
      break;
    case EventKind::focus_lost:
    case EventKind::focus_gained:
    case EventKind::close:
    case EventKind::end:
      break;
  }
}

template <class A, class S>
void settings(A& a, S& list) {
  a.list(list, max_settings, [&](auto& setting) {
    a.text(setting.first, max_name_bytes);
    a.text(setting.second, max_text_bytes);
  });
}

template <class A, class L>
void tick_events(A& a, L& tick) {
  a.list(tick, max_events_per_tick, [&](auto& event) { fields(a, event); });
}

// The last of `count` ticks from `first` must have a number.
template <class A>
void tick_span(A& a, std::uint32_t first, std::size_t count) {
  a.require(count <= std::uint64_t{u32_max} - first, "range");
}

template <class A, is<Hello> M>
void fields(A& a, M& m) {
  a.choice(m.role, Role::host, Role::spectator);
  a.text(m.game_version, max_text_bytes);
  a.text(m.build, max_text_bytes);
  whole(a, m.nonce);
}

template <class A, is<Welcome> M>
void fields(A& a, M& m) {
  whole(a, m.nonce);
  whole(a, m.session);
  a.template number<U8>(m.input_delay, 0, max_input_delay);
  whole(a, m.join_tick);
  settings(a, m.settings);
}

template <class A, is<Refuse> M>
void fields(A& a, M& m) {
  whole(a, m.nonce);
  a.choice(m.reason, RefuseReason::version, RefuseReason::busy);
  a.text(m.detail, max_text_bytes);
}

template <class A, is<Inputs> M>
void fields(A& a, M& m) {
  whole(a, m.session);
  whole(a, m.first_tick);
  whole(a, m.ack);
  whole(a, m.sender_tick);
  whole(a, m.ping_ms);
  whole(a, m.echo_ms);
  a.list(m.ticks, max_ticks_per_message,
         [&](auto& tick) { tick_events(a, tick); });
  tick_span(a, m.first_tick, m.ticks.size());
}

template <class A, is<Check> M>
void fields(A& a, M& m) {
  whole(a, m.session);
  whole(a, m.tick);
  a.list(m.hashes, max_hashes, [&](auto& hash) {
    a.text(hash.first, max_name_bytes);
    whole(a, hash.second);
  });
}

template <class A, is<Bye> M>
void fields(A& a, M& m) {
  whole(a, m.session);
  a.choice(m.reason, ByeReason::left, ByeReason::refused);
  whole(a, m.tick);
}

// An invite code: letters and digits only.
template <class A, class S>
void code(A& a, S& s) {
  a.text(s, max_code_bytes);
  a.require(std::all_of(s.begin(), s.end(),
                        [](char c) {
                          return (c >= 'A' && c <= 'Z') ||
                                 (c >= '0' && c <= '9');
                        }),
            "text");
}

template <class A, is<Ticket> M>
void fields(A& a, M& m) {
  code(a, m.code);
  whole(a, m.seat);
  a.whole64(m.secret);
}

template <class A, is<OpenRoom> M>
void fields(A& a, M& m) {
  whole(a, m.nonce);
  a.text(m.game_version, max_text_bytes);
  a.text(m.build, max_text_bytes);
  settings(a, m.settings);
  fields(a, m.resume);
}

template <class A, is<RoomOpened> M>
void fields(A& a, M& m) {
  whole(a, m.nonce);
  fields(a, m.ticket);
  a.template number<U16>(m.idle_seconds, 0, 65535);
}

template <class A, is<EnterRoom> M>
void fields(A& a, M& m) {
  whole(a, m.nonce);
  code(a, m.code);
  a.choice(m.role, Role::guest, Role::spectator);
  a.text(m.game_version, max_text_bytes);
  a.text(m.build, max_text_bytes);
}

template <class A, is<RoomEntered> M>
void fields(A& a, M& m) {
  whole(a, m.nonce);
  fields(a, m.ticket);
  a.text(m.host_address, max_address_bytes);
  settings(a, m.settings);
}

template <class A, is<RoomRefused> M>
void fields(A& a, M& m) {
  whole(a, m.nonce);
  a.choice(m.reason, RoomError::no_room, RoomError::seat);
  a.text(m.detail, max_text_bytes);
}

template <class A, is<Relay> M>
void fields(A& a, M& m) {
  fields(a, m.ticket);
  a.blob(m.payload, max_message_bytes);
}

template <class A, is<Presence> M>
void fields(A& a, M& m) {
  fields(a, m.ticket);
  a.flag(m.leaving);
}

template <class A, is<Stream> M>
void fields(A& a, M& m) {
  fields(a, m.ticket);
  whole(a, m.session);
  whole(a, m.first_tick);
  a.flag(m.ended);
  a.list(m.ticks, max_ticks_per_message, [&](auto& tick) {
    tick_events(a, tick[0]);
    tick_events(a, tick[1]);
  });
  tick_span(a, m.first_tick, m.ticks.size());
}

template <class A, is<StreamAck> M>
void fields(A& a, M& m) {
  fields(a, m.ticket);
  whole(a, m.session);
  whole(a, m.next_tick);
}

// The largest a message of this kind may be.
std::size_t size_limit(const Message& message) {
  return std::holds_alternative<Relay>(message) ? max_datagram_bytes
                                                : max_message_bytes;
}

template <std::size_t... I>
Message empty_message(std::size_t index, std::index_sequence<I...>) {
  Message m;
  ((index == I ? (m.emplace<I>(), 0) : 0), ...);
  return m;
}

// The kind on the wire is the alternative's place in Message, from 1.
std::vector<std::uint8_t> write(const Message& message) {
  wire::Writer w;
  w.number<U32>(magic, 0, 0);
  w.number<U16>(protocol_version, 0, 0);
  w.number<U8>(message.index() + 1, 0, 0);
  std::visit([&](const auto& body) { fields(w, body); }, message);
  return w.take();
}

}  // namespace

std::size_t encoded_size(const Message& message) {
  return write(message).size();
}

std::vector<std::uint8_t> encode(const Message& message) {
  std::vector<std::uint8_t> bytes = write(message);
  if (bytes.size() > size_limit(message)) {
    throw std::length_error("online::encode: " + std::to_string(bytes.size()) +
                            " bytes, more than a message may hold");
  }
  std::string error;
  const std::optional<Message> back = decode(bytes, error);
  if (!back) {
    throw std::invalid_argument("online::encode: not a valid message (" +
                                error + ")");
  }
  if (*back != message) {
    throw std::invalid_argument(
        "online::encode: an event carries fields its kind does not");
  }
  return bytes;
}

std::optional<Message> decode(std::span<const std::uint8_t> bytes,
                              std::string& error) {
  if (bytes.size() > max_datagram_bytes) {
    error = "size";
    return std::nullopt;
  }
  wire::Reader r(bytes);
  std::uint32_t found_magic = 0;
  std::uint16_t version = 0;
  std::size_t kind = 0;
  r.number<U32>(found_magic, magic, magic, "magic");
  r.number<U16>(version, protocol_version, protocol_version, "version");
  r.number<U8>(kind, 1, std::variant_size_v<Message>, "kind");
  Message message =
      empty_message(kind == 0 ? 0 : kind - 1,
                    std::make_index_sequence<std::variant_size_v<Message>>());
  std::visit([&](auto& body) { fields(r, body); }, message);
  if (r.error().empty() && bytes.size() > size_limit(message)) {
    error = "size";
    return std::nullopt;
  }
  if (r.error().empty() && !r.at_end()) {
    error = "trailing";
    return std::nullopt;
  }
  if (!r.error().empty()) {
    error = r.error();
    return std::nullopt;
  }
  return message;
}

}  // namespace online
