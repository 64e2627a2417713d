// FNV-1a, 32 bits: the one hash of replay checks, of the events a replay
// holds and of the game's state in its checks.
#pragma once

#include <cstdint>
#include <string_view>

namespace replay {

class Fnv1a {
 public:
  static constexpr std::uint32_t start = 2166136261u;

  explicit Fnv1a(std::uint32_t from = start) : h_(from) {}
  Fnv1a& byte(unsigned char b) {
    h_ ^= b;
    h_ *= 16777619u;
    return *this;
  }
  Fnv1a& bytes(std::string_view text) {
    for (unsigned char c : text) byte(c);
    return *this;
  }
  // A 32-bit value as its four bytes, lowest first.
  Fnv1a& word(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) byte(static_cast<unsigned char>(v >> (8 * i)));
    return *this;
  }
  std::uint32_t value() const { return h_; }

 private:
  std::uint32_t h_;
};

}  // namespace replay
