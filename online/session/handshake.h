// The start of an online game: the guest says who it is until the host
// answers; the host takes the first guest of its own version and build, and
// tells it the session's number, the input delay and the settings both
// games play with.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "online/protocol/link.h"
#include "online/protocol/messages.h"
#include "online/session/session.h"

namespace online {

// Why a guest's hello is refused (another version or build), if it is.
std::optional<Refuse> refusal(const Hello& ours, const Hello& theirs);

// Waits for a guest's hello until `give_up` says so. A guest of another
// version or build is refused (and told why) and waited past: `refused`
// then lets the link forget it. Returns the guest's hello once our welcome
// has been sent.
std::optional<Hello> await_guest(Link& link, Clock& clock, const Hello& ours,
                                 const Welcome& welcome,
                                 const std::function<bool()>& give_up,
                                 const std::function<void()>& refused,
                                 std::string& error);

// Says hello every quarter second until the host answers or `timeout_ms`
// pass. Returns the welcome, or nothing with the reason in `error`.
std::optional<Welcome> join_host(Link& link, Clock& clock, const Hello& ours,
                                 std::uint32_t timeout_ms,
                                 const std::function<bool()>& give_up,
                                 std::string& error);

// Why the host refused, in words for the `online:` lines.
std::string refusal_text(const Refuse& refuse);

}  // namespace online
