// One UDP socket that speaks with several peers: the room server and the
// other player's machine on a direct path (one socket, so that the way a
// home router opens for the server serves the direct path too).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "online/protocol/datagrams.h"
#include "online/transport/udp_link.h"

namespace online {

class UdpDatagrams final : public Datagrams {
 public:
  // Binds `port` (0: any free one) as a host's link does; nothing, with
  // the reason in `error`, when it cannot.
  static std::unique_ptr<UdpDatagrams> open(std::uint16_t port,
                                            std::string& error);

  void send_to(std::string_view to,
               std::span<const std::uint8_t> bytes) override;
  std::optional<Datagram> receive() override;
  std::optional<std::string> name_of(std::string_view address) const override;

  std::uint16_t local_port() const { return link_->local_port(); }
  const UdpCounts& counts() const { return link_->counts(); }
  // Datagrams to an address the socket cannot send to.
  std::uint64_t unsendable() const { return unsendable_; }

 private:
  explicit UdpDatagrams(std::unique_ptr<UdpLink> link)
      : link_(std::move(link)) {}
  std::unique_ptr<UdpLink> link_;
  std::uint64_t unsendable_ = 0;
};

// The name of the first address of `address` (HOST, HOST:PORT,
// [IPV6]:PORT; `default_port` when it names none) as datagrams from it
// carry it: a name lookup, which may block. Nothing, with the reason in
// `error`, when it cannot be found.
std::optional<std::string> resolve_address(std::string_view address,
                                           std::uint16_t default_port,
                                           std::string& error);

}  // namespace online
