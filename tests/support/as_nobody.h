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

// Why the game run as nobody could not start in `folder` or could not be
// executed from `program`: the first folder above them that other users
// cannot enter, named with the remedy; empty when nobody reaches both.
inline std::string closed_to_nobody(const std::filesystem::path& folder,
                                    const std::filesystem::path& program) {
  namespace fs = std::filesystem;
  if (geteuid() != 0) return "";
  for (const fs::path& start : {folder, program.parent_path()}) {
    for (fs::path p = start; p != p.root_path(); p = p.parent_path()) {
      if ((fs::status(p).permissions() & fs::perms::others_exec) ==
          fs::perms::none) {
        return p.string() +
               " is closed to other users: build and run the tests (and "
               "TMPDIR) in folders that every user can reach";
      }
    }
  }
  return "";
}

}  // namespace testing_support
