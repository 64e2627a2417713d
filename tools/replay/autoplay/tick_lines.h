// The script lines an automatic player sends in one tick.
#pragma once

#include <string>

class TickLines {
 public:
  explicit TickLines(long tick) : tick_(tick) {}

  void add(const std::string& event) {
    text_ += std::to_string(tick_) + " " + event + "\n";
  }
  void mouse(int x, int y) {
    add("mouse " + std::to_string(x) + " " + std::to_string(y));
  }
  // Down and up in one tick: one press, nothing left held.
  void click() {
    add("button 1 down");
    add("button 1 up");
  }
  void key_press(int code) {
    add("key " + std::to_string(code) + " down");
    add("key " + std::to_string(code) + " up");
  }

  long tick() const { return tick_; }
  const std::string& text() const { return text_; }

 private:
  long tick_;
  std::string text_;
};
