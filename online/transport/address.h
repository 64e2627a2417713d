// The address a player types to join: HOST, HOST:PORT, [IPV6]:PORT, or a
// bare IPv6 literal. Only split and checked here; resolving is the link's.
// The browser reaches a server by a WebSocket URL instead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace online {

struct HostPort {
  std::string host;  // a name or a literal, without brackets
  std::uint16_t port = 0;
  bool operator==(const HostPort&) const = default;
};

// `default_port` when the text names none; nothing, with the reason in
// `error`, for an empty host, a port outside 1..65535 or a stray bracket.
std::optional<HostPort> parse_host_port(std::string_view text,
                                        std::uint16_t default_port,
                                        std::string& error);

// The WebSocket URL of a room server named as --server names it: a ws:// or
// wss:// URL as it is, HOST[:PORT] as ws://HOST:PORT/ws. Nothing, with the
// reason in `error`, when the text is neither.
std::optional<std::string> websocket_url(std::string_view server,
                                         std::uint16_t default_port,
                                         std::string& error);

}  // namespace online
