// The server's settings: one table read from the command line and from a
// config file of "key = value" lines (--config FILE; the command line wins).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/rooms/limits.h"

namespace server::config {

enum class LogLevel { quiet, info, debug };

struct Options {
  std::string bind = "::";  // both IPv6 and IPv4
  std::uint16_t udp_port = 4762;
  std::uint16_t tcp_port = 4762;
  std::string state_dir = "/var/lib/vermix-server";
  std::string site_dir;  // the game's page to serve; empty: none
  LogLevel log_level = LogLevel::info;
  std::size_t http_body_limit = 64 * 1024;
  rooms::Limits limits;
  bool help = false;
  bool version = false;
};

// The options, or nothing with the reason in `error` (an unknown key, a
// value out of range, a config file that cannot be read).
std::optional<Options> parse_options(const std::vector<std::string>& args,
                                     std::string& error);

std::string help_text();

}  // namespace server::config
