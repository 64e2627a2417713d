// Two online sessions, each with a small game of its own, joined by an
// in-memory link that delays, jitters, loses and duplicates (so reorders
// too), seeded: for the session's tests, which play the pair unpaced, and
// for the responsiveness benchmark, which paces it at 60 frames a second
// and measures how soon each player's own input shows.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <span>
#include <utility>
#include <vector>

#include "online/session/session.h"

namespace testing_support {

class RealClock : public online::Clock {
 public:
  std::uint32_t now_ms() override;
  void sleep_ms(int ms) override;

 private:
  std::chrono::steady_clock::time_point start_ =
      std::chrono::steady_clock::now();
};

// One direction of the link: datagrams held until their time comes.
struct Lane {
  std::mutex mutex;
  std::multimap<std::chrono::steady_clock::time_point,
                std::vector<std::uint8_t>>
      held;
  std::mt19937 random;
  int delay_ms = 0, jitter_ms = 0;
  double loss = 0, duplication = 0;
  std::atomic<bool> cut{false};

  void put(std::span<const std::uint8_t> bytes);
  std::optional<std::vector<std::uint8_t>> take();
};

class LaneLink : public online::Link {
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

// A little game: two positions driven by the seats' axis events; some
// frames hold a waiting loop of a few ticks, as the real game's do.
struct SmallState {
  long tick = 0;
  std::array<int, 2> pos{};
  std::array<float, 2> axis{};
  std::uint32_t mix = 1;
  bool operator==(const SmallState&) const = default;
};

// How soon one local input showed: in ticks from the tick it was read to
// the tick it took effect in, and in milliseconds from reading it to the
// end of the frame that first showed it.
struct Reaction {
  long ticks = 0;
  double ms = 0;
};

// Breaks of the session's promises throw std::logic_error (on the game's
// thread, so a test ends there).
class SmallGame : public online::Game {
 public:
  SmallGame(int seat, std::uint32_t seed) : seat_(seat), random_(seed) {}

  online::Session* session = nullptr;
  long end_tick = 0;
  int corrupt_at = -1;  // this machine's game goes wrong from that tick
  // Zero: unpaced; else a frame takes this long at least.
  std::chrono::microseconds frame_time{0};
  SmallState state;
  std::vector<std::array<online::TickEvents, 2>> final_stream;
  std::vector<Reaction> reactions;

  void play();

  void save(long tick) override { kept_[slot(tick)] = state; }
  void load(long tick) override;
  void note(long tick) override { begun_[slot(tick)] = state; }
  long resimulate_to(long tick) override;
  online::Hashes hashes(long tick) override;
  void tick_final(long tick, const online::TickEvents& host,
                  const online::TickEvents& guest) override;

 private:
  using SteadyTime = std::chrono::steady_clock::time_point;
  struct Pending {
    long tick;
    SteadyTime read;
  };
  static std::size_t slot(long tick) {
    return static_cast<std::size_t>(tick % 16);
  }
  online::TickEvents local_input();
  void read_tick(bool lockstep);
  void frame();
  void pace();

  int seat_;
  std::mt19937 random_;
  std::array<SmallState, 16> kept_{};   // at frame boundaries
  std::array<SmallState, 16> begun_{};  // as each tick began
  bool resimulating_ = false;
  std::vector<Pending> pending_;  // local inputs not yet in effect
  long local_applied_ = -1;       // the latest tick whose own events applied
  // Reactions awaiting their frame's end, with when their input was read.
  std::vector<std::pair<std::size_t, SteadyTime>> unshown_;
  SteadyTime next_frame_{};
};

struct SessionPair {
  Lane to_guest, to_host;
  LaneLink host_link{to_guest, to_host}, guest_link{to_host, to_guest};
  RealClock clock;
  SmallGame host_game{0, 11}, guest_game{1, 22};
  std::unique_ptr<online::Session> host, guest;

  // One way: delay ± jitter; `input_delay` as the host's option gives it.
  SessionPair(int delay_ms, int jitter_ms, double loss, double duplication,
              int input_delay = 2);
  // Both play to `ticks` on threads of their own and settle.
  void play(long ticks);
};

}  // namespace testing_support
