// The program's options: how the display opens, the seed, an input script,
// the data folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

struct CommandLine {
  enum class Action { run, help, version, where, refuse };
  Action action = Action::run;
  platform::RunOptions run;
  std::optional<int> seed;
  std::string script;    // empty: the real devices
  std::string data_dir;  // empty: the folders the game finds itself
  std::string record;    // empty: no recording
  std::string timedemo;  // a replay played unpaced and timed
  int repeat = 1;        // runs of the timedemo
  int dump_every = 0;    // ticks between state dumps; 0: none
  std::string dump_file;
  std::string error;  // why the command line was refused
};

// Reads the arguments after the program name, taking exactly the options of
// option_table().
CommandLine parse_command_line(const std::vector<std::string>& args);

// --help: the options of option_table() and where the files live.
std::string usage_text();
std::string version_line();
