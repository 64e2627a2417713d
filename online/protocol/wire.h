// The two halves of the byte format: a Writer that appends little-endian
// fixed-width fields, and a Reader that takes them back and checks each
// against its bounds. Both offer the same calls, so one description of a
// message's fields serves encoding and decoding. The Reader stops at the
// first fault and keeps its reason; every later call then does nothing.
#pragma once

#include <algorithm>
#include <cmath>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace online::wire {

class Writer {
 public:
  template <std::unsigned_integral Wire, class T>
  void number(const T& v, std::int64_t, std::int64_t, const char* = "") {
    put(static_cast<Wire>(v));
  }
  template <class E>
  void choice(const E& v, E, E) {
    put(static_cast<std::uint8_t>(v));
  }
  void flag(const bool& v) { put(static_cast<std::uint8_t>(v ? 1 : 0)); }
  void real(const float& v, float, float) {
    std::uint32_t w = 0;
    std::memcpy(&w, &v, sizeof w);  // the browser's library has no bit_cast
    put(w);
  }
  void text(const std::string& s, std::size_t) {
    put(static_cast<std::uint8_t>(s.size()));
    bytes_.insert(bytes_.end(), s.begin(), s.end());
  }
  void whole64(const std::uint64_t& v) { put(v); }
  template <class T, class Each>
  void list(const std::vector<T>& items, std::size_t, Each each) {
    put(static_cast<std::uint8_t>(items.size()));
    for (const T& item : items) each(item);
  }
  void blob(const std::vector<std::uint8_t>& b, std::size_t) {
    put(static_cast<std::uint16_t>(b.size()));
    bytes_.insert(bytes_.end(), b.begin(), b.end());
  }
  void require(bool, const char*) {}

  std::vector<std::uint8_t> take() { return std::move(bytes_); }

 private:
  template <std::unsigned_integral U>
  void put(U v) {
    for (std::size_t i = 0; i < sizeof(U); ++i) {
      bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
  }
  std::vector<std::uint8_t> bytes_;
};

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // Reads a field of Wire's width; a range that reaches below zero is sent
  // in two's complement.
  template <std::unsigned_integral Wire, class T>
  void number(T& v, std::int64_t lo, std::int64_t hi,
              const char* reason = "range") {
    Wire w = 0;
    if (!get(w)) return;
    std::int64_t value = static_cast<std::int64_t>(w);
    if (lo < 0) value = static_cast<std::make_signed_t<Wire>>(w);
    if (value < lo || value > hi) return fail(reason);
    v = static_cast<T>(value);
  }
  template <class E>
  void choice(E& v, E lo, E hi) {
    std::uint8_t w = 0;
    if (!get(w)) return;
    if (w < static_cast<std::uint8_t>(lo) || w > static_cast<std::uint8_t>(hi))
      return fail("range");
    v = static_cast<E>(w);
  }
  void flag(bool& v) {
    std::uint8_t w = 0;
    if (!get(w)) return;
    if (w > 1) return fail("range");
    v = w == 1;
  }
  void real(float& v, float lo, float hi) {
    std::uint32_t w = 0;
    if (!get(w)) return;
    float f = 0.0f;
    std::memcpy(&f, &w, sizeof f);
    if (!std::isfinite(f) || f < lo || f > hi) return fail("range");
    v = f;
  }
  void text(std::string& s, std::size_t max) {
    std::uint8_t size = 0;
    if (!get(size)) return;
    if (size > max) return fail("text");
    if (bytes_.size() - at_ < size) return fail("truncated");
    const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(at_);
    if (!std::all_of(begin, begin + size,
                     [](std::uint8_t c) { return c >= 0x20 && c < 0x7f; })) {
      return fail("text");
    }
    s.assign(begin, begin + size);
    at_ += size;
  }
  void whole64(std::uint64_t& v) { get(v); }
  // The count is checked before anything is made, so a peer makes us hold
  // no more than `max` items.
  template <class T, class Each>
  void list(std::vector<T>& items, std::size_t max, Each each) {
    std::uint8_t count = 0;
    if (!get(count)) return;
    if (count > max) return fail("count");
    items.resize(count);
    for (T& item : items) {
      if (!error_.empty()) return;
      each(item);
    }
  }
  // Bytes taken as they are (a message within a message), at most `max`.
  void blob(std::vector<std::uint8_t>& b, std::size_t max) {
    std::uint16_t size = 0;
    if (!get(size)) return;
    if (size > max) return fail("count");
    if (bytes_.size() - at_ < size) return fail("truncated");
    const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(at_);
    b.assign(begin, begin + size);
    at_ += size;
  }
  void require(bool ok, const char* reason) {
    if (!ok) fail(reason);
  }

  bool at_end() const { return at_ == bytes_.size(); }
  const std::string& error() const { return error_; }

 private:
  template <std::unsigned_integral U>
  bool get(U& v) {
    if (!error_.empty()) return false;
    if (bytes_.size() - at_ < sizeof(U)) {
      fail("truncated");
      return false;
    }
    v = 0;
    for (std::size_t i = 0; i < sizeof(U); ++i) {
      v |= static_cast<U>(static_cast<U>(bytes_[at_ + i]) << (8 * i));
    }
    at_ += sizeof(U);
    return true;
  }
  void fail(const char* reason) {
    if (error_.empty()) error_ = reason;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  std::string error_;
};

}  // namespace online::wire
