#include "server/http/router.h"

#include <exception>

namespace server::http {

std::size_t Router::body_limit(std::string_view target) const {
  std::size_t best = 0;
  std::size_t limit = default_body_limit_;
  for (const auto& [prefix, bytes] : limits_) {
    if (target.starts_with(prefix) && prefix.size() >= best) {
      best = prefix.size();
      limit = bytes;
    }
  }
  return limit;
}

Response Router::answer(const Request& request) const {
  try {
    for (const Handler& handler : handlers_) {
      if (std::optional<Response> response = handler(request)) {
        return *std::move(response);
      }
    }
  } catch (const std::exception&) {
    return text_response(500, "internal error\n");
  }
  return text_response(404, "not found\n");
}

Response text_response(int status, std::string body) {
  Response response;
  response.status = status;
  response.content_type = "text/plain; charset=utf-8";
  response.body = std::move(body);
  return response;
}

}  // namespace server::http
