#include "server/net/udp_front.h"

#include <boost/asio/ip/v6_only.hpp>
#include <span>

namespace server::net {

UdpFront::UdpFront(boost::asio::io_context& io, const udp::endpoint& at,
                   rooms::Hub& hub, Peers& peers)
    : socket_(io), hub_(hub), peers_(peers) {
  socket_.open(at.protocol());
  if (at.address().is_v6()) socket_.set_option(boost::asio::ip::v6_only(false));
  socket_.bind(at);
  // Room for bursts while the one thread is busy elsewhere.
  socket_.set_option(udp::socket::receive_buffer_size(4 << 20));
  socket_.set_option(udp::socket::send_buffer_size(4 << 20));
  socket_.non_blocking(true);
  peers_.use_socket(&socket_);
  receive();
}

void UdpFront::receive() {
  socket_.async_receive_from(
      boost::asio::buffer(buffer_), from_,
      [this](const boost::system::error_code& error, std::size_t size) {
        if (error == boost::asio::error::operation_aborted) return;
        if (!error) take(size);
        // What else has come meanwhile, without a wait for each datagram.
        for (int more = 0; more < 64; ++more) {
          boost::system::error_code again;
          const std::size_t n = socket_.receive_from(
              boost::asio::buffer(buffer_), from_, 0, again);
          if (again) break;
          take(n);
        }
        receive();
      });
}

void UdpFront::take(std::size_t size) {
  const rooms::Time now = rooms::Clock::now();
  hub_.receive(peers_.udp_peer(from_, now),
               std::span<const std::uint8_t>(buffer_.data(), size), now);
}

}  // namespace server::net
