#include "tests/support/server_clients.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <cctype>
#include <stdexcept>
#include <thread>

namespace testing_support {

namespace asio = boost::asio;
namespace beast = boost::beast;
using asio::ip::tcp;
using asio::ip::udp;

std::optional<online::Message> ServerClient::receive(
    std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const auto bytes = receive_bytes(left);
    if (!bytes) break;
    std::string error;
    if (auto m = online::decode(*bytes, error)) return m;
  }
  return std::nullopt;
}

namespace {

class Udp : public ServerClient {
 public:
  Udp(std::uint16_t port, const std::string& local)
      : socket_(io_, udp::endpoint(asio::ip::make_address(local), 0)),
        server_(asio::ip::make_address("127.0.0.1"), port) {
    socket_.non_blocking(true);
  }
  void send_bytes(std::span<const std::uint8_t> bytes) override {
    boost::system::error_code ignored;
    socket_.send_to(asio::buffer(bytes.data(), bytes.size()), server_, 0,
                    ignored);
  }
  std::optional<std::vector<std::uint8_t>> receive_bytes(
      std::chrono::milliseconds limit) override {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::vector<std::uint8_t> buffer(2048);
    do {
      udp::endpoint from;
      boost::system::error_code error;
      const std::size_t n =
          socket_.receive_from(asio::buffer(buffer), from, 0, error);
      if (!error) {
        buffer.resize(n);
        return buffer;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
  }

 private:
  asio::io_context io_;
  udp::socket socket_;
  udp::endpoint server_;
};

class Ws : public ServerClient {
 public:
  explicit Ws(std::uint16_t port) : ws_(io_) {
    tcp::resolver resolver(io_);
    asio::connect(ws_.next_layer(),
                  resolver.resolve("127.0.0.1", std::to_string(port)));
    ws_.handshake("127.0.0.1:" + std::to_string(port), "/ws");
    ws_.binary(true);
  }
  void send_bytes(std::span<const std::uint8_t> bytes) override {
    ws_.write(asio::buffer(bytes.data(), bytes.size()));
  }
  std::optional<std::vector<std::uint8_t>> receive_bytes(
      std::chrono::milliseconds limit) override {
    // One read stays pending across calls until a frame comes.
    if (!reading_) {
      reading_ = true;
      ws_.async_read(buffer_, [this](beast::error_code error, std::size_t) {
        reading_ = false;
        if (error) {
          closed_ = true;
          return;
        }
        const auto data = buffer_.cdata();
        const auto* p = static_cast<const std::uint8_t*>(data.data());
        got_.emplace(p, p + data.size());
        buffer_.consume(buffer_.size());
      });
    }
    io_.restart();
    io_.run_one_for(limit);
    std::optional<std::vector<std::uint8_t>> out = std::move(got_);
    got_.reset();
    return out;
  }
  bool closed() const { return closed_; }

 private:
  asio::io_context io_;
  beast::websocket::stream<tcp::socket> ws_;
  beast::flat_buffer buffer_;
  bool reading_ = false;
  bool closed_ = false;
  std::optional<std::vector<std::uint8_t>> got_;
};

}  // namespace

std::unique_ptr<ServerClient> udp_client(std::uint16_t server_port,
                                         const std::string& local) {
  return std::make_unique<Udp>(server_port, local);
}

std::unique_ptr<ServerClient> ws_client(std::uint16_t tcp_port) {
  return std::make_unique<Ws>(tcp_port);
}

HttpAnswer http_get(
    std::uint16_t tcp_port, const std::string& target,
    const std::vector<std::pair<std::string, std::string>>& headers) {
  asio::io_context io;
  tcp::socket socket(io);
  socket.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), tcp_port));
  beast::http::request<beast::http::empty_body> request{beast::http::verb::get,
                                                        target, 11};
  request.set(beast::http::field::host, "127.0.0.1");
  for (const auto& [name, value] : headers) request.set(name, value);
  beast::http::write(socket, request);
  beast::flat_buffer buffer;
  beast::http::response<beast::http::string_body> response;
  beast::http::read(socket, buffer, response);
  HttpAnswer answer{int(response.result_int()), response.body(), {}};
  for (const auto& field : response) {
    std::string name(field.name_string());
    for (char& c : name) c = static_cast<char>(std::tolower(c));
    answer.headers[name] = std::string(field.value());
  }
  return answer;
}

std::string raw_tcp(std::uint16_t tcp_port, const std::string& request) {
  asio::io_context io;
  tcp::socket socket(io);
  socket.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), tcp_port));
  asio::write(socket, asio::buffer(request));
  std::string answer;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(5);
  socket.non_blocking(true);
  char buffer[4096];
  while (std::chrono::steady_clock::now() < deadline) {
    boost::system::error_code error;
    const std::size_t n = socket.read_some(asio::buffer(buffer), error);
    if (error == asio::error::would_block) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    if (error) break;
    answer.append(buffer, n);
  }
  return answer;
}

}  // namespace testing_support
