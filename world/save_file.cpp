#include "world/save_file.h"

#include <iostream>

#include "platform/platform.h"
#include "world/data_folders.h"

bool save_ints(const std::string& name, std::initializer_list<int> values) {
  const std::string& folder = data_folders().saves;
  if (platform::file_type(folder) == 0) platform::create_folder(folder);
  const std::string path = saved_file(name);
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
