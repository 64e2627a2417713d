// Every option of the game in one table: the parser, --help and the man page
// are all made from it, so they cannot disagree.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/platform.h"

// The program's options: how the display opens, the seed, an input script,
// the data folder.
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
  int synctest = 0;      // frames rolled back after every frame; 0: none
  int dump_every = 0;    // ticks between state dumps; 0: none
  std::string dump_file;
  // An online game: host one (in a room of the server, or waiting on
  // host_port), join one (by invite code or address), or watch one.
  enum class Online { off, host_room, host, join_room, join, watch };
  Online online = Online::off;
  int host_port = 4761;
  std::string join;    // HOST[:PORT], or the room's code (as on the wire)
  std::string server;  // the room server; empty: online.cfg's
  int input_delay = 2;
  std::string error;  // why the command line was refused
};

struct OptionRow {
  const char* name;   // "--scale"
  const char* alias;  // "-h", or nullptr
  const char* value;  // what follows it ("N", "FILE", "N FILE": one word
                      // per argument; "[PORT]": one that may be left out),
                      // or nullptr for none
  const char* help;   // what it does, one or more sentences
  // Takes the option (and its one or two values) into `cl`; returns why it
  // is refused, or "" when it is taken. --help and --version end the reading.
  std::string (*apply)(CommandLine& cl, const std::string& value,
                       const std::string& second);
};

std::span<const OptionRow> option_table();

// Shared by --help and the man page.
extern const char* const program_summary;
extern const char* const files_summary;
extern const char* const exit_status_summary;
