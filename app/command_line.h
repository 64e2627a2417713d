// The command line read against the option table, and the texts of --help
// and --version.
#pragma once

#include <string>
#include <vector>

#include "app/option_table.h"

// Reads the arguments after the program name, taking exactly the options of
// option_table().
CommandLine parse_command_line(const std::vector<std::string>& args);

// --help: the options of option_table() and where the files live.
std::string usage_text();
std::string version_line();
