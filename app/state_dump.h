// The game's state as one line of JSON, for the input script's `dump`.
#pragma once

#include <string>

std::string state_dump_json();
