// The parts of the server that need no network: the keyed hash, invite
// codes, the kept stream and the settings.
#include <gtest/gtest.h>

#include <fstream>
#include <numeric>
#include <set>

#include "server/config/options.h"
#include "server/rooms/invite_code.h"
#include "server/rooms/seat_secrets.h"
#include "server/rooms/stream_store.h"
#include "server/state/state_folder.h"
#include "tests/support/scratch_folder.h"

namespace {

using namespace server;

TEST(SeatSecrets, SipHashGivesTheReferenceValues) {
  // The reference vectors: key 00..0f, messages 00, 00 01, ... (64 of them).
  rooms::SeatKey key;
  std::iota(key.begin(), key.end(), std::uint8_t(0));
  std::vector<std::uint8_t> message;
  EXPECT_EQ(rooms::siphash24(key, message), 0x726fdb47dd0e0e31ull);
  for (std::uint8_t i = 0; i < 15; ++i) message.push_back(i);
  EXPECT_EQ(rooms::siphash24(key, message), 0xa129ca6149be45e5ull);
  message.push_back(15);
  EXPECT_EQ(rooms::siphash24(key, message), 0x3f2acc7f57c29bdbull);

  const rooms::SeatSecrets secrets(key);
  const online::Ticket ticket = secrets.ticket("ABCDEFGH", 3);
  EXPECT_TRUE(secrets.valid(ticket));
  EXPECT_FALSE(secrets.valid({"ABCDEFGH", 4, ticket.secret}));
  EXPECT_FALSE(secrets.valid({"ABCDEFGJ", 3, ticket.secret}));
  key[0] ^= 1;
  EXPECT_FALSE(rooms::SeatSecrets(key).valid(ticket));
}

TEST(InviteCode, FreshCodesUseTheWholeAlphabetAndReadBack) {
  std::uint32_t state = 1;
  const rooms::RandomBytes random = [&](std::span<std::uint8_t> out) {
    for (auto& b : out)
      b = std::uint8_t((state = state * 1103515245 + 12345) >> 16);
  };
  std::set<char> seen;
  for (int i = 0; i < 200; ++i) {
    const std::string code = rooms::new_code(random);
    ASSERT_EQ(code.size(), 8u);
    EXPECT_EQ(online::parse_code(code), code);
    seen.insert(code.begin(), code.end());
  }
  EXPECT_EQ(seen.size(), rooms::code_alphabet.size());

  EXPECT_EQ(online::parse_code("abcd-efgh"), "ABCDEFGH");
  EXPECT_EQ(online::parse_code(" ab cd-ef gh "), "ABCDEFGH");
  EXPECT_EQ(rooms::shown_code("ABCDEFGH"), "ABCD-EFGH");
  for (const char* bad :
       {"ABCD--EFGH", "ABCDEFG", "ABCDEFGHJ", "ABCDEFG0", "ABCDEFGI",
        "ABCDEFGL", "ABC-DEF-GH", "10.0.0.1", ""}) {
    EXPECT_FALSE(online::parse_code(bad)) << bad;
  }
}

online::Stream stream(std::uint32_t session, std::uint32_t first, std::size_t n,
                      bool ended = false) {
  online::Stream s{{}, session, first, ended, {}};
  for (std::size_t i = 0; i < n; ++i) {
    s.ticks.push_back(
        {online::TickEvents{{online::EventKind::key,
                             std::int16_t((first + i) % 256), 0, true, 0.0f}},
         {}});
  }
  return s;
}

TEST(StreamStore, KeepsTicksInOrderAndSplitsThemIntoMessages) {
  rooms::StreamStore store(1 << 20);
  EXPECT_EQ(store.take(stream(1, 0, 30)).next_tick, 30u);
  EXPECT_EQ(store.take(stream(1, 40, 5)).next_tick, 30u);   // a gap: not taken
  EXPECT_EQ(store.take(stream(1, 20, 30)).next_tick, 50u);  // overlapping
  EXPECT_FALSE(store.ended());
  EXPECT_EQ(store.take(stream(1, 50, 10, true)).next_tick, 60u);
  EXPECT_TRUE(store.ended());

  // Handed on whole, in messages that fit, the last one marked ended.
  const auto read = [](const rooms::StreamStore::Message& m) {
    std::string error;
    auto back = online::decode(m.bytes, error);
    EXPECT_TRUE(back) << error;
    return back ? std::get<online::Stream>(*back) : online::Stream{};
  };
  std::vector<std::array<online::TickEvents, 2>> back;
  for (std::uint32_t at = 0; at < store.size();) {
    const rooms::StreamStore::Message m = store.message(at);
    EXPECT_LE(m.bytes.size(), online::max_message_bytes);
    const online::Stream s = read(m);
    EXPECT_EQ(s.first_tick, at);
    EXPECT_EQ(s.session, 1u);
    EXPECT_EQ(s.ticks.size(), m.ticks);
    EXPECT_EQ(s.ended, at + m.ticks == 60);
    back.insert(back.end(), s.ticks.begin(), s.ticks.end());
    at += m.ticks;
  }
  EXPECT_EQ(back, stream(1, 0, 60).ticks);
  EXPECT_EQ(store.message(60).ticks, 0u);
  EXPECT_TRUE(read(store.message(60)).ended);
  // Ticks of many events: as many as fit in a message.
  rooms::StreamStore crowded(1 << 20);
  online::Stream heavy = stream(1, 0, 0);
  for (int i = 0; i < 30; ++i) {
    heavy.ticks.push_back(
        {online::TickEvents(12,
                            {online::EventKind::joy_axis, 1, 0, false, 0.5f}),
         online::TickEvents(12, {online::EventKind::key, 7, 0, true, 0.0f})});
  }
  for (std::size_t at = 0; at < heavy.ticks.size(); at += 3) {
    online::Stream part = stream(1, std::uint32_t(at), 0);
    part.ticks.assign(heavy.ticks.begin() + at, heavy.ticks.begin() + at + 3);
    crowded.take(part);
  }
  ASSERT_EQ(crowded.size(), 30u);
  const auto first = crowded.message(0);
  EXPECT_LT(first.ticks, 30u);
  EXPECT_LE(first.bytes.size(), online::max_message_bytes);
  EXPECT_EQ(read(first).ticks.size(), first.ticks);

  // Another game: kept from its own tick 0.
  const auto taken = store.take(stream(2, 0, 3));
  EXPECT_TRUE(taken.new_session);
  EXPECT_EQ(store.size(), 3u);
}

TEST(StreamStore, PastItsBytesAcknowledgesButKeepsNoMore) {
  rooms::StreamStore store(150);
  const auto first = store.take(stream(1, 0, 40));
  EXPECT_EQ(first.next_tick, 40u);
  EXPECT_GT(first.refused, 0u);
  EXPECT_LE(store.bytes(), 150u);
  const std::uint32_t kept = store.size();
  const auto later = store.take(stream(1, 40, 10, true));
  EXPECT_EQ(later.next_tick, 50u);
  EXPECT_EQ(later.refused, 10u);
  EXPECT_EQ(store.size(), kept);
  EXPECT_TRUE(store.ended());
}

TEST(Options, FileThenCommandLine) {
  testing_support::ScratchFolder scratch("vermix-server-options");
  const std::string file = scratch.file("server.conf");
  std::ofstream(file) << "# a comment\n udp-port = 5000\ntcp-port=5001\n"
                         "idle-seconds = 9\nlog-level = debug\n";
  std::string error;
  const auto o = config::parse_options(
      {"--tcp-port", "6000", "--config", file, "--rooms-per-address=2"}, error);
  ASSERT_TRUE(o) << error;
  EXPECT_EQ(o->udp_port, 5000);
  EXPECT_EQ(o->tcp_port, 6000);
  EXPECT_EQ(o->limits.idle_seconds, 9);
  EXPECT_EQ(o->limits.rooms_per_address, 2u);
  EXPECT_EQ(o->log_level, config::LogLevel::debug);

  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{
           {"--udp-port", "70000"},
           {"--idle-seconds", "x"},
           {"--no-such", "1"},
           {"--log-level", "loud"},
           {"--udp-port"},
           {"--config", scratch.file("none")}}) {
    EXPECT_FALSE(config::parse_options(bad, error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
  std::ofstream(file) << "udp-port 5000\n";
  EXPECT_FALSE(config::parse_options({"--config", file}, error));
  EXPECT_NE(error.find("server.conf:1"), std::string::npos) << error;
}

TEST(StateFolder, KeyIsMadeOnceAndPrivateAndStartsAreCounted) {
  testing_support::ScratchFolder scratch("vermix-server-state");
  const auto folder = scratch.path() / "state";
  const auto key = state::seat_key(folder);
  EXPECT_EQ(state::seat_key(folder), key);
  using std::filesystem::perms;
  EXPECT_EQ(std::filesystem::status(folder / "seat.key").permissions(),
            perms::owner_read | perms::owner_write);
  EXPECT_EQ(std::filesystem::status(folder).permissions(), perms::owner_all);
  EXPECT_EQ(state::next_boot(folder), 0u);
  EXPECT_EQ(state::next_boot(folder), 1u);
  std::ofstream(folder / "seat.key") << "short";
  EXPECT_THROW(state::seat_key(folder), std::runtime_error);
}

}  // namespace
