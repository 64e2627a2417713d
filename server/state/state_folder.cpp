#include "server/state/state_folder.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace server::state {

namespace {

[[noreturn]] void fail(const std::filesystem::path& path, const char* what) {
  throw std::runtime_error(path.string() + ": " + what + ": " +
                           std::strerror(errno));
}

// Writes `bytes` to `path` through a file beside it, renamed into place.
void replace_file(const std::filesystem::path& path, const void* bytes,
                  std::size_t size) {
  const std::filesystem::path aside = path.string() + ".new";
  unlink(aside.c_str());
  const int out =
      open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (out < 0) fail(aside, "cannot write");
  const bool written =
      write(out, bytes, size) == ssize_t(size) && fsync(out) == 0;
  close(out);
  if (!written || rename(aside.c_str(), path.c_str()) != 0) {
    fail(path, "cannot write");
  }
}

void make_folder(const std::filesystem::path& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    fail(folder, "cannot make the state folder");
  }
}

}  // namespace

void secure_random(std::span<std::uint8_t> out) {
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = getrandom(out.data() + done, out.size() - done, 0);
    if (n < 0 && errno != EINTR) {
      throw std::runtime_error(std::string("getrandom: ") +
                               std::strerror(errno));
    }
    if (n > 0) done += std::size_t(n);
  }
}

std::array<std::uint8_t, 16> seat_key(const std::filesystem::path& folder) {
  std::array<std::uint8_t, 16> key{};
  make_folder(folder);
  const std::filesystem::path path = folder / "seat.key";
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    secure_random(key);
    replace_file(path, key.data(), key.size());
    return key;
  }
  if (fd < 0) fail(path, "cannot read the key");
  std::array<std::uint8_t, 17> read_back{};
  const ssize_t n = read(fd, read_back.data(), read_back.size());
  close(fd);
  if (n != ssize_t(key.size())) {
    errno = EINVAL;
    fail(path, "not a key of 16 bytes");
  }
  std::memcpy(key.data(), read_back.data(), key.size());
  return key;
}

std::uint32_t next_boot(const std::filesystem::path& folder) {
  make_folder(folder);
  const std::filesystem::path path = folder / "boots";
  std::uint32_t boot = 0;
  char text[16] = {};
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    const ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    boot = n > 0 ? std::uint32_t(std::strtoul(text, nullptr, 10)) : 0;
  } else if (errno != ENOENT) {
    fail(path, "cannot read");
  }
  const std::string next = std::to_string(boot + 1) + "\n";
  replace_file(path, next.data(), next.size());
  return boot;
}

}  // namespace server::state
