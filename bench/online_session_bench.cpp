// How soon an online game answers its players: the two small games of the
// session's tests, each on a thread of its own and paced at 60 frames a
// second with the default input delay of 2, play 600 ticks through their
// in-memory link at a round trip of 0, 100 or 200 ms (beyond 0: 20 ms of
// jitter each way, 5 % lost, 1 % twice), seeded. Counters, over both
// machines: ticks from reading a local input to its taking effect (mean and
// most), milliseconds from reading it to the end of the frame that first
// shows it (mean and 99th percentile), rollbacks per second, the longest
// re-simulation in ticks, and frames held waiting for the other machine.
// What a re-simulated tick costs in the real game is BM_Snapshot,
// BM_MainLoopFrame and BM_RollbackFrame (game_frame_bench.cpp).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "tests/support/session_pair.h"

namespace {

using testing_support::SessionPair;

void BM_OnlineSession(benchmark::State& state) {
  const int round_trip = static_cast<int>(state.range(0));
  const bool bad = round_trip > 0;
  constexpr long ticks = 600;
  for (auto _ : state) {
    SessionPair pair(round_trip / 2, bad ? 20 : 0, bad ? 0.05 : 0.0,
                     bad ? 0.01 : 0.0);
    for (auto* game : {&pair.host_game, &pair.guest_game})
      game->frame_time = std::chrono::microseconds(16667);
    const auto start = std::chrono::steady_clock::now();
    pair.play(ticks);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
            .count();

    std::vector<double> ms;
    double tick_sum = 0, tick_most = 0;
    for (const auto* game : {&pair.host_game, &pair.guest_game}) {
      for (const auto& r : game->reactions) {
        tick_sum += static_cast<double>(r.ticks);
        tick_most = std::max(tick_most, static_cast<double>(r.ticks));
        ms.push_back(r.ms);
      }
    }
    std::sort(ms.begin(), ms.end());
    double ms_sum = 0;
    for (double m : ms) ms_sum += m;
    const double n = std::max<double>(1, static_cast<double>(ms.size()));
    const auto& h = pair.host->figures();
    const auto& g = pair.guest->figures();
    state.counters["inputs"] = static_cast<double>(ms.size());
    state.counters["delay_ticks"] = tick_sum / n;
    state.counters["delay_ticks_max"] = tick_most;
    state.counters["shown_ms"] = ms_sum / n;
    state.counters["shown_ms_p99"] =
        ms.empty() ? 0 : ms[static_cast<std::size_t>(0.99 * (ms.size() - 1))];
    state.counters["rollbacks_per_s"] =
        static_cast<double>(h.rollbacks + g.rollbacks) / 2 / seconds;
    state.counters["longest_resim"] =
        static_cast<double>(std::max(h.longest_rollback, g.longest_rollback));
    state.counters["frames_held"] = static_cast<double>(h.waits + g.waits);
    state.counters["rtt_seen_ms"] = h.round_trip_ms;
  }
}
BENCHMARK(BM_OnlineSession)
    ->ArgName("rtt_ms")
    ->Arg(0)
    ->Arg(100)
    ->Arg(200)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
