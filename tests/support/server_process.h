// The real vermix-server as a child process for tests: started on free
// loopback ports (or given ones, to start it again where it was) with a
// state folder of the test's, its stderr kept for the test to read.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class ServerProcess {
 public:
  struct Setup {
    std::string executable;
    std::filesystem::path state_dir;
    std::string bind = "127.0.0.1";
    std::uint16_t udp_port = 0;  // 0: any free one
    std::uint16_t tcp_port = 0;
    std::vector<std::string> args;  // more settings: {"--idle-seconds", "2"}
  };

  // Starts it and waits (at most 10 s) for its "listening" line; throws
  // std::runtime_error with what it said when it does not come.
  explicit ServerProcess(Setup setup);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  std::uint16_t udp_port() const { return udp_port_; }
  std::uint16_t tcp_port() const { return tcp_port_; }
  // SIGKILL: gone at once, as in a crash. start() brings it back on the
  // same ports and state.
  void kill();
  void start();
  // SIGTERM and the exit status (-1: it did not end within 10 s).
  int stop();
  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  std::string log() const;
  // Waits (bounded) until the log holds `text`.
  bool wait_for_log(const std::string& text, std::chrono::milliseconds limit =
                                                 std::chrono::seconds(5)) const;

 private:
  void reap();

  Setup setup_;
  pid_t pid_ = -1;
  int err_fd_ = -1;
  std::thread reader_;
  mutable std::mutex mutex_;
  std::string log_;
  std::uint16_t udp_port_ = 0;
  std::uint16_t tcp_port_ = 0;
};

#ifdef VERMIX_SERVER_EXE
// This build's server on loopback with its state in `state_dir`.
inline std::unique_ptr<ServerProcess> test_server(
    std::filesystem::path state_dir, std::vector<std::string> args = {}) {
  ServerProcess::Setup setup;
  setup.executable = VERMIX_SERVER_EXE;
  setup.state_dir = std::move(state_dir);
  setup.args = std::move(args);
  return std::make_unique<ServerProcess>(std::move(setup));
}
#endif

}  // namespace testing_support
