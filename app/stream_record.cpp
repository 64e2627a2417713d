#include "app/stream_record.h"

#include "replay/online_input.h"

void StreamRecord::begin(long tick) {
  flush();
  unrecorded_ = tick;
  hashes_.reset();
  if (tick > 0 && tick % 60 == 0) hashes_ = replay::state_hashes_now();
  if (replay::dump_due(tick)) replay::write_dump(replay::state_dump_now());
}

void StreamRecord::flush() {
  if (!unrecorded_) return;
  const auto& seats = stream_.at(*unrecorded_);
  replay::record_final_tick(*unrecorded_, seats[0], seats[1], hashes_);
  unrecorded_.reset();
}
