// A misbehaving network on loopback for tests: a proxy that forwards each
// datagram from its client to a target and the target's answers back, late
// (delay ± jitter, so some overtake others), now and then lost, sent twice
// or held back behind later ones, as a seeded generator decides. It runs on a
// thread of its own, so a test polls its links (or runs its games) while
// datagrams are in flight, reads the proxy's counts directly and ends it with
// the object; it stops by itself at a time limit and holds a bounded number of
// datagrams.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace testing_support {

struct Impairment {
  std::chrono::milliseconds delay{0};
  std::chrono::milliseconds jitter{0};  // each copy: delay ± jitter, uniform
  double loss = 0.0;                    // chance a datagram is dropped
  double duplicate = 0.0;               // chance it is sent twice
  double reorder = 0.0;                 // chance it is held back by held_back
  std::chrono::milliseconds held_back{30};
};

// What one direction did.
struct ImpairCounts {
  std::uint64_t received = 0;
  std::uint64_t lost = 0;
  std::uint64_t duplicated = 0;
  std::uint64_t overflowed = 0;  // dropped: max_held were waiting
  std::uint64_t held_back = 0;   // chosen to be held back
  std::uint64_t overtaken = 0;   // sent after one that came later
  std::uint64_t sent = 0;
};

class UdpImpair {
 public:
  struct Options {
    std::string loopback = "127.0.0.1";  // or "::1"; the target listens there
    std::uint16_t target_port = 0;
    Impairment to_target;
    Impairment to_client;
    std::uint64_t seed = 1;
    std::chrono::milliseconds time_limit{20000};
    std::size_t max_held = 512;
  };
  struct Counts {
    ImpairCounts to_target;
    ImpairCounts to_client;
    std::uint64_t strangers = 0;  // from neither the client nor the target
    std::size_t held = 0;         // waiting to go out now
  };

  // Listens on a free port of `loopback`; the first sender is the client.
  // std::runtime_error when the address is not a loopback one or the port
  // cannot be had.
  explicit UdpImpair(const Options& options);
  ~UdpImpair();
  UdpImpair(const UdpImpair&) = delete;
  UdpImpair& operator=(const UdpImpair&) = delete;

  std::uint16_t port() const;
  Counts counts() const;
  // Drops what is held and ends the thread.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace testing_support
