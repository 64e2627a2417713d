#include "server/state/seat_key_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace server::state {

namespace {

[[noreturn]] void fail(const std::filesystem::path& path, const char* what) {
  throw std::runtime_error(path.string() + ": " + what + ": " +
                           std::strerror(errno));
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
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    fail(folder, "cannot make the state folder");
  }
  const std::filesystem::path path = folder / "seat.key";
  // Made aside and renamed, so a crash never leaves half a key.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    secure_random(key);
    const std::filesystem::path aside = folder / "seat.key.new";
    unlink(aside.c_str());
    const int out =
        open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) fail(aside, "cannot write the key");
    const bool written =
        write(out, key.data(), key.size()) == ssize_t(key.size()) &&
        fsync(out) == 0;
    close(out);
    if (!written || rename(aside.c_str(), path.c_str()) != 0) {
      fail(path, "cannot write the key");
    }
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

}  // namespace server::state
