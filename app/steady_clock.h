// The online layers' clock: milliseconds since the game started, and sleep.
#pragma once

#include <chrono>
#include <cstdint>

#include "online/session/session.h"
#include "platform/platform.h"

class SteadyClock : public online::Clock {
 public:
  std::uint32_t now_ms() override {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start_)
            .count());
  }
  // The platform's sleep: in the browser it hands control to the page,
  // which is where the WebSocket's messages come in.
  void sleep_ms(int ms) override { platform::delay(ms); }

 private:
  std::chrono::steady_clock::time_point start_ =
      std::chrono::steady_clock::now();
};
