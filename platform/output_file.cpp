// Outputs the player asked for, and the exit status when one is incomplete.
#include "platform/output_file.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <set>

#include "platform/internal.h"
#include "platform/platform.h"

namespace platform {
namespace {

std::set<std::string> failed_outputs;

// Cuts a host file back to `size` bytes.
bool truncate_host_file(const std::string& host, long size) {
#ifdef _WIN32
  const int fd = ::_wopen(detail::wide(host).c_str(), _O_WRONLY | _O_BINARY);
  if (fd < 0) return false;
  const bool cut = ::_chsize_s(fd, size) == 0;
  return (::_close(fd) == 0) && cut;
#else
  return ::truncate(host.c_str(), size) == 0;
#endif
}

}  // namespace

void report_output_failure(const std::string& path, const std::string& reason) {
  if (!failed_outputs.insert(path).second) return;
  std::fprintf(stderr, "vermix: cannot write %s: %s\n", path.c_str(),
               reason.c_str());
}

bool outputs_incomplete() { return !failed_outputs.empty(); }

namespace detail {

bool OutputFile::open(const std::string& path, bool append,
                      std::string& error) {
  close();
  file_ = open_host_file(path, append ? "ab" : "wb");
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
  report_output_failure(path_, error_number != 0 ? std::strerror(error_number)
                                                 : "a write failed");
  std::fclose(file_);
  file_ = nullptr;
  // What was written whole stays readable to its last complete line. A
  // device cannot be cut: it keeps what it took.
  if (!truncate_host_file(path_, whole_size_)) return;
}

void OutputFile::close() {
  if (!file_) return;
  errno = 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!closed) report_output_failure(path_, std::strerror(errno));
}

}  // namespace detail
}  // namespace platform
