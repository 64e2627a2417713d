// One HTTP request and its answer as the server's services see them: plain
// values, so a service is written and tested without the network code that
// reads and writes them (server/http/ holds that).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace server::http {

struct Request {
  std::string method;  // "GET", "POST", ...
  std::string target;  // the path and query: "/api/scores?page=2"
  std::string body;    // within the limit of the target's route
  std::string client;  // the peer's address: "127.0.0.1", "::1"
  std::vector<std::pair<std::string, std::string>> headers;
};

struct Response {
  int status = 200;
  std::string content_type = "application/json";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
};

// Answers a request it serves, or nothing to leave it to the next handler.
using Handler = std::function<std::optional<Response>(const Request&)>;

}  // namespace server::http
