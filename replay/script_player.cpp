// Plays an input script: the platform reads input from it instead of the
// devices, and the events that are due are applied to the input state at
// each input read. The joysticks of a script are virtual ports.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/automation.h"
#include "platform/platform.h"
#include "replay/internal.h"
#include "replay/output_file.h"

namespace replay {
namespace {

struct Script {
  std::vector<detail::ScriptEvent> events;
  std::size_t next = 0;  // first event not yet applied
  std::array<std::optional<detail::JoyPort>, detail::script_port_count> ports;
};

static_assert(detail::script_port_count == platform::detail::joy_port_count);

constexpr std::size_t max_script_bytes = 64u * 1024 * 1024;

std::optional<Script> script;
std::string script_path;  // the file `script` was read from
detail::ScriptFeed feed;
long fed_tick = -1;  // the last tick the feed was asked for
std::function<std::string()> dumper;

void apply_feed(long now) {
  if (!feed || now <= fed_tick) return;
  fed_tick = now;
  std::vector<detail::ScriptEvent> events;
  std::string error;
  if (!detail::parse_input_script(feed(now), "fed input", events, error)) {
    // The feed is our own program: a bad line is a fault in it.
    std::fprintf(stderr, "script: %s\n", error.c_str());
    std::abort();
  }
  for (const detail::ScriptEvent& e : events)
    detail::apply_event(e, script->ports);
}

void append_dump(const std::string& path) {
  detail::OutputFile out;
  std::string error;
  if (!out.open(path, true, error)) {
    platform::report_output_failure(path, error);
    return;
  }
  out.write(detail::dump_state() + '\n');
}

// The platform reads input from the script while one is loaded.
class ScriptSource : public detail::InputSource {
 public:
  void read(long tick) override {
    while (script->next < script->events.size() &&
           script->events[script->next].tick <= tick) {
      detail::apply_event(script->events[script->next++], script->ports);
    }
    apply_feed(tick);
  }
  int joy_count() override {
    int n = 0;
    for (const auto& p : script->ports) n += p ? 1 : 0;
    return n;
  }
  detail::JoyPort* joy_port(int port) override {
    if (port < 0 || port >= detail::script_port_count) return nullptr;
    auto& p = script->ports[port];
    return p ? &*p : nullptr;
  }
  // A feed (an automatic player) is not taken back: it is never asked about
  // a re-simulated tick again, so a script to roll back has none.
  void save(platform::detail::SourceState& state) const override {
    state.ports = script->ports;
    state.position[0] = static_cast<long>(script->next);
  }
  void restore(const platform::detail::SourceState& state) override {
    script->ports = state.ports;
    script->next = static_cast<std::size_t>(state.position[0]);
  }
};

ScriptSource source;

}  // namespace

bool load_input_script(const std::string& path, std::string& error) {
  // A folder opens as a stream that is simply empty: an endless run.
  if (platform::detail::is_host_folder(path)) {
    error = path + ": is a folder, not a script";
    return false;
  }
  std::FILE* in = platform::detail::open_host_file(path, "rb");
  if (!in) {
    error = path + ": cannot be read";
    return false;
  }
  // A pipe is read to its end, but nothing endless (/dev/zero) fills memory.
  std::string text;
  std::array<char, 1 << 16> chunk;
  std::size_t got = 0;
  while ((got = std::fread(chunk.data(), 1, chunk.size(), in)) > 0) {
    text.append(chunk.data(), got);
    if (text.size() > max_script_bytes) {
      std::fclose(in);
      error = path + ": longer than " +
              std::to_string(max_script_bytes / (1024 * 1024)) +
              " MiB, too long for a script";
      return false;
    }
  }
  std::fclose(in);
  // The recorder writes whole lines: a replay's unfinished last line is
  // where a killed game's recording stopped.
  if (text.starts_with("#! vermix-replay") && !text.ends_with('\n')) {
    text.erase(text.rfind('\n') + 1);
  }
  detail::ReplayMeta meta;
  std::vector<detail::ScriptEvent> events;
  if (!detail::parse_replay_meta(text, path, meta, error) ||
      !detail::parse_input_script(text, path, events, error)) {
    return false;
  }
  if (meta.format != 0 && meta.game != VERMIX_VERSION) {
    std::fprintf(stderr,
                 "vermix: %s was recorded by version %s of the game; this is "
                 "%s, so it may not play the same\n",
                 path.c_str(), meta.game.c_str(), VERMIX_VERSION);
  }
  detail::check_replay(std::move(meta), events);
  // A script starts from a clean slate: nothing held, pointer at (0, 0).
  detail::stop_input_script();
  platform::detail::keys_and_mouse() = {};
  script.emplace();
  script->events = std::move(events);
  script_path = path;
  fed_tick = -1;
  platform::detail::restart_ticks();
  platform::detail::set_input_source(&source);
  detail::install_hooks();
  return true;
}

bool script_active() { return script.has_value(); }

void set_state_dumper(std::function<std::string()> d) { dumper = std::move(d); }

void replay_again() {
  detail::replay_run_end();
  detail::report_frame_times();
  detail::time_next_run();
  std::string error;
  if (!load_input_script(std::string(script_path), error)) {
    std::fprintf(stderr, "vermix: %s\n", error.c_str());
    platform::detail::exit_program(2);
  }
  platform::detail::reset_draw_state();
}

namespace {

void apply_joystick(const detail::ScriptEvent& e, detail::Ports& ports) {
  std::optional<detail::JoyPort>& port = ports[e.code];
  if (e.action == detail::ScriptAction::joy_connect) {
    if (!port) port.emplace();
    return;
  }
  if (!port) return;  // events for an absent port are ignored
  switch (e.action) {
    case detail::ScriptAction::joy_disconnect:
      port.reset();
      return;
    case detail::ScriptAction::joy_axis:
      (e.index == 0 ? port->x : port->y) = e.value;
      return;
    case detail::ScriptAction::joy_button:
      port->buttons[e.index].set(e.down);
      return;
    default:
      return;
  }
}

}  // namespace

namespace detail {

void apply_event(const ScriptEvent& e, Ports& ports) {
  detail::KeysAndMouse& s = platform::detail::keys_and_mouse();
  using detail::ScriptAction;
  switch (e.action) {
    case ScriptAction::key:
      s.keys[e.code].set(e.down);
      return;
    case ScriptAction::mouse:
      // On an open display the pointer stays on it, as a real one does.
      s.x = platform::graphics_width() > 0
                ? std::clamp(e.code, 0, platform::graphics_width() - 1)
                : e.code;
      s.y = platform::graphics_height() > 0
                ? std::clamp(e.index, 0, platform::graphics_height() - 1)
                : e.index;
      return;
    case ScriptAction::mouse_button:
      s.mouse[e.code].set(e.down);
      return;
    case ScriptAction::focus_lost:
    case ScriptAction::focus_gained:
      platform::detail::set_suspended(e.action == ScriptAction::focus_lost);
      return;
    case ScriptAction::close:
    case ScriptAction::end:
      platform::detail::request_close(e.action == ScriptAction::end);
      return;
    case ScriptAction::screenshot:
      platform::detail::write_screenshot(e.path);
      return;
    case ScriptAction::dump:
      // A re-simulated tick's dump was written when the tick first played.
      if (!platform::detail::resimulating()) append_dump(e.path);
      return;
    default:
      apply_joystick(e, ports);
      return;
  }
}

std::string dump_state() { return dumper ? dumper() : std::string("{}"); }

InputSource* loaded_script_source() { return script ? &source : nullptr; }

void stop_input_script() {
  script.reset();
  platform::detail::set_input_source(nullptr);
  platform::detail::clear_key_mouse_state();
  platform::detail::reset_window_state();
}

void set_script_feed(ScriptFeed f) {
  feed = std::move(f);
  fed_tick = -1;
}

}  // namespace detail
}  // namespace replay
