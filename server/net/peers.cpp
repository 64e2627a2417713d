#include "server/net/peers.h"

namespace server::net {

std::string client_text(const boost::asio::ip::address& address) {
  if (address.is_v6() && address.to_v6().is_v4_mapped()) {
    return boost::asio::ip::make_address_v4(boost::asio::ip::v4_mapped,
                                            address.to_v6())
        .to_string();
  }
  return address.to_string();
}

rooms::Peer Peers::udp_peer(const udp::endpoint& from, rooms::Time now) {
  auto [it, fresh] = by_endpoint_.try_emplace(from, next_udp_);
  if (fresh) next_udp_ += 2;
  remotes_[it->second] = Remote{from, now};
  rooms::Peer peer;
  peer.id = it->second;
  peer.client = client_text(from.address());
  peer.address = peer.client.find(':') == std::string::npos
                     ? peer.client + ":" + std::to_string(from.port())
                     : "[" + peer.client + "]:" + std::to_string(from.port());
  peer.datagram = true;
  return peer;
}

rooms::PeerId Peers::add_connection(std::weak_ptr<Connection> connection) {
  const rooms::PeerId id = next_connection_;
  next_connection_ += 2;
  connections_[id] = std::move(connection);
  return id;
}

void Peers::remove_connection(rooms::PeerId id) { connections_.erase(id); }

void Peers::sweep(rooms::Time now) {
  std::erase_if(remotes_, [&](const auto& r) {
    if (now - r.second.heard < std::chrono::minutes(2)) return false;
    by_endpoint_.erase(r.second.endpoint);
    return true;
  });
}

void Peers::send(rooms::PeerId peer, std::span<const std::uint8_t> bytes) {
  if (peer % 2 == 1) {
    const auto it = connections_.find(peer);
    if (it == connections_.end()) return figures_.dropped("peer_gone");
    if (const auto connection = it->second.lock())
      return connection->send(bytes);
    return figures_.dropped("peer_gone");
  }
  const auto it = remotes_.find(peer);
  if (it == remotes_.end() || socket_ == nullptr) {
    return figures_.dropped("peer_gone");
  }
  boost::system::error_code error;
  socket_->send_to(boost::asio::buffer(bytes.data(), bytes.size()),
                   it->second.endpoint, 0, error);
  if (error) figures_.dropped("send_failed");
}

}  // namespace server::net
