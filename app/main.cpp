#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/data_folders.h"
#include "app/shell.h"

// Everything the command line can refuse is refused before the display
// opens: bad options with status 2, a bad script line too.
int main(int argc, char** argv) {
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
  if (!cl.script.empty()) {
    std::string error;
    if (!platform::load_input_script(cl.script, error)) {
      std::cerr << "vermix: " << error << "\n";
      return 2;
    }
  }
  use_data_folders(folders);
  return run_game(cl.run, cl.seed);
}
