#include "tests/support/server_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <regex>
#include <stdexcept>

namespace testing_support {

ServerProcess::ServerProcess(Setup setup) : setup_(std::move(setup)) {
  udp_port_ = setup_.udp_port;
  tcp_port_ = setup_.tcp_port;
  start();
}

ServerProcess::~ServerProcess() {
  if (pid_ > 0) stop();
}

void ServerProcess::start() {
  if (pid_ > 0) throw std::logic_error("the server runs already");
  std::vector<std::string> args = {setup_.executable,
                                   "--bind",
                                   setup_.bind,
                                   "--udp-port",
                                   std::to_string(udp_port_),
                                   "--tcp-port",
                                   std::to_string(tcp_port_),
                                   "--state-dir",
                                   setup_.state_dir.string()};
  args.insert(args.end(), setup_.args.begin(), setup_.args.end());
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  const std::size_t before = log().size();
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(fds[1], 2);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(fds[1]);
  err_fd_ = fds[0];
  reader_ = std::thread([this, fd = err_fd_] {
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
      std::lock_guard lock(mutex_);
      log_.append(buffer, std::size_t(n));
    }
    close(fd);
  });
  const std::regex listening(R"(listening on udp (\d+) and tcp (\d+))");
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string said = log().substr(before);
    std::smatch m;
    if (std::regex_search(said, m, listening)) {
      udp_port_ = std::uint16_t(std::stoi(m[1]));
      tcp_port_ = std::uint16_t(std::stoi(m[2]));
      return;
    }
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      reader_.join();
      throw std::runtime_error("vermix-server ended at start: " +
                               log().substr(before));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill();
  throw std::runtime_error("vermix-server did not start: " +
                           log().substr(before));
}

void ServerProcess::reap() {
  if (reader_.joinable()) reader_.join();
  pid_ = -1;
}

void ServerProcess::kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  reap();
}

int ServerProcess::stop() {
  if (pid_ <= 0) return -1;
  ::kill(pid_, SIGTERM);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill();
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  reap();
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ServerProcess::log() const {
  std::lock_guard lock(mutex_);
  return log_;
}

bool ServerProcess::wait_for_log(const std::string& text,
                                 std::chrono::milliseconds limit) const {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (log().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace testing_support
