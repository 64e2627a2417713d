#include "server/net/tcp_front.h"

#include <boost/asio/ip/v6_only.hpp>
#include <memory>

#include "server/net/http_session.h"

namespace server::net {

TcpFront::TcpFront(boost::asio::io_context& io, const tcp::endpoint& at,
                   TcpShared& shared)
    : acceptor_(io), shared_(shared) {
  acceptor_.open(at.protocol());
  acceptor_.set_option(tcp::acceptor::reuse_address(true));
  if (at.address().is_v6()) {
    acceptor_.set_option(boost::asio::ip::v6_only(false));
  }
  acceptor_.bind(at);
  acceptor_.listen();
  accept();
}

void TcpFront::accept() {
  acceptor_.async_accept(
      [this](const boost::system::error_code& error, tcp::socket socket) {
        if (error == boost::asio::error::operation_aborted) return;
        if (!error) {
          std::make_shared<HttpSession>(std::move(socket), shared_)->start();
        }
        accept();
      });
}

}  // namespace server::net
