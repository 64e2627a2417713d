// A real X display for the tests that need one: an Xvfb server of its own,
// optionally a window manager on it, xdotool to drive it and a read-back of
// its screen or of one window.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class XServer {
 public:
  // A server with one screen of `width` x `height` on a display number it
  // picks itself (-displayfd), ready once that number has been read; with
  // `window_manager`, openbox runs on it.
  explicit XServer(int width = 800, int height = 600,
                   bool window_manager = false);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool ready() const { return !display_.empty(); }
  std::string display() const { return ":" + display_; }
  // The server's process, for tests that freeze it (SIGSTOP).
  pid_t pid() const { return server_; }

 private:
  pid_t server_ = -1;
  pid_t manager_ = -1;
  std::string display_;
};

// Runs xdotool on `display`; its first line of output.
std::string xdotool(const std::string& display, const std::string& args);

// What the X server shows: the whole screen (`window` empty) or one window,
// as RGB rows top to bottom.
struct XImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  bool ok() const { return width > 0; }
  // {r, g, b} at (x, y).
  std::uint32_t at(int x, int y) const;
};
XImage read_x_image(const std::string& display, const std::string& window = "");

}  // namespace testing_support
