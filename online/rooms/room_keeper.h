// The host's part in its room while the game goes on: the final ticks go
// to the server as a stream (which it feeds to spectators), resent until
// acknowledged; when the server has lost the room (it restarted), the
// room is asked back by the host's ticket and the stream resent from
// where the server's acknowledgement says. A brief stall, not an end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "online/rooms/final_stream.h"
#include "online/rooms/room_link.h"

namespace online {

class RoomKeeper {
 public:
  // `request`: how the room was opened (its settings are asked for again).
  RoomKeeper(RoomLink& link, Clock& clock, OpenRoom request,
             std::uint32_t session);

  FinalStream& stream() { return stream_; }
  // Takes the server's answers and sends what is due. Returns a line for
  // the online: lines when the room was lost or is back, else "". What
  // is not the server's (another seat's stream acknowledgement) goes to
  // `others` when set.
  std::string poll();
  std::function<void(const Message&)> others;
  // Polls until the server has the whole stream, its end included, or
  // `timeout_ms` pass.
  void finish(std::uint32_t timeout_ms);
  bool room_lost() const { return lost_; }

 private:
  void lose();

  RoomLink& link_;
  Clock& clock_;
  OpenRoom request_;
  FinalStream stream_;
  StreamSender to_server_;
  bool lost_ = false;
  std::uint32_t last_ask_ms_ = 0;
  bool told_full_ = false;
};

}  // namespace online
