// Playing a stream of final ticks (a spectator's, or a guest's catching up
// on a game under way) writes what the players' machines write: each tick
// is recorded when the next begins, after the lines of the start, with the
// check taken from the state that began it; its dump is written as it
// begins.
#pragma once

#include <optional>

#include "online/rooms/final_stream.h"
#include "replay/replay.h"

class StreamRecord {
 public:
  explicit StreamRecord(const online::FinalStream& stream) : stream_(stream) {}

  // `tick`, which the stream holds, begins.
  void begin(long tick);
  // The tick begun last is recorded now: the game ends, or live play takes
  // over the recording.
  void flush();

 private:
  const online::FinalStream& stream_;
  std::optional<long> unrecorded_;
  std::optional<replay::StateChecks> hashes_;
};
