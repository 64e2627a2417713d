// Parsing input scripts; the format is described in input_script.h.
#include "replay/input_script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace replay::detail {
namespace {

using Fields = std::vector<std::string>;

Fields split(const std::string& line) {
  Fields fields;
  std::istringstream in(line);
  std::string f;
  while (in >> f) fields.push_back(f);
  return fields;
}

// A fault in one line; the caller adds the file and line number.
struct LineError {
  std::string what;
};

template <typename Int>
Int whole_number(const std::string& field, const char* what) {
  Int v{};
  const char* end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, v);
  if (ec != std::errc() || ptr != end) {
    throw LineError{std::string(what) + " '" + field +
                    "' is not a whole number"};
  }
  return v;
}

int number_in(const std::string& field, const char* what, int lo, int hi) {
  const int v = whole_number<int>(field, what);
  if (v < lo || v > hi) {
    throw LineError{std::string(what) + " " + field + " is outside " +
                    std::to_string(lo) + ".." + std::to_string(hi)};
  }
  return v;
}

float axis_reading(const std::string& field) {
  double v = 0.0;
  const char* end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, v);
  if (ec != std::errc() || ptr != end || !std::isfinite(v)) {
    throw LineError{"axis value '" + field + "' is not a number"};
  }
  return static_cast<float>(std::clamp(v, -1.0, 1.0));
}

bool down_or_up(const std::string& field) {
  if (field == "down") return true;
  if (field == "up") return false;
  throw LineError{"expected 'down' or 'up', not '" + field + "'"};
}

void expect_fields(const Fields& f, std::size_t count, const char* form) {
  if (f.size() != count) {
    throw LineError{std::string("expected '") + form + "'"};
  }
}

void parse_joy(const Fields& f, ScriptEvent& e) {
  if (f.size() < 4) throw LineError{"expected 'T joy P <event> ...'"};
  e.code = number_in(f[2], "joystick port", 0, script_port_count - 1);
  const std::string& what = f[3];
  if (what == "connect" || what == "disconnect") {
    expect_fields(f, 4, "T joy P connect|disconnect");
    e.action = what == "connect" ? ScriptAction::joy_connect
                                 : ScriptAction::joy_disconnect;
  } else if (what == "axis") {
    expect_fields(f, 6, "T joy P axis A V");
    e.action = ScriptAction::joy_axis;
    e.index = number_in(f[4], "joystick axis", 0, 1);
    e.value = axis_reading(f[5]);
  } else if (what == "button") {
    expect_fields(f, 6, "T joy P button B down|up");
    e.action = ScriptAction::joy_button;
    e.index = number_in(f[4], "joystick button", 0, 16);
    e.down = down_or_up(f[5]);
  } else {
    throw LineError{"unknown joystick event '" + what + "'"};
  }
}

ScriptEvent parse_line(const Fields& f) {
  ScriptEvent e;
  e.tick = whole_number<long>(f[0], "tick");
  if (e.tick < 0) throw LineError{"tick " + f[0] + " is negative"};
  if (f.size() < 2) throw LineError{"an event must follow the tick"};
  const std::string& name = f[1];
  if (name == "key") {
    expect_fields(f, 4, "T key CODE down|up");
    e.action = ScriptAction::key;
    e.code = number_in(f[2], "key code", 0, 255);
    e.down = down_or_up(f[3]);
  } else if (name == "mouse") {
    expect_fields(f, 4, "T mouse X Y");
    e.action = ScriptAction::mouse;
    e.code = whole_number<int>(f[2], "pointer x");
    e.index = whole_number<int>(f[3], "pointer y");
  } else if (name == "button") {
    expect_fields(f, 4, "T button B down|up");
    e.action = ScriptAction::mouse_button;
    e.code = number_in(f[2], "mouse button", 1, 3);
    e.down = down_or_up(f[3]);
  } else if (name == "joy") {
    parse_joy(f, e);
  } else if (name == "focus") {
    expect_fields(f, 3, "T focus lost|gained");
    if (f[2] == "lost") {
      e.action = ScriptAction::focus_lost;
    } else if (f[2] == "gained") {
      e.action = ScriptAction::focus_gained;
    } else {
      throw LineError{"expected 'lost' or 'gained', not '" + f[2] + "'"};
    }
  } else if (name == "close" || name == "end") {
    expect_fields(f, 2, name == "close" ? "T close" : "T end");
    e.action = name == "close" ? ScriptAction::close : ScriptAction::end;
  } else if (name == "screenshot" || name == "dump") {
    expect_fields(f, 3, name == "dump" ? "T dump PATH" : "T screenshot PATH");
    e.action = name == "dump" ? ScriptAction::dump : ScriptAction::screenshot;
    e.path = f[2];
  } else {
    throw LineError{"unknown event '" + name + "'"};
  }
  return e;
}

}  // namespace

std::string format_script_event(const ScriptEvent& e) {
  const std::string tick = std::to_string(e.tick) + " ";
  const std::string n = std::to_string(e.code);
  const std::string i = std::to_string(e.index);
  const char* const updown = e.down ? " down" : " up";
  switch (e.action) {
    case ScriptAction::key:
      return tick + "key " + n + updown;
    case ScriptAction::mouse:
      return tick + "mouse " + n + " " + i;
    case ScriptAction::mouse_button:
      return tick + "button " + n + updown;
    case ScriptAction::joy_connect:
      return tick + "joy " + n + " connect";
    case ScriptAction::joy_disconnect:
      return tick + "joy " + n + " disconnect";
    case ScriptAction::joy_axis: {
      char value[32];
      std::snprintf(value, sizeof value, "%.9g", static_cast<double>(e.value));
      return tick + "joy " + n + " axis " + i + " " + value;
    }
    case ScriptAction::joy_button:
      return tick + "joy " + n + " button " + i + updown;
    case ScriptAction::focus_lost:
      return tick + "focus lost";
    case ScriptAction::focus_gained:
      return tick + "focus gained";
    case ScriptAction::close:
      return tick + "close";
    case ScriptAction::screenshot:
      return tick + "screenshot " + e.path;
    case ScriptAction::dump:
      return tick + "dump " + e.path;
    case ScriptAction::end:
      return tick + "end";
  }
  return tick + "end";
}

bool parse_input_script(const std::string& text, const std::string& file_name,
                        std::vector<ScriptEvent>& events, std::string& error) {
  std::vector<ScriptEvent> parsed;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const Fields fields = split(line);
    if (fields.empty() || fields[0][0] == '#') continue;
    try {
      parsed.push_back(parse_line(fields));
    } catch (const LineError& fault) {
      error = file_name + ":" + std::to_string(number) + ": " + fault.what;
      return false;
    }
  }
  // Scripts are often put together from pieces: play them in tick order.
  std::stable_sort(parsed.begin(), parsed.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) {
                     return a.tick < b.tick;
                   });
  events = std::move(parsed);
  return true;
}

}  // namespace replay::detail
