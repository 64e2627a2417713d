// Outputs the player asked for that could not be written, and the exit
// status that tells of them.
#include <cstdio>
#include <set>
#include <string>

#include "platform/platform.h"

namespace platform {
namespace {

std::set<std::string> failed_outputs;

}  // namespace

void report_output_failure(const std::string& path, const std::string& reason) {
  if (!failed_outputs.insert(path).second) return;
  std::fprintf(stderr, "vermix: cannot write %s: %s\n", path.c_str(),
               reason.c_str());
}

bool outputs_incomplete() { return !failed_outputs.empty(); }

}  // namespace platform
