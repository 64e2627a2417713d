// What the process knows about where it runs: its executable and its
// environment.
#include <unistd.h>

#include <cstdlib>

#include "platform/platform.h"

namespace platform {

std::string executable_folder() {
#ifdef __EMSCRIPTEN__
  return "/vermix/bin";  // where the page puts the game's files
#endif
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return "";
  const std::string exe(buffer, static_cast<std::size_t>(n));
  const std::size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string working_folder() {
  char buffer[4096];
  return ::getcwd(buffer, sizeof buffer) ? buffer : ".";
}

std::string environment_value(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

}  // namespace platform
