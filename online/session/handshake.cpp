#include "online/session/handshake.h"

namespace online {
namespace {

constexpr std::uint32_t hello_every_ms = 250;

std::optional<Message> next_message(Link& link) {
  auto bytes = link.receive();
  if (!bytes) return std::nullopt;
  std::string error;
  return decode(*bytes, error);
}

}  // namespace

std::optional<Refuse> refusal(const Hello& ours, const Hello& theirs) {
  if (theirs.game_version != ours.game_version) {
    return Refuse{theirs.nonce, RefuseReason::version, ours.game_version};
  }
  if (theirs.build != ours.build)
    return Refuse{theirs.nonce, RefuseReason::build, ours.build};
  return std::nullopt;
}

std::optional<Hello> await_guest(Link& link, Clock& clock, const Hello& ours,
                                 const Welcome& welcome,
                                 const std::function<bool()>& give_up,
                                 const std::function<void()>& refused,
                                 std::string& error) {
  while (!give_up()) {
    const auto message = next_message(link);
    const Hello* hello = message ? std::get_if<Hello>(&*message) : nullptr;
    if (!hello) {
      if (!message) clock.sleep_ms(2);
      continue;
    }
    if (hello->role != Role::guest) continue;
    if (const auto refuse = refusal(ours, *hello)) {
      link.send(encode(*refuse));
      refused();
      continue;
    }
    Welcome answer = welcome;
    answer.nonce = hello->nonce;
    link.send(encode(answer));
    return *hello;
  }
  error = "no guest came";
  return std::nullopt;
}

std::optional<Welcome> join_host(Link& link, Clock& clock, const Hello& ours,
                                 std::uint32_t timeout_ms,
                                 const std::function<bool()>& give_up,
                                 std::string& error) {
  const std::uint32_t start = clock.now_ms();
  std::uint32_t last_hello = start - hello_every_ms;
  while (!give_up()) {
    const std::uint32_t now = clock.now_ms();
    if (now - start > timeout_ms) {
      error = "no answer from " + link.describe();
      return std::nullopt;
    }
    if (now - last_hello >= hello_every_ms) {
      link.send(encode(ours));
      last_hello = now;
    }
    const auto message = next_message(link);
    if (!message) {
      clock.sleep_ms(2);
      continue;
    }
    if (const auto* w = std::get_if<Welcome>(&*message);
        w && w->nonce == ours.nonce) {
      return *w;
    }
    if (const auto* r = std::get_if<Refuse>(&*message);
        r && r->nonce == ours.nonce) {
      error = refusal_text(*r);
      return std::nullopt;
    }
  }
  error = "stopped before the host answered";
  return std::nullopt;
}

std::string refusal_text(const Refuse& refuse) {
  switch (refuse.reason) {
    case RefuseReason::version:
      return "the host plays version " + refuse.detail +
             " of the game; both must play the same version";
    case RefuseReason::build:
      return "the host's game is another build (" + refuse.detail +
             "); both must play the same build";
    case RefuseReason::busy:
      return "the host has a guest already";
  }
  return "the host refused";
}

}  // namespace online
