// A room server of the tests, in-process on loopback: rooms by invite code,
// the relay between the host and its guest, the host's stream kept and fed
// to spectators from tick 0. Only what the game's side needs, on a thread
// of its own, bounded in time; forget() drops every room as a restarted
// server would have lost them (the seats' secrets stay good).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace testing_support {

class RoomServerFake {
 public:
  struct Counts {
    std::uint64_t rooms_opened = 0;
    std::uint64_t guests_entered = 0;
    std::uint64_t relayed = 0;
    std::uint64_t stream_ticks = 0;  // the room's stream as kept
    bool stream_ended = false;
  };

  // The one room it gives has `code`; it ends when its host is unheard
  // for `idle`.
  explicit RoomServerFake(
      std::string code = "WXYZ2345",
      std::chrono::milliseconds idle = std::chrono::seconds(30),
      std::chrono::milliseconds time_limit = std::chrono::seconds(200));
  ~RoomServerFake();
  RoomServerFake(const RoomServerFake&) = delete;
  RoomServerFake& operator=(const RoomServerFake&) = delete;

  std::uint16_t port() const;
  Counts counts() const;
  void forget();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace testing_support
