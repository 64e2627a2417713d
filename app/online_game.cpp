#include "app/online_game.h"

#include <array>
#include <chrono>
#include <cmath>
#include <functional>
#include <iostream>
#include <random>
#include <stdexcept>
#include <thread>

#include "app/frame.h"
#include "app/game_snapshot.h"
#include "app/high_score.h"
#include "app/online_room.h"
#include "app/replay_settings.h"
#include "app/shell.h"
#include "app/steady_clock.h"
#include "online/protocol/invite_code.h"
#include "online/rooms/room_keeper.h"
#include "online/session/handshake.h"
#include "online/session/session.h"
#include "online/transport/udp_link.h"
#include "render/anaglyph.h"
#include "replay/online_input.h"
#include "replay/replay.h"
#include "world/world.h"

namespace {

// The game as the session sees it: a ring of states kept at frame
// boundaries, and what each tick will write once it is final (its check
// line, its dump), taken as it began.
class OnlineGame : public online::Game {
 public:
  online::Session* session = nullptr;
  // The host's stream to its room, when it has one.
  online::FinalStream* stream = nullptr;

  void save(long tick) override {
    Kept& k = states_[slot(tick)];
    k.tick = tick;
    save_game(k.state);
  }
  void note(long tick) override {
    Begun& b = begun_[slot(tick)];
    b.tick = tick;
    b.hashes.reset();
    if (tick > 0 && tick % 60 == 0) b.hashes = replay::state_hashes_now();
    b.dump = replay::dump_due(tick) ? replay::state_dump_now() : std::string();
  }
  void load(long tick) override {
    const Kept& k = states_[slot(tick)];
    if (k.tick != tick)
      throw std::logic_error("online: no state kept for tick " +
                             std::to_string(tick));
    load_game(k.state);
  }
  long resimulate_to(long tick) override {
    struct Muted {
      Muted() { platform::detail::set_resimulating(true); }
      ~Muted() { platform::detail::set_resimulating(false); }
    } muted;
    while (platform::current_tick() < tick && quit_requested == 0) {
      run_frame();
      session->at_boundary(platform::current_tick());
    }
    return platform::current_tick();
  }
  online::Hashes hashes(long tick) override {
    const Begun* k = find(tick);
    return k && k->hashes ? *k->hashes : online::Hashes{};
  }
  void tick_final(long tick, const online::TickEvents& host,
                  const online::TickEvents& guest) override {
    const Begun* k = find(tick);
    replay::record_final_tick(tick, host, guest, k ? k->hashes : std::nullopt);
    if (k && !k->dump.empty()) replay::write_dump(k->dump);
    if (stream) stream->add(host, guest);
  }

 private:
  struct Kept {
    long tick = -1;
    GameSnapshot state;
  };
  struct Begun {
    long tick = -1;
    std::optional<replay::StateChecks> hashes;
    std::string dump;
  };
  static constexpr int ring_size = 16;
  static_assert(ring_size >= online::Session::kept_ticks);

  static std::size_t slot(long tick) {
    return static_cast<std::size_t>(tick % ring_size);
  }
  const Begun* find(long tick) const {
    const Begun& b = begun_[slot(tick)];
    return b.tick == tick ? &b : nullptr;
  }

  std::array<Kept, ring_size> states_;
  std::array<Begun, ring_size> begun_;
};

// The figures line every few seconds while the game goes on.
class Reporter {
 public:
  explicit Reporter(online::Session& s) : session_(s) {}
  void tick(std::uint32_t now_ms) {
    if (now_ms - last_ms_ < 5000) return;
    const online::SessionFigures& f = session_.figures();
    const double seconds = (now_ms - last_ms_) / 1000.0;
    const long per_ten_seconds = std::lround(
        static_cast<double>(f.rollbacks - last_rollbacks_) * 10.0 / seconds);
    std::cerr << "online: round trip " << f.round_trip_ms << " ms, rollbacks "
              << per_ten_seconds / 10 << '.' << per_ten_seconds % 10
              << " per second, longest rollback " << f.longest_rollback
              << " ticks, frames held " << f.waits << ", dropped messages "
              << f.dropped << "\n";
    last_ms_ = now_ms;
    last_rollbacks_ = f.rollbacks;
  }

 private:
  online::Session& session_;
  std::uint32_t last_ms_ = 0;
  long last_rollbacks_ = 0;
};

[[noreturn]] void end_online(int status, const std::string& line) {
  std::cerr << "online: " << line << "\n";
  replay::close_outputs_cut();
  platform::detail::exit_program(status);
}

// What the peer did that ends this machine's part: a desync ends both, and
// the guest cannot go on without its host.
void watch_peer(online::Session& session, bool host, bool& told) {
  using online::PeerState;
  switch (session.peer_state()) {
    case PeerState::connected:
      if (!host && replay::local_end_requested()) {
        session.leave();
        end_online(0, "you left the game");
      }
      return;
    case PeerState::desync:
      end_online(replay::diverges_status,
                 "the games differ at tick " +
                     std::to_string(session.desync_tick()) + " (" +
                     (session.desync_field().empty() ? "state"
                                                     : session.desync_field()) +
                     ")");
    case PeerState::lost:
    case PeerState::left:
      // A goodbye at the game's own end is no leaving.
      if (told || (session.peer_state() == PeerState::left &&
                   platform::current_tick() <= session.peer_left_tick())) {
        return;
      }
      told = true;
      if (host) {
        std::cerr << "online: the guest "
                  << (session.peer_state() == PeerState::lost ? "is gone"
                                                              : "left")
                  << "; the game goes on with one stick\n";
      } else if (session.peer_state() == PeerState::lost) {
        end_online(online_failed_status, "the host is gone");
      }
      return;
  }
}

}  // namespace

namespace {

// The way to the other machine, and what the host's handshake needs of it
// beyond sending and receiving: where it waits, and forgetting a refused
// guest so that the next one to speak is heard.
struct OpenLink {
  std::unique_ptr<online::Link> link;
  std::string waiting_on;
  std::function<void()> forget_sender;
};

#if VERMIX_UDP
constexpr int default_port = 4761;

OpenLink open_link(bool host, const CommandLine& cl, std::string& error) {
  OpenLink open;
  if (!host) {
    open.link = online::UdpLink::join(cl.join, default_port, error);
    return open;
  }
  auto udp =
      online::UdpLink::host(static_cast<std::uint16_t>(cl.host_port), error);
  if (!udp) return open;
  open.waiting_on = "port " + std::to_string(udp->local_port());
  online::UdpLink* raw = udp.get();
  open.forget_sender = [raw] { raw->set_peer(std::nullopt); };
  open.link = std::move(udp);
  return open;
}
#else
OpenLink open_link(bool, const CommandLine&, std::string& error) {
  error = "this build of the game has no network for online play";
  return {};
}
#endif

struct Online {
  SteadyClock clock;
  OpenLink open;
  std::unique_ptr<online::Link> link;
  // A game in a room of the server: the socket and the room's link (the
  // session's link), and the host's stream to the room.
  std::unique_ptr<online::Datagrams> socket;
  online::RoomLink* room = nullptr;
  std::unique_ptr<online::RoomKeeper> keeper;
  // The path last told, and the one in use since `path_since_ms`: a path
  // is told once it has held for a second (the host follows the guest's
  // latest message, which alternates while the guest tries both).
  online::Path told_path = online::Path::both;
  online::Path path = online::Path::both;
  std::uint32_t path_since_ms = 0;
  // The window's status line in a room: "Invite code ABCD-EFGH" or "Room
  // ABCD-EFGH", then the connection's state, its round trip once a second.
  std::string status_head;
  std::string state;
  std::uint32_t status_ms = 0;
  std::unique_ptr<online::Session> session;
  OnlineGame game;
  bool host = false;
  bool paced = true;
  int seed = 0;
  bool window_open = false;  // the host waits for its guest in the window
  int failed_status = online_failed_status;
};

Online* playing = nullptr;

void show_status(Online& o, const std::string& state) {
  if (o.status_head.empty()) return;
  o.state = state;
  o.status_ms = o.clock.now_ms();
  std::string line = o.status_head + " \u00b7 " + state;
  if (o.session && o.told_path != online::Path::both &&
      o.session->peer_state() == online::PeerState::connected) {
    line += " \u00b7 round trip " +
            std::to_string(o.session->figures().round_trip_ms) + " ms";
  }
  platform::set_status_line(line);
}

// The ticks the main loop's frames begin are played on predictions; every
// other tick (the logo, the waiting loops) goes in lockstep.
void begin_tick(long tick) {
  const bool in_frame = at_frame_boundary();
  replay::set_online_lockstep(!in_frame);
  playing->session->tick_begun(tick, in_frame);
}

constexpr std::uint32_t path_held_ms = 1000;

// The room's news: the path to the other seat when it changes, the host's
// stream to the server.
void keep_room(Online& o) {
  if (!o.room) return;
  if (o.keeper) {
    const std::string line = o.keeper->poll();
    if (!line.empty()) std::cerr << "online: " << line << "\n";
  }
  const std::uint32_t now = o.clock.now_ms();
  if (o.room->path() != o.path) {
    o.path = o.room->path();
    o.path_since_ms = now;
  }
  if (o.path != o.told_path && o.path != online::Path::both &&
      now - o.path_since_ms >= path_held_ms) {
    o.told_path = o.path;
    std::cerr << "online: connected to " << o.room->describe() << "\n";
    show_status(o, o.path == online::Path::relay ? "connected by the relay"
                                                 : "connected directly");
  } else if (!o.state.empty() && now - o.status_ms >= 1000) {
    show_status(o, o.state);
  }
}

// A frame's end is the rollback's boundary.
void end_frame(online::Session& session) {
  session.at_boundary(platform::current_tick());
  keep_room(*playing);
  const int stretch = session.frame_stretch_ms();
  if (playing->paced && stretch > 0) playing->clock.sleep_ms(stretch);
}

void online_main_loop() {
  online::Session& session = *playing->session;
  Reporter reporter(session);
  bool told = false;
  // The title as the logo left it, in lockstep: the first state to keep.
  session.at_boundary(platform::current_tick());
  for (;;) {
    try {
      if (quit_requested == 0) {
        run_frame();
        end_frame(session);
      }
      const bool told_before = told;
      watch_peer(session, playing->host, told);
      if (told && !told_before) show_status(*playing, "the guest left");
      reporter.tick(playing->clock.now_ms());
      if (quit_requested != 0) {
        session.settle();
        break;
      }
    } catch (const online::Rollback&) {
      session.recover();
    }
  }
  if (playing->keeper) playing->keeper->finish(2000);
  if (playing->room) playing->room->leave();
  show_status(*playing, "ended");
  std::cerr << (playing->host ? "online: ended\n"
                              : "online: the host ended the game\n");
}

std::string setting(const online::Welcome& w, const std::string& name) {
  for (const auto& [key, value] : w.settings)
    if (key == name) return value;
  return "";
}

// How long a guest tries the direct path beside the relay.
constexpr std::uint32_t direct_window_ms = 1500;

bool give_up() { return platform::detail::stop_requested(); }

// The title on black with the status line, about 60 times a second, while
// the host waits: nothing of play is drawn, and the ticks counted here
// start from 0 again with the session.
void show_waiting(Online& o) {
  const std::uint32_t now = o.clock.now_ms();
  if (now - o.status_ms < 16) return;
  if (o.state.empty()) show_status(o, "waiting for a guest");
  o.status_ms = now;
  platform::cls();
  platform::draw_image(title_image, 320, 200, 0);
  platform::flip(0);
}

// The host asks the server for a room with the game's settings (for its
// spectators) and says the room's code.
bool open_hosts_room(Online& o, const online::Welcome& welcome,
                     std::uint32_t nonce, std::string& error) {
  online::OpenRoom request{
      nonce, VERMIX_VERSION, VERMIX_BUILD_NAME, welcome.settings, {}};
  const auto opened =
      open_room(*o.room, o.clock, request, error, o.failed_status);
  if (!opened) return false;
  o.room->set_ticket(opened->ticket);
  o.keeper = std::make_unique<online::RoomKeeper>(*o.room, o.clock, request,
                                                  welcome.session);
  o.game.stream = &o.keeper->stream();
  const std::string& code = opened->ticket.code;
  std::cerr << "online: invite code " << online::shown_code(code) << " ("
            << online::join_link(code) << ")\n";
  platform::copy_to_clipboard(online::join_link(code));
  o.status_head = "Invite code " + online::shown_code(code);
  o.open.waiting_on = "room " + online::shown_code(code);
  return true;
}

// The guest takes a seat in the room of its code, and tries the host's
// address beside the relay when the server gave one.
bool enter_guests_room(Online& o, const CommandLine& cl, std::uint32_t nonce,
                       std::string& error) {
  online::EnterRoom request{nonce, cl.join, online::Role::guest, VERMIX_VERSION,
                            VERMIX_BUILD_NAME};
  const auto entered =
      enter_room(*o.room, o.clock, request, error, o.failed_status);
  if (!entered) return false;
  o.room->set_ticket(entered->ticket);
  o.status_head = "Room " + online::shown_code(cl.join);
  if (!entered->host_address.empty())
    o.room->try_direct(entered->host_address, direct_window_ms);
  return true;
}

// Host: the game's settings from this machine's files, then the first guest
// of the same game. Guest: the host's welcome and its settings.
std::optional<online::Welcome> meet(Online& o, const CommandLine& cl,
                                    std::string& error) {
  std::random_device entropy;
  online::Hello ours{o.host ? online::Role::host : online::Role::guest,
                     VERMIX_VERSION, VERMIX_BUILD_NAME, entropy()};
  if (!o.host) {
    if (o.room && !enter_guests_room(o, cl, ours.nonce, error))
      return std::nullopt;
    if (o.room) o.open.waiting_on = "room " + online::shown_code(cl.join);
    std::cerr << "online: joining "
              << (o.room ? o.open.waiting_on : o.link->describe()) << "\n";
    auto welcome =
        online::join_host(*o.link, o.clock, ours, 10000, give_up, error);
    if (welcome) replay::play_with_settings(welcome->settings);
    return welcome;
  }
  online::Welcome welcome;
  welcome.session = entropy();
  welcome.input_delay = static_cast<std::uint8_t>(cl.input_delay);
  anaglyph_settings(1);
  load_high_score();
  welcome.settings = {{"seed", std::to_string(o.seed)},
                      {"high-score", std::to_string(high_score)},
                      {"stereo-mode", std::to_string(stereo_mode)},
                      {"hologram", std::to_string(hologram_intensity)}};
  if (o.room && !open_hosts_room(o, welcome, ours.nonce, error))
    return std::nullopt;
  std::cerr << "online: waiting for a guest on " << o.open.waiting_on << "\n";
  const auto wait_step = [&o] {
    if (o.window_open) show_waiting(o);
    return give_up();
  };
  auto hello = online::await_guest(*o.link, o.clock, ours, welcome, wait_step,
                                   o.open.forget_sender, error);
  if (!hello) return std::nullopt;
  return welcome;
}

// Meets the other machine and starts the session; -1, or the exit status
// when it could not.
int start_session(Online& o, const CommandLine& cl) {
  std::string error;
  const auto welcome = meet(o, cl, error);
  if (!welcome) {
    std::cerr << "online: " << error << "\n";
    return platform::detail::stop_requested() ? 0 : o.failed_status;
  }
  // In a room the path is told once it is known.
  std::cerr << "online: "
            << (o.room ? (o.host ? "the guest came into " : "in ") +
                             o.open.waiting_on
                       : "connected to " + o.link->describe())
            << " (input delay " << int{welcome->input_delay} << ")\n";
  if (o.window_open) show_status(o, "the guest came in");
  o.seed = std::stoi(setting(*welcome, "seed"));
  if (!open_outputs(cl, o.seed, error)) {
    std::cerr << "vermix: " << error << "\n";
    return 2;
  }
  online::SessionConfig config;
  config.seat = o.host ? online::Role::host : online::Role::guest;
  config.session = welcome->session;
  config.input_delay = welcome->input_delay;
  config.farewell = replay::guest_stick_pulled();
  if (o.host) config.welcome = online::encode(*welcome);
  o.session =
      std::make_unique<online::Session>(*o.link, o.game, o.clock, config);
  playing = &o;
  o.game.session = o.session.get();
  replay::start_online_input(*o.session, o.host);
  replay::set_online_outputs(true);
  replay::set_online_lockstep(true);
  platform::detail::restart_ticks();
  platform::detail::set_session_hook(begin_tick);
  o.session->tick_begun(0, false);
  return -1;
}

}  // namespace

int run_online_game(const CommandLine& cl, const platform::RunOptions& run) {
  Online o;
  using Mode = CommandLine::Online;
  o.host = cl.online == Mode::host || cl.online == Mode::host_room;
  o.paced = !run.fast;
  std::string error;
  if (cl.online == Mode::host_room || cl.online == Mode::join_room) {
    if (auto way = open_room_way(cl, o.clock, error)) {
      o.socket = std::move(way->socket);
      o.room = way->link.get();
      o.link = std::move(way->link);
      o.open.forget_sender = [] {};
    }
  } else {
    o.open = open_link(o.host, cl, error);
    o.link = std::move(o.open.link);
  }
  if (!o.link) {
    std::cerr << "online: " << error << "\n";
    return online_failed_status;
  }
  if (o.host) o.seed = cl.seed ? *cl.seed : platform::millisecs();
  if (cl.online == Mode::host_room) {
    // The window opens before the guest comes: a player who started the
    // game from the desktop sees the code and the wait.
    o.window_open = true;
    return run_game(run, o.seed, 1, online_main_loop, [&o, &cl] {
      if (const int status = start_session(o, cl); status >= 0)
        platform::detail::exit_program(status);
    });
  }
  if (const int status = start_session(o, cl); status >= 0) return status;
  return run_game(run, o.seed, 1, online_main_loop);
}
