#include "tests/support/x_display.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace testing_support {
namespace {

std::string run_output(const std::string& command) {
  std::string out;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, n);
  pclose(pipe);
  return out;
}

std::uint32_t big_endian(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i)
    v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

// A server that writes no output to the test's own; it inherits every open
// descriptor (Xvfb's -displayfd among them).
pid_t spawn_quiet(const std::vector<std::string>& argv) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  dup2(null, 2);
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

void stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

}  // namespace

XServer::XServer(int width, int height, bool window_manager) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string screen =
      std::to_string(width) + "x" + std::to_string(height) + "x24";
  server_ = spawn_quiet({"Xvfb", "-displayfd", std::to_string(fds[1]),
                         "-screen", "0", screen, "-nolisten", "tcp", "-br"});
  close(fds[1]);
  // The server writes the number when it accepts connections; a server
  // that fails closes the pipe instead.
  char c = 0;
  while (server_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n') display_ += c;
  close(fds[0]);
  if (!window_manager || display_.empty()) return;
  const std::string d = display();
  manager_ = spawn_quiet({"env", "DISPLAY=" + d, "openbox", "--sm-disable"});
  // Ready when it has claimed the screen's window manager selection.
  for (int i = 0; i < 100; ++i) {
    if (run_output("DISPLAY=" + d + " xprop -root _NET_SUPPORTING_WM_CHECK")
            .find("window id") != std::string::npos)
      return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  display_.clear();  // no window manager came up
}

XServer::~XServer() {
  stop(manager_);
  stop(server_);
}

std::string xdotool(const std::string& display, const std::string& args) {
  const std::string out = run_output("DISPLAY=" + display +
                                     " timeout 60 xdotool " + args + " 2>&1");
  return out.substr(0, out.find('\n'));
}

std::uint32_t XImage::at(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  return static_cast<std::uint32_t>(rgb[i]) << 16 |
         static_cast<std::uint32_t>(rgb[i + 1]) << 8 | rgb[i + 2];
}

// xwd's dump: a big-endian header, the colour map, then the pixels; a
// 24-bit screen comes as 32-bit pixels in the header's byte order.
XImage read_x_image(const std::string& display, const std::string& window) {
  const std::string which = window.empty() ? "-root" : "-id " + window;
  const std::string dump =
      run_output("DISPLAY=" + display + " xwd -silent " + which);
  XImage image;
  if (dump.size() < 100) return image;
  const std::uint32_t header = big_endian(dump, 0);
  const int width = static_cast<int>(big_endian(dump, 16));
  const int height = static_cast<int>(big_endian(dump, 20));
  const bool msb_first = big_endian(dump, 28) == 1;
  const std::uint32_t bits = big_endian(dump, 44);
  const std::uint32_t stride = big_endian(dump, 48);
  const std::uint32_t colours = big_endian(dump, 76);
  const std::size_t pixels = header + colours * 12;
  if (bits != 32 || dump.size() < pixels + std::size_t{stride} * height)
    return image;
  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t at = pixels + std::size_t{stride} * y + 4 * x;
      std::uint32_t v = 0;
      for (int i = 0; i < 4; ++i) {
        const auto b = static_cast<unsigned char>(dump[at + i]);
        v |= static_cast<std::uint32_t>(b) << (msb_first ? 8 * (3 - i) : 8 * i);
      }
      const std::size_t o = (static_cast<std::size_t>(y) * width + x) * 3;
      image.rgb[o] = static_cast<std::uint8_t>(v >> 16);
      image.rgb[o + 1] = static_cast<std::uint8_t>(v >> 8);
      image.rgb[o + 2] = static_cast<std::uint8_t>(v);
    }
  }
  return image;
}

}  // namespace testing_support
