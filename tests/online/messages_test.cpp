// The message format at its bounds and against hostile bytes: every kind
// goes round at the limits of its fields, and every way of breaking a valid
// message is refused with its reason.
#include "online/protocol/messages.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace {

using online::EventKind;
using online::InputEvent;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t most = std::numeric_limits<std::uint32_t>::max();

std::string text(std::size_t n, char first = 'a') {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += static_cast<char>(first + i % 26);
  return s;
}

// Every kind of event with its fields at their limits.
online::TickEvents every_event() {
  return {
      {EventKind::key, 0, 0, true, 0.0f},
      {EventKind::key, 255, 0, false, 0.0f},
      {EventKind::mouse, -1, 4096, false, 0.0f},
      {EventKind::mouse, 4096, -1, false, 0.0f},
      {EventKind::mouse_button, 1, 0, true, 0.0f},
      {EventKind::mouse_button, 3, 0, false, 0.0f},
      {EventKind::joy_connect, 0, 0, false, 0.0f},
      {EventKind::joy_disconnect, 15, 0, false, 0.0f},
      {EventKind::joy_axis, 15, 1, false, -1.0f},
      {EventKind::joy_axis, 0, 0, false, 1.0f},
      {EventKind::joy_axis, 1, 1, false, -0.0f},
      {EventKind::joy_axis, 2, 0, false,
       std::numeric_limits<float>::denorm_min()},
      {EventKind::joy_button, 15, 16, true, 0.0f},
      {EventKind::joy_button, 0, 0, false, 0.0f},
      {EventKind::focus_lost},
      {EventKind::focus_gained},
      {EventKind::close},
      {EventKind::end},
  };
}

std::vector<online::Message> messages_at_bounds() {
  online::Welcome welcome{most, most, online::max_input_delay, most, {}};
  for (std::size_t i = 0; i < online::max_settings; ++i) {
    welcome.settings.emplace_back(text(online::max_name_bytes, 'A' + i),
                                  text(online::max_text_bytes, ' ' + i));
  }
  online::TickEvents full = every_event();
  while (full.size() < online::max_events_per_tick) {
    full.push_back({EventKind::key, 7, 0, true, 0.0f});
  }
  online::Check check{most, most, {}};
  for (std::size_t i = 0; i < online::max_hashes; ++i) {
    check.hashes.emplace_back(text(online::max_name_bytes, 'A' + i % 6),
                              most - i);
  }
  const online::Ticket ticket{"Z9Z9Z9Z9Z9Z9", most,
                              std::numeric_limits<std::uint64_t>::max()};
  online::Stream stream{ticket, most, most - 20, true, {}};
  stream.ticks.resize(20);
  stream.ticks[3] = {online::TickEvents{{EventKind::joy_connect, 1}},
                     every_event()};
  return {
      online::Hello{online::Role::spectator, text(online::max_text_bytes),
                    text(online::max_text_bytes, '0'), most},
      online::Hello{online::Role::host, "", "", 0},
      welcome,
      online::Welcome{0, 0, 0, 0, {}},
      online::Refuse{most, online::RefuseReason::busy,
                     text(online::max_text_bytes)},
      // The last tick is the last that has a number.
      online::Inputs{
          1, most - online::max_ticks_per_message, most, most, most, most,
          std::vector<online::TickEvents>(online::max_ticks_per_message)},
      online::Inputs{2, 0, 0, 0, 0, 0, {full, {}, every_event()}},
      check,
      online::Bye{3, online::ByeReason::refused, most},
      // With both texts at their longest, ten settings fill a datagram.
      online::OpenRoom{
          most,
          text(online::max_text_bytes),
          text(online::max_text_bytes),
          {welcome.settings.begin(), welcome.settings.begin() + 10},
          ticket},
      online::OpenRoom{},
      online::RoomOpened{most, ticket, 65535},
      online::EnterRoom{most, "ABC234", online::Role::spectator, "1.0", "b"},
      online::RoomEntered{most, ticket, text(online::max_address_bytes),
                          welcome.settings},
      online::RoomRefused{most, online::RoomError::seat,
                          text(online::max_text_bytes)},
      online::Relay{ticket, Bytes(online::max_message_bytes, 0xff)},
      online::Presence{ticket, true},
      stream,
      online::StreamAck{ticket, most, most},
  };
}

std::string refusal(const Bytes& bytes) {
  std::string error;
  return online::decode(bytes, error) ? "accepted" : error;
}

Bytes encoded(const online::Message& m) { return online::encode(m); }

// `bytes` with `put` written over them from `at`.
Bytes with(Bytes bytes, std::size_t at, const Bytes& put) {
  std::copy(put.begin(), put.end(), bytes.begin() + at);
  return bytes;
}

Bytes float_bytes(float f) {
  const auto bits = std::bit_cast<std::uint32_t>(f);
  return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
          static_cast<std::uint8_t>(bits >> 16),
          static_cast<std::uint8_t>(bits >> 24)};
}

TEST(Messages, EveryKindGoesRoundAtItsBounds) {
  for (const online::Message& m : messages_at_bounds()) {
    SCOPED_TRACE("kind " + std::to_string(m.index() + 1));
    const Bytes bytes = online::encode(m);
    EXPECT_LE(bytes.size(), std::holds_alternative<online::Relay>(m)
                                ? online::max_datagram_bytes
                                : online::max_message_bytes);
    EXPECT_EQ(online::encoded_size(m), bytes.size());
    std::string error;
    const auto back = online::decode(bytes, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, m);
  }
  // The layout itself, little-endian: magic, version, kind, then the fields.
  EXPECT_EQ(encoded(online::Bye{0x04030201, online::ByeReason::desync, 0x0605}),
            (Bytes{'V', 'M', 'X', 'N', 1, 0, 6, 1, 2, 3, 4, 2, 5, 6, 0, 0}));
  EXPECT_EQ(encoded(online::Inputs{
                0, 0, 0, 0, 0, 0, {{{EventKind::mouse, -1, 300}}, {}}}),
            (Bytes{'V', 'M', 'X', 'N', 1, 0, 4, 0, 0,    0,    0,    0,    0,
                   0,   0,   0,   0,   0, 0, 0, 0, 0,    0,    0,    0,    0,
                   0,   0,   0,   0,   0, 2, 1, 2, 0xff, 0xff, 0x2c, 0x01, 0}));
}

TEST(Messages, EveryCutOfAValidMessageIsRefusedAsTruncated) {
  for (const online::Message& m : messages_at_bounds()) {
    const Bytes bytes = online::encode(m);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
      ASSERT_EQ(refusal(Bytes(bytes.begin(), bytes.begin() + n)), "truncated")
          << "kind " << m.index() + 1 << " cut at " << n;
    }
  }
}

TEST(Messages, BrokenMessagesAreRefusedWithTheirReason) {
  const Bytes hello =
      encoded(online::Hello{online::Role::guest, "1.0", "x", 9});
  const Bytes welcome = encoded(online::Welcome{1, 2, 2, 0, {{"seed", "7"}}});
  const Bytes refuse =
      encoded(online::Refuse{1, online::RefuseReason::build, ""});
  const Bytes no_ticks = encoded(online::Inputs{});
  const Bytes check = encoded(online::Check{1, 60, {{"world", 5}}});
  const Bytes bye = encoded(online::Bye{});
  // EnterRoom: the code's size at 11, the code from 12. Relay: the
  // payload's size at 22.
  const Bytes enter =
      encoded(online::EnterRoom{1, "AB", online::Role::guest, "", ""});
  const Bytes relay = encoded(online::Relay{{"AB", 1, 2}, {}});
  const Bytes relayed_bye = encoded(online::Relay{{"AB", 1, 2}, bye});
  Bytes long_check = encoded(online::Check{
      1, 60,
      std::vector<std::pair<std::string, std::uint32_t>>(
          online::max_hashes, {text(online::max_name_bytes), 1})});
  auto event = [](InputEvent e) {
    return encoded(online::Inputs{0, 0, 0, 0, 0, 0, {{e}}});
  };
  const Bytes key = event({EventKind::key, 65, 0, true});
  const Bytes mouse = event({EventKind::mouse, 10, 20});
  const Bytes button = event({EventKind::mouse_button, 2, 0, true});
  const Bytes axis = event({EventKind::joy_axis, 1, 0, false, 0.5f});
  const Bytes joy_button = event({EventKind::joy_button, 1, 3, true});
  // Inputs: the tick count at 31, the first tick's event count at 32, its
  // first event's kind at 33 and fields from 34.
  struct Case {
    const char* what;
    Bytes bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"over long", Bytes(online::max_datagram_bytes + 1), "size"},
      {"over long for its kind",
       with(Bytes(online::max_message_bytes + 1), 0,
            Bytes(long_check.begin(), long_check.begin() + 7)),
       "size"},
      {"magic", with(hello, 0, {'V', 'M', 'X', 'M'}), "magic"},
      {"version 0", with(hello, 4, {0, 0}), "version"},
      {"version 2", with(hello, 4, {2, 0}), "version"},
      {"kind 0", with(hello, 6, {0}), "kind"},
      {"kind 16", with(hello, 6, {16}), "kind"},
      {"role 0", with(hello, 7, {0}), "range"},
      {"role 4", with(hello, 7, {4}), "range"},
      {"long version", with(hello, 8, {online::max_text_bytes + 1}), "text"},
      {"control byte", with(hello, 9, {'\n'}), "text"},
      {"high byte", with(hello, 10, {0xc3}), "text"},
      {"input delay", with(welcome, 15, {online::max_input_delay + 1}),
       "range"},
      {"settings", with(welcome, 20, {online::max_settings + 1}), "count"},
      {"long name", with(welcome, 21, {online::max_name_bytes + 1}), "text"},
      {"refuse reason", with(refuse, 11, {4}), "range"},
      {"ticks", with(no_ticks, 31, {online::max_ticks_per_message + 1}),
       "count"},
      {"events", with(key, 32, {online::max_events_per_tick + 1}), "count"},
      {"tick number", with(key, 11, {0xff, 0xff, 0xff, 0xff}), "range"},
      {"event kind 0", with(key, 33, {0}), "range"},
      {"event kind 12", with(key, 33, {12}), "range"},
      {"key down 2", with(key, 35, {2}), "range"},
      {"mouse x -2", with(mouse, 34, {0xfe, 0xff}), "range"},
      {"mouse y 4097", with(mouse, 36, {0x01, 0x10}), "range"},
      {"mouse button 0", with(button, 34, {0}), "range"},
      {"mouse button 4", with(button, 34, {4}), "range"},
      {"port 16", with(axis, 34, {16}), "range"},
      {"axis 2", with(axis, 35, {2}), "range"},
      {"axis past 1", with(axis, 36, float_bytes(std::nextafter(1.0f, 2.0f))),
       "range"},
      {"axis below -1", with(axis, 36, float_bytes(-1.5f)), "range"},
      {"axis NaN", with(axis, 36, float_bytes(std::nanf(""))), "range"},
      {"axis infinite",
       with(axis, 36, float_bytes(-std::numeric_limits<float>::infinity())),
       "range"},
      {"joy button 17", with(joy_button, 35, {17}), "range"},
      {"hashes", with(check, 15, {online::max_hashes + 1}), "count"},
      {"bye reason", with(bye, 11, {0}), "range"},
      {"lower-case code", with(enter, 12, {'a'}), "text"},
      {"dash in a code", with(enter, 12, {'-'}), "text"},
      {"long code", with(enter, 11, {online::max_code_bytes + 1}), "text"},
      {"relayed too much", with(relay, 22, {0xb1, 0x04}), "count"},
      {"relayed cut", with(relayed_bye, 22, {0x11, 0}), "truncated"},
      {"trailing byte", with(Bytes(bye.size() + 1), 0, bye), "trailing"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(refusal(c.bytes), c.reason) << c.what;
  }
}

TEST(Messages, EncodingAMessageThatCannotBeSentThrows) {
  EXPECT_THROW(encoded(online::Hello{online::Role::guest,
                                     text(online::max_text_bytes + 1), "", 0}),
               std::invalid_argument);
  EXPECT_THROW(encoded(online::Refuse{0, online::RefuseReason::busy, "a\tb"}),
               std::invalid_argument);
  for (InputEvent e : {InputEvent{EventKind::joy_axis, 0, 0, false, NAN},
                       InputEvent{EventKind::key, 1, 0, false, 0.5f},
                       InputEvent{EventKind::close, 0, 1}}) {
    EXPECT_THROW(encoded(online::Inputs{0, 0, 0, 0, 0, 0, {{e}}}),
                 std::invalid_argument);
  }
  // Full ticks of axis events: more than one datagram holds.
  const online::Message crowded = online::Inputs{
      0,
      0,
      0,
      0,
      0,
      0,
      std::vector<online::TickEvents>(
          online::max_ticks_per_message,
          online::TickEvents(online::max_events_per_tick,
                             {EventKind::joy_axis, 0, 0, false, 0.25f}))};
  EXPECT_GT(online::encoded_size(crowded), online::max_message_bytes);
  EXPECT_THROW(encoded(crowded), std::length_error);
}

}  // namespace
