// Reading and writing the "#!" lines of replays; see replay_file.h.
#include "replay/replay_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <sstream>

namespace replay::detail {
namespace {

struct LineError {
  std::string what;
};

std::vector<std::string> split(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  std::string f;
  while (in >> f) fields.push_back(f);
  return fields;
}

long tick_of(const std::string& field) {
  long v = 0;
  const char* end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, v);
  if (ec != std::errc() || ptr != end || v < 0)
    throw LineError{"bad tick '" + field + "'"};
  return v;
}

StateCheck parse_check(const std::vector<std::string>& f) {
  if (f.size() < 4) throw LineError{"expected '#! " + f[1] + " T NAME=HASH'"};
  StateCheck c;
  c.tick = tick_of(f[2]);
  for (std::size_t i = 3; i < f.size(); ++i) {
    const std::size_t eq = f[i].find('=');
    const std::string hex = eq == std::string::npos ? "" : f[i].substr(eq + 1);
    std::uint32_t v = 0;
    auto [ptr, ec] =
        std::from_chars(hex.data(), hex.data() + hex.size(), v, 16);
    if (eq == 0 || hex.size() != 8 || ec != std::errc() ||
        ptr != hex.data() + hex.size()) {
      throw LineError{"bad check field '" + f[i] + "'"};
    }
    c.fields.emplace_back(f[i].substr(0, eq), v);
  }
  return c;
}

// The values a game can record for each of its settings: the seed, high
// score and hologram intensity are any 32-bit number (as --seed and the
// saved files give them), the stereo mode one the menu shows.
struct SettingRange {
  const char* name;
  long long low, high;
};
constexpr SettingRange setting_ranges[] = {
    {"seed", INT32_MIN, INT32_MAX},
    {"high-score", INT32_MIN, INT32_MAX},
    {"hologram", INT32_MIN, INT32_MAX},
    {"stereo-mode", 0, 4},
};

void check_setting(const std::string& name, const std::string& value) {
  for (const SettingRange& range : setting_ranges) {
    if (name != range.name) continue;
    long long v = 0;
    const char* end = value.data() + value.size();
    auto [ptr, ec] = std::from_chars(value.data(), end, v);
    if (ec != std::errc() || ptr != end || v < range.low || v > range.high) {
      throw LineError{"the setting " + name + " cannot be '" + value +
                      "': from " + std::to_string(range.low) + " to " +
                      std::to_string(range.high)};
    }
  }
}

void parse_meta_line(const std::vector<std::string>& f, ReplayMeta& meta) {
  if (f.size() < 2) throw LineError{"empty '#!' line"};
  const std::string& kind = f[1];
  if (meta.format == 0) {
    if (kind != "vermix-replay" || f.size() != 3)
      throw LineError{"expected '#! vermix-replay VERSION' first"};
    const long version = tick_of(f[2]);
    if (version != replay_format_version) {
      throw LineError{"a replay of format " + f[2] + "; this game plays " +
                      "format " + std::to_string(replay_format_version)};
    }
    meta.format = replay_format_version;
    return;
  }
  if (meta.closing) throw LineError{"a line after the closing line"};
  if (kind == "game" && f.size() == 3) {
    meta.game = f[2];
  } else if (kind == "setting" && f.size() == 4) {
    check_setting(f[2], f[3]);
    meta.settings[f[2]] = f[3];
  } else if (kind == "check") {
    StateCheck c = parse_check(f);
    if (!meta.checks.empty() && c.tick <= meta.checks.back().tick)
      throw LineError{"check ticks must rise"};
    meta.last_tick = std::max(meta.last_tick, c.tick);
    meta.checks.push_back(std::move(c));
  } else if (kind == "end") {
    meta.closing = parse_check(f);
    meta.last_tick = std::max(meta.last_tick, meta.closing->tick);
  } else {
    throw LineError{"unknown replay line '#! " + kind + "'"};
  }
}

}  // namespace

bool parse_replay_meta(const std::string& text, const std::string& file_name,
                       ReplayMeta& meta, std::string& error) {
  ReplayMeta parsed;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::vector<std::string> f = split(line);
    if (f.empty() || f[0][0] == '#') {
      if (f.empty() || f[0] != "#!") continue;
      try {
        parse_meta_line(f, parsed);
      } catch (const LineError& fault) {
        error = file_name + ":" + std::to_string(number) + ": " + fault.what;
        return false;
      }
      continue;
    }
    if (parsed.closing && parsed.format != 0) {
      error = file_name + ":" + std::to_string(number) +
              ": an event after the closing line";
      return false;
    }
    // The script parser reports bad ticks; here only good ones count.
    long tick = 0;
    const char* end = f[0].data() + f[0].size();
    auto [ptr, ec] = std::from_chars(f[0].data(), end, tick);
    if (ec == std::errc() && ptr == end)
      parsed.last_tick = std::max(parsed.last_tick, tick);
  }
  meta = std::move(parsed);
  return true;
}

std::string format_check_line(const char* kind, const StateCheck& check) {
  std::string line =
      std::string("#! ") + kind + " " + std::to_string(check.tick);
  for (const auto& [name, value] : check.fields) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(value));
    line += " " + name + "=" + hex;
  }
  return line;
}

std::string first_difference(const StateCheck& recorded,
                             const StateCheck& now) {
  for (const auto& field : recorded.fields) {
    const std::string& name = field.first;
    auto it = std::find_if(now.fields.begin(), now.fields.end(),
                           [&](const auto& f) { return f.first == name; });
    if (it == now.fields.end() || it->second != field.second) return name;
  }
  if (now.fields.size() != recorded.fields.size()) return "field list";
  return "";
}

}  // namespace replay::detail
