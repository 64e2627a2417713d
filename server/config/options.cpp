#include "server/config/options.h"

#include <charconv>
#include <fstream>
#include <functional>
#include <string_view>

namespace server::config {

namespace {

using Set = std::function<bool(Options&, std::string_view)>;

struct Key {
  std::string_view name;
  std::string_view help;
  Set set;
};

template <class T>
bool number(std::string_view text, T& out, double low, double high) {
  double value = 0;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low ||
      value > high) {
    return false;
  }
  out = T(value);
  return true;
}

template <class T>
Set numeric(T rooms::Limits::*field, double low, double high) {
  return [=](Options& o, std::string_view v) {
    return number(v, o.limits.*field, low, high);
  };
}

template <class T>
Set numeric(T Options::*field, double low, double high) {
  return [=](Options& o, std::string_view v) {
    return number(v, o.*field, low, high);
  };
}

const std::vector<Key>& keys() {
  static const std::vector<Key> table = {
      {"bind", "ADDRESS  the address to listen on (default ::, IPv6 and IPv4)",
       [](Options& o, std::string_view v) {
         o.bind = v;
         return !v.empty();
       }},
      {"udp-port", "N  the UDP port of the rooms (default 4762; 0: any)",
       numeric(&Options::udp_port, 0, 65535)},
      {"tcp-port",
       "N  the TCP port of HTTP and the WebSocket /ws (default 4762; 0: any)",
       numeric(&Options::tcp_port, 0, 65535)},
      {"state-dir", "DIR  where the seats' key is kept",
       [](Options& o, std::string_view v) {
         o.state_dir = v;
         return !v.empty();
       }},
      {"site",
       "DIR  serve the game's page from DIR (tools/build-web.sh's site)",
       [](Options& o, std::string_view v) {
         o.site_dir = v;
         return !v.empty();
       }},
      {"log-level", "quiet|info|debug  info: one line per event",
       [](Options& o, std::string_view v) {
         if (v == "quiet")
           o.log_level = LogLevel::quiet;
         else if (v == "info")
           o.log_level = LogLevel::info;
         else if (v == "debug")
           o.log_level = LogLevel::debug;
         else
           return false;
         return true;
       }},
      {"idle-seconds", "N  a seat unheard this long is gone (default 30)",
       numeric(&rooms::Limits::idle_seconds, 2, 3600)},
      {"ended-memory-seconds",
       "N  how long an ended room's code answers why (default 600)",
       numeric(&rooms::Limits::ended_memory_seconds, 0, 86400)},
      {"address-messages-per-second", "N  per IP address (default 400)",
       numeric(&rooms::Limits::address_messages_per_second, 1, 1e7)},
      {"address-bytes-per-second", "N  per IP address (default 262144)",
       numeric(&rooms::Limits::address_bytes_per_second, 1000, 1e10)},
      {"room-messages-per-second", "N  per room (default 600)",
       numeric(&rooms::Limits::room_messages_per_second, 1, 1e7)},
      {"room-bytes-per-second", "N  per room (default 393216)",
       numeric(&rooms::Limits::room_bytes_per_second, 1000, 1e10)},
      {"rooms-per-address", "N  open rooms hosted from one IP (default 4)",
       numeric(&rooms::Limits::rooms_per_address, 1, 1e6)},
      {"max-rooms", "N  open rooms in all (default 20000)",
       numeric(&rooms::Limits::max_rooms, 1, 1e7)},
      {"spectators-per-room", "N  (default 32)",
       numeric(&rooms::Limits::spectators_per_room, 0, 10000)},
      {"guesses-per-minute",
       "N  wrong codes and tickets per IP, after a burst (default 12)",
       numeric(&rooms::Limits::guesses_per_minute, 0.1, 1e6)},
      {"guess-burst",
       "N  wrong codes at once before the rate applies (default 5)",
       numeric(&rooms::Limits::guess_burst, 1, 1e6)},
      {"stream-bytes-per-room",
       "N  the most of a game's stream kept (default 8388608)",
       numeric(&rooms::Limits::stream_bytes_per_room, 1024, 1e10)},
      {"ws-connections-per-address",
       "N  WebSocket connections per IP (default 16)",
       numeric(&rooms::Limits::ws_connections_per_address, 1, 1e6)},
      {"http-body-limit", "N  bytes of a request's body (default 65536)",
       numeric(&Options::http_body_limit, 0, 1e9)},
  };
  return table;
}

bool apply(Options& o, std::string_view name, std::string_view value,
           std::string& error) {
  for (const Key& key : keys()) {
    if (key.name == name) {
      if (key.set(o, value)) return true;
      error = "bad value for " + std::string(name) + ": " + std::string(value);
      return false;
    }
  }
  error = "unknown setting: " + std::string(name);
  return false;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

bool read_file(Options& o, const std::string& path, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::string_view text = trim(line);
    if (text.empty() || text.front() == '#') continue;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos ||
        !apply(o, trim(text.substr(0, equals)), trim(text.substr(equals + 1)),
               error)) {
      if (equals == std::string_view::npos) error = "not key = value";
      error = path + ":" + std::to_string(number) + ": " + error;
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args,
                                     std::string& error) {
  Options o;
  // The file first, wherever --config stands, so the command line wins.
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "--config" && !read_file(o, args[i + 1], error)) {
      return std::nullopt;
    }
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help" || arg == "-h") {
      o.help = true;
      continue;
    }
    if (arg == "--version") {
      o.version = true;
      continue;
    }
    if (!arg.starts_with("--")) {
      error = "unexpected argument: " + std::string(arg);
      return std::nullopt;
    }
    std::string_view name = arg.substr(2);
    std::string value;
    if (const std::size_t equals = name.find('='); equals != name.npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      error = std::string(arg) + " needs a value";
      return std::nullopt;
    }
    if (name == "config") continue;
    if (!apply(o, name, value, error)) return std::nullopt;
  }
  return o;
}

std::string help_text() {
  std::string out =
      "Usage: vermix-server [--config FILE] [--KEY VALUE ...]\n"
      "Rooms by invite code, the relay and the spectators' streams of "
      "Vermix 2D\\3D online games.\n"
      "Every KEY may also stand in the config file as \"key = value\".\n\n"
      "  --config FILE  read settings from FILE first\n"
      "  --help, --version\n";
  for (const Key& key : keys()) {
    out += "  --" + std::string(key.name) + " " + std::string(key.help) + "\n";
  }
  return out;
}

}  // namespace server::config
