// The golden versus game split between two machines, for the tests of two
// real games online, and what their recordings are compared by.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace testing_support {

std::string read_text(const std::filesystem::path& path);

// The golden versus game's events: the host's machine gives everything but
// the second stick, the guest's gives that stick as its own first, or as
// the keys that make the keyboard's stick do the same (the recorded stick's
// axes are all full or none).
struct Split {
  std::string host, guest;
};
Split split_versus(bool keyboard_guest = false);

// A recording's closing line as named hashes; "events" is left out, since
// the two machines' events of one tick are written host first.
std::map<std::string, std::string> end_state(const std::string& replay);

}  // namespace testing_support
