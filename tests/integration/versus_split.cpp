#include "tests/integration/versus_split.h"

#include <fstream>
#include <sstream>

namespace testing_support {

std::string read_text(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

Split split_versus() {
  std::istringstream in(read_text(std::filesystem::path(VERMIX_SOURCE_DIR) /
                                  "tests" / "replays" / "versus.replay"));
  Split s;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string tick, what, port;
    words >> tick >> what >> port;
    if (what == "joy" && port == "1") {
      s.guest += tick + " joy 0" + line.substr(line.find(" joy 1") + 6) + "\n";
    } else {
      s.host += line + "\n";
    }
  }
  return s;
}

std::map<std::string, std::string> end_state(const std::string& replay) {
  const std::size_t at = replay.rfind("#! end ");
  std::istringstream words(replay.substr(at + 7));
  std::map<std::string, std::string> out;
  std::string word;
  words >> word;
  out["tick"] = word;
  while (words >> word) {
    const std::size_t eq = word.find('=');
    if (eq != std::string::npos && word.substr(0, eq) != "events")
      out[word.substr(0, eq)] = word.substr(eq + 1);
  }
  return out;
}

}  // namespace testing_support
