// The messages two games (and later the server) exchange, as one binary
// format: every message starts with a magic number, the protocol version and
// its kind. Decoding checks every size, version, range and count; a message
// that fails any check is refused whole with the reason, never half-read.
// Nothing here knows of sockets: a message is a span of bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace online {

constexpr std::uint16_t protocol_version = 1;
// Larger datagrams risk fragmentation on the way; nothing we send needs more.
constexpr std::size_t max_message_bytes = 1200;
constexpr std::size_t max_events_per_tick = 48;
constexpr std::size_t max_ticks_per_message = 40;
constexpr std::size_t max_text_bytes = 64;  // a version, a build, a value
constexpr std::size_t max_name_bytes = 24;  // the name of a setting or hash
constexpr std::size_t max_settings = 12;
constexpr std::size_t max_hashes = 32;
constexpr std::uint8_t max_input_delay = 8;
// A message relayed by the server travels inside an envelope (Relay), so
// a datagram may be this much larger than the message it carries.
constexpr std::size_t max_datagram_bytes = max_message_bytes + 64;
constexpr std::size_t max_code_bytes = 12;     // an invite code
constexpr std::size_t max_address_bytes = 64;  // "[v6 address]:port"
// Every text is printable ASCII: it ends up in the lines we print.

// One input event of one tick, as the game's input scripts have them.
enum class EventKind : std::uint8_t {
  key = 1,             // code: key 0..255, down
  mouse = 2,           // code: x, index: y (display pixels, -1..4096)
  mouse_button = 3,    // code: button 1..3, down
  joy_connect = 4,     // code: port 0..15
  joy_disconnect = 5,  // code: port
  joy_axis = 6,        // code: port, index: axis 0..1, value: -1..1
  joy_button = 7,      // code: port, index: button 0..16, down
  focus_lost = 8,
  focus_gained = 9,
  close = 10,
  end = 11,
};

// The fields a kind does not name stay at their defaults.
struct InputEvent {
  EventKind kind = EventKind::end;
  std::int16_t code = 0;
  std::int16_t index = 0;
  bool down = false;
  float value = 0.0f;
  bool operator==(const InputEvent&) const = default;
};

// The events of one seat for one tick (often none).
using TickEvents = std::vector<InputEvent>;

enum class Role : std::uint8_t { host = 1, guest = 2, spectator = 3 };

// A guest asks to play: same protocol, same game version, same build.
struct Hello {
  Role role = Role::guest;
  std::string game_version;  // VERMIX_VERSION
  std::string build;         // names the build: different builds may differ
  std::uint32_t nonce = 0;   // answered in Welcome, so a stale reply is seen
  bool operator==(const Hello&) const = default;
};

// The host takes the guest: the session's number, the input delay and the
// settings the game plays with (seed, high score, 3D settings, ...).
struct Welcome {
  std::uint32_t nonce = 0;
  std::uint32_t session = 0;
  std::uint8_t input_delay = 2;
  // The first tick the guest plays live: 0 from the start; a guest that
  // comes into a game under way first catches up on the Stream below it.
  std::uint32_t join_tick = 0;
  std::vector<std::pair<std::string, std::string>> settings;
  bool operator==(const Welcome&) const = default;
};

enum class RefuseReason : std::uint8_t {
  version = 1,  // another protocol or game version
  build = 2,    // another build
  busy = 3,     // the host has a guest already
};

struct Refuse {
  std::uint32_t nonce = 0;
  RefuseReason reason = RefuseReason::version;
  std::string detail;  // what the host is (its version or build)
  bool operator==(const Refuse&) const = default;
};

// A seat's inputs: the events of ticks first_tick .. first_tick + size - 1
// that the other side has not acknowledged, with what the sender has
// received of the other side (ack: every tick below it), where its game is
// (its current tick, for time sync) and a ping for the round trip.
struct Inputs {
  std::uint32_t session = 0;
  std::uint32_t first_tick = 0;
  std::uint32_t ack = 0;
  std::uint32_t sender_tick = 0;
  std::uint32_t ping_ms = 0;  // sender's clock
  std::uint32_t echo_ms = 0;  // the last ping_ms received from the other side
  std::vector<TickEvents> ticks;
  bool operator==(const Inputs&) const = default;
};

// The state hash at a confirmed tick (every 60), for desync detection;
// `field` names the first part that differs when compared.
struct Check {
  std::uint32_t session = 0;
  std::uint32_t tick = 0;
  std::vector<std::pair<std::string, std::uint32_t>> hashes;
  bool operator==(const Check&) const = default;
};

enum class ByeReason : std::uint8_t {
  left = 1,     // the player ended the game
  desync = 2,   // the games differ
  refused = 3,  // the peer broke the protocol
};

struct Bye {
  std::uint32_t session = 0;
  ByeReason reason = ByeReason::left;
  std::uint32_t tick = 0;
  bool operator==(const Bye&) const = default;
};

// --- The server's rooms ---------------------------------------------------

// A seat in a room as the server gave it: the room's invite code, the seat's
// number (0: the host) and its secret, without which the server takes
// nothing for that seat.
struct Ticket {
  std::string code;
  std::uint32_t seat = 0;
  std::uint64_t secret = 0;
  bool operator==(const Ticket&) const = default;
};

// A host asks for a room. `settings` are what a spectator plays with (as in
// Welcome). `resume`, when it names a code, asks for that room back after
// the server restarted (the secret proves it was ours).
struct OpenRoom {
  std::uint32_t nonce = 0;
  std::string game_version;
  std::string build;
  std::vector<std::pair<std::string, std::string>> settings;
  Ticket resume;
  bool operator==(const OpenRoom&) const = default;
};

struct RoomOpened {
  std::uint32_t nonce = 0;
  Ticket ticket;
  std::uint16_t idle_seconds = 0;  // the room ends after this long unheard
  bool operator==(const RoomOpened&) const = default;
};

// A guest or a spectator asks to come into a room by its code.
struct EnterRoom {
  std::uint32_t nonce = 0;
  std::string code;
  Role role = Role::guest;
  std::string game_version;
  std::string build;
  bool operator==(const EnterRoom&) const = default;
};

// `host_address`: where the server sees the host ("[::ffff:1.2.3.4]:5000"),
// for a direct path; empty when the host has none (a browser). `settings`:
// the host's, for a spectator.
struct RoomEntered {
  std::uint32_t nonce = 0;
  Ticket ticket;
  std::string host_address;
  std::vector<std::pair<std::string, std::string>> settings;
  bool operator==(const RoomEntered&) const = default;
};

enum class RoomError : std::uint8_t {
  no_room = 1,    // no room has that code
  full = 2,       // the room has its guest
  expired = 3,    // the room ended unheard
  host_left = 4,  // its host ended it
  version = 5,    // another protocol or game version
  build = 6,      // another build
  limit = 7,      // too many rooms, guesses or messages from this address
  seat = 8,       // a ticket the server did not give
};

struct RoomRefused {
  std::uint32_t nonce = 0;
  RoomError reason = RoomError::no_room;
  std::string detail;
  bool operator==(const RoomRefused&) const = default;
};

// A seat's message for the other seat, through the server; the server
// hands `payload` on unchanged, as a datagram of its own.
struct Relay {
  Ticket ticket;
  std::vector<std::uint8_t> payload;  // at most max_message_bytes
  bool operator==(const Relay&) const = default;
};

// A seat is still there (every second or so, which also keeps the way
// open), or leaves.
struct Presence {
  Ticket ticket;
  bool leaving = false;
  bool operator==(const Presence&) const = default;
};

// Both seats' final events of ticks first_tick .. first_tick + size - 1:
// from the host to the server (which keeps the room's stream from tick 0),
// from the server to a spectator, and from a host to a guest that comes
// into a game under way. `ended`: the game's last tick is the last here.
struct Stream {
  Ticket ticket;  // the sender's seat, towards the server; else empty
  std::uint32_t session = 0;
  std::uint32_t first_tick = 0;
  bool ended = false;
  std::vector<std::array<TickEvents, 2>> ticks;
  bool operator==(const Stream&) const = default;
};

// The receiver of a Stream has every tick below `next_tick`.
struct StreamAck {
  Ticket ticket;
  std::uint32_t session = 0;
  std::uint32_t next_tick = 0;
  bool operator==(const StreamAck&) const = default;
};

// The kind on the wire is the place in this list, from 1: new kinds go at
// the end.
using Message = std::variant<Hello, Welcome, Refuse, Inputs, Check, Bye,
                             OpenRoom, RoomOpened, EnterRoom, RoomEntered,
                             RoomRefused, Relay, Presence, Stream, StreamAck>;

// The bytes of a message that decode gives back equal. A message that would
// not (a field out of its range, a count or text too long, fields its kind
// does not carry, more than max_message_bytes, or max_datagram_bytes for a
// Relay) is a programming error: std::length_error when too large, else
// std::invalid_argument. An Inputs or Stream message holds as many ticks as
// fit: encoded_size says how many bytes.
std::vector<std::uint8_t> encode(const Message& message);
std::size_t encoded_size(const Message& message);

// The message, or nothing with the reason in `error` (for the counts of
// dropped messages: "size" (more than max_message_bytes, or
// max_datagram_bytes for a Relay), "truncated",
// "magic", "version", "kind", "range", "count", "text", "trailing").
std::optional<Message> decode(std::span<const std::uint8_t> bytes,
                              std::string& error);

}  // namespace online
