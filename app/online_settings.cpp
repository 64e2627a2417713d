#include "app/online_settings.h"

#include <cstdio>
#include <optional>

#include "platform/platform.h"
#include "world/data_folders.h"
#if VERMIX_UDP
#include "online/transport/address.h"
#endif

namespace {

// Far more than any hand-written settings file.
constexpr std::size_t largest_file = 64 * 1024;

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (blank(text.back()) || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

bool printable(std::string_view text) {
  for (char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// Why the value is refused, or "" when it is taken.
std::string set_server(OnlineSettings& s, std::string_view value) {
  if (value.empty() || !printable(value) ||
      value.find_first_of(" \t") != std::string_view::npos) {
    return "the server is HOST or HOST:PORT";
  }
#if VERMIX_UDP
  std::string error;
  if (!online::parse_host_port(value, 4762, error)) return error;
#endif
  s.server = value;
  return "";
}

std::string set_name(OnlineSettings& s, std::string_view value) {
  if (value.empty() || value.size() > longest_player_name ||
      !printable(value)) {
    return "a name is 1 to " + std::to_string(longest_player_name) +
           " letters, digits, spaces and signs of plain ASCII";
  }
  s.name = value;
  return "";
}

std::string set_online_scores(OnlineSettings& s, std::string_view value) {
  if (value != "yes" && value != "no") return "online-scores is yes or no";
  s.online_scores = value == "yes";
  return "";
}

struct Key {
  std::string_view name;
  std::string (*set)(OnlineSettings&, std::string_view);
};
constexpr Key keys[] = {{"server", set_server},
                        {"name", set_name},
                        {"online-scores", set_online_scores}};

}  // namespace

OnlineSettings parse_online_settings(std::string_view text,
                                     std::vector<std::string>& faults) {
  OnlineSettings settings;
  int set_on[std::size(keys)] = {};  // the line that set each key; 0 none
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    const std::string_view line = trimmed(raw);
    if (line.empty() || line.front() == '#') continue;
    const auto fault = [&](const std::string& why) {
      faults.push_back("line " + std::to_string(number) + ": " + why);
    };
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      fault("not a setting of the form key = value");
      continue;
    }
    const std::string_view key = trimmed(line.substr(0, equals));
    std::string_view value = line.substr(equals + 1);
    const std::size_t comment = value.find(" #");
    if (comment != std::string_view::npos) value = value.substr(0, comment);
    value = trimmed(value);
    std::size_t k = 0;
    while (k < std::size(keys) && keys[k].name != key) ++k;
    if (k == std::size(keys)) {
      fault("no such setting \"" + std::string(key) +
            "\" (server, name, online-scores)");
    } else if (set_on[k] != 0) {
      fault(std::string(key) + " was set on line " + std::to_string(set_on[k]));
    } else if (const std::string why = keys[k].set(settings, value);
               !why.empty()) {
      fault(why);
    } else {
      set_on[k] = number;
    }
  }
  return settings;
}

const OnlineSettings& online_settings() {
  static const OnlineSettings settings = [] {
    const std::string path = saved_file(online_settings_name);
    if (platform::file_type(path) == 0) return OnlineSettings{};
    const std::optional<std::string> text =
        platform::read_whole_file(path, largest_file);
    if (!text) {
      std::fprintf(stderr,
                   "vermix: %s cannot be read or is larger than %zu KiB; "
                   "online play takes its defaults\n",
                   online_settings_name, largest_file / 1024);
      return OnlineSettings{};
    }
    std::vector<std::string> faults;
    OnlineSettings read = parse_online_settings(*text, faults);
    // A file of something else altogether is not listed line by line.
    constexpr std::size_t most_named = 5;
    for (std::size_t i = 0; i < faults.size() && i < most_named; ++i) {
      std::fprintf(stderr, "vermix: %s %s; skipped\n", online_settings_name,
                   faults[i].c_str());
    }
    if (faults.size() > most_named) {
      std::fprintf(stderr, "vermix: %s: %zu more bad lines skipped\n",
                   online_settings_name, faults.size() - most_named);
    }
    return read;
  }();
  return settings;
}
