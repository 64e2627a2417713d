#include "tools/replay/autoplay/mischief.h"

#include <cstdlib>
#include <string>

#include "world/world.h"

namespace {

constexpr int key_escape = 27, key_space = 32, key_control = 162;
constexpr int port_count = 4, button_count = 17;
constexpr int exit_line = 7;

int line_y(int line) { return 260 + 20 * line; }

std::string joy(int port, const std::string& event) {
  return "joy " + std::to_string(port) + " " + event;
}

}  // namespace

// A pointer row away from the menus' last line, which ends the program on
// the title and abandons the game when paused (a stick on port 0 may still
// drag the pointer 4 pixels a frame before the menu reads it).
void Mischief::pointer_to_safe_row(TickLines& out) {
  int y = 0;
  do {
    y = chance(0.5) ? line_y(below(7)) + below(11) - 5 : below(480);
  } while (std::abs(y - line_y(exit_line)) < 30);
  out.mouse(below(640), y);
}

void Mischief::stick_event(TickLines& out) {
  if (ports_.empty() || chance(0.15)) {
    const int port = below(port_count);
    if (ports_.erase(port) != 0) {
      out.add(joy(port, "disconnect"));
      std::erase_if(held_, [port](const auto& h) { return h.first == port; });
    } else {
      out.add(joy(port, "connect"));
      ports_.insert(port);
    }
    return;
  }
  auto it = ports_.begin();
  std::advance(it, below(static_cast<int>(ports_.size())));
  const int port = *it;
  if (chance(0.6)) {
    const int r = below(10);
    const std::string value = r < 4 ? (chance(0.5) ? "-1" : "1")
                              : r < 5
                                  ? "0"
                                  : std::to_string(below(2001) / 1000.0 - 1);
    out.add(joy(port, "axis " + std::to_string(below(2)) + " " + value));
    return;
  }
  const int button = below(button_count);
  // Button 0 of stick 0 also picks the menu line under the pointer.
  if (button == 0 && port == 0) pointer_to_safe_row(out);
  const std::string b = "button " + std::to_string(button);
  if (held_.erase({port, button}) != 0) {
    out.add(joy(port, b + " up"));
  } else if (chance(0.3)) {
    out.add(joy(port, b + " down"));
    held_.insert({port, button});
  } else {
    out.add(joy(port, b + " down"));
    out.add(joy(port, b + " up"));
  }
}

void Mischief::tick(TickLines& out, bool may_leave_game) {
  if (focus_back_ >= 0) {
    if (out.tick() >= focus_back_) {
      out.add("focus gained");
      focus_back_ = -1;
    }
    return;
  }
  if (!chance(0.2)) return;
  const int r = below(100);
  if (r < 30) {
    out.mouse(below(640), below(480));
  } else if (r < 50) {
    pointer_to_safe_row(out);
    out.click();
  } else if (r < 57) {
    out.key_press(key_control);
  } else if (r < 62) {
    out.key_press(key_space);
  } else if (r < 64) {
    // Playing: pause. Paused: back to the title, abandoning the game.
    const bool leaves = game_state == state_paused;
    if (game_state == state_playing || (leaves && may_leave_game)) {
      out.key_press(key_escape);
    }
  } else if (r < 67) {
    out.add("focus lost");
    focus_back_ = out.tick() + 1 + below(30);
  } else {
    stick_event(out);
  }
}

bool Mischief::settle(TickLines& out) {
  const bool settled = held_.empty() && focus_back_ < 0;
  for (const auto& [port, button] : held_) {
    out.add(joy(port, "button " + std::to_string(button) + " up"));
  }
  held_.clear();
  if (focus_back_ >= 0) out.add("focus gained");
  focus_back_ = -1;
  for (int port : ports_) {
    out.add(joy(port, "axis 0 0"));
    out.add(joy(port, "axis 1 0"));
  }
  return settled;
}
