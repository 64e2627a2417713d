// Input scripts written by hand or put together from pieces: any text. A
// parse either fails naming the file and a line, or gives events in tick
// order whose fields all lie in the ranges the player code relies on.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "replay/input_script.h"

namespace {

using replay::detail::ScriptAction;
using replay::detail::ScriptEvent;

bool in_range(int v, int lo, int hi) { return v >= lo && v <= hi; }

bool event_ok(const ScriptEvent& e) {
  if (e.tick < 0) return false;
  switch (e.action) {
    case ScriptAction::key:
      return in_range(e.code, 0, 255);
    case ScriptAction::mouse_button:
      return in_range(e.code, 1, 3);
    case ScriptAction::joy_connect:
    case ScriptAction::joy_disconnect:
      return in_range(e.code, 0, replay::detail::script_port_count - 1);
    case ScriptAction::joy_axis:
      return in_range(e.code, 0, replay::detail::script_port_count - 1) &&
             in_range(e.index, 0, 1) && e.value >= -1.0f && e.value <= 1.0f;
    case ScriptAction::joy_button:
      return in_range(e.code, 0, replay::detail::script_port_count - 1) &&
             in_range(e.index, 0, 16);
    case ScriptAction::screenshot:
    case ScriptAction::dump:
      return !e.path.empty() &&
             std::none_of(e.path.begin(), e.path.end(), [](char c) {
               return std::isspace(static_cast<unsigned char>(c));
             });
    case ScriptAction::mouse:
    case ScriptAction::focus_lost:
    case ScriptAction::focus_gained:
    case ScriptAction::close:
    case ScriptAction::end:
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<ScriptEvent> events;
  std::string error;
  if (!replay::detail::parse_input_script(text, "fuzz.txt", events, error)) {
    if (error.rfind("fuzz.txt:", 0) != 0) std::abort();
    return 0;
  }
  if (!std::is_sorted(events.begin(), events.end(),
                      [](const ScriptEvent& a, const ScriptEvent& b) {
                        return a.tick < b.tick;
                      })) {
    std::abort();
  }
  if (!std::all_of(events.begin(), events.end(), event_ok)) std::abort();
  return 0;
}
