#include "online/session/session.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace online {
namespace {

const TickEvents no_events;

// A message received in one poll at most: the rest wait for the next poll,
// so a flood cannot hold the game.
constexpr int max_receives_per_poll = 256;
// An Inputs message is sent at least this often even with nothing new, so
// that acknowledgements and the round trip keep flowing.
constexpr std::uint32_t resend_ms = 16;
// How far past our own game the other seat's ticks may reach: more than
// its prediction window allows is a broken or hostile peer.
constexpr long max_remote_lead = 256;
constexpr std::size_t kept_checks = 4;
constexpr std::uint32_t settle_ms = 2000;

}  // namespace

Session::Session(Link& link, Game& game, Clock& clock, SessionConfig config)
    : link_(link), game_(game), clock_(clock), config_(std::move(config)) {
  // Input read at tick t takes effect at t + delay: the first `delay`
  // ticks are empty on both seats, and known to be.
  const int delay = std::clamp(config_.input_delay, 0, 8);
  config_.input_delay = delay;
  const long from = std::max(0L, config_.first_tick);
  config_.first_tick = from;
  if (from == 0) {
    local_.assign(delay, TickEvents{});
    remote_.assign(delay, TickEvents{});
  } else {
    // The guest's seat comes in: its stick first, then the rest of its
    // input delay; the host's ticks from here were read already, and the
    // guest learns them as it learns any.
    std::deque<TickEvents> guest(std::max(delay, 1), TickEvents{});
    guest.front() = config_.joined;
    const bool host = config_.seat == Role::host;
    local_ = host ? std::deque<TickEvents>(config_.host_ahead.begin(),
                                           config_.host_ahead.end())
                  : guest;
    if (host) remote_ = guest;
  }
  local_base_ = remote_base_ = remote_acked_ = from;
  final_next_ = present_ = now_ = from;
  local_next_ = from + static_cast<long>(local_.size());
  remote_known_ = from + static_cast<long>(remote_.size());
  last_heard_ms_ = clock_.now_ms();
}

long Session::known() const {
  return remote_closed_ ? LONG_MAX / 2 : remote_known_;
}

const TickEvents& Session::local_at(long tick) const {
  if (tick < local_base_ || tick >= local_next_) return no_events;
  return local_[tick - local_base_];
}

const TickEvents& Session::remote_at(long tick) const {
  if (tick < remote_base_ || tick >= remote_known_) return no_events;
  return remote_[tick - remote_base_];
}

std::vector<TickEvents> Session::local_from(long tick) const {
  std::vector<TickEvents> out;
  for (long t = std::max(tick, local_base_); t < local_next_; ++t)
    out.push_back(local_at(t));
  return out;
}

void Session::add_local(long tick, TickEvents events) {
  const long at = tick + config_.input_delay;
  if (at < local_next_) return;  // that tick's input was read before
  while (local_next_ < at) {
    local_.emplace_back();
    ++local_next_;
  }
  local_.push_back(std::move(events));
  ++local_next_;
  send_inputs(true);
}

std::array<TickEvents, 2> Session::events_for(long tick, bool lockstep) {
  if (lockstep) wait_until([&] { return tick < known(); });
  read_through_ = std::max(read_through_, tick);
  std::array<TickEvents, 2> out;
  out[local_seat()] = local_at(tick);
  out[1 - local_seat()] = remote_at(tick);
  return out;
}

void Session::save(long tick) {
  game_.save(tick);
  if (saved_.empty() || saved_.back() < tick) saved_.push_back(tick);
  while (!saved_.empty() && saved_.front() <= tick - kept_ticks)
    saved_.pop_front();
}

void Session::at_boundary(long tick) {
  now_ = tick;
  present_ = std::max(present_, tick);
  if (resimulating_) {
    save(tick);
    return;
  }
  poll();
  bool saved = false;
  for (;;) {
    if (wrong_from_) {
      recover();
      saved = true;
    }
    if (tick - known() < config_.max_prediction ||
        peer_state_ != PeerState::connected) {
      break;
    }
    ++figures_.waits;
    wait_until([&] {
      return wrong_from_.has_value() || tick - known() < config_.max_prediction;
    });
  }
  if (!saved) save(tick);
  finalize();
  observe_sync();
}

void Session::tick_begun(long tick, bool in_frame) {
  now_ = tick;
  present_ = std::max(present_, tick);
  game_.note(tick);
  if (in_frame) return;
  // A waiting loop's tick: everything before it must be known, and right.
  wait_until([&] { return tick <= known(); });
  if (wrong_from_) throw Rollback{};
  finalize();
}

void Session::recover() {
  while (wrong_from_) {
    const long wrong = *wrong_from_;
    wrong_from_.reset();
    // Back to the last state kept, in the play as it now stands, before
    // the wrong guess was read: states kept after a rollback's target
    // belong to the play it undid, and a waiting loop's ticks have none.
    while (!saved_.empty() && saved_.back() >= wrong) saved_.pop_back();
    if (saved_.empty() || wrong < final_next_) {
      // The prediction window keeps every wrong guess within the kept
      // states; anything else is a fault in the session itself.
      throw std::logic_error("online: a rollback beyond the kept states");
    }
    const long from = saved_.back();
    const long target = present_;
    ++figures_.rollbacks;
    figures_.longest_rollback =
        std::max(figures_.longest_rollback, target - from);
    resimulating_ = true;
    try {
      game_.load(from);
      // The corrected play may end the game before the present.
      const long reached = game_.resimulate_to(target);
      if (reached < target) present_ = reached;
      now_ = reached;
    } catch (const Rollback&) {
      // A wait in the corrected play found yet another wrong guess.
    }
    resimulating_ = false;
  }
}

void Session::close_remote(const TickEvents& farewell) {
  if (remote_closed_) return;
  remote_.push_back(farewell);
  const long at = remote_known_++;
  if (!farewell.empty() && at <= read_through_) {
    wrong_from_ = std::min(wrong_from_.value_or(at), at);
  }
  remote_closed_ = true;
}

void Session::settle() {
  const std::uint32_t start = clock_.now_ms();
  wait_until([&] { return present_ < known(); });
  if (wrong_from_) throw Rollback{};
  finalize();
  // Give the other seat everything it needs to end as we do, then say so.
  const auto acked = [&] {
    return remote_acked_ > present_ || remote_closed_ ||
           peer_state_ != PeerState::connected ||
           clock_.now_ms() - start > settle_ms;
  };
  while (!acked()) {
    poll();
    clock_.sleep_ms(1);
  }
  say_bye(ByeReason::left);
}

// A goodbye is not answered: a few copies get through a lossy link.
void Session::say_bye(ByeReason reason) {
  // A desync names the check that differed; a goodbye the last tick played.
  const long tick = reason == ByeReason::desync ? desync_tick_ : present_;
  const auto bytes =
      encode(Bye{config_.session, reason, static_cast<std::uint32_t>(tick)});
  for (int i = 0; i < 3; ++i) link_.send(bytes);
}

void Session::poll() {
  for (int i = 0; i < max_receives_per_poll; ++i) {
    auto bytes = link_.receive();
    if (!bytes) break;
    std::string error;
    const auto message = decode(*bytes, error);
    if (!message) {
      ++figures_.dropped;
      continue;
    }
    if (const auto* in = std::get_if<Inputs>(&*message)) {
      receive(*in);
    } else if (const auto* check = std::get_if<Check>(&*message)) {
      receive(*check);
    } else if (const auto* bye = std::get_if<Bye>(&*message)) {
      receive(*bye);
    } else if (config_.other && config_.other(*message)) {
      note_traffic();
    } else {
      ++figures_.dropped;
    }
  }
  if (config_.tend) config_.tend();
  send_inputs(false);
  if (peer_state_ == PeerState::connected && !remote_closed_ &&
      clock_.now_ms() - last_heard_ms_ > config_.peer_timeout_ms) {
    peer_lost(PeerState::lost);
  }
}

void Session::leave() {
  if (peer_state_ == PeerState::connected) say_bye(ByeReason::left);
  peer_state_ = PeerState::left;
}

void Session::peer_lost(PeerState state) {
  peer_state_ = state;
  // The host plays on alone: the guest's seat is closed with what a
  // pulled-out stick gives.
  if (config_.seat == Role::host) close_remote(config_.farewell);
}

void Session::receive(const Inputs& in) {
  if (in.session != config_.session || remote_closed_) {
    ++figures_.dropped;
    return;
  }
  const long first = in.first_tick;
  const long end = first + static_cast<long>(in.ticks.size());
  if (first > remote_known_ || end > present_ + max_remote_lead ||
      static_cast<long>(in.ack) > local_next_) {
    ++figures_.dropped;  // a gap we never asked for, or a tick too far
    return;
  }
  if (end <= remote_known_ && static_cast<long>(in.sender_tick) < peer_tick_) {
    ++figures_.dropped;  // an old message again (late or replayed)
    return;
  }
  note_traffic();
  for (long t = remote_known_; t < end; ++t) {
    const TickEvents& events = in.ticks[t - first];
    if (!events.empty() && t <= read_through_) {
      wrong_from_ = std::min(wrong_from_.value_or(t), t);
    }
    remote_.push_back(events);
    ++remote_known_;
  }
  remote_acked_ = std::max<long>(remote_acked_, in.ack);
  if (static_cast<long>(in.sender_tick) >= peer_tick_) {
    peer_tick_ = in.sender_tick;
    peer_tick_heard_ms_ = clock_.now_ms();
  }
  peer_ping_ms_ = in.ping_ms;
  const std::uint32_t now = clock_.now_ms() + 1;
  if (in.echo_ms != 0 && now - in.echo_ms < 10000) {
    const std::uint32_t sample = now - in.echo_ms;
    figures_.round_trip_ms = figures_.round_trip_ms == 0
                                 ? sample
                                 : (figures_.round_trip_ms * 7 + sample) / 8;
  }
}

void Session::receive(const Check& check) {
  if (check.session != config_.session) {
    ++figures_.dropped;
    return;
  }
  note_traffic();
  const long tick = check.tick;
  if (tick < final_next_ - config_.check_interval * 2 ||
      tick > present_ + max_remote_lead) {
    return;  // too old to hold ours still, or from a tick far off
  }
  peer_checks_[tick] = check.hashes;
  while (peer_checks_.size() > kept_checks)
    peer_checks_.erase(peer_checks_.begin());
  compare_checks();
}

void Session::receive(const Bye& bye) {
  if (bye.session != config_.session) {
    ++figures_.dropped;
    return;
  }
  note_traffic();
  if (peer_state_ != PeerState::connected) return;
  if (bye.reason == ByeReason::desync) {
    peer_state_ = PeerState::desync;
    if (desync_tick_ < 0) desync_tick_ = bye.tick;
    return;
  }
  peer_left_tick_ = bye.tick;
  peer_lost(PeerState::left);
}

void Session::note_traffic() { last_heard_ms_ = clock_.now_ms(); }

void Session::send_inputs(bool fresh) {
  if (remote_closed_ || peer_state_ != PeerState::connected) return;
  const std::uint32_t now = clock_.now_ms();
  if (!fresh && now - last_sent_ms_ < resend_ms) return;
  last_sent_ms_ = now;
  Inputs in;
  in.session = config_.session;
  in.first_tick = static_cast<std::uint32_t>(remote_acked_);
  in.ack = static_cast<std::uint32_t>(remote_known_);
  in.sender_tick = static_cast<std::uint32_t>(present_);
  in.ping_ms = now + 1;
  in.echo_ms = peer_ping_ms_;
  const long last =
      std::min<long>(local_next_, remote_acked_ + max_ticks_per_message);
  for (long t = remote_acked_; t < last; ++t) in.ticks.push_back(local_at(t));
  // Busy ticks may not all fit one datagram: send the oldest that do.
  std::vector<std::uint8_t> bytes = encode(in);
  while (bytes.size() > max_message_bytes && in.ticks.size() > 1) {
    in.ticks.resize(in.ticks.size() / 2);
    bytes = encode(in);
  }
  link_.send(bytes);
  if (last_check_tick_ >= 0) {
    link_.send(encode(Check{config_.session,
                            static_cast<std::uint32_t>(last_check_tick_),
                            our_checks_[last_check_tick_]}));
  }
}

void Session::compare_checks() {
  for (auto it = peer_checks_.begin(); it != peer_checks_.end();) {
    const auto ours = our_checks_.find(it->first);
    if (ours == our_checks_.end()) {
      ++it;
      continue;
    }
    if (ours->second != it->second && peer_state_ == PeerState::connected) {
      desync_tick_ = it->first;
      desync_field_ = "state";
      for (std::size_t i = 0; i < ours->second.size(); ++i) {
        if (i >= it->second.size() || ours->second[i] != it->second[i]) {
          desync_field_ = ours->second[i].first;
          break;
        }
      }
      peer_state_ = PeerState::desync;
      say_bye(ByeReason::desync);
    }
    it = peer_checks_.erase(it);
  }
}

// Up to the tick the game is at (in a rollback, the ticks past it are yet
// to be played again) and whose input is known on both seats (without an
// input delay, this seat's input of a tick is read within the tick).
void Session::finalize() {
  const long until = std::min({known(), now_ + 1, local_next_});
  for (; final_next_ < until; ++final_next_) {
    const long t = final_next_;
    const TickEvents& local = local_at(t);
    const TickEvents& remote = remote_at(t);
    if (config_.seat == Role::host) {
      game_.tick_final(t, local, remote);
    } else {
      game_.tick_final(t, remote, local);
    }
    if (t > 0 && t % config_.check_interval == 0) {
      our_checks_[t] = game_.hashes(t);
      while (our_checks_.size() > kept_checks)
        our_checks_.erase(our_checks_.begin());
      last_check_tick_ = t;
    }
  }
  compare_checks();
  forget_old();
}

// Local ticks stay until the other seat has them and they are final;
// remote ticks until they are final (a rollback replays them). A final tick
// may not have been read yet (a waiting loop's tick is final when it
// begins, and a tick the game read no input in is applied at the next
// read), so a margin of final ticks stays too.
void Session::forget_old() {
  const long unread_margin = 64;
  const long final_kept = final_next_ - unread_margin;
  const long local_keep =
      remote_closed_ ? final_kept : std::min(remote_acked_, final_kept);
  while (local_base_ < local_keep && !local_.empty()) {
    local_.pop_front();
    ++local_base_;
  }
  while (remote_base_ < final_kept && remote_base_ < remote_known_) {
    remote_.pop_front();
    ++remote_base_;
  }
}

bool Session::wait_until(const std::function<bool()>& done) {
  for (;;) {
    poll();
    if (done()) return true;
    if (peer_state_ != PeerState::connected && !remote_closed_) return false;
    clock_.sleep_ms(1);
  }
}

void Session::observe_sync() {
  if (remote_closed_) return;
  const double rtt_ticks = figures_.round_trip_ms * 0.06;
  const double since = (clock_.now_ms() - peer_tick_heard_ms_) * 0.06;
  sync_.observe(present_,
                static_cast<double>(peer_tick_) + rtt_ticks / 2 + since);
}

}  // namespace online
