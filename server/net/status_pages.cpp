#include "server/net/status_pages.h"

#include <chrono>
#include <string>

#include "server/http/router.h"

namespace server::net {

http::Handler status_pages(const rooms::Hub& hub, rooms::Time started) {
  return [&hub, started](
             const http::Request& request) -> std::optional<http::Response> {
    const std::string path = request.target.substr(0, request.target.find('?'));
    if (path != "/health" && path != "/figures") return std::nullopt;
    if (request.method != "GET" && request.method != "HEAD") {
      return http::text_response(405, "GET only\n");
    }
    const rooms::Population now = hub.population();
    if (path == "/figures") {
      return http::text_response(200, hub.figures().text(now));
    }
    const auto up = std::chrono::duration_cast<std::chrono::seconds>(
        rooms::Clock::now() - started);
    http::Response health;
    health.body = "{\"status\":\"ok\",\"protocol\":" +
                  std::to_string(online::protocol_version) +
                  ",\"rooms\":" + std::to_string(now.rooms) +
                  ",\"uptime_seconds\":" + std::to_string(up.count()) + "}\n";
    return health;
  };
}

}  // namespace server::net
