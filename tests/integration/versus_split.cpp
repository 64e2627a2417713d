#include "tests/integration/versus_split.h"

#include <fstream>
#include <sstream>

namespace testing_support {

std::string read_text(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

namespace {

// The keyboard's stick: per axis the keys of its two directions, in two
// sets (arrows, W A S D), used by turns so that every key gets pressed.
struct KeyboardStick {
  static constexpr int keys[2][2][2] = {{{37, 39}, {38, 40}},
                                        {{65, 68}, {87, 83}}};
  int held[2] = {0, 0};  // the key down for each axis, or 0
  int turns = 0;

  // The key events that move `axis` to `value` (-1, 0 or 1).
  std::string move(const std::string& tick, int axis, int value) {
    std::string out;
    if (held[axis] != 0)
      out += tick + " key " + std::to_string(held[axis]) + " up\n";
    held[axis] = 0;
    if (value != 0) {
      held[axis] = keys[turns++ % 2][axis][value > 0 ? 1 : 0];
      out += tick + " key " + std::to_string(held[axis]) + " down\n";
    }
    return out;
  }
};

}  // namespace

Split split_versus(bool keyboard_guest) {
  std::istringstream in(read_text(std::filesystem::path(VERMIX_SOURCE_DIR) /
                                  "tests" / "replays" / "versus.replay"));
  Split s;
  KeyboardStick keyboard;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string tick, what, port, event;
    int axis = 0;
    float value = 0;
    words >> tick >> what >> port >> event;
    if (what != "joy" || port != "1") {
      s.host += line + "\n";
    } else if (!keyboard_guest) {
      s.guest += tick + " joy 0" + line.substr(line.find(" joy 1") + 6) + "\n";
    } else if (event == "axis" && words >> axis >> value) {
      s.guest += keyboard.move(tick, axis, static_cast<int>(value));
    }
  }
  return s;
}

std::map<std::string, std::string> end_state(const std::string& replay) {
  const std::size_t at = replay.rfind("#! end ");
  std::istringstream words(replay.substr(at + 7));
  std::map<std::string, std::string> out;
  std::string word;
  words >> word;
  out["tick"] = word;
  while (words >> word) {
    const std::size_t eq = word.find('=');
    if (eq != std::string::npos && word.substr(0, eq) != "events")
      out[word.substr(0, eq)] = word.substr(eq + 1);
  }
  return out;
}

}  // namespace testing_support
