#include "online/rooms/room_keeper.h"

#include "online/protocol/invite_code.h"

namespace online {
namespace {

constexpr std::uint32_t ask_again_ms = 500;

// The server's own acknowledgement names the host's seat (or none); a
// guest's names the guest's.
bool from_the_server(const StreamAck& ack) { return ack.ticket.seat == 0; }

}  // namespace

RoomKeeper::RoomKeeper(RoomLink& link, Clock& clock, OpenRoom request,
                       std::uint32_t session)
    : link_(link),
      clock_(clock),
      request_(std::move(request)),
      to_server_(stream_, link.ticket(), session) {}

void RoomKeeper::lose() {
  if (lost_) return;
  lost_ = true;
  last_ask_ms_ = clock_.now_ms() - ask_again_ms;
}

std::string RoomKeeper::poll() {
  std::string line;
  const std::uint32_t now = clock_.now_ms();
  while (auto message = link_.next_other()) {
    if (const auto* ack = std::get_if<StreamAck>(&*message)) {
      if (!from_the_server(*ack)) {
        if (others) others(*message);
      } else if (!lost_) {
        to_server_.acknowledged(ack->next_tick, now);
      }
    } else if (const auto* refused = std::get_if<RoomRefused>(&*message)) {
      const RoomError r = refused->reason;
      if (!lost_ && (r == RoomError::no_room || r == RoomError::seat ||
                     r == RoomError::expired)) {
        lose();
        line = "the server lost room " + shown_code(link_.ticket().code) +
               "; asking for it again";
      }
    } else if (const auto* opened = std::get_if<RoomOpened>(&*message)) {
      if (lost_ && opened->nonce == request_.nonce &&
          opened->ticket.code == link_.ticket().code) {
        lost_ = false;
        link_.set_ticket(opened->ticket);
        to_server_.set_ticket(opened->ticket);
        line = "room " + shown_code(opened->ticket.code) + " is back";
      }
    } else if (others) {
      others(*message);
    }
  }
  if (lost_) {
    if (now - last_ask_ms_ >= ask_again_ms) {
      last_ask_ms_ = now;
      OpenRoom again = request_;
      again.resume = link_.ticket();
      link_.send_to_server(again);
    }
    return line;
  }
  for (const Stream& s : to_server_.due(now)) link_.send_to_server(s);
  if (stream_.size() >= FinalStream::max_ticks && !told_full_) {
    told_full_ = true;
    line = "the game is longer than the server keeps: spectators see no more";
  }
  return line;
}

void RoomKeeper::finish(std::uint32_t timeout_ms) {
  stream_.end();
  const std::uint32_t start = clock_.now_ms();
  while (!to_server_.done() && clock_.now_ms() - start < timeout_ms) {
    poll();
    clock_.sleep_ms(2);
  }
}

}  // namespace online
