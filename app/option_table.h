// Every option of the game in one table: the parser, --help and the man page
// are all made from it, so they cannot disagree.
#pragma once

#include <span>
#include <string>

struct CommandLine;

struct OptionRow {
  const char* name;   // "--scale"
  const char* alias;  // "-h", or nullptr
  const char* value;  // what follows it ("N", "FILE", "N FILE": one word
                      // per argument), or nullptr for none
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
