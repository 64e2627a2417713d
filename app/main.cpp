#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/online_game.h"
#include "app/online_watch.h"
#include "app/replay_settings.h"
#include "app/shell.h"
#include "app/synctest.h"
#include "app/window_file.h"
#include "platform/entry_point.h"
#include "replay/replay.h"
#include "world/data_folders.h"

namespace {

// The seed of a replay, else the one given, else the clock's.
int seed_to_use(const CommandLine& cl) {
  if (const auto text = replay::replay_setting("seed")) {
    int seed = 0;
    const char* end = text->data() + text->size();
    auto [ptr, ec] = std::from_chars(text->data(), end, seed);
    if (ec == std::errc() && ptr == end) {
      if (cl.seed && *cl.seed != seed) {
        std::cerr << "vermix: the replay plays with its own seed " << seed
                  << "\n";
      }
      return seed;
    }
  }
  return cl.seed ? *cl.seed : platform::millisecs();
}

}  // namespace

// Everything the command line can refuse is refused before the display
// opens: bad options with status 2, a bad script line, another replay
// format or a file that cannot be written too.
int main(int argc, char** argv) {
  platform::use_parent_console();
  const CommandLine cl =
      parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
  const DataFolders folders =
      choose_data_folders(gather_folder_clues(cl.data_dir));
  switch (cl.action) {
    case CommandLine::Action::help:
      std::cout << usage_text() << "\nIn use now:\n"
                << where_text(folders, platform::working_folder(), "  ");
      return 0;
    case CommandLine::Action::version:
      std::cout << version_line();
      return 0;
    case CommandLine::Action::where:
      std::cout << where_text(folders, platform::working_folder());
      return 0;
    case CommandLine::Action::refuse:
      std::cerr << "vermix: " << cl.error << "\nTry 'vermix --help'.\n";
      return 2;
    case CommandLine::Action::run:
      break;
  }
  // The devices' input cannot be played again after a rollback.
  if (cl.synctest > 0 && cl.script.empty()) {
    std::cerr << "vermix: --synctest plays a script: add --script FILE\n";
    return 2;
  }
  std::string error;
  const std::string& script = cl.timedemo.empty() ? cl.script : cl.timedemo;
  if (!script.empty() && !replay::load_input_script(script, error)) {
    std::cerr << "vermix: " << error << "\n";
    return 2;
  }
  // An online game learns its seed and settings when the two machines
  // meet, and writes its files from then on.
  if (cl.online == CommandLine::Online::watch) {
    use_data_folders(folders);
    return watch_online_game(cl, with_kept_window(cl.run));
  }
  if (cl.online != CommandLine::Online::off) {
    use_data_folders(folders);
    return run_online_game(cl, with_kept_window(cl.run));
  }
  const int seed = seed_to_use(cl);
  if (!open_outputs(cl, seed, error)) {
    std::cerr << "vermix: " << error << "\n";
    return 2;
  }
  use_data_folders(folders);
  platform::RunOptions run = with_kept_window(cl.run);
  if (!cl.timedemo.empty()) {
    run.fast = true;
    replay::time_frames();
  }
  if (cl.synctest > 0) {
    return run_game(run, seed, cl.repeat,
                    [frames = cl.synctest] { run_synctest(frames); });
  }
  return run_game(run, seed, cl.repeat);
}
