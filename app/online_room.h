// An online game's room on the server: the socket, the way to the server
// and what the server answered when the room was asked for.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/option_table.h"
#include "online/protocol/datagrams.h"
#include "online/rooms/room_link.h"

// The room server's default port.
constexpr int default_server_port = 4762;

// Why the server refused a room or a seat, as the exit status (8 to 15).
int room_refused_status(online::RoomError reason);

struct RoomWay {
  std::unique_ptr<online::Datagrams> socket;
  std::unique_ptr<online::RoomLink> link;
};

// A socket on a free port and the server of `cl` found; nothing, with the
// reason in `error`, when this build has no network or the server's name
// cannot be found.
std::optional<RoomWay> open_room_way(const CommandLine& cl,
                                     online::Clock& clock, std::string& error);

// Asks the server for a room (the host) or a seat in the room of cl.join
// (a guest, a spectator). The answer, or nothing with the line to print in
// `error` and the exit status in `status`.
std::optional<online::RoomOpened> open_room(online::RoomLink& link,
                                            online::Clock& clock,
                                            const online::OpenRoom& request,
                                            std::string& error, int& status);
std::optional<online::RoomEntered> enter_room(online::RoomLink& link,
                                              online::Clock& clock,
                                              const online::EnterRoom& request,
                                              std::string& error, int& status);
