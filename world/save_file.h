// Saving the game's small files of 32-bit ints.
#pragma once

#include <initializer_list>
#include <string>

// Writes `values` in one piece to the file `name` of the folder for saved
// files, making the folder (and its parents) first if it is missing. When
// the save fails it says so on stderr, naming the file and the reason, the
// previous file stays whole and the program's exit status tells.
bool save_ints(const std::string& name, std::initializer_list<int> values);
