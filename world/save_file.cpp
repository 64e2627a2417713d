#include "world/save_file.h"

#include <cerrno>
#include <cstring>

#include "platform/platform.h"
#include "world/data_folders.h"

bool save_ints(const std::string& name, std::initializer_list<int> values) {
  const std::string& folder = data_folders().saves;
  if (platform::file_type(folder) == 0) platform::create_folder(folder);
  const std::string path = saved_file(name);
  errno = 0;
  const platform::StreamRef out = platform::write_file(path);
  for (int v : values) platform::write_int(out, v);
  if (platform::close_stream(out)) return true;
  const int reason = errno;
  std::string shown = path;
  for (char& c : shown) {
    if (c == '\\') c = '/';
  }
  platform::report_output_failure(
      shown, std::string(reason != 0 ? std::strerror(reason) : "not saved") +
                 "; the previous file is kept");
  return false;
}
