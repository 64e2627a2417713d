// Files relative to the working folder: game paths with backslashes and
// folder names in any case, whole-file reads, and streams of 32-bit ints.
// Writes land in a temporary file that replaces the target only when the
// stream is closed complete.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/platform.h"
#include "platform/system/system.h"
#include "platform/system/web_host.h"

namespace platform {

struct Stream {
  std::FILE* file = nullptr;
  bool writing = false;
  bool failed = false;
  std::string target;     // host path a write stream replaces when closed
  std::string temporary;  // host path being written

  ~Stream() {
    if (!file) return;
    std::fclose(file);
    if (writing) ::unlink(temporary.c_str());  // never closed: not complete
  }
};

namespace detail {

namespace {

// A descriptor for reading `host` if it is a regular file after links, else
// -1. Opening never blocks, so a pipe with no writer cannot stall start-up.
int open_regular(const std::string& host) {
  const int fd = ::open(host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<std::uintmax_t>(st.st_size) > max_read_bytes) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool exists(const std::string& host) {
  struct stat st {};
  return ::stat(host.c_str(), &st) == 0;
}

// The entry of `folder` whose name matches `name` without regard to case, or
// `name` itself when there is none.
std::string match_entry(const std::string& folder, const std::string& name) {
  const std::string exact = folder.empty() ? name : folder + "/" + name;
  if (exists(exact)) return exact;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return exact;
  std::string found = exact;
  while (dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = folder.empty() ? entry->d_name : folder + "/" + entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::string host_path(const std::string& game_path) {
  std::string result;
  std::string part;
  const bool absolute =
      !game_path.empty() && (game_path[0] == '/' || game_path[0] == '\\');
  if (absolute) result = "/";
  auto take = [&] {
    if (part.empty() || part == ".") return;
    if (result == "/") {
      result = match_entry("", "/" + part);
    } else {
      result = match_entry(result, part);
    }
    part.clear();
  };
  for (char c : game_path) {
    if (c == '\\' || c == '/') {
      take();
    } else {
      part += c;
    }
  }
  take();
  return result.empty() ? "." : result;
}

bool read_bytes(const std::string& path, std::vector<std::uint8_t>& out) {
  out.clear();
  if (path.rfind(embedded_prefix, 0) == 0) return read_embedded(path, out);
  const int fd = open_regular(host_path(path));
  if (fd < 0) return false;
  // The size is not trusted (some regular files report none), so the cap
  // holds while reading: one byte past it means the file is too long.
  std::uint8_t buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (out.size() + static_cast<std::size_t>(n) > max_read_bytes) {
      ok = false;
      break;
    }
    out.insert(out.end(), buffer, buffer + n);
  }
  ::close(fd);
  if (!ok) out.clear();
  return ok;
}

}  // namespace detail

int file_type(const std::string& path) {
  struct stat st {};
  if (::stat(detail::host_path(path).c_str(), &st) != 0) return 0;
  if (S_ISDIR(st.st_mode)) return 2;
  return S_ISREG(st.st_mode) ? 1 : 0;
}

StreamRef read_file(const std::string& path) {
  const int fd = detail::open_regular(detail::host_path(path));
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) {
    ::close(fd);
    return nullptr;
  }
  auto stream = std::make_shared<Stream>();
  stream->file = f;
  return stream;
}

StreamRef write_file(const std::string& path) {
  const std::string host = detail::host_path(path);
  if (file_type(path) == 2) {  // a folder is never replaced
    errno = EISDIR;
    return nullptr;
  }
  detail::remove_stale_temporaries(host);
  std::string temporary = detail::temporary_path(host, ::getpid());
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return nullptr;
  auto stream = std::make_shared<Stream>();
  stream->file = f;
  stream->writing = true;
  stream->target = host;
  stream->temporary = std::move(temporary);
  return stream;
}

int read_int(const StreamRef& stream) {
  if (!stream || !stream->file || stream->writing) return 0;
  unsigned char b[4] = {0, 0, 0, 0};
  const std::size_t got = std::fread(b, 1, 4, stream->file);
  (void)got;  // bytes past the end stay zero
  const std::uint32_t v = static_cast<std::uint32_t>(b[0]) |
                          static_cast<std::uint32_t>(b[1]) << 8 |
                          static_cast<std::uint32_t>(b[2]) << 16 |
                          static_cast<std::uint32_t>(b[3]) << 24;
  return static_cast<int>(v);
}

void write_int(const StreamRef& stream, int value) {
  if (!stream || !stream->file || !stream->writing) return;
  const auto v = static_cast<std::uint32_t>(value);
  const unsigned char b[4] = {
      static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
      static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  if (std::fwrite(b, 1, 4, stream->file) != 4) stream->failed = true;
}

bool close_stream(const StreamRef& stream) {
  if (!stream || !stream->file) return false;
  std::FILE* f = stream->file;
  stream->file = nullptr;
  if (!stream->writing) {
    std::fclose(f);
    return true;
  }
  bool ok = !stream->failed && std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
  ok = (std::fclose(f) == 0) && ok;
  if (ok)
    ok = std::rename(stream->temporary.c_str(), stream->target.c_str()) == 0;
#ifdef __EMSCRIPTEN__
  if (ok) detail::web_file_written(stream->target);
#endif
  if (!ok) {
    const int reason = errno;  // for the caller to name
    ::unlink(stream->temporary.c_str());
    errno = reason;
  }
  return ok;
}

bool create_folder(const std::string& path) {
  const std::string host = detail::host_path(path);
  for (std::size_t slash = host.find('/', 1); slash != std::string::npos;
       slash = host.find('/', slash + 1)) {
    ::mkdir(host.substr(0, slash).c_str(), 0755);  // parents may exist
  }
  return ::mkdir(host.c_str(), 0755) == 0;
}

}  // namespace platform
