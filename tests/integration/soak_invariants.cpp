#include "tests/integration/soak_invariants.h"

#include <algorithm>
#include <set>
#include <utility>

using nlohmann::json;

namespace soak {
namespace {

constexpr int max_lives = 12;
constexpr int mushroom_slots = 90;
// Mushrooms stand on columns 1..28 and rows 0..35 of a 10-pixel grid whose
// column 0 is x = 175 and row 0 is y = 50.
constexpr int grid_left = 175;
constexpr int mushroom_top = 50;
constexpr int first_column = 1, last_column = 28, last_row = 35;
constexpr int fresh_img = 11;
constexpr int hits_to_destroy = 7;
// The crawler decides every 10 pixels on a grid through x = 175 and y = 0.
constexpr int crawler_step = 10;
constexpr int spawn_row = 40;
constexpr int first_length = 10, max_length = 18;
constexpr int state_playing = 2;

class Report {
 public:
  explicit Report(const json& d) : tick_(d.value("tick", -1L)) {}
  void fail(const std::string& what) {
    faults_.push_back("tick " + std::to_string(tick_) + ": " + what);
  }
  Faults take() { return std::move(faults_); }

 private:
  long tick_;
  Faults faults_;
};

// The floor modulo, so that segments still off the left edge count too.
int mod(int a, int m) { return ((a % m) + m) % m; }

bool on_grid(int v, int origin, int lo, int hi) {
  return mod(v - origin, crawler_step) == 0 &&
         v >= origin + lo * crawler_step && v <= origin + hi * crawler_step;
}

int speed_of_stage(int stage) {
  if (stage >= 20) return 10;
  if (stage >= 10) return 5;
  if (stage >= 5) return 2;
  return 1;
}

void check_players(const json& d, Report& r) {
  for (std::size_t i = 0; i < d["players"].size(); ++i) {
    const json& p = d["players"][i];
    const std::string who = "player " + std::to_string(i + 1);
    const int lives = p["lives"];
    if (lives < 0 || lives > max_lives) {
      r.fail(who + " has " + std::to_string(lives) + " lives");
    }
    if (p["score"].get<int>() < 0) {
      r.fail(who + " score " + p["score"].dump() + " is negative");
    }
  }
}

void check_mushrooms(const json& d, Report& r) {
  if (d["mushrooms"].size() != mushroom_slots) {
    r.fail(std::to_string(d["mushrooms"].size()) + " mushroom slots");
  }
  std::set<std::pair<int, int>> cells;
  for (const json& m : d["mushrooms"]) {
    const int x = m["x"], y = m["y"], img = m["img"], hit = m["hit"];
    if (img == 0 && x == 0 && y == 0 && hit == 0) continue;  // empty slot
    const std::string at = "mushroom " + m.dump();
    if (!on_grid(x, grid_left, first_column, last_column) ||
        !on_grid(y, mushroom_top, 0, last_row)) {
      r.fail(at + " is off the grid");
    }
    if (hit < 0 || hit > hits_to_destroy || img != fresh_img + hit) {
      r.fail(at + " is not worn by its hits");
    }
    if (!cells.insert({x, y}).second) r.fail(at + " shares its cell");
  }
}

void check_crawler(const json& d, Report& r) {
  const int stage = d["stage"], speed = d["crawler_speed"];
  if (speed != speed_of_stage(stage)) {
    r.fail("crawler speed " + std::to_string(speed) + " at stage " +
           std::to_string(stage));
  }
  const int length = std::min(max_length, first_length - 1 + stage);
  if (d["crawler_length"] != length) {
    r.fail("crawler length " + d["crawler_length"].dump() + " at stage " +
           std::to_string(stage));
  }
  if (speed <= 0) return;
  const int period = crawler_step / speed;
  for (const json& s : d["crawler"]) {
    const int x = s["x"], y = s["y"], rot = s["rot"], dst = s["dst"];
    const std::string at = "segment " + s.dump();
    if (dst < 0 || dst >= period) {
      r.fail(at + " missed its decision point");
      continue;
    }
    // Headings change only at decision points, so walking back dst frames
    // along the heading finds the last one.
    int dx = 0, dy = 0;
    switch (rot) {
      case 0:
        dy = -1;
        break;
      case 90:
        dx = 1;
        break;
      case 180:
        dy = 1;
        break;
      case 270:
        dx = -1;
        break;
      default:
        r.fail(at + " has a heading off the four directions");
        continue;
    }
    const int px = x - dx * dst * speed, py = y - dy * dst * speed;
    if (mod(px - grid_left, crawler_step) != 0 || mod(py, crawler_step) != 0) {
      r.fail(at + " last decided off the grid at (" + std::to_string(px) +
             ", " + std::to_string(py) + ")");
    }
  }
}

}  // namespace

Faults check_dump(const json& d) {
  Report r(d);
  check_players(d, r);
  check_mushrooms(d, r);
  check_crawler(d, r);
  const int tally = d["tally_index"];
  if (tally < 0 || tally > mushroom_slots) {
    r.fail("tally index " + std::to_string(tally));
  }
  return r.take();
}

Faults check_fresh_game(const json& d) {
  Report r(d);
  if (d["game_state"] != state_playing || d["play_phase"] != 1) {
    r.fail("not in play after a game start");
  }
  if (d["stage"] != 1) r.fail("a new game at stage " + d["stage"].dump());
  if (d["particles"] != 0) r.fail(d["particles"].dump() + " particles left");
  if (!d["points"].empty()) r.fail(d["points"].dump() + " pop-ups left");
  if (d["tally_index"] != 0) r.fail("tally index " + d["tally_index"].dump());
  const json& chain = d["crawler"];
  if (chain.size() != first_length) {
    r.fail(std::to_string(chain.size()) + " segments in a new chain");
  }
  int heads = 0;
  for (const json& s : chain) {
    heads += s["head"].get<int>();
    if (s["y"] != spawn_row || s["dst"] != 0) {
      r.fail("segment " + s.dump() + " is not fresh");
    }
  }
  if (!chain.empty() && (heads != 1 || chain[0]["head"] != 1)) {
    r.fail("the new chain does not lead with its only head");
  }
  for (const json& p : d["players"]) {
    if (p["score"] != 0 || p["lives"] != 3) {
      r.fail("player " + p.dump() + " does not start afresh");
    }
  }
  return r.take();
}

Faults check_step(const json& before, const json& after) {
  Report r(after);
  if (after["tick"] <= before["tick"]) {
    r.fail("follows the dump of tick " + before["tick"].dump());
  }
  if (after["high_score"] < before["high_score"]) {
    r.fail("high score fell from " + before["high_score"].dump() + " to " +
           after["high_score"].dump());
  }
  return r.take();
}

}  // namespace soak
