// Runs a child as the user nobody, for tests of folders that root could
// write anyway.
#pragma once

#include <grp.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace testing_support {

// In the child just before it becomes the game: nobody from now on, when
// the tests run as root. Ends the child with 125 when it cannot switch.
inline void become_nobody() {
  if (geteuid() != 0) return;
  if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
    _exit(125);
}

// Why the game run as nobody could not start in `folder`: the first folder
// above it that other users cannot enter, named with the remedy; empty when
// nobody reaches it.
inline std::string closed_to_nobody(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  if (geteuid() != 0) return "";
  for (fs::path p = folder; p != p.root_path(); p = p.parent_path()) {
    if ((fs::status(p).permissions() & fs::perms::others_exec) ==
        fs::perms::none) {
      return p.string() +
             " is closed to other users: run the tests with TMPDIR in a "
             "folder that every user can reach";
    }
  }
  return "";
}

// A copy of `program` in `folder`, for runs as nobody: the build folder may
// lie where other users cannot reach (such as /root).
inline std::filesystem::path copy_for_nobody(
    const std::filesystem::path& program, const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  const fs::path copy = folder / program.filename();
  fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
  fs::permissions(copy, fs::perms(0755));
  return copy;
}

}  // namespace testing_support
