// Files relative to the working folder: game paths with backslashes and
// folder names in any case, whole-file reads, and streams of 32-bit ints.
// Writes land in a temporary file that replaces the target only when the
// stream is closed complete.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <io.h>
#include <windows.h>
#endif

#include <cerrno>
#include <cstdio>

#include "platform/automation.h"
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
    if (writing)
      detail::remove_host_file(temporary);  // never closed: not complete
  }
};

namespace detail {

#ifdef _WIN32
// Host paths are UTF-8; Windows takes them in UTF-16.
std::wstring wide(const std::string& utf8) {
  const int n = ::MultiByteToWideChar(
      CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                        out.data(), n);
  return out;
}

std::string narrow(const std::wstring& utf16) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(),
                                      static_cast<int>(utf16.size()), nullptr,
                                      0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(),
                        static_cast<int>(utf16.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}
#endif

std::FILE* open_host_file(const std::string& host, const char* mode) {
#ifdef _WIN32
  return ::_wfopen(wide(host).c_str(), wide(mode).c_str());
#else
  return std::fopen(host.c_str(), mode);
#endif
}

bool truncate_host_file(const std::string& host, long size) {
#ifdef _WIN32
  const int fd = ::_wopen(wide(host).c_str(), _O_WRONLY | _O_BINARY);
  if (fd < 0) return false;
  const bool cut = ::_chsize_s(fd, size) == 0;
  return (::_close(fd) == 0) && cut;
#else
  return ::truncate(host.c_str(), size) == 0;
#endif
}

bool remove_host_file(const std::string& host) {
#ifdef _WIN32
  return ::_wunlink(wide(host).c_str()) == 0;
#else
  return ::unlink(host.c_str()) == 0;
#endif
}

namespace {

// The host calls this file makes, each a single call on POSIX systems.
#ifdef _WIN32
using FileStatus = struct _stat64;
int host_stat(const std::string& host, FileStatus& st) {
  return ::_wstat64(wide(host).c_str(), &st);
}
int host_fstat(int fd, FileStatus& st) { return ::_fstat64(fd, &st); }
// Nothing blocks on opening a file on Windows.
int host_open_read(const std::string& host) {
  return ::_wopen(wide(host).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
bool host_mkdir(const std::string& host) {
  return ::_wmkdir(wide(host).c_str()) == 0;
}
bool flush_to_disk(std::FILE* f) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(f)));
  return handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle);
}
// rename() refuses an existing target on Windows; this replaces it, and
// returns only once the move is on the disk.
bool replace_file(const std::string& from, const std::string& to) {
  if (::MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  errno = ::GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
  return false;
}
#else
using FileStatus = struct stat;
int host_stat(const std::string& host, FileStatus& st) {
  return ::stat(host.c_str(), &st);
}
int host_fstat(int fd, FileStatus& st) { return ::fstat(fd, &st); }
int host_open_read(const std::string& host) {
  return ::open(host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
bool host_mkdir(const std::string& host) {
  return ::mkdir(host.c_str(), 0755) == 0;
}
bool flush_to_disk(std::FILE* f) { return ::fsync(::fileno(f)) == 0; }
bool replace_file(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}
#endif

}  // namespace

bool is_host_folder(const std::string& host) {
  FileStatus st{};
  return host_stat(host, st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

// A descriptor for reading `host` if it is a regular file after links, else
// -1. Opening never blocks, so a pipe with no writer cannot stall start-up.
int open_regular(const std::string& host) {
  const int fd = host_open_read(host);
  if (fd < 0) return -1;
  FileStatus st{};
  if (host_fstat(fd, st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<std::uintmax_t>(st.st_size) > max_read_bytes) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool exists(const std::string& host) {
  FileStatus st{};
  return host_stat(host, st) == 0;
}

// The entry of `folder` whose name matches `name` without regard to case, or
// `name` itself when there is none.
std::string match_entry(const std::string& folder, const std::string& name) {
  const std::string exact = folder.empty() ? name : folder + "/" + name;
  if (exists(exact)) return exact;
  std::string found = exact;
#ifdef _WIN32
  // Windows' own names ignore case already; only UTF-8 needs care.
  _WDIR* dir = ::_wopendir(wide(folder.empty() ? "." : folder).c_str());
  if (!dir) return exact;
  while (_wdirent* entry = ::_wreaddir(dir)) {
    const std::string entry_name = narrow(entry->d_name);
    if (::strcasecmp(entry_name.c_str(), name.c_str()) == 0) {
      found = folder.empty() ? entry_name : folder + "/" + entry_name;
      break;
    }
  }
  ::_wclosedir(dir);
#else
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return exact;
  while (dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = folder.empty() ? entry->d_name : folder + "/" + entry->d_name;
      break;
    }
  }
  ::closedir(dir);
#endif
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
  detail::FileStatus st{};
  if (detail::host_stat(detail::host_path(path), st) != 0) return 0;
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
  std::FILE* f = detail::open_host_file(temporary, "wb");
  if (!f) return nullptr;
  auto stream = std::make_shared<Stream>();
  stream->file = f;
  stream->writing = true;
  stream->target = host;
  stream->temporary = std::move(temporary);
  return stream;
}

std::optional<std::string> read_whole_file(const std::string& path,
                                           std::size_t max_bytes) {
  std::vector<std::uint8_t> bytes;
  if (file_type(path) != 1 || !detail::read_bytes(path, bytes) ||
      bytes.size() > max_bytes) {
    return std::nullopt;
  }
  return std::string(bytes.begin(), bytes.end());
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
  bool ok = !stream->failed && std::fflush(f) == 0 && detail::flush_to_disk(f);
  ok = (std::fclose(f) == 0) && ok;
  if (ok) ok = detail::replace_file(stream->temporary, stream->target);
#ifdef __EMSCRIPTEN__
  if (ok) detail::web_file_written(stream->target);
#endif
  if (!ok) {
    const int reason = errno;  // for the caller to name
    detail::remove_host_file(stream->temporary);
    errno = reason;
  }
  return ok;
}

bool create_folder(const std::string& path) {
  const std::string host = detail::host_path(path);
  for (std::size_t slash = host.find('/', 1); slash != std::string::npos;
       slash = host.find('/', slash + 1)) {
    detail::host_mkdir(host.substr(0, slash));  // parents may exist
  }
  return detail::host_mkdir(host);
}

}  // namespace platform
