// Checks of the game's state while a replay is recorded or played, the
// closing line, and state dumps at a fixed interval.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>

#include "platform/platform.h"
#include "replay/fnv1a.h"
#include "replay/internal.h"
#include "replay/output_file.h"

namespace replay {
namespace {

constexpr long check_interval = 60;

struct Replay {
  detail::ReplayMeta meta;
  std::vector<std::pair<long, std::string>> events;  // tick, line
  std::size_t next_check = 0;
  std::size_t hashed = 0;  // events counted into `hash`
  std::uint32_t hash = Fnv1a::start;
};

std::unique_ptr<Replay> replay;  // null: no replay is played
std::function<StateChecks()> checker;
detail::OutputFile dump_file;
int dump_interval = 0;

bool online_outputs = false;  // checks and dumps come from final ticks
std::map<std::string, std::string> given_settings;

// The game's fields, the random generator, and the events before now.
detail::StateCheck state_now(std::uint32_t events) {
  detail::StateCheck c;
  c.tick = platform::current_tick();
  c.fields = state_hashes_now();
  c.fields.emplace_back("events", events);
  return c;
}

std::uint32_t replay_events_before(long tick) {
  while (replay->hashed < replay->events.size() &&
         replay->events[replay->hashed].first < tick) {
    replay->hash = detail::events_hash(replay->hash,
                                       replay->events[replay->hashed].second);
    ++replay->hashed;
  }
  return replay->hash;
}

void append_dump() {
  if (dump_file.is_open()) dump_file.write(detail::dump_state() + '\n');
}

[[noreturn]] void stop(int status, const std::string& message) {
  std::fprintf(stderr, "vermix: %s\n", message.c_str());
  detail::close_recording();
  dump_file.close();
  platform::detail::exit_program(status);
}

[[noreturn]] void diverge(long tick, const std::string& what) {
  stop(diverges_status,
       "replay diverges at tick " + std::to_string(tick) + ": " + what);
}

void compare(const detail::StateCheck& recorded) {
  const detail::StateCheck now = state_now(replay_events_before(recorded.tick));
  const std::string field = detail::first_difference(recorded, now);
  if (field == "events") {
    diverge(recorded.tick,
            "the events before it are not those recorded (edited replay)");
  }
  if (!field.empty()) diverge(recorded.tick, field + " differs");
}

void check_replay_tick(long tick) {
  const detail::ReplayMeta& meta = replay->meta;
  if (meta.closing && tick > meta.closing->tick) {
    diverge(tick, "the recorded game had ended at tick " +
                      std::to_string(meta.closing->tick));
  }
  if (!meta.closing && tick > meta.last_tick) {
    stop(4, "the replay ends at tick " + std::to_string(meta.last_tick) +
                " without its closing line: the recorded game was cut short "
                "there; it played the same up to that tick");
  }
  if (replay->next_check < meta.checks.size() &&
      meta.checks[replay->next_check].tick == tick) {
    compare(meta.checks[replay->next_check++]);
  } else if (tick % check_interval == 0) {
    diverge(tick, "its check line is missing (damaged replay)");
  }
}

// The game ended: at the recorded tick and in the recorded state.
void check_replay_end() {
  if (!replay) return;
  const long tick = platform::current_tick();
  const detail::ReplayMeta& meta = replay->meta;
  if (!meta.closing) {
    diverge(tick, "the game ended; the recording went on to tick " +
                      std::to_string(meta.last_tick));
  }
  if (tick != meta.closing->tick) {
    diverge(tick, "the game ended; the recorded game ended at tick " +
                      std::to_string(meta.closing->tick));
  }
  const detail::StateCheck now = state_now(replay_events_before(tick + 1));
  const std::string field = detail::first_difference(*meta.closing, now);
  if (!field.empty()) diverge(tick, field + " differs at the end");
}

}  // namespace

bool playing_replay() { return replay != nullptr || !given_settings.empty(); }

void play_with_settings(
    const std::vector<std::pair<std::string, std::string>>& settings) {
  given_settings.clear();
  for (const auto& [name, value] : settings) given_settings[name] = value;
}

void close_outputs_cut() {
  detail::close_recording();
  dump_file.close();
}

StateChecks state_hashes_now() {
  StateChecks fields;
  if (checker) fields = checker();
  fields.emplace_back(
      "random",
      Fnv1a()
          .word(static_cast<std::uint32_t>(platform::detail::random_state()))
          .value());
  return fields;
}

void set_online_outputs(bool on) { online_outputs = on; }

bool dump_due(long tick) {
  return dump_interval > 0 && tick % dump_interval == 0;
}

std::string state_dump_now() { return detail::dump_state(); }

void write_dump(const std::string& json) {
  if (dump_file.is_open()) dump_file.write(json + '\n');
}

std::optional<std::string> replay_setting(const std::string& name) {
  if (const auto it = given_settings.find(name); it != given_settings.end())
    return it->second;
  if (!replay) return std::nullopt;
  auto it = replay->meta.settings.find(name);
  if (it == replay->meta.settings.end()) return std::nullopt;
  return it->second;
}

void set_state_checker(std::function<StateChecks()> c) {
  checker = std::move(c);
}

bool dump_state_every(int every, const std::string& path, std::string& error) {
  if (!dump_file.open(path, true, error)) {
    error = "cannot write the dumps " + path + ": " + error;
    return false;
  }
  dump_interval = every;
  detail::install_hooks();
  return true;
}

namespace detail {

void install_hooks() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  platform::detail::set_tick_hook(replay_tick);
  platform::detail::set_end_hook([] {
    replay_program_end();
    report_frame_times();
    report_frame_spread();
  });
  platform::detail::set_cut_hook(replay_program_cut);
}

std::uint32_t events_hash(std::uint32_t hash, const std::string& line) {
  return Fnv1a(hash).bytes(line).word('\n').value();
}

void check_replay(ReplayMeta meta, const std::vector<ScriptEvent>& events) {
  replay.reset();
  if (meta.format == 0) return;
  replay = std::make_unique<Replay>();
  replay->meta = std::move(meta);
  for (const ScriptEvent& e : events)
    replay->events.emplace_back(e.tick, format_script_event(e));
}

void replay_tick(long tick) {
  if (replay) check_replay_tick(tick);
  if (!online_outputs && input_recording() && tick % check_interval == 0) {
    record_meta_line(
        format_check_line("check", state_now(recorded_events_hash())));
  }
  if (!online_outputs && dump_due(tick)) append_dump();
  flush_recording(false);
}

void replay_program_end() {
  append_dump();
  dump_file.close();
  if (input_recording()) {
    record_meta_line(
        format_check_line("end", state_now(recorded_events_hash())));
    close_recording();
  }
  check_replay_end();
}

// The recording keeps every whole line it holds, up to the tick the game
// stopped in, and no closing line: a replay of it plays to there and stops
// with status 4, as one of a killed game does. The dumps keep theirs.
void replay_program_cut() {
  dump_file.close();
  close_recording();
}

void replay_run_end() {
  append_dump();
  check_replay_end();
}

}  // namespace detail
}  // namespace replay
