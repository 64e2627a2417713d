// Two sessions, each on a thread of its own with a small game of its own,
// joined by an in-memory link that delays, loses, duplicates and reorders:
// both games must end in the same state with the same final input stream,
// and the rollbacks, the waits in lockstep, a desync and a lost guest must
// each do what the session promises.
#include "online/session/session.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "tests/support/session_pair.h"

namespace {

using namespace online;
using Pair = testing_support::SessionPair;

TEST(OnlineSession, TwoGamesThroughABadLinkEndAlike) {
  Pair pair(25, 10, 0.05, 0.01);
  pair.play(900);
  EXPECT_EQ(pair.host_game.state, pair.guest_game.state);
  EXPECT_EQ(pair.host_game.state.tick, 900);
  // Each said goodbye after the other had all it needed.
  for (const Session* s : {pair.host.get(), pair.guest.get()}) {
    EXPECT_NE(s->peer_state(), PeerState::lost);
    EXPECT_NE(s->peer_state(), PeerState::desync);
  }
  // Every tick reported final once, in order, alike on both machines.
  ASSERT_EQ(pair.host_game.final_stream.size(), 901u);
  EXPECT_EQ(pair.host_game.final_stream, pair.guest_game.final_stream);
  // Both machines guessed wrong at times and mended it within the window.
  for (const Session* s : {pair.host.get(), pair.guest.get()}) {
    EXPECT_GT(s->figures().rollbacks, 0);
    EXPECT_LE(s->figures().longest_rollback, Session::kept_ticks);
    EXPECT_GT(s->figures().round_trip_ms, 30u);
  }
  // Each player's own input took effect after the input delay, however
  // the other seat's input came.
  for (const testing_support::SmallGame* g :
       {&pair.host_game, &pair.guest_game}) {
    ASSERT_GT(g->reactions.size(), 50u);
    for (const auto& r : g->reactions) ASSERT_EQ(r.ticks, 2);
  }
}

TEST(OnlineSession, DifferentGamesAreCaughtAtTheNextCheck) {
  Pair pair(5, 2, 0.0, 0.0);
  pair.guest_game.corrupt_at = 130;
  pair.play(2000);
  EXPECT_EQ(pair.host->peer_state(), PeerState::desync);
  EXPECT_EQ(pair.guest->peer_state(), PeerState::desync);
  // The side that compared first names the field; the other may learn of
  // it from the goodbye alone.
  std::set<std::string> fields;
  for (const Session* s : {pair.host.get(), pair.guest.get()}) {
    EXPECT_EQ(s->desync_tick(), 180);
    fields.insert(s->desync_field());
  }
  fields.erase("");
  EXPECT_EQ(fields, std::set<std::string>{"mix"});
  EXPECT_LT(pair.host_game.state.tick, 400);
}

TEST(OnlineSession, TheHostPlaysOnWhenTheGuestIsGone) {
  Pair pair(5, 2, 0.0, 0.0);
  pair.guest_game.end_tick = 300;
  pair.host_game.end_tick = 1200;
  std::thread g([&] {
    pair.guest_game.play();
    pair.to_host.cut = true;  // the guest's machine is gone, unannounced
  });
  pair.host_game.play();
  g.join();
  EXPECT_EQ(pair.host->peer_state(), PeerState::lost);
  EXPECT_EQ(pair.host_game.state.tick, 1200);
  // The guest's seat closed with the farewell, once, after the guest's
  // last tick, and gave nothing after it.
  const auto& stream = pair.host_game.final_stream;
  ASSERT_EQ(stream.size(), 1201u);
  long farewell_at = -1;
  for (long t = 0; t < static_cast<long>(stream.size()); ++t) {
    const TickEvents& guest = stream[t][1];
    if (farewell_at >= 0) {
      EXPECT_TRUE(guest.empty()) << "tick " << t;
    } else if (!guest.empty() && guest[0].kind == EventKind::joy_disconnect) {
      farewell_at = t;
      EXPECT_EQ(guest.size(), 1u);
    }
  }
  EXPECT_GE(farewell_at, 300 + 2);
  EXPECT_LE(farewell_at, 300 + 2 + 8);
}

}  // namespace
