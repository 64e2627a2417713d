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
#include "app/stream_record.h"
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
  // A guest's new session counts from naught.
  void follow() { last_rollbacks_ = 0; }
  void tick(const online::Session& session, std::uint32_t now_ms) {
    if (now_ms - last_ms_ < 5000) return;
    const online::SessionFigures& f = session.figures();
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
// beyond sending and receiving: where it waits, forgetting a refused guest
// so that the next one to speak is heard, and answering the one that spoke
// last.
struct OpenLink {
  std::unique_ptr<online::Link> link;
  std::string waiting_on;
  std::function<void()> forget_sender;
  std::function<void()> answer_sender;
};

#if VERMIX_UDP
constexpr int default_port = 4761;

OpenLink open_link(bool host, const CommandLine& cl, std::string& error) {
  OpenLink open;
  if (!host) {
    open.link = online::UdpLink::join(cl.join, default_port, error);
    open.answer_sender = [] {};
    return open;
  }
  auto udp =
      online::UdpLink::host(static_cast<std::uint16_t>(cl.host_port), error);
  if (!udp) return open;
  open.waiting_on = "port " + std::to_string(udp->local_port());
  online::UdpLink* raw = udp.get();
  open.forget_sender = [raw] { raw->set_peer(std::nullopt); };
  open.answer_sender = [raw] { raw->set_peer(raw->last_sender()); };
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
  // Ours, and the host's welcome to its guest (sent again when the guest
  // says hello again: its first copy was lost).
  online::Hello hello;
  online::Welcome welcome;
  // A new guest's hello, while the seat is taken or since it freed.
  struct Newcomer {
    online::Hello hello;
    std::uint32_t heard_ms = 0;
  };
  std::optional<Newcomer> newcomer;
  // The host's final ticks, when no room keeps them; towards a guest that
  // came into the game under way, those before its first and their sender.
  online::FinalStream ticks;
  std::unique_ptr<online::FinalStream> earlier;
  std::unique_ptr<online::StreamSender> to_guest;
  // A guest coming into a game under way: the host's stream it catches up
  // on, played as a spectator plays it.
  struct CatchUp {
    explicit CatchUp(std::uint32_t session) : receiver(session) {}
    online::StreamReceiver receiver;
    StreamRecord record{receiver.stream()};
  };
  std::unique_ptr<CatchUp> catch_up;
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

// A tick before the session's first, on a guest that came into a game
// under way: its events come in the host's stream.
void catch_up_tick(Online& o, long tick) {
  const online::FinalStream& ticks = o.catch_up->receiver.stream();
  bool told = false;
  while (tick >= ticks.size()) {
    if (ticks.ended())
      end_online(o.failed_status, "the host's stream ended before its game");
    o.session->poll();
    watch_peer(*o.session, false, told);
    o.clock.sleep_ms(1);
  }
  o.catch_up->record.begin(tick);
}

// The ticks the main loop's frames begin are played on predictions; every
// other tick (the logo, the waiting loops) goes in lockstep.
void begin_tick(long tick) {
  Online& o = *playing;
  if (tick < o.session->first_tick()) {
    catch_up_tick(o, tick);
    return;
  }
  // The last streamed tick is recorded before the live ones.
  if (o.catch_up) o.catch_up->record.flush();
  const bool in_frame = at_frame_boundary();
  replay::set_online_lockstep(!in_frame);
  o.session->tick_begun(tick, in_frame);
}

// Whether the coming frame plays streamed ticks: muted and unpaced.
bool catching_up(const Online& o) {
  return platform::current_tick() + 1 < o.session->first_tick();
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

// A frame's end is the rollback's boundary; while catching up there is
// none, only the stream to take.
bool at_boundary(Online& o) {
  if (catching_up(o)) {
    o.session->poll();
    return false;
  }
  o.session->at_boundary(platform::current_tick());
  return true;
}

void end_frame(Online& o) {
  if (!at_boundary(o)) return;
  keep_room(o);
  const int stretch = o.session->frame_stretch_ms();
  if (o.paced && stretch > 0) o.clock.sleep_ms(stretch);
}

// What the host's session does not take: its guest's hello again (the
// welcome was lost), a new guest's, and the acknowledgements of the stream
// a guest catches up on.
bool host_hears(const online::Message& message) {
  Online& o = *playing;
  if (const auto* ack = std::get_if<online::StreamAck>(&message)) {
    if (!o.to_guest || ack->session != o.welcome.session) return false;
    o.to_guest->acknowledged(ack->next_tick, o.clock.now_ms());
    return true;
  }
  const auto* hello = std::get_if<online::Hello>(&message);
  if (!hello || hello->role != online::Role::guest) return false;
  if (hello->nonce == o.welcome.nonce) {
    o.open.answer_sender();
    o.link->send(online::encode(o.welcome));
    return true;
  }
  // A new guest, by address: taken once the seat is free. Until then the
  // link answers the guest in it, so a refusal waits too.
  if (o.room) return false;
  const bool free = o.session->peer_state() != online::PeerState::connected;
  if (const auto refuse = online::refusal(o.hello, *hello)) {
    if (free) {
      o.open.answer_sender();
      o.link->send(online::encode(*refuse));
      o.open.forget_sender();
    }
    return false;
  }
  o.newcomer = Online::Newcomer{*hello, o.clock.now_ms()};
  return false;
}

// The stream towards a guest catching up.
void host_tends() {
  Online& o = *playing;
  if (!o.to_guest) return;
  for (const online::Stream& s : o.to_guest->due(o.clock.now_ms()))
    o.link->send(online::encode(s));
}

// A guest's stream from its host, while it catches up.
bool guest_hears(const online::Message& message) {
  const auto* stream = std::get_if<online::Stream>(&message);
  return stream && playing->catch_up &&
         playing->catch_up->receiver.take(*stream);
}

void guest_tends() {
  Online& o = *playing;
  if (!o.catch_up) return;
  if (const auto ack = o.catch_up->receiver.ack_due({}, o.clock.now_ms()))
    o.link->send(online::encode(*ack));
}

online::SessionConfig session_config(const Online& o) {
  online::SessionConfig config;
  config.seat = o.host ? online::Role::host : online::Role::guest;
  config.session = o.welcome.session;
  config.input_delay = o.welcome.input_delay;
  config.first_tick = o.welcome.join_tick;
  config.other = o.host ? host_hears : guest_hears;
  config.tend = o.host ? host_tends : guest_tends;
  config.farewell = replay::guest_stick_pulled();
  config.joined = replay::guest_stick_plugged();
  return config;
}

void start_session(Online& o, const online::SessionConfig& config) {
  o.session =
      std::make_unique<online::Session>(*o.link, o.game, o.clock, config);
  o.game.session = o.session.get();
}

// Once its guest is gone, the host takes a new one that said hello lately
// (by address), at the frame's end: the guest's stick is plugged in at the
// next tick, and the guest first catches up on the final ticks before it.
bool welcome_newcomer(Online& o) {
  constexpr std::uint32_t fresh_ms = 1000;
  if (!o.newcomer || quit_requested != 0 ||
      o.session->peer_state() == online::PeerState::connected) {
    return false;
  }
  const long join = platform::current_tick() + 1;
  if (o.session->final_next() != join) return false;  // at the next frame
  const Online::Newcomer comer = *o.newcomer;
  o.newcomer.reset();
  // A game longer than the stream holds takes no one.
  if (o.clock.now_ms() - comer.heard_ms > fresh_ms || o.ticks.size() != join)
    return false;
  std::random_device entropy;
  o.welcome.nonce = comer.hello.nonce;
  o.welcome.session = entropy();
  o.welcome.join_tick = static_cast<std::uint32_t>(join);
  o.earlier = std::make_unique<online::FinalStream>();
  for (long t = 0; t < join; ++t)
    o.earlier->add(o.ticks.at(t)[0], o.ticks.at(t)[1]);
  o.earlier->end();
  o.to_guest = std::make_unique<online::StreamSender>(
      *o.earlier, online::Ticket{}, o.welcome.session);
  online::SessionConfig config = session_config(o);
  config.host_ahead = o.session->local_from(join);
  // The welcome answers the guest's next hello, whose sender the link
  // then answers.
  o.open.forget_sender();
  start_session(o, config);
  replay::follow_online_session(*o.session);
  o.session->at_boundary(join - 1);
  std::cerr << "online: a guest came in; its stick is plugged in at tick "
            << join << "\n";
  return true;
}

void online_main_loop() {
  Online& o = *playing;
  Reporter reporter;
  bool told = false;
  // The title as the logo left it, in lockstep: the first state to keep.
  at_boundary(o);
  for (;;) {
    try {
      if (quit_requested == 0) {
        platform::detail::set_resimulating(catching_up(o));
        run_frame();
        end_frame(o);
      }
      const bool told_before = told;
      watch_peer(*o.session, o.host, told);
      if (told && !told_before) show_status(o, "the guest left");
      if (welcome_newcomer(o)) {
        reporter.follow();
        told = false;
      }
      reporter.tick(*o.session, o.clock.now_ms());
      if (quit_requested != 0) {
        o.session->settle();
        break;
      }
    } catch (const online::Rollback&) {
      o.session->recover();
    }
  }
  if (o.keeper) o.keeper->finish(2000);
  if (o.room) o.room->leave();
  show_status(o, "ended");
  std::cerr << (o.host ? "online: ended\n"
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
bool meet(Online& o, const CommandLine& cl, std::string& error) {
  std::random_device entropy;
  o.hello = {o.host ? online::Role::host : online::Role::guest, VERMIX_VERSION,
             VERMIX_BUILD_NAME, entropy()};
  const online::Hello& ours = o.hello;
  if (!o.host) {
    if (o.room && !enter_guests_room(o, cl, ours.nonce, error)) return false;
    if (o.room) o.open.waiting_on = "room " + online::shown_code(cl.join);
    std::cerr << "online: joining "
              << (o.room ? o.open.waiting_on : o.link->describe()) << "\n";
    auto welcome =
        online::join_host(*o.link, o.clock, ours, 10000, give_up, error);
    if (!welcome) return false;
    o.welcome = *welcome;
    replay::play_with_settings(welcome->settings);
    return true;
  }
  online::Welcome& welcome = o.welcome;
  welcome.session = entropy();
  welcome.input_delay = static_cast<std::uint8_t>(cl.input_delay);
  anaglyph_settings(1);
  load_high_score();
  welcome.settings = {{"seed", std::to_string(o.seed)},
                      {"high-score", std::to_string(high_score)},
                      {"stereo-mode", std::to_string(stereo_mode)},
                      {"hologram", std::to_string(hologram_intensity)}};
  if (o.room && !open_hosts_room(o, welcome, ours.nonce, error)) return false;
  std::cerr << "online: waiting for a guest on " << o.open.waiting_on << "\n";
  const auto wait_step = [&o] {
    if (o.window_open) show_waiting(o);
    return give_up();
  };
  auto hello = online::await_guest(*o.link, o.clock, ours, welcome, wait_step,
                                   o.open.forget_sender, error);
  if (!hello) return false;
  welcome.nonce = hello->nonce;
  return true;
}

// Meets the other machine and starts the session; -1, or the exit status
// when it could not.
int begin_online(Online& o, const CommandLine& cl) {
  std::string error;
  if (!meet(o, cl, error)) {
    std::cerr << "online: " << error << "\n";
    return platform::detail::stop_requested() ? 0 : o.failed_status;
  }
  // In a room the path is told once it is known.
  std::cerr << "online: "
            << (o.room ? (o.host ? "the guest came into " : "in ") +
                             o.open.waiting_on
                       : "connected to " + o.link->describe())
            << " (input delay " << int{o.welcome.input_delay} << ")\n";
  if (o.window_open) show_status(o, "the guest came in");
  o.seed = std::stoi(setting(o.welcome, "seed"));
  if (!open_outputs(cl, o.seed, error)) {
    std::cerr << "vermix: " << error << "\n";
    return 2;
  }
  if (o.host && !o.keeper) o.game.stream = &o.ticks;
  const long join = o.welcome.join_tick;
  if (join > online::FinalStream::max_ticks) {
    std::cerr << "online: the host's game is longer than a guest can join\n";
    return o.failed_status;
  }
  if (join > 0) {
    o.catch_up = std::make_unique<Online::CatchUp>(o.welcome.session);
    std::cerr << "online: the game is under way: catching up to tick " << join
              << "\n";
  }
  playing = &o;
  start_session(o, session_config(o));
  replay::start_online_input(
      *o.session, o.host, [](long tick) -> const auto& {
        return playing->catch_up->receiver.stream().at(tick);
      });
  replay::set_online_outputs(true);
  replay::set_online_lockstep(true);
  platform::detail::restart_ticks();
  platform::detail::set_session_hook(begin_tick);
  if (o.catch_up) {
    catch_up_tick(o, 0);
  } else {
    o.session->tick_begun(0, false);
  }
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
      o.open.answer_sender = [] {};
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
      if (const int status = begin_online(o, cl); status >= 0)
        platform::detail::exit_program(status);
    });
  }
  if (const int status = begin_online(o, cl); status >= 0) return status;
  return run_game(run, o.seed, 1, online_main_loop);
}
