// vermix_autoplay: plays the game in this process with an automatic player
// and writes what it did as an input script, so that
//   vermix --fast --seed N --script FILE
// plays the very same game.
//
// usage: vermix_autoplay [--seed N] [--soak] [--dump-every N] [--stereo M]
//                        [--retro] [--insects-from S] [--versus] FRAMES FILE
//
// Without --soak one player clears stage after stage, starting a new game
// whenever one ends. With --soak stretches of random input (see mischief.h)
// come between stretches of that play, and now and then the random input may
// leave a game for the title. --dump-every N appends a state dump to
// dump.jsonl every N ticks, and one to reset.jsonl in the first tick of every
// game started from the title. --stereo M and --retro set the title's 3D
// graphics line to mode M and the retro lines on before the first game.
// --versus plays a versus game on two joysticks to its verdict instead (see
// versus.h). --insects-from S: from stage S on, the player spares the crawler's
// last segment until every kind of insect has come out at least once.
#include <algorithm>
#include <bitset>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <tuple>
#include <vector>

#include "app/shell.h"
#include "replay/input_script.h"
#include "replay/replay.h"
#include "tools/replay/autoplay/mischief.h"
#include "tools/replay/autoplay/pilot.h"
#include "tools/replay/autoplay/versus.h"
#include "world/world.h"

namespace {

constexpr long pilot_stretch = 900;       // ticks of automatic play
constexpr long random_stretch = 300;      // then ticks of random input
constexpr int rounds_between_leaves = 4;  // every 4th may leave the game

struct Settings {
  int seed = 1;
  long frames = 0;
  long dump_every = 0;
  bool soak = false;
  bool versus = false;
  int stereo = -1;  // -1: leave the title's 3D graphics line alone
  bool retro = false;
  int insects_from = 0;  // 0: clear every stage at once
  std::string out;
};

[[noreturn]] void usage() {
  std::cerr << "usage: vermix_autoplay [--seed N] [--soak] [--dump-every N] "
               "[--stereo M] [--retro] [--insects-from S] [--versus] "
               "FRAMES FILE\n";
  std::exit(2);
}

long number(const std::string& text) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < 0) usage();
  return v;
}

Settings read_args(int argc, char** argv) {
  Settings s;
  std::vector<std::string> rest;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--soak") {
      s.soak = true;
    } else if (a == "--versus") {
      s.versus = true;
    } else if (a == "--retro") {
      s.retro = true;
    } else if (a == "--insects-from" && i + 1 < argc) {
      s.insects_from = static_cast<int>(number(argv[++i]));
    } else if (a == "--stereo" && i + 1 < argc) {
      s.stereo = static_cast<int>(number(argv[++i]));
      if (s.stereo > 4) usage();
    } else if ((a == "--seed" || a == "--dump-every") && i + 1 < argc) {
      (a == "--seed" ? s.seed = static_cast<int>(number(argv[++i]))
                     : s.dump_every = number(argv[++i]));
    } else {
      rest.push_back(a);
    }
  }
  if (rest.size() != 2) usage();
  s.frames = number(rest[0]);
  s.out = rest[1];
  return s;
}

class Autoplay {
 public:
  explicit Autoplay(const Settings& s)
      : s_(s), mischief_(static_cast<unsigned>(s.seed)), file_(s.out) {
    file_ << "# Written by vermix_autoplay" << (s.soak ? " --soak" : "")
          << " --seed " << s.seed << "; play it with\n# vermix --fast --seed "
          << s.seed << " --script FILE\n";
  }

  std::string tick(long t) {
    TickLines out(t);
    if (game_state != last_state_) {
      if (last_state_ == state_title && game_state == state_playing &&
          s_.dump_every > 0) {
        out.add("dump reset.jsonl");
      }
      last_state_ = game_state;
      state_since_ = t;
    }
    if (s_.dump_every > 0 && t > 0 && t % s_.dump_every == 0) {
      out.add("dump dump.jsonl");
    }
    if (game_state == state_playing) top_stage_ = std::max(top_stage_, stage);
    if (t >= s_.frames) {
      out.add("end");
      finish(out);
      return out.text();
    }
    if (s_.versus) {
      versus_.tick(out, t - state_since_);
    } else if (s_.soak && in_random_stretch(t)) {
      mischief_.tick(
          out, (t / (pilot_stretch + random_stretch)) % rounds_between_leaves ==
                   rounds_between_leaves - 1);
    } else if (!s_.soak || mischief_.settle(out)) {
      play(out, t - state_since_);
    }
    file_ << out.text();
    return out.text();
  }

 private:
  bool in_random_stretch(long t) const {
    return t % (pilot_stretch + random_stretch) >= pilot_stretch;
  }

  void play(TickLines& out, long since) {
    if (game_state == state_title && set_up_title(out, since)) return;
    if (game_state != state_playing) {
      menu_tick(out, since);
    } else if (versus_mode != 0) {
      // Only a one-player game is played: pause, and leave from the menu.
      if (since % 5 == 1) out.key_press(27);
    } else if (play_phase == 1) {
      pilot_tick(out, s_.insects_from > 0 && stage >= s_.insects_from &&
                          !all_insects_seen());
    }
  }

  bool all_insects_seen() {
    for (std::size_t i = 0; i < insects.size(); ++i) {
      if (insects[i] && insects[i]->state == 1) insects_seen_.set(i);
    }
    return insects_seen_.all();
  }

  // Clicks the title's 3D graphics and retro lines until they read as
  // asked; false once they do.
  bool set_up_title(TickLines& out, long since) const {
    const bool stereo_due = s_.stereo >= 0 && stereo_mode != s_.stereo;
    const bool retro_due = s_.retro && retro_lines == 0;
    if (!stereo_due && !retro_due) return false;
    if (since % 5 == 1) {
      out.mouse(320, stereo_due ? 280 : 320);
      out.click();
    }
    return true;
  }

  void finish(const TickLines& out) {
    file_ << out.text();
    file_.close();
    std::cerr << "autoplay: " << s_.frames << " ticks, stage " << top_stage_
              << " reached, crawler speed " << crawler_speed << "\n";
  }

  Settings s_;
  Mischief mischief_;
  std::ofstream file_;
  int last_state_ = -1;
  long state_since_ = 0;
  int top_stage_ = 0;
  VersusPlayer versus_;
  std::bitset<std::tuple_size_v<decltype(insects)>> insects_seen_;
};

}  // namespace

int main(int argc, char** argv) {
  const Settings s = read_args(argc, argv);
  static Autoplay autoplay(s);
  std::string error;
  // The game plays an empty script whose input comes from the player below.
  if (!std::ofstream(s.out + ".start") ||
      !replay::load_input_script(s.out + ".start", error)) {
    std::cerr << "vermix_autoplay: " << error << "\n";
    return 2;
  }
  std::remove((s.out + ".start").c_str());
  replay::detail::set_script_feed([](long t) { return autoplay.tick(t); });
  platform::RunOptions options;
  options.window = true;
  options.fast = true;
  return run_game(options, s.seed);
}
