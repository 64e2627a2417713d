// Saving the game's small files of 32-bit ints.
#pragma once

#include <initializer_list>

// Writes `values` to the game path `path` in one piece. When that fails it
// says so on stderr, naming the file, and the previous file stays whole.
bool save_ints(const char* path, std::initializer_list<int> values);
