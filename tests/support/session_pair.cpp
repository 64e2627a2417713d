#include "tests/support/session_pair.h"

#include <stdexcept>
#include <string>
#include <thread>

namespace testing_support {

using namespace online;
using SteadyClock = std::chrono::steady_clock;

std::uint32_t RealClock::now_ms() {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() -
                                                            start_)
          .count());
}

void RealClock::sleep_ms(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void Lane::put(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex);
  if (cut) return;
  std::uniform_real_distribution<double> u(0.0, 1.0);
  const int copies = u(random) < loss ? 0 : (u(random) < duplication ? 2 : 1);
  for (int i = 0; i < copies; ++i) {
    const int ms =
        delay_ms + static_cast<int>(random() % (jitter_ms * 2 + 1)) - jitter_ms;
    held.emplace(SteadyClock::now() + std::chrono::milliseconds(ms),
                 std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }
}

std::optional<std::vector<std::uint8_t>> Lane::take() {
  std::lock_guard lock(mutex);
  if (held.empty() || held.begin()->first > SteadyClock::now()) return {};
  auto bytes = std::move(held.begin()->second);
  held.erase(held.begin());
  return bytes;
}

// The local player's input read at a tick: now and then a new axis.
TickEvents SmallGame::local_input() {
  TickEvents out;
  if (random_() % 8 == 0) {
    InputEvent e;
    e.kind = EventKind::joy_axis;
    e.code = static_cast<std::int16_t>(seat_);
    e.value = static_cast<float>(static_cast<int>(random_() % 3) - 1);
    out.push_back(e);
    pending_.push_back({state.tick, SteadyClock::now()});
  }
  return out;
}

void SmallGame::read_tick(bool lockstep) {
  if (session->wants_local(state.tick))
    session->add_local(state.tick, local_input());
  const auto seats = session->events_for(state.tick, lockstep);
  // This seat's own events take effect now for the first time: how late.
  if (state.tick > local_applied_) {
    local_applied_ = state.tick;
    for (std::size_t i = 0; i < seats[seat_].size() && !pending_.empty(); ++i) {
      reactions.push_back({state.tick - pending_.front().tick, 0});
      unshown_.emplace_back(reactions.size() - 1, pending_.front().read);
      pending_.erase(pending_.begin());
    }
  }
  for (const TickEvents& seat : seats) {
    for (const InputEvent& e : seat) state.axis[e.code] = e.value;
  }
  for (int s = 0; s < 2; ++s) {
    state.pos[s] += static_cast<int>(state.axis[s] * 3);
    state.mix = state.mix * 31u + static_cast<std::uint32_t>(state.pos[s]);
  }
  if (state.tick == corrupt_at) state.mix ^= 1;
}

// Holds the frame to its time, stretched as the session asks.
void SmallGame::pace() {
  if (frame_time.count() <= 0) return;
  const auto now = SteadyClock::now();
  if (next_frame_ == SteadyClock::time_point{}) next_frame_ = now;
  next_frame_ +=
      frame_time + std::chrono::milliseconds(session->frame_stretch_ms());
  if (next_frame_ > now) {
    std::this_thread::sleep_until(next_frame_);
  } else {
    next_frame_ = now;  // late: the next frame is due a whole frame on
  }
}

// One frame from a boundary to the next, as the game's main loop runs:
// it begins a tick and reads it, and now and then waits a few ticks.
void SmallGame::frame() {
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
  if (resimulating_) return;
  // The frame is shown now.
  const auto shown = SteadyClock::now();
  for (const auto& [i, read] : unshown_)
    reactions[i].ms =
        std::chrono::duration<double, std::milli>(shown - read).count();
  unshown_.clear();
  pace();
}

void SmallGame::play() {
  session->tick_begun(0, false);
  read_tick(true);
  session->at_boundary(0);
  while (state.tick < end_tick && session->peer_state() != PeerState::desync) {
    try {
      frame();
    } catch (const Rollback&) {
      session->recover();
    }
  }
}

void SmallGame::load(long tick) {
  if (kept_[slot(tick)].tick != tick)
    throw std::logic_error("no state kept for tick " + std::to_string(tick));
  state = kept_[slot(tick)];
}

long SmallGame::resimulate_to(long tick) {
  struct Muted {
    bool& on;
    explicit Muted(bool& b) : on(b) { on = true; }
    ~Muted() { on = false; }
  } muted(resimulating_);
  while (state.tick < tick) frame();
  return state.tick;
}

Hashes SmallGame::hashes(long tick) {
  const SmallState& s = begun_[slot(tick)];
  if (s.tick != tick)
    throw std::logic_error("no note of tick " + std::to_string(tick));
  return {{"pos", static_cast<std::uint32_t>(s.pos[0] * 7 + s.pos[1])},
          {"mix", s.mix}};
}

void SmallGame::tick_final(long tick, const TickEvents& host,
                           const TickEvents& guest) {
  if (tick != static_cast<long>(final_stream.size()))
    throw std::logic_error("tick " + std::to_string(tick) +
                           " final out of turn");
  final_stream.push_back({host, guest});
}

SessionPair::SessionPair(int delay_ms, int jitter_ms, double loss,
                         double duplication, int input_delay) {
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
  config.input_delay = input_delay;
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

void SessionPair::play(long ticks) {
  host_game.end_tick = guest_game.end_tick = ticks;
  std::thread g([&] {
    guest_game.play();
    if (guest->peer_state() == PeerState::connected) guest->settle();
  });
  host_game.play();
  if (host->peer_state() == PeerState::connected) host->settle();
  g.join();
}

}  // namespace testing_support
