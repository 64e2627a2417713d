// Script building blocks shared by the menu and player runs.
#pragma once

#include <string>

#include "tests/integration/game_run.h"

namespace menu_steps {

using testing_support::script_line;

// A press during the opening logo ends it; the title follows at once.
inline std::string skip_intro() {
  return script_line(1, "button 1 down") + script_line(1, "button 1 up");
}

// Down and up in one tick: one press, nothing held afterwards.
inline std::string click(long tick) {
  return script_line(tick, "button 1 down") + script_line(tick, "button 1 up");
}

inline std::string key_press(long tick, int code) {
  const std::string k = "key " + std::to_string(code);
  return script_line(tick, k + " down") + script_line(tick, k + " up");
}

inline std::string mouse(long tick, int x, int y) {
  return script_line(tick,
                     "mouse " + std::to_string(x) + " " + std::to_string(y));
}

// Points at the menu line centred on y = 260 + 20 * line and clicks it one
// tick later.
inline std::string click_line(long tick, int line) {
  return mouse(tick, 320, 260 + 20 * line) + click(tick + 1);
}

inline std::string dump(long tick, const std::string& file = "dump.jsonl") {
  return script_line(tick, "dump " + file);
}

// Sound plays counted so far for one effect (0 if it never played).
inline int plays(const nlohmann::json& d, const std::string& name) {
  return d["sounds"].contains(name) ? d["sounds"][name].get<int>() : 0;
}

}  // namespace menu_steps
