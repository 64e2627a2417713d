// Runs the real game executable in a scratch working folder, driven by an
// input script, and reads back what it wrote: state dumps, screenshots and
// its own files.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace testing_support {

struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
  bool ok() const { return width > 0; }
  // {r, g, b} of display pixel (x, y).
  std::array<int, 3> at(int x, int y) const;
};

struct RunResult {
  int exit_code = -1;
  std::string err;  // what the game printed on stderr
  std::string out;  // and on stdout
};

class GameFolder {
 public:
  // A fresh working folder holding data/ with the game's sound files.
  // With `with_sounds` false the data folder is left out entirely, and the
  // game keeps its files in xdg/vermix (XDG_DATA_HOME is xdg/).
  explicit GameFolder(bool with_sounds = true);
  ~GameFolder();
  GameFolder(const GameFolder&) = delete;
  GameFolder& operator=(const GameFolder&) = delete;

  const std::filesystem::path& path() const { return dir_; }
  // Runs this program instead of the game from now on.
  void use_program(const std::string& exe) { exe_ = exe; }

  // Runs the game with --window --fast and the given script text; `args`
  // come first (default: a fixed seed).
  RunResult run(const std::string& script,
                const std::vector<std::string>& args = {"--seed", "1"},
                int timeout_seconds = 240);
  // Runs the executable with exactly these arguments. `in_child` runs in the
  // new process just before it becomes the game (limits, user, environment).
  RunResult run_raw(const std::vector<std::string>& args,
                    int timeout_seconds = 240,
                    const std::function<void()>& in_child = {});
  // The same in two steps: the game starts, and is later waited for (killed
  // with SIGKILL once the timeout has passed).
  pid_t start(const std::vector<std::string>& args,
              const std::function<void()>& in_child = {});
  RunResult wait(pid_t pid, int timeout_seconds = 240);
  // Starts the game as run() does without waiting for it.
  pid_t start_script(const std::string& script,
                     const std::vector<std::string>& args = {"--seed", "1"});

  // Every line of a dump file, parsed.
  std::vector<nlohmann::json> dumps(
      const std::string& name = "dump.jsonl") const;
  // The single dump a run that ended in order wrote; otherwise a test
  // failure naming what the game printed, and an empty object.
  // A save that cannot be made (a folder in its place) ends with status 5.
  nlohmann::json only_dump(const RunResult& run, int status = 0) const;
  Screenshot screenshot(const std::string& name) const;

  void write_bytes(const std::string& rel,
                   const std::vector<std::uint8_t>& bytes);
  std::vector<std::uint8_t> read_bytes(const std::string& rel) const;
  bool exists(const std::string& rel) const;

 private:
  std::filesystem::path dir_;
  std::string exe_ = VERMIX_EXE;
};

// Plays `script` (a replay or a plain script) in a fresh folder with
// --window --fast, `args` and --script, and expects the dumps it writes to
// `dump_file` to be `want`, one for one: a test failure names the first
// that differs. Use it inside ASSERT_NO_FATAL_FAILURE.
void expect_same_dumps(const std::vector<std::uint8_t>& script,
                       const std::vector<std::string>& args,
                       const std::string& dump_file,
                       const std::vector<nlohmann::json>& want);

// Builds script text: script_line(5, "key 27 down") -> "5 key 27 down\n".
std::string script_line(long tick, const std::string& event);

}  // namespace testing_support
