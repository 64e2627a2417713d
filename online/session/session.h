// One game played on two machines: each runs the whole game on one input
// stream merged from both seats. The local seat's input takes effect a few
// ticks after it was read (the input delay) and is sent at once; the other
// seat's input is predicted (nothing new: what it held, it holds) until it
// arrives. When it arrives and differs from the prediction, the game goes
// back to the kept state of that tick and plays forward to the present,
// muted. Inside the game's waiting loops, which lie within a frame where no
// state can be kept, both machines go tick by tick on confirmed input
// (lockstep); a wrong prediction found there unwinds the frame (Rollback)
// to the main loop, which calls recover().
//
// The session knows nothing of sockets: it speaks through a Link, and sees
// the game through the Game interface and the clock through Clock.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "online/protocol/link.h"
#include "online/protocol/messages.h"
#include "online/session/time_sync.h"

namespace online {

using Hashes = std::vector<std::pair<std::string, std::uint32_t>>;

// What the session asks of the game.
class Game {
 public:
  virtual ~Game() = default;
  // Keeps the state at the frame boundary in `tick` (after the frame that
  // began the tick and read its input); a later save of the same tick
  // replaces it. Ticks Session::kept_ticks or more behind the newest may be
  // forgotten.
  virtual void save(long tick) = 0;
  // Makes the state kept at `tick` the game's (the current tick too).
  virtual void load(long tick) = 0;
  // Plays on, muted and unpaced, frame by frame (calling at_boundary after
  // each) until the current tick is at least `tick`, or the game ends
  // first; returns the tick reached.
  virtual long resimulate_to(long tick) = 0;
  // `tick` begins: keep what hashes() and tick_final() will ask of the
  // state that begins it (the latest note of a tick is the one used).
  virtual void note(long tick) = 0;
  // Named hashes of the state that began `tick`, for the desync check.
  virtual Hashes hashes(long tick) = 0;
  // Tick `tick` is final: its input is known on both seats and the state
  // that begins it will not change again. Called once per tick, in order.
  virtual void tick_final(long tick, const TickEvents& host,
                          const TickEvents& guest) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint32_t now_ms() = 0;
  virtual void sleep_ms(int ms) = 0;
};

// Thrown from a waiting loop's tick when a prediction made before the wait
// turns out wrong; caught at the main loop, which calls recover().
struct Rollback {};

struct SessionConfig {
  Role seat = Role::host;  // host: seat 0, guest: seat 1
  std::uint32_t session = 0;
  int input_delay = 2;     // 0..8
  int max_prediction = 8;  // ticks the game may run ahead of the other seat
  int check_interval = 60;
  std::uint32_t peer_timeout_ms = 5000;
  // Messages the session does not take itself (a guest's hello, a stream
  // and its acknowledgements) go here: true when they were the other
  // seat's, which is then heard from; false, and they count as dropped.
  std::function<bool(const Message&)> other;
  // Called at every poll: what else the link carries is sent from here.
  std::function<void()> tend;
  // What the guest's seat gives when the guest is gone (a stick pulled).
  TickEvents farewell;
  // A session may begin in a game under way, at first_tick: every tick
  // before it is final already. The guest's seat comes in there with
  // `joined` (its stick plugged in), which takes the first tick of its
  // input delay (one tick at least); the host brings the events it read
  // for first_tick on (`host_ahead`: its earlier session had them).
  long first_tick = 0;
  TickEvents joined;
  std::vector<TickEvents> host_ahead;
};

enum class PeerState { connected, lost, left, desync };

struct SessionFigures {
  long rollbacks = 0;
  long longest_rollback = 0;  // ticks
  long waits = 0;             // frames held because the other seat lagged
  std::uint32_t round_trip_ms = 0;
  long dropped = 0;  // messages refused: malformed, replayed, foreign
};

class Session {
 public:
  // The game keeps the states of at least this many latest ticks.
  static constexpr int kept_ticks = 16;

  Session(Link& link, Game& game, Clock& clock, SessionConfig config);

  // Whether this machine's input for `tick` is still to be read: the
  // first time the tick is played, whether first played in a rollback or
  // played again after its frame was unwound.
  bool wants_local(long tick) const {
    return tick + config_.input_delay >= local_next_;
  }
  // The local seat's events read at `tick`: they take effect at
  // tick + input delay, and are sent from now on until acknowledged.
  void add_local(long tick, TickEvents events);

  // Both seats' events for `tick`; the other seat's are predicted (none)
  // until known. `lockstep`: waits until they are known.
  std::array<TickEvents, 2> events_for(long tick, bool lockstep);

  // A tick begins: `in_frame` when the main loop's frame began it (the
  // boundary follows at the frame's end); otherwise a waiting loop's tick,
  // which waits until everything before it is known and throws Rollback
  // if that shows a wrong prediction.
  void tick_begun(long tick, bool in_frame);
  // A frame ended, in `tick`: takes what arrived, corrects wrong
  // predictions, keeps the state, holds the game while it is too far
  // ahead of the other seat, and slows it a little when it runs ahead.
  void at_boundary(long tick);
  // After a Rollback was caught: back to the wrong prediction and on to
  // the present.
  void recover();

  // The other seat is gone for good from now on (the host plays on alone):
  // its events from the first unknown tick are `farewell`, then none.
  void close_remote(const TickEvents& farewell);
  // Waits (bounded) until the other seat has every tick up to now, so
  // that the recording and the game end alike on both.
  void settle();
  // Sends what is due and takes what arrived; never blocks.
  void poll();
  // This machine's player leaves: the other side is told.
  void leave();

  // This seat's events read for `tick` onward (a next session's host_ahead).
  std::vector<TickEvents> local_from(long tick) const;
  // Every tick below this was reported final.
  long final_next() const { return final_next_; }
  long first_tick() const { return config_.first_tick; }

  PeerState peer_state() const { return peer_state_; }
  // The tick the other seat said goodbye at (its game's last), or -1.
  long peer_left_tick() const { return peer_left_tick_; }
  long desync_tick() const { return desync_tick_; }
  const std::string& desync_field() const { return desync_field_; }
  const SessionFigures& figures() const { return figures_; }
  // Milliseconds to stretch the coming frame by (time sync).
  int frame_stretch_ms() const { return sync_.stretch_ms(); }

 private:
  int local_seat() const { return config_.seat == Role::host ? 0 : 1; }
  // Every remote tick below this is known (all of them once closed).
  long known() const;
  const TickEvents& local_at(long tick) const;
  const TickEvents& remote_at(long tick) const;
  void receive(const Inputs& inputs);
  void receive(const Check& check);
  void receive(const Bye& bye);
  void peer_lost(PeerState state);
  void save(long tick);
  void say_bye(ByeReason reason);
  void send_inputs(bool fresh);
  void compare_checks();
  void finalize();
  void forget_old();
  // Polls until `done` or the other seat is gone; false if it is.
  bool wait_until(const std::function<bool()>& done);
  void note_traffic();
  void observe_sync();

  Link& link_;
  Game& game_;
  Clock& clock_;
  SessionConfig config_;

  // The local seat's events by tick from local_base_; ticks below the
  // input delay are empty on both seats.
  long local_base_ = 0;
  std::deque<TickEvents> local_;
  long local_next_ = 0;    // ticks below are filled (empty or events)
  long remote_acked_ = 0;  // the other seat has every local tick below
  long remote_base_ = 0;   // remote_ holds ticks from here
  std::deque<TickEvents> remote_;
  long remote_known_ = 0;  // every remote tick below is known
  bool remote_closed_ = false;
  long present_ = 0;        // the furthest tick the game has begun
  long now_ = 0;            // the tick the game is at (behind it in a rollback)
  long read_through_ = -1;  // the furthest tick whose input was read
  std::optional<long> wrong_from_;  // the first tick played on a wrong guess
  long final_next_ = 0;             // ticks below were reported final
  bool resimulating_ = false;
  std::deque<long> saved_;  // boundaries kept in the play as it stands

  std::uint32_t last_heard_ms_ = 0;
  std::uint32_t last_sent_ms_ = 0;
  std::uint32_t peer_tick_heard_ms_ = 0;
  std::uint32_t peer_ping_ms_ = 0;  // echoed back in our next Inputs
  long peer_tick_ = 0;

  // Final checks: ours by tick (the latest few), and the peer's awaiting ours.
  std::map<long, Hashes> our_checks_;
  std::map<long, Hashes> peer_checks_;
  long last_check_tick_ = -1;  // our latest final check, sent with inputs

  TimeSync sync_;
  PeerState peer_state_ = PeerState::connected;
  long desync_tick_ = -1;
  long peer_left_tick_ = -1;
  std::string desync_field_;
  SessionFigures figures_;
};

}  // namespace online
