// A way to the other side that sends and receives whole messages without
// blocking. A message may be lost, duplicated or arrive out of order.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace online {

class Link {
 public:
  virtual ~Link() = default;
  virtual void send(std::span<const std::uint8_t> message) = 0;
  virtual std::optional<std::vector<std::uint8_t>> receive() = 0;
  virtual std::string describe() const = 0;
};

}  // namespace online
