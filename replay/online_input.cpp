#include "replay/online_input.h"

#include <cmath>

#include "platform/platform.h"
#include "replay/internal.h"
#include "replay/output_file.h"

namespace replay {

namespace {

// Windows virtual-key codes of the keyboard stick.
constexpr int key_left = 37, key_up = 38, key_right = 39, key_down = 40;
constexpr int key_a = 65, key_d = 68, key_s = 83, key_w = 87;
constexpr std::array<int, 3> stick_button_keys = {90, 88, 80};  // Z X P

constexpr int host_port = 0;
constexpr int guest_port = 1;

using detail::ScriptAction;
using online::EventKind;

// A script event's action and its kind on the wire (screenshots and dumps
// are this machine's own and never sent).
constexpr std::array<std::pair<ScriptAction, EventKind>, 11> kinds = {{
    {ScriptAction::key, EventKind::key},
    {ScriptAction::mouse, EventKind::mouse},
    {ScriptAction::mouse_button, EventKind::mouse_button},
    {ScriptAction::joy_connect, EventKind::joy_connect},
    {ScriptAction::joy_disconnect, EventKind::joy_disconnect},
    {ScriptAction::joy_axis, EventKind::joy_axis},
    {ScriptAction::joy_button, EventKind::joy_button},
    {ScriptAction::focus_lost, EventKind::focus_lost},
    {ScriptAction::focus_gained, EventKind::focus_gained},
    {ScriptAction::close, EventKind::close},
    {ScriptAction::end, EventKind::end},
}};

// Each kind carries only its own fields on the wire; the rest stay at
// their defaults (a script event may hold leftovers there).
online::InputEvent to_wire(const detail::ScriptEvent& e) {
  online::InputEvent w;
  for (const auto& [action, kind] : kinds)
    if (action == e.action) w.kind = kind;
  const bool has_code = w.kind <= EventKind::joy_button;
  const bool has_index = w.kind == EventKind::mouse ||
                         w.kind == EventKind::joy_axis ||
                         w.kind == EventKind::joy_button;
  if (has_code) w.code = static_cast<std::int16_t>(e.code);
  if (has_index) w.index = static_cast<std::int16_t>(e.index);
  if (w.kind == EventKind::key || w.kind == EventKind::mouse_button ||
      w.kind == EventKind::joy_button) {
    w.down = e.down;
  }
  if (w.kind == EventKind::joy_axis) w.value = e.value;
  return w;
}

// Decoding has checked every field's range for its kind.
detail::ScriptEvent from_wire(const online::InputEvent& w, long tick) {
  detail::ScriptEvent e;
  for (const auto& [action, kind] : kinds)
    if (kind == w.kind) e.action = action;
  e.tick = tick;
  e.code = w.code;
  e.index = w.index;
  e.down = w.down;
  e.value = w.value;
  return e;
}

bool is_stick_event(const detail::ScriptEvent& e) {
  return e.action == ScriptAction::joy_connect ||
         e.action == ScriptAction::joy_disconnect ||
         e.action == ScriptAction::joy_axis ||
         e.action == ScriptAction::joy_button;
}

// A stick made of the keyboard: full deflection along each held direction,
// and three keys the game itself does not read as its first buttons.
detail::JoyPort keyboard_stick(const detail::KeysAndMouse& k) {
  auto held = [&](int a, int b) { return k.keys[a].down || k.keys[b].down; };
  detail::JoyPort port;
  port.x = (held(key_right, key_d) ? 1.0f : 0.0f) -
           (held(key_left, key_a) ? 1.0f : 0.0f);
  port.y = (held(key_down, key_s) ? 1.0f : 0.0f) -
           (held(key_up, key_w) ? 1.0f : 0.0f);
  for (std::size_t b = 0; b < stick_button_keys.size(); ++b)
    port.buttons[b] = k.keys[stick_button_keys[b]];
  return port;
}

// Both seats' sticks, driven by both seats' events of each tick.
class TwoSeatSource : public detail::InputSource {
 public:
  TwoSeatSource() {
    ports_[host_port].emplace();
    ports_[guest_port].emplace();
  }
  int joy_count() override {
    int n = 0;
    for (const auto& p : ports_) n += p ? 1 : 0;
    return n;
  }
  detail::JoyPort* joy_port(int port) override {
    if (port < 0 || port >= detail::script_port_count) return nullptr;
    return ports_[port] ? &*ports_[port] : nullptr;
  }
  void save(platform::detail::SourceState& state) const override {
    state.ports = ports_;
    state.position[0] = applied_;
  }
  void restore(const platform::detail::SourceState& state) override {
    ports_ = state.ports;
    applied_ = state.position[0];
  }

 protected:
  // The events of every tick up to `tick` not yet applied: a tick in which
  // the game read no input still has its events, applied at the next read
  // as a script applies them.
  template <typename SeatsOf>
  void apply_through(long tick, SeatsOf seats_of) {
    for (long t = applied_ + 1; t <= tick; ++t) {
      for (const online::TickEvents& seat : seats_of(t)) {
        for (const online::InputEvent& w : seat)
          detail::apply_event(from_wire(w, t), ports_);
      }
    }
    applied_ = std::max(applied_, tick);
  }

 private:
  detail::Ports ports_;
  long applied_ = -1;  // events of the ticks up to here are applied
};

class OnlineSource : public TwoSeatSource {
 public:
  OnlineSource(online::Session& session, bool host, InputSource* local,
               StreamTicks earlier)
      : session_(&session),
        host_(host),
        local_(local),
        earlier_(std::move(earlier)) {
    platform::detail::read_local_input(local_, -1, seen_);
  }

  void read(long tick) override {
    if (session_->wants_local(tick)) {
      platform::detail::read_local_input(local_, tick, now_);
      session_->add_local(tick, this_seat(now_));
      seen_ = now_;
    }
    apply_through(tick, [&](long t) {
      return t < session_->first_tick() ? earlier_(t)
                                        : session_->events_for(t, lockstep_);
    });
  }

  bool lockstep_ = false;
  online::Session* session_;

  bool end_requested() const {
    return now_.window.close_standing || now_.window.close_requested;
  }

 private:
  // What changed on this machine since the last tick, as this seat's
  // events: the stick (real, else the keyboard's) as the seat's port.
  // The seat's stick never leaves the game while this machine is in it:
  // pulled out, the keyboard's stands in.
  online::TickEvents this_seat(detail::InputSnapshot now) {
    detail::InputSnapshot before = seen_;
    before.ports[0] = stick_of(seen_);
    now.ports[0] = stick_of(now);
    for (int p = 1; p < platform::detail::joy_port_count; ++p) {
      before.ports[p].reset();
      now.ports[p].reset();
    }
    online::TickEvents out;
    for (detail::ScriptEvent e : detail::input_changes(before, now)) {
      if (is_stick_event(e)) {
        e.code = host_ ? host_port : guest_port;
      } else if (!host_) {
        continue;  // the guest gives its stick only
      }
      if (out.size() < online::max_events_per_tick) out.push_back(to_wire(e));
    }
    return out;
  }

  static detail::JoyPort stick_of(const detail::InputSnapshot& s) {
    return s.ports[0] ? *s.ports[0] : keyboard_stick(s.keys_and_mouse);
  }

  bool host_;
  InputSource* local_;
  StreamTicks earlier_;
  detail::InputSnapshot seen_, now_;
};

// Both seats' events of each tick from the room's stream; nothing of this
// machine's own devices.
class StreamSource : public TwoSeatSource {
 public:
  explicit StreamSource(StreamTicks ticks) : ticks_(std::move(ticks)) {}
  void read(long tick) override {
    apply_through(
        tick, [&](long t) -> const auto& { return ticks_(t); });
  }

 private:
  StreamTicks ticks_;
};

std::unique_ptr<OnlineSource> source;
std::unique_ptr<StreamSource> stream_source;

}  // namespace

void start_online_input(online::Session& session, bool host,
                        StreamTicks earlier) {
  // A script loaded with it stands in for this machine's devices only: its
  // own checks are not this game's.
  detail::check_replay({}, {});
  source = std::make_unique<OnlineSource>(
      session, host, detail::loaded_script_source(), std::move(earlier));
  platform::detail::keys_and_mouse() = {};
  platform::detail::set_input_source(source.get());
  // Input is read once a tick, where the tick's events apply.
  platform::detail::set_input_hook(
      [](const detail::InputSnapshot&, const detail::InputSnapshot&) {});
  detail::install_hooks();
}

void start_stream_input(StreamTicks tick_events) {
  detail::check_replay({}, {});
  stream_source = std::make_unique<StreamSource>(std::move(tick_events));
  platform::detail::keys_and_mouse() = {};
  platform::detail::set_input_source(stream_source.get());
  platform::detail::set_input_hook(
      [](const detail::InputSnapshot&, const detail::InputSnapshot&) {});
  detail::install_hooks();
}

void follow_online_session(online::Session& session) {
  if (source) source->session_ = &session;
}

void stop_online_input() {
  platform::detail::set_input_source(nullptr);
  platform::detail::set_input_hook(nullptr);
  source.reset();
}

void set_online_lockstep(bool lockstep) {
  if (source) source->lockstep_ = lockstep;
}

bool local_end_requested() { return source && source->end_requested(); }

void record_final_tick(long tick, const online::TickEvents& host,
                       const online::TickEvents& guest,
                       const std::optional<StateChecks>& hashes) {
  std::vector<detail::ScriptEvent> events;
  if (tick == 0) {
    for (const int port : {host_port, guest_port}) {
      detail::ScriptEvent connect;
      connect.action = ScriptAction::joy_connect;
      connect.code = port;
      events.push_back(connect);
    }
  }
  for (const online::TickEvents* seat : {&host, &guest}) {
    for (const online::InputEvent& w : *seat)
      events.push_back(from_wire(w, tick));
  }
  detail::record_final_events(tick, tick == 0 ? std::nullopt : hashes, events);
}

online::TickEvents guest_stick_pulled() {
  return {{EventKind::joy_disconnect, guest_port}};
}

online::TickEvents guest_stick_plugged() {
  return {{EventKind::joy_connect, guest_port}};
}

}  // namespace replay
