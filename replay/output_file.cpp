// A recording or state dumps: written whole or cut back, a failure reported.
#include "replay/output_file.h"

#include <cerrno>
#include <cstring>

#include "platform/automation.h"
#include "platform/platform.h"

namespace replay::detail {

bool OutputFile::open(const std::string& path, bool append,
                      std::string& error) {
  close();
  file_ = platform::detail::open_host_file(path, append ? "ab" : "wb");
  if (!file_) {
    error = std::strerror(errno);
    return false;
  }
  path_ = path;
  std::fseek(file_, 0, SEEK_END);
  whole_size_ = std::ftell(file_);
  return true;
}

void OutputFile::write(const std::string& bytes) {
  if (!file_) return;
  errno = 0;
  const bool written =
      std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
  if (std::fflush(file_) != 0 || !written) {
    fail(errno);
    return;
  }
  whole_size_ += static_cast<long>(bytes.size());
}

void OutputFile::fail(int error_number) {
  platform::report_output_failure(path_, error_number != 0
                                             ? std::strerror(error_number)
                                             : "a write failed");
  std::fclose(file_);
  file_ = nullptr;
  // What was written whole stays readable to its last complete line. A
  // device cannot be cut: it keeps what it took.
  if (!platform::detail::truncate_host_file(path_, whole_size_)) return;
}

void OutputFile::close() {
  if (!file_) return;
  errno = 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!closed) platform::report_output_failure(path_, std::strerror(errno));
}

}  // namespace replay::detail
