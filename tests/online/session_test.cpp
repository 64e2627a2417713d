// Two sessions, each on a thread of its own with a small game of its own,
// joined by an in-memory link that delays, loses, duplicates and reorders:
// both games must end in the same state with the same final input stream,
// and the rollbacks, the waits in lockstep, a desync and a lost guest must
// each do what the session promises.
#include "online/session/session.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

namespace {

using namespace online;
using Clock_ = std::chrono::steady_clock;

class RealClock : public Clock {
 public:
  std::uint32_t now_ms() override {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock_::now() -
                                                              start_)
            .count());
  }
  void sleep_ms(int ms) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

 private:
  Clock_::time_point start_ = Clock_::now();
};

// One direction of the link: datagrams held until their time comes.
struct Lane {
  std::mutex mutex;
  std::multimap<Clock_::time_point, std::vector<std::uint8_t>> held;
  std::mt19937 random;
  int delay_ms = 0, jitter_ms = 0;
  double loss = 0, duplication = 0;
  std::atomic<bool> cut{false};

  void put(std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex);
    if (cut) return;
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int copies = u(random) < loss ? 0 : (u(random) < duplication ? 2 : 1);
    for (int i = 0; i < copies; ++i) {
      const int ms = delay_ms +
                     static_cast<int>(random() % (jitter_ms * 2 + 1)) -
                     jitter_ms;
      held.emplace(Clock_::now() + std::chrono::milliseconds(ms),
                   std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }
  }
  std::optional<std::vector<std::uint8_t>> take() {
    std::lock_guard lock(mutex);
    if (held.empty() || held.begin()->first > Clock_::now()) return {};
    auto bytes = std::move(held.begin()->second);
    held.erase(held.begin());
    return bytes;
  }
};

class LaneLink : public Link {
 public:
  LaneLink(Lane& out, Lane& in) : out_(out), in_(in) {}
  void send(std::span<const std::uint8_t> m) override { out_.put(m); }
  std::optional<std::vector<std::uint8_t>> receive() override {
    return in_.take();
  }
  std::string describe() const override { return "memory"; }

 private:
  Lane& out_;
  Lane& in_;
};

// A little game: two positions driven by the seats' axis events and a
// counter of presses; some frames hold a waiting loop of a few ticks.
struct State {
  long tick = 0;
  std::array<int, 2> pos{};
  std::array<float, 2> axis{};
  std::uint32_t mix = 1;
  bool operator==(const State&) const = default;
};

class SmallGame : public Game {
 public:
  SmallGame(int seat, std::uint32_t seed) : seat_(seat), random_(seed) {}

  Session* session = nullptr;
  long end_tick = 0;
  int corrupt_at = -1;  // this machine's game goes wrong from that tick
  State state;
  std::vector<std::array<TickEvents, 2>> final_stream;

  // The local player's input read at a tick: now and then a new axis.
  TickEvents local_input() {
    TickEvents out;
    if (random_() % 8 == 0) {
      InputEvent e;
      e.kind = EventKind::joy_axis;
      e.code = static_cast<std::int16_t>(seat_);
      e.value = static_cast<float>(static_cast<int>(random_() % 3) - 1);
      out.push_back(e);
    }
    return out;
  }

  void read_tick(bool lockstep) {
    if (session->wants_local(state.tick))
      session->add_local(state.tick, local_input());
    for (const TickEvents& seat : session->events_for(state.tick, lockstep)) {
      for (const InputEvent& e : seat) state.axis[e.code] = e.value;
    }
    for (int s = 0; s < 2; ++s) {
      state.pos[s] += static_cast<int>(state.axis[s] * 3);
      state.mix = state.mix * 31u + static_cast<std::uint32_t>(state.pos[s]);
    }
    if (state.tick == corrupt_at) state.mix ^= 1;
  }

  // One frame from a boundary to the next, as the game's main loop runs:
  // it begins a tick and reads it, and now and then waits a few ticks.
  void frame() {
    ++state.tick;
    session->tick_begun(state.tick, true);
    read_tick(false);
    if ((state.mix >> 3) % 23 == 0) {
      for (int i = 0; i < 3; ++i) {
        ++state.tick;
        session->tick_begun(state.tick, false);
        read_tick(true);
      }
    }
    session->at_boundary(state.tick);
  }

  void play() {
    session->tick_begun(0, false);
    read_tick(true);
    session->at_boundary(0);
    while (state.tick < end_tick &&
           session->peer_state() != PeerState::desync) {
      try {
        frame();
      } catch (const Rollback&) {
        session->recover();
      }
    }
  }

  void save(long tick) override { kept_[tick % 16] = state; }
  void load(long tick) override {
    ASSERT_EQ(kept_[tick % 16].tick, tick);
    state = kept_[tick % 16];
  }
  void note(long tick) override { begun_[tick % 16] = state; }
  long resimulate_to(long tick) override {
    struct Muted {
      bool& on;
      explicit Muted(bool& b) : on(b) { on = true; }
      ~Muted() { on = false; }
    } muted(resimulating_);
    while (state.tick < tick) frame();
    return state.tick;
  }
  Hashes hashes(long tick) override {
    const State& s = begun_[tick % 16];
    EXPECT_EQ(s.tick, tick);
    return {{"pos", static_cast<std::uint32_t>(s.pos[0] * 7 + s.pos[1])},
            {"mix", s.mix}};
  }
  void tick_final(long tick, const TickEvents& host,
                  const TickEvents& guest) override {
    EXPECT_EQ(tick, static_cast<long>(final_stream.size()));
    final_stream.push_back({host, guest});
  }

 private:
  int seat_;
  std::mt19937 random_;
  std::array<State, 16> kept_{};   // at frame boundaries
  std::array<State, 16> begun_{};  // as each tick began
  bool resimulating_ = false;
};

struct Pair {
  Lane to_guest, to_host;
  LaneLink host_link{to_guest, to_host}, guest_link{to_host, to_guest};
  RealClock clock;
  SmallGame host_game{0, 11}, guest_game{1, 22};
  std::unique_ptr<Session> host, guest;

  Pair(int delay_ms, int jitter_ms, double loss, double duplication) {
    for (Lane* lane : {&to_guest, &to_host}) {
      lane->delay_ms = delay_ms;
      lane->jitter_ms = jitter_ms;
      lane->loss = loss;
      lane->duplication = duplication;
    }
    to_guest.random.seed(5);
    to_host.random.seed(6);
    SessionConfig config;
    config.session = 77;
    config.peer_timeout_ms = 1500;
    InputEvent pulled;
    pulled.kind = EventKind::joy_disconnect;
    pulled.code = 1;
    config.farewell = {pulled};
    host = std::make_unique<Session>(host_link, host_game, clock, config);
    config.seat = Role::guest;
    guest = std::make_unique<Session>(guest_link, guest_game, clock, config);
    host_game.session = host.get();
    guest_game.session = guest.get();
  }

  void play(long ticks) {
    host_game.end_tick = guest_game.end_tick = ticks;
    std::thread g([&] {
      guest_game.play();
      if (guest->peer_state() == PeerState::connected) guest->settle();
    });
    host_game.play();
    if (host->peer_state() == PeerState::connected) host->settle();
    g.join();
  }
};

TEST(OnlineSession, TwoGamesThroughABadLinkEndAlike) {
  Pair pair(25, 10, 0.05, 0.01);
  pair.play(900);
  EXPECT_EQ(pair.host_game.state, pair.guest_game.state);
  EXPECT_EQ(pair.host_game.state.tick, 900);
  // Each said goodbye after the other had all it needed.
  for (const Session* s : {pair.host.get(), pair.guest.get()}) {
    EXPECT_NE(s->peer_state(), PeerState::lost);
    EXPECT_NE(s->peer_state(), PeerState::desync);
  }
  // Every tick reported final once, in order, alike on both machines.
  ASSERT_EQ(pair.host_game.final_stream.size(), 901u);
  EXPECT_EQ(pair.host_game.final_stream, pair.guest_game.final_stream);
  // Both machines guessed wrong at times and mended it within the window.
  for (const Session* s : {pair.host.get(), pair.guest.get()}) {
    EXPECT_GT(s->figures().rollbacks, 0);
    EXPECT_LE(s->figures().longest_rollback, Session::kept_ticks);
    EXPECT_GT(s->figures().round_trip_ms, 30u);
  }
}

TEST(OnlineSession, DifferentGamesAreCaughtAtTheNextCheck) {
  Pair pair(5, 2, 0.0, 0.0);
  pair.guest_game.corrupt_at = 130;
  pair.play(2000);
  EXPECT_EQ(pair.host->peer_state(), PeerState::desync);
  EXPECT_EQ(pair.guest->peer_state(), PeerState::desync);
  // The side that compared first names the field; the other may learn of
  // it from the goodbye alone.
  std::set<std::string> fields;
  for (const Session* s : {pair.host.get(), pair.guest.get()}) {
    EXPECT_EQ(s->desync_tick(), 180);
    fields.insert(s->desync_field());
  }
  fields.erase("");
  EXPECT_EQ(fields, std::set<std::string>{"mix"});
  EXPECT_LT(pair.host_game.state.tick, 400);
}

TEST(OnlineSession, TheHostPlaysOnWhenTheGuestIsGone) {
  Pair pair(5, 2, 0.0, 0.0);
  pair.guest_game.end_tick = 300;
  pair.host_game.end_tick = 1200;
  std::thread g([&] {
    pair.guest_game.play();
    pair.to_host.cut = true;  // the guest's machine is gone, unannounced
  });
  pair.host_game.play();
  g.join();
  EXPECT_EQ(pair.host->peer_state(), PeerState::lost);
  EXPECT_EQ(pair.host_game.state.tick, 1200);
  // The guest's seat closed with the farewell, once, after the guest's
  // last tick, and gave nothing after it.
  const auto& stream = pair.host_game.final_stream;
  ASSERT_EQ(stream.size(), 1201u);
  long farewell_at = -1;
  for (long t = 0; t < static_cast<long>(stream.size()); ++t) {
    const TickEvents& guest = stream[t][1];
    if (farewell_at >= 0) {
      EXPECT_TRUE(guest.empty()) << "tick " << t;
    } else if (!guest.empty() && guest[0].kind == EventKind::joy_disconnect) {
      farewell_at = t;
      EXPECT_EQ(guest.size(), 1u);
    }
  }
  EXPECT_GE(farewell_at, 300 + 2);
  EXPECT_LE(farewell_at, 300 + 2 + 8);
}

}  // namespace
