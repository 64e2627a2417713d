#include "app/online_room.h"

#include "app/online_settings.h"
#include "app/online_status.h"
#include "online/rooms/room_requests.h"
#if VERMIX_UDP
#include "online/transport/udp_datagrams.h"
#elif VERMIX_WEBSOCKET
#include "online/transport/address.h"
#include "online/transport/websocket_datagrams.h"
#endif
#include "platform/automation.h"

namespace {

constexpr std::uint32_t server_timeout_ms = 10000;

bool stop_asked() { return platform::detail::stop_requested(); }

// The server's answer of kind T, or the refusal's line and status.
template <typename T>
std::optional<T> answer(online::RoomLink& link, online::Clock& clock,
                        const online::Message& request, std::uint32_t nonce,
                        const std::string& code, std::string& error,
                        int& status) {
  auto reply = online::ask_server(link, clock, request, nonce,
                                  server_timeout_ms, stop_asked, error);
  if (!reply) {
    status = stop_asked() ? 0 : online_failed_status;
    return std::nullopt;
  }
  if (const auto* refused = std::get_if<online::RoomRefused>(&*reply)) {
    error = online::refusal_text(*refused, code);
    status = room_refused_status(refused->reason);
    return std::nullopt;
  }
  if (const auto* ok = std::get_if<T>(&*reply)) return *ok;
  error = "the server answered out of turn";
  status = online_failed_status;
  return std::nullopt;
}

}  // namespace

int room_refused_status(online::RoomError reason) {
  return online_failed_status + static_cast<int>(reason);
}

#if VERMIX_UDP
std::optional<RoomWay> open_room_way(const CommandLine& cl,
                                     online::Clock& clock, std::string& error) {
  const std::string& name =
      cl.server.empty() ? online_settings().server : cl.server;
  const auto server = online::resolve_address(name, default_server_port, error);
  if (!server) return std::nullopt;
  auto socket = online::UdpDatagrams::open(0, error);
  if (!socket) return std::nullopt;
  RoomWay way;
  way.link = std::make_unique<online::RoomLink>(*socket, clock, *server);
  way.socket = std::move(socket);
  return way;
}
#elif VERMIX_WEBSOCKET
// The page: the server's WebSocket, and so always the relay. The socket is
// waited for (the waits hand control to the browser), so that a server out
// of reach is told at once and not as a room that never answers.
std::optional<RoomWay> open_room_way(const CommandLine& cl,
                                     online::Clock& clock, std::string& error) {
  using State = online::WebSocketDatagrams::State;
  const auto url = online::websocket_url(cl.server, default_server_port, error);
  if (!url) return std::nullopt;
  auto socket = online::WebSocketDatagrams::open(*url, error);
  if (!socket) return std::nullopt;
  const std::uint32_t start = clock.now_ms();
  while (socket->state() == State::connecting && !stop_asked() &&
         clock.now_ms() - start < server_timeout_ms) {
    clock.sleep_ms(10);
  }
  if (socket->state() != State::open) {
    const std::string& why = socket->close_reason();
    error = "cannot reach the server at " + *url +
            (why.empty() ? std::string(": no answer") : ": " + why);
    return std::nullopt;
  }
  RoomWay way;
  way.link = std::make_unique<online::RoomLink>(*socket, clock, *url);
  way.socket = std::move(socket);
  return way;
}
#else
std::optional<RoomWay> open_room_way(const CommandLine&, online::Clock&,
                                     std::string& error) {
  error = "this build of the game has no network for online play";
  return std::nullopt;
}
#endif

std::optional<online::RoomOpened> open_room(online::RoomLink& link,
                                            online::Clock& clock,
                                            const online::OpenRoom& request,
                                            std::string& error, int& status) {
  return answer<online::RoomOpened>(link, clock, request, request.nonce,
                                    request.resume.code, error, status);
}

std::optional<online::RoomEntered> enter_room(online::RoomLink& link,
                                              online::Clock& clock,
                                              const online::EnterRoom& request,
                                              std::string& error, int& status) {
  return answer<online::RoomEntered>(link, clock, request, request.nonce,
                                     request.code, error, status);
}
