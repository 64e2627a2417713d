// The session's link in a room of the server: one socket that reaches the
// other seat through the server (each message in a Relay envelope out; the
// server's forwarded payloads in) or directly. A guest that knows the
// host's address tries both once the host's game speaks, and keeps the
// direct path when the host answers on it within a short while, else the
// relay; the host answers on the path the guest's latest messages came by
// (directly while any of them still come that way). The link also says the
// seat is there (Presence every second) and keeps the server's own
// messages and the streams for whoever runs the room.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "online/protocol/datagrams.h"
#include "online/protocol/link.h"
#include "online/protocol/messages.h"
#include "online/session/session.h"

namespace online {

enum class Path {
  both,    // a guest still finding out whether the direct path works
  relay,   // through the server
  direct,  // straight to the other machine
};

struct RoomLinkCounts {
  long dropped = 0;    // undecodable, or a kind nobody here takes
  long strangers = 0;  // from neither the server nor the other seat
  long overflow = 0;   // dropped: the queue was full
};

class RoomLink final : public Link {
 public:
  // `server`: the server's name as datagrams from it carry it.
  RoomLink(Datagrams& socket, Clock& clock, std::string server);

  // The seat the server gave (sent with every relayed message and
  // presence); until then, nothing is relayed.
  void set_ticket(const Ticket& ticket) { ticket_ = ticket; }
  const Ticket& ticket() const { return ticket_; }
  // The guest: the host's address, tried beside the relay until
  // `window_ms` after the host's first inputs came.
  void try_direct(const std::string& host, std::uint32_t window_ms);

  void send(std::span<const std::uint8_t> message) override;
  // A message for the session (hello, welcome, inputs, checks, goodbyes).
  std::optional<std::vector<std::uint8_t>> receive() override;
  // "127.0.0.1:4762 by the relay", "192.0.2.7:5000 directly".
  std::string describe() const override;

  // A message to the server itself (not relayed).
  void send_to_server(const Message& message);
  // The next of what came that is not the session's: the server's own
  // answers, and streams and their acknowledgements from either side.
  std::optional<Message> next_other();
  // Reads what has come and sends the presence when it is due.
  void pump();
  // Tells the server this seat leaves (a few copies, not answered).
  void leave();

  Path path() const { return path_; }
  const RoomLinkCounts& counts() const { return counts_; }

 private:
  void take(Datagram datagram);
  void decide(std::uint32_t now);

  Datagrams& socket_;
  Clock& clock_;
  std::string server_;
  Ticket ticket_;
  Path path_ = Path::relay;
  std::string direct_;                   // the other machine's name, when known
  std::optional<std::string> guest_of_;  // the guest: the host's address
  std::uint32_t window_ms_ = 0;
  std::optional<std::uint32_t> choose_until_ms_;
  std::optional<std::uint32_t> direct_heard_ms_;  // the host: the guest's
  std::uint32_t last_presence_ms_ = 0;
  std::deque<std::vector<std::uint8_t>> for_session_;
  std::deque<Message> others_;
  RoomLinkCounts counts_;
};

}  // namespace online
