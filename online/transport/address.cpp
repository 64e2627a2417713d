#include "online/transport/address.h"

#include <algorithm>
#include <charconv>

namespace online {
namespace {

std::optional<std::uint16_t> port_of(std::string_view digits) {
  unsigned value = 0;
  const char* end = digits.data() + digits.size();
  const auto [at, fault] = std::from_chars(digits.data(), end, value);
  if (digits.empty() || digits.front() == '+' || fault != std::errc() ||
      at != end || value < 1 || value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<HostPort> parse_host_port(std::string_view text,
                                        std::uint16_t default_port,
                                        std::string& error) {
  std::string_view host = text;
  std::optional<std::string_view> port;
  if (text.starts_with('[')) {
    const std::size_t close = text.find(']');
    const std::string_view rest =
        close == text.npos ? text : text.substr(close + 1);
    if (close == text.npos || !(rest.empty() || rest.starts_with(':'))) {
      error = "an IPv6 address in brackets is [ADDRESS] or [ADDRESS]:PORT";
      return std::nullopt;
    }
    host = text.substr(1, close - 1);
    if (!rest.empty()) port = rest.substr(1);
  } else if (std::count(text.begin(), text.end(), ':') == 1) {
    host = text.substr(0, text.find(':'));
    port = text.substr(text.find(':') + 1);
  }
  // More than one colon without brackets: an IPv6 literal, no port.
  if (host.empty() || host.find_first_of("[] ") != host.npos) {
    error = "no host in \"" + std::string(text) + "\"";
    return std::nullopt;
  }
  HostPort result{std::string(host), default_port};
  if (port) {
    const std::optional<std::uint16_t> number = port_of(*port);
    if (!number) {
      error = "the port in \"" + std::string(text) + "\" is not 1..65535";
      return std::nullopt;
    }
    result.port = *number;
  }
  return result;
}

std::optional<std::string> websocket_url(std::string_view server,
                                         std::uint16_t default_port,
                                         std::string& error) {
  for (const std::string_view scheme : {"ws://", "wss://"}) {
    if (!server.starts_with(scheme)) continue;
    const std::string_view rest = server.substr(scheme.size());
    if (rest.empty() || rest.starts_with('/') ||
        rest.find_first_of(" \t") != rest.npos) {
      error = "no host in \"" + std::string(server) + "\"";
      return std::nullopt;
    }
    return std::string(server);
  }
  if (server.find("://") != server.npos) {
    error = "a server's URL begins with ws:// or wss://";
    return std::nullopt;
  }
  const std::optional<HostPort> where =
      parse_host_port(server, default_port, error);
  if (!where) return std::nullopt;
  const bool v6 = where->host.find(':') != std::string::npos;
  return "ws://" + (v6 ? "[" + where->host + "]" : where->host) + ":" +
         std::to_string(where->port) + "/ws";
}

}  // namespace online
