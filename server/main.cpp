// vermix-server: rooms by invite code, the relay between a room's two
// seats, the spectators' streams, over UDP and WebSocket, with its HTTP
// pages; one thread.
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "server/config/options.h"
#include "server/http/router.h"
#include "server/http/site.h"
#include "server/net/peers.h"
#include "server/net/status_pages.h"
#include "server/net/tcp_front.h"
#include "server/net/udp_front.h"
#include "server/rooms/hub.h"
#include "server/state/state_folder.h"

namespace {

using namespace server;

constexpr auto tick_period = std::chrono::milliseconds(20);

void say(const std::string& line) {
  std::fprintf(stderr, "vermix-server: %s\n", line.c_str());
}

// Everything the server is, in an order that lets the io_context end the
// connections while what they use is still there.
struct App {
  explicit App(const config::Options& options)
      : peers(figures),
        hub(setup(options), peers, figures),
        router(options.http_body_limit),
        shared{hub, peers, router, {}} {}

  static rooms::HubSetup setup(const config::Options& options) {
    rooms::HubSetup s;
    s.limits = options.limits;
    s.key = state::seat_key(options.state_dir);
    s.random = state::secure_random;
    s.boot = state::next_boot(options.state_dir);
    const config::LogLevel level = options.log_level;
    s.log = [level](bool detail, const std::string& line) {
      if (level == config::LogLevel::debug ||
          (level == config::LogLevel::info && !detail)) {
        say(line);
      }
    };
    return s;
  }

  rooms::Figures figures;
  net::Peers peers;
  rooms::Hub hub;
  http::Router router;
  net::TcpShared shared;
  boost::asio::io_context io;
  std::optional<net::UdpFront> udp;
  std::optional<net::TcpFront> tcp;
};

void tick(App& app, boost::asio::steady_timer& timer) {
  timer.expires_after(tick_period);
  timer.async_wait([&app, &timer](const boost::system::error_code& error) {
    if (error) return;
    const auto now = server::rooms::Clock::now();
    app.hub.tick(now);
    app.peers.sweep(now);
    tick(app, timer);
  });
}

int run(const config::Options& options) {
  App app(options);
  const auto started = rooms::Clock::now();
  app.router.add(net::status_pages(app.hub, started));
  if (!options.site_dir.empty())
    app.router.add(http::site_files(options.site_dir));
  const auto address = boost::asio::ip::make_address(options.bind);
  app.udp.emplace(app.io, net::udp::endpoint(address, options.udp_port),
                  app.hub, app.peers);
  app.tcp.emplace(app.io, net::tcp::endpoint(address, options.tcp_port),
                  app.shared);
  say("listening on udp " + std::to_string(app.udp->port()) + " and tcp " +
      std::to_string(app.tcp->port()) + " (" + options.bind + "), state in " +
      options.state_dir);

  boost::asio::signal_set signals(app.io, SIGINT, SIGTERM);
  signals.async_wait([&](const boost::system::error_code& error, int signal) {
    if (error) return;
    say(std::string("stopping (") + (signal == SIGINT ? "SIGINT" : "SIGTERM") +
        ")");
    app.io.stop();
  });
  boost::asio::steady_timer timer(app.io);
  tick(app, timer);
  app.io.run();
  say("stopped");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const std::optional<config::Options> options = config::parse_options(
      std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    say(error + " (--help lists the settings)");
    return 2;
  }
  if (options->help) {
    std::cout << config::help_text();
    return 0;
  }
  if (options->version) {
    std::cout << "vermix-server " << VERMIX_VERSION << " (protocol "
              << online::protocol_version << ")\n";
    return 0;
  }
  try {
    return run(*options);
  } catch (const std::exception& e) {
    say(std::string("cannot start: ") + e.what());
    return 1;
  }
}
