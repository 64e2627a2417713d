#include "app/game_flow.h"
#include "render/qwdraw.h"
#include "world/field.h"
#include "world/world.h"

namespace {

// Holds one score line text and rebuilds it only when the score changes, so
// the score line does not build strings every frame.
class CachedScoreText {
 public:
  explicit CachedScoreText(std::string prefix) : prefix_(std::move(prefix)) {}

  const std::string& get(int score) {
    if (!valid_ || score != score_) {
      text_ = score_text(prefix_, score);
      score_ = score;
      valid_ = true;
    }
    return text_;
  }

 private:
  std::string prefix_;
  std::string text_;
  int score_ = 0;
  bool valid_ = false;
};

const std::string game_over_text = "Game Over";

void draw_score(const std::string& text, int x, float depth) {
  qwdraw->sip(3, 1.0f, 0, 1.0f, 1.0f);
  platform::set_color(200, 200, 10);
  qwdraw->t3d(text, static_cast<float>(x), 0, depth, 0, 2);
}

// Spare ships: the ship in play is not counted. Player 2's row runs leftward
// from the right wall with the colours swapped.
void draw_lives_row(int lives, int x0, int step, int colour_body,
                    int colour_trim, float depth) {
  for (int k = 1; k <= lives - 1; ++k) {
    const float x = static_cast<float>(x0 + step * (k - 1));
    set_colour_id(colour_body);
    qwdraw->i3d(sprites10, x, 472, 8, depth, 0, 1);
    set_colour_id(colour_trim);
    qwdraw->i3d(sprites10, x, 472, 9, depth, 0, 1);
  }
}

void draw_out_of_lives(int x, float depth) {
  qwdraw->sip(3, 1.0f, 0, 1.0f, 1.0f);
  platform::set_color(200, 200, 10);
  qwdraw->t3d(game_over_text, static_cast<float>(x), 466, depth, 0, 1);
}

}  // namespace

std::string score_text(const std::string& prefix, int score) {
  std::string text = prefix;
  if (score < 10) text += '0';
  text += platform::int_to_string(score);
  return text;
}

int draw_hud() {
  static CachedScoreText p1_text("1up ");
  static CachedScoreText p2_text("2up ");
  static CachedScoreText high_text("");
  const float depth = static_cast<float>(hologram_intensity);

  draw_score(p1_text.get(player1->score), 172, depth);
  const std::string& high = high_text.get(high_score);
  draw_score(high, 320 - platform::text_width(high) / 2, depth);
  const std::string& p2 = p2_text.get(player2->score);
  draw_score(p2, 468 - platform::text_width(p2), depth);

  if (game_state != state_playing) return 0;
  qwdraw->sip(1, 1.0f, 0, 1.0f, 1.0f);
  draw_lives_row(player1->lives, field_left, 12, player_colour_a,
                 player_colour_b, depth);
  if (versus_mode == 0) return 0;
  draw_lives_row(player2->lives, field_right, -12, player_colour_b,
                 player_colour_a, depth);
  if (player1->lives == 0) draw_out_of_lives(field_left, depth);
  if (player2->lives == 0) {
    draw_out_of_lives(field_right - platform::text_width(game_over_text),
                      depth);
  }
  return 0;
}
