#include "app/online_watch.h"

#include <iostream>
#include <random>

#include "app/frame.h"
#include "app/online_room.h"
#include "app/online_status.h"
#include "app/replay_settings.h"
#include "app/shell.h"
#include "app/steady_clock.h"
#include "app/stream_record.h"
#include "online/protocol/invite_code.h"
#include "online/rooms/final_stream.h"
#include "online/rooms/room_requests.h"
#include "platform/automation.h"
#include "replay/online_input.h"
#include "replay/replay.h"
#include "world/world.h"

namespace {

// Live, the game plays this many ticks behind the newest it has; further
// behind, it catches up unpaced and muted.
constexpr long live_margin = 6;
// A server that lost the room or forgot this seat (it restarted), or has
// sent nothing for a while, is asked for a seat again this often, for this
// long, while the host asks for the room back.
constexpr std::uint32_t silence_ms = 2000;
constexpr std::uint32_t enter_again_ms = 500;
constexpr std::uint32_t reenter_for_ms = 10000;

struct Watch {
  SteadyClock clock;
  RoomWay way;
  std::string code;
  online::StreamReceiver receiver;
  const online::FinalStream& stream = receiver.stream();
  StreamRecord record{stream};
  std::optional<online::RoomRefused> gone;
  online::EnterRoom request;
  std::optional<std::uint32_t> lost_since_ms;  // the server lost our seat
  std::optional<online::RoomRefused> lost_by;
  std::uint32_t last_enter_ms = 0;
  std::uint32_t last_heard_ms = 0;
};

Watch* watching = nullptr;

[[noreturn]] void end_watch(int status, const std::string& line) {
  std::cerr << "online: " << line << "\n";
  watching->record.flush();
  watching->way.link->leave();
  replay::close_outputs_cut();
  platform::detail::exit_program(status);
}

// The server said it does not know the room or the seat: ended for good
// when its host left, else perhaps a restart: the seat is asked for again.
void refused(Watch& w, const online::RoomRefused& r) {
  if (w.stream.ended()) return;
  const bool maybe_back = r.reason == online::RoomError::no_room ||
                          r.reason == online::RoomError::seat ||
                          r.reason == online::RoomError::expired;
  if (!maybe_back) {
    w.gone = r;
    return;
  }
  if (!w.lost_since_ms) w.lost_since_ms = w.clock.now_ms();
  w.lost_by = r;
}

void enter_again(Watch& w) {
  const std::uint32_t now = w.clock.now_ms();
  if (now - *w.lost_since_ms > reenter_for_ms) {
    if (!w.lost_by) end_watch(online_failed_status, "the server is gone");
    w.gone = w.lost_by;
  } else if (now - w.last_enter_ms >= enter_again_ms) {
    w.last_enter_ms = now;
    w.way.link->send_to_server(w.request);
  }
}

// Takes what the server sent and acknowledges the stream.
void listen(Watch& w) {
  online::RoomLink& link = *w.way.link;
  while (auto message = link.next_other()) {
    w.last_heard_ms = w.clock.now_ms();
    if (const auto* s = std::get_if<online::Stream>(&*message)) {
      w.receiver.take(*s);
    } else if (const auto* r = std::get_if<online::RoomRefused>(&*message)) {
      refused(w, *r);
    } else if (const auto* e = std::get_if<online::RoomEntered>(&*message)) {
      if (w.lost_since_ms && e->nonce == w.request.nonce) {
        link.set_ticket(e->ticket);
        w.lost_since_ms.reset();
        w.lost_by.reset();
      }
    }
  }
  const std::uint32_t now = w.clock.now_ms();
  if (!w.lost_since_ms && !w.stream.ended() &&
      now - w.last_heard_ms > silence_ms) {
    w.lost_since_ms = now;
    w.lost_by.reset();
  }
  if (w.lost_since_ms) enter_again(w);
  if (const auto ack = w.receiver.ack_due(link.ticket(), now))
    link.send_to_server(*ack);
}

// The tick's events, once they have come.
const std::array<online::TickEvents, 2>& tick_events(long tick) {
  Watch& w = *watching;
  for (;;) {
    listen(w);
    if (tick < w.stream.size()) return w.stream.at(tick);
    if (w.stream.ended()) end_watch(0, "the game has ended");
    if (w.gone) {
      end_watch(room_refused_status(w.gone->reason),
                online::refusal_text(*w.gone, w.code));
    }
    if (platform::detail::stop_requested())
      end_watch(0, "you stopped watching");
    w.clock.sleep_ms(1);
  }
}

// A tick begins: its events are final, so it is recorded as the players'
// machines record it (the check from the state that begins it).
void begin_watched_tick(long tick) {
  tick_events(tick);
  watching->record.begin(tick);
}

void watch_main_loop() {
  Watch& w = *watching;
  while (quit_requested == 0) {
    listen(w);
    platform::detail::set_resimulating(
        w.stream.size() - platform::current_tick() > live_margin);
    run_frame();
  }
  platform::detail::set_resimulating(false);
  w.record.flush();
  w.way.link->leave();
  std::cerr << "online: the game has ended\n";
}

std::string setting(const online::RoomEntered& e, const std::string& name) {
  for (const auto& [key, value] : e.settings)
    if (key == name) return value;
  return "";
}

}  // namespace

int watch_online_game(const CommandLine& cl, const platform::RunOptions& run) {
  Watch w;
  w.code = cl.join;
  std::string error;
  auto way = open_room_way(cl, w.clock, error);
  if (!way) {
    std::cerr << "online: " << error << "\n";
    return online_failed_status;
  }
  w.way = std::move(*way);
  std::random_device entropy;
  w.request = {entropy(), cl.join, online::Role::spectator, VERMIX_VERSION,
               VERMIX_BUILD_NAME};
  int status = online_failed_status;
  const auto entered =
      enter_room(*w.way.link, w.clock, w.request, error, status);
  if (!entered) {
    std::cerr << "online: " << error << "\n";
    return status;
  }
  w.way.link->set_ticket(entered->ticket);
  std::cerr << "online: watching room " << online::shown_code(cl.join) << "\n";
  int seed = 0;
  try {
    seed = std::stoi(setting(*entered, "seed"));
  } catch (const std::exception&) {
    std::cerr << "online: the room's settings have no seed\n";
    return online_failed_status;
  }
  replay::play_with_settings(entered->settings);
  if (!open_outputs(cl, seed, error)) {
    std::cerr << "vermix: " << error << "\n";
    return 2;
  }
  watching = &w;
  w.last_heard_ms = w.clock.now_ms();
  replay::start_stream_input(tick_events);
  replay::set_online_outputs(true);
  platform::detail::restart_ticks();
  platform::detail::set_session_hook(begin_watched_tick);
  begin_watched_tick(0);
  return run_game(run, seed, 1, watch_main_loop);
}
