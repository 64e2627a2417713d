// The HTTP services in turn: the first handler that answers a request
// answers it. Each route prefix has its body limit, so the network side
// refuses a body that is too large before reading it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "server/http/exchange.h"

namespace server::http {

class Router {
 public:
  explicit Router(std::size_t default_body_limit)
      : default_body_limit_(default_body_limit) {}

  void add(Handler handler) { handlers_.push_back(std::move(handler)); }
  // Targets starting with `prefix` may carry bodies of up to `bytes`.
  void limit(std::string prefix, std::size_t bytes) {
    limits_.emplace_back(std::move(prefix), bytes);
  }

  // The limit of the longest prefix the target starts with.
  std::size_t body_limit(std::string_view target) const;
  // The first handler's answer; 404 when none answers, 500 when one throws.
  Response answer(const Request& request) const;

 private:
  std::size_t default_body_limit_;
  std::vector<std::pair<std::string, std::size_t>> limits_;
  std::vector<Handler> handlers_;
};

// A plain-text answer.
Response text_response(int status, std::string body);

}  // namespace server::http
