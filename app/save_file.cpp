#include "app/save_file.h"

#include <iostream>
#include <string>

#include "platform/platform.h"

bool save_ints(const char* path, std::initializer_list<int> values) {
  const platform::StreamRef out = platform::write_file(path);
  for (int v : values) platform::write_int(out, v);
  if (platform::close_stream(out)) return true;
  std::string shown = path;
  for (char& c : shown) {
    if (c == '\\') c = '/';
  }
  std::cerr << "vermix: could not save " << shown
            << "; the previous file is kept\n";
  return false;
}
