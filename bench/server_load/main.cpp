// Load on the real vermix-server over loopback: N rooms of two seats, each
// seat sending an input message through the relay at 60 Hz (the host also
// its stream, 10 times a second, and both a presence each second), from
// addresses of their own (127.x.y.z). Optionally a flood of junk from one
// address for part of the run. Prints the server's CPU share and memory,
// what arrived, the relay's delay and the server's figures. Bounded: at
// most 10,000 rooms and 600 seconds.
//   vermix_server_load --rooms N --seconds S [--flood RATE --flood-from A
//                      --flood-until B]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "online/protocol/messages.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/server_clients.h"
#include "tests/support/server_process.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Seat {
  int fd = -1;
  online::Ticket ticket;
};
struct Room {
  Seat host, guest;
};

// Per window of the run: what arrived and how late.
struct Window {
  std::uint64_t sent = 0;
  std::uint64_t arrived = 0;
  std::vector<double> delays_ms;
};

int udp_socket(const std::string& local) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  inet_pton(AF_INET, local.c_str(), &a.sin_addr);
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    throw std::runtime_error("cannot bind " + local + ": " +
                             std::strerror(errno));
  }
  return fd;
}

sockaddr_in server_address(std::uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
  return a;
}

void send_to(int fd, const sockaddr_in& to,
             const std::vector<std::uint8_t>& bytes) {
  sendto(fd, bytes.data(), bytes.size(), 0,
         reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

std::optional<online::Message> wait_message(int fd,
                                            std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  std::uint8_t buffer[2048];
  while (Clock::now() < deadline) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n > 0) {
      std::string error;
      if (auto m = online::decode({buffer, std::size_t(n)}, error)) return m;
    }
    std::this_thread::sleep_for(200us);
  }
  return std::nullopt;
}

// Jiffies of CPU the process used, and its resident memory in KiB.
std::pair<long, long> process_use(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string f;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14) utime = std::stol(f);
    if (i == 15) stime = std::stol(f);
  }
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  long rss = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) rss = std::stol(line.substr(6));
  }
  return {utime + stime, rss};
}

// The kernel's count of UDP datagrams dropped for a full receive buffer.
long udp_buffer_drops() {
  std::ifstream snmp("/proc/net/snmp");
  std::string names, values;
  for (std::string line; std::getline(snmp, line);) {
    if (line.rfind("Udp: ", 0) == 0) (names.empty() ? names : values) = line;
  }
  std::istringstream n(names), v(values);
  for (std::string name, value; n >> name && v >> value;) {
    if (name == "RcvbufErrors") return std::stol(value);
  }
  return 0;
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

}  // namespace

int main(int argc, char** argv) {
  int rooms_wanted = 100;
  int seconds = 10;
  double flood_rate = 0;
  int flood_from = 0, flood_until = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    const double v = std::stod(argv[i + 1]);
    if (a == "--rooms")
      rooms_wanted = std::clamp(int(v), 1, 10000);
    else if (a == "--seconds")
      seconds = std::clamp(int(v), 1, 600);
    else if (a == "--flood")
      flood_rate = std::clamp(v, 0.0, 1e6);
    else if (a == "--flood-from")
      flood_from = int(v);
    else if (a == "--flood-until")
      flood_until = int(v);
  }
  testing_support::ScratchFolder scratch("vermix-server-load");
  testing_support::ServerProcess::Setup setup;
  setup.executable = VERMIX_SERVER_EXE;
  setup.state_dir = scratch.path() / "state";
  setup.args = {"--log-level", "quiet"};
  testing_support::ServerProcess server(setup);
  const sockaddr_in to = server_address(server.udp_port());

  // Open and enter every room, in batches.
  std::vector<Room> rooms(static_cast<std::size_t>(rooms_wanted));
  for (std::size_t i = 0; i < rooms.size(); ++i) {
    const auto local = [&](int side) {
      return "127." + std::to_string(side) + "." + std::to_string(i / 250) +
             "." + std::to_string(i % 250 + 1);
    };
    rooms[i].host.fd = udp_socket(local(1));
    rooms[i].guest.fd = udp_socket(local(2));
  }
  for (Room& r : rooms) {
    send_to(r.host.fd, to,
            online::encode(online::OpenRoom{1, "1.0.0", "load", {}, {}}));
    const auto m = wait_message(r.host.fd, 2s);
    if (!m || !std::holds_alternative<online::RoomOpened>(*m)) {
      std::cerr << "load: a room was not opened\n";
      return 1;
    }
    r.host.ticket = std::get<online::RoomOpened>(*m).ticket;
    send_to(r.guest.fd, to,
            online::encode(online::EnterRoom{
                2, r.host.ticket.code, online::Role::guest, "1.0.0", "load"}));
    const auto e = wait_message(r.guest.fd, 2s);
    if (!e || !std::holds_alternative<online::RoomEntered>(*e)) {
      std::cerr << "load: a guest was not let in\n";
      return 1;
    }
    r.guest.ticket = std::get<online::RoomEntered>(*e).ticket;
  }

  const int ep = epoll_create1(EPOLL_CLOEXEC);
  for (Room& r : rooms) {
    for (Seat* s : {&r.host, &r.guest}) {
      epoll_event ev{};
      ev.events = EPOLLIN;
      ev.data.fd = s->fd;
      epoll_ctl(ep, EPOLL_CTL_ADD, s->fd, &ev);
    }
  }
  const int flood_fd = udp_socket("127.9.9.9");
  const auto junk = online::encode(online::Presence{{"ZZZZZZZZ", 0, 1}, false});

  // Windows: 0 before the flood, 1 during, 2 after (all 0 without one).
  Window windows[3];
  const auto start = Clock::now();
  const auto end = start + std::chrono::seconds(seconds);
  const pid_t server_pid = server.pid();
  const long cpu_at_start = process_use(server_pid).first;
  const long drops_at_start = udp_buffer_drops();
  long peak_rss = 0;
  std::uint32_t tick = 0;
  auto next_tick = start;
  double flood_debt = 0;
  auto last_flood = start;
  std::uint64_t flood_sent = 0;
  std::uint8_t buffer[2048];
  while (Clock::now() < end) {
    const auto now = Clock::now();
    const double at = std::chrono::duration<double>(now - start).count();
    const int window = flood_rate > 0 ? (at < flood_from    ? 0
                                         : at < flood_until ? 1
                                                            : 2)
                                      : 0;
    if (now >= next_tick) {
      next_tick += std::chrono::microseconds(16667);
      const auto stamp = std::chrono::duration_cast<std::chrono::nanoseconds>(
                             Clock::now().time_since_epoch())
                             .count();
      online::Inputs inputs{1, tick, tick, tick, 0, 0, {{}, {}}};
      std::vector<std::uint8_t> payload = online::encode(inputs);
      payload.resize(payload.size() + sizeof stamp);
      std::memcpy(payload.data() + payload.size() - sizeof stamp, &stamp,
                  sizeof stamp);
      for (Room& r : rooms) {
        for (Seat* s : {&r.host, &r.guest}) {
          send_to(s->fd, to, online::encode(online::Relay{s->ticket, payload}));
          ++windows[window].sent;
          if (tick % 60 == 0)
            send_to(s->fd, to,
                    online::encode(online::Presence{s->ticket, false}));
        }
        if (tick % 6 == 5) {
          online::Stream st{r.host.ticket, 1, tick - 5, false, {}};
          st.ticks.resize(6);
          send_to(r.host.fd, to, online::encode(st));
        }
      }
      ++tick;
      if (tick % 60 == 0)
        peak_rss = std::max(peak_rss, process_use(server_pid).second);
    }
    if (window == 1) {
      flood_debt +=
          flood_rate * std::chrono::duration<double>(now - last_flood).count();
      for (; flood_debt >= 1; flood_debt -= 1, ++flood_sent)
        send_to(flood_fd, to, junk);
    }
    last_flood = now;
    epoll_event events[256];
    const int n = epoll_wait(ep, events, 256, 1);
    const auto got_at = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            Clock::now().time_since_epoch())
                            .count();
    for (int i = 0; i < n; ++i) {
      for (ssize_t size;
           (size = recv(events[i].data.fd, buffer, sizeof buffer, 0)) > 0;) {
        std::string error;
        // Relayed inputs carry their time after the message; the server's
        // own answers (stream acknowledgements) decode and are skipped.
        if (online::decode({buffer, std::size_t(size)}, error)) continue;
        std::int64_t stamp = 0;
        if (std::size_t(size) < sizeof stamp) continue;
        std::memcpy(&stamp, buffer + size - sizeof stamp, sizeof stamp);
        ++windows[window].arrived;
        windows[window].delays_ms.push_back(double(got_at - stamp) / 1e6);
      }
    }
  }
  const auto [cpu_at_end, rss_end] = process_use(server_pid);
  const double ticks_per_second = double(sysconf(_SC_CLK_TCK));
  std::printf(
      "rooms %d, %d s: server CPU %.1f%% of one core, memory %ld KiB (peak "
      "%ld)\n",
      rooms_wanted, seconds,
      100.0 * double(cpu_at_end - cpu_at_start) / ticks_per_second / seconds,
      rss_end, std::max(peak_rss, rss_end));
  const char* names[] = {flood_rate > 0 ? "before the flood" : "whole run",
                         "during the flood", "after the flood"};
  for (int w = 0; w < (flood_rate > 0 ? 3 : 1); ++w) {
    const Window& x = windows[w];
    std::printf(
        "%s: sent %llu, arrived %llu (%.2f%%), relay delay p50 %.2f ms p99 "
        "%.2f ms\n",
        names[w], (unsigned long long)x.sent, (unsigned long long)x.arrived,
        x.sent ? 100.0 * double(x.arrived) / double(x.sent) : 0.0,
        percentile(x.delays_ms, 0.5), percentile(x.delays_ms, 0.99));
  }
  std::printf("datagrams the kernel dropped for full receive buffers: %ld\n",
              udp_buffer_drops() - drops_at_start);
  if (flood_rate > 0)
    std::printf("flood: %llu datagrams sent\n", (unsigned long long)flood_sent);
  std::cout << testing_support::http_get(server.tcp_port(), "/figures").body;
  return 0;
}
