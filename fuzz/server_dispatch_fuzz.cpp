// The server's rooms as hostile peers drive them: a run of steps, each from
// one of a few peers at a later time, either any bytes or a message built
// around a ticket, code or stream the server gave earlier (so the fuzzer
// gets past the seat checks it could never forge). The hub must take it
// all without a crash and send only messages that decode.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "online/protocol/messages.h"
#include "server/rooms/hub.h"

namespace {

using namespace server::rooms;

struct Capture : Outbox {
  std::vector<online::Ticket> tickets;
  void send(PeerId, std::span<const std::uint8_t> bytes) override {
    std::string error;
    const auto m = online::decode(bytes, error);
    // Relayed payloads are the peers' bytes; all else is the server's own.
    if (!m) return;
    if (const auto* o = std::get_if<online::RoomOpened>(&*m)) {
      tickets.push_back(o->ticket);
    }
    if (const auto* e = std::get_if<online::RoomEntered>(&*m)) {
      tickets.push_back(e->ticket);
    }
    if (tickets.size() > 64) tickets.erase(tickets.begin());
  }
};

online::Ticket pick(FuzzedDataProvider& in, const Capture& out) {
  if (out.tickets.empty()) return {};
  online::Ticket t =
      out.tickets[in.ConsumeIntegral<std::uint8_t>() % out.tickets.size()];
  if (in.ConsumeIntegral<std::uint8_t>() == 0) t.secret ^= 1;
  return t;
}

std::vector<std::array<online::TickEvents, 2>> ticks(FuzzedDataProvider& in) {
  std::vector<std::array<online::TickEvents, 2>> out(
      in.ConsumeIntegralInRange<std::size_t>(0, 40));
  for (auto& tick : out) {
    for (auto& seat : tick) {
      if (in.ConsumeBool()) {
        seat.push_back({online::EventKind::key,
                        in.ConsumeIntegral<std::uint8_t>(), 0, in.ConsumeBool(),
                        0.0f});
      }
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  FuzzedDataProvider in(data, size);
  Capture out;
  Figures figures;
  HubSetup setup;
  setup.limits.idle_seconds = 3;
  setup.limits.stream_bytes_per_room = 4096;
  setup.limits.spectators_per_room = 4;
  std::uint32_t seed = 1;
  setup.random = [&seed](std::span<std::uint8_t> bytes) {
    for (auto& b : bytes)
      b = std::uint8_t((seed = seed * 1103515245 + 12345) >> 16);
  };
  setup.boot = in.ConsumeIntegral<std::uint8_t>();
  Hub hub(setup, out, figures);
  Time now{};
  for (int step = 0; step < 200 && in.remaining_bytes() > 0; ++step) {
    now += std::chrono::milliseconds(in.ConsumeIntegral<std::uint8_t>() * 20);
    const std::uint8_t who = in.ConsumeIntegral<std::uint8_t>() % 6;
    Peer peer{
        PeerId(who + 2), "10.0.0." + std::to_string(who % 3),
        "10.0.0." + std::to_string(who % 3) + ":" + std::to_string(1000 + who),
        who < 4};
    std::vector<std::uint8_t> bytes;
    const std::uint32_t nonce = in.ConsumeIntegral<std::uint8_t>();
    switch (in.ConsumeIntegral<std::uint8_t>() % 8) {
      case 0:
        bytes = in.ConsumeBytes<std::uint8_t>(
            in.ConsumeIntegralInRange<std::size_t>(0, 1300));
        break;
      case 1:
        bytes = online::encode(online::OpenRoom{
            nonce,
            "1",
            in.ConsumeBool() ? "a" : "b",
            {},
            in.ConsumeBool() ? pick(in, out) : online::Ticket{}});
        break;
      case 2: {
        const online::Ticket t = pick(in, out);
        bytes = online::encode(online::EnterRoom{
            nonce, t.code.empty() ? "ABCDEFGH" : t.code,
            in.ConsumeBool() ? online::Role::guest : online::Role::spectator,
            "1", "a"});
        break;
      }
      case 3:
        bytes = online::encode(online::Relay{
            pick(in, out), in.ConsumeBytes<std::uint8_t>(
                               in.ConsumeIntegralInRange<std::size_t>(0, 64))});
        break;
      case 4:
        bytes =
            online::encode(online::Presence{pick(in, out), in.ConsumeBool()});
        break;
      case 5:
        bytes = online::encode(
            online::Stream{pick(in, out), in.ConsumeIntegral<std::uint8_t>(),
                           in.ConsumeIntegralInRange<std::uint32_t>(0, 300),
                           in.ConsumeBool(), ticks(in)});
        break;
      case 6:
        bytes = online::encode(online::StreamAck{
            pick(in, out), in.ConsumeIntegral<std::uint8_t>(),
            in.ConsumeIntegralInRange<std::uint32_t>(0, 400)});
        break;
      default:
        hub.tick(now);
        continue;
    }
    hub.receive(peer, bytes, now);
    hub.tick(now);
  }
  const Population p = hub.population();
  if (p.players < p.rooms || p.players > 2 * p.rooms) std::abort();
  return 0;
}
