#include "server/rooms/seat_secrets.h"

#include <vector>

namespace server::rooms {

namespace {

std::uint64_t rotl(std::uint64_t x, int b) {
  return (x << b) | (x >> (64 - b));
}

std::uint64_t read_le(const std::uint8_t* p, std::size_t n) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t(p[i]) << (8 * i);
  return v;
}

struct State {
  std::uint64_t v0, v1, v2, v3;
  void round() {
    v0 += v1;
    v1 = rotl(v1, 13);
    v1 ^= v0;
    v0 = rotl(v0, 32);
    v2 += v3;
    v3 = rotl(v3, 16);
    v3 ^= v2;
    v0 += v3;
    v3 = rotl(v3, 21);
    v3 ^= v0;
    v2 += v1;
    v1 = rotl(v1, 17);
    v1 ^= v2;
    v2 = rotl(v2, 32);
  }
  void eat(std::uint64_t m) {
    v3 ^= m;
    round();
    round();
    v0 ^= m;
  }
};

}  // namespace

std::uint64_t siphash24(const SeatKey& key,
                        std::span<const std::uint8_t> data) {
  const std::uint64_t k0 = read_le(key.data(), 8);
  const std::uint64_t k1 = read_le(key.data() + 8, 8);
  State s{k0 ^ 0x736f6d6570736575ull, k1 ^ 0x646f72616e646f6dull,
          k0 ^ 0x6c7967656e657261ull, k1 ^ 0x7465646279746573ull};
  const std::size_t whole = data.size() / 8 * 8;
  for (std::size_t i = 0; i < whole; i += 8) s.eat(read_le(&data[i], 8));
  const std::uint64_t last = (std::uint64_t(data.size() & 0xff) << 56) |
                             read_le(data.data() + whole, data.size() - whole);
  s.eat(last);
  s.v2 ^= 0xff;
  for (int i = 0; i < 4; ++i) s.round();
  return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

std::uint64_t SeatSecrets::secret(std::string_view code,
                                  std::uint32_t seat) const {
  // The code's length first, so no code and seat read as another pair.
  std::vector<std::uint8_t> data;
  data.push_back(std::uint8_t(code.size()));
  data.insert(data.end(), code.begin(), code.end());
  for (int i = 0; i < 4; ++i) data.push_back(std::uint8_t(seat >> (8 * i)));
  return siphash24(key_, data);
}

online::Ticket SeatSecrets::ticket(std::string_view code,
                                   std::uint32_t seat) const {
  return {std::string(code), seat, secret(code, seat)};
}

bool SeatSecrets::valid(const online::Ticket& ticket) const {
  return !ticket.code.empty() &&
         ticket.secret == secret(ticket.code, ticket.seat);
}

}  // namespace server::rooms
