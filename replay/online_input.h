// An online game's input: one stream made on two machines. At every tick
// both seats' events, as the session gives them, drive the game's input
// state. This machine's own devices (or the loaded script standing in for
// them) are read into a state of their own, and what changed in it is this
// seat's events: on the host everything but the sticks after its first, on
// the guest only its first stick, which is the game's joystick 1. A machine
// without a stick makes one of its keyboard.
//
// The recording and the state dumps of an online game are written from
// final ticks only, so that both machines write the same files.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "online/session/session.h"
#include "replay/replay.h"

namespace replay {

// A spectator's input: both seats' final events of each tick, as the
// room's stream gives them (`tick_events` waits for a tick that has not
// come yet; it never returns without it).
using StreamTicks =
    std::function<const std::array<online::TickEvents, 2>&(long tick)>;

// Both sticks are in the game from tick 0: the host's (port 0) and the
// guest's (port 1), whether real or made of a keyboard. A session that
// begins in a game under way has the ticks before its first from
// `earlier` (a guest catching up on the host's stream).
void start_online_input(online::Session& session, bool host,
                        StreamTicks earlier = {});
// The host's next guest: its session from that session's first tick on.
void follow_online_session(online::Session& session);
void stop_online_input();
// Ticks begun from now on belong to a waiting loop (lockstep: only
// confirmed input) or to the main loop's frames.
void set_online_lockstep(bool lockstep);
// Whether this machine's own player asked to end (window closed, signal):
// on the guest that ends its part, as the host's own ending does the game.
bool local_end_requested();
// The guest's seat when the guest is gone: its stick pulled out; and when
// a guest comes into a game under way: its stick plugged in.
online::TickEvents guest_stick_pulled();
online::TickEvents guest_stick_plugged();

void start_stream_input(StreamTicks tick_events);

// A final tick's events go into the recording, after the tick's check
// line when it has one (`hashes` taken at the tick's start). Both sticks
// are in the game from tick 0, as the recording says there.
void record_final_tick(long tick, const online::TickEvents& host,
                       const online::TickEvents& guest,
                       const std::optional<StateChecks>& hashes);

}  // namespace replay
