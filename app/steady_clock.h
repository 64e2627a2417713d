// The online layers' clock: milliseconds since the game started, and sleep.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

#include "online/session/session.h"

class SteadyClock : public online::Clock {
 public:
  std::uint32_t now_ms() override {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start_)
            .count());
  }
  void sleep_ms(int ms) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

 private:
  std::chrono::steady_clock::time_point start_ =
      std::chrono::steady_clock::now();
};
