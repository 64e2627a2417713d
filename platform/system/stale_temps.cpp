// Temporaries of saves that never finished: a save writes "<file>.tmp<pid>"
// and renames it over the file, so a process killed in between leaves the
// temporary behind. Only names of exactly that form whose process is gone
// are removed; the file itself and live saves are never touched.
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system/system.h"

namespace platform::detail {
namespace {

// The pid in `suffix` if it is nothing but digits naming a possible process.
long pid_of(const std::string& suffix) {
  if (suffix.empty() || suffix.size() > 9) return 0;
  long pid = 0;
  for (char c : suffix) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

bool process_gone(long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

std::string temporary_path(const std::string& host, long pid) {
  return host + ".tmp" + std::to_string(pid);
}

void remove_stale_temporaries(const std::string& host) {
  const std::size_t slash = host.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : host.substr(0, slash + 1);
  const std::string prefix =
      (slash == std::string::npos ? host : host.substr(slash + 1)) + ".tmp";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> stale;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.rfind(prefix, 0) != 0) continue;
    const long pid = pid_of(name.substr(prefix.size()));
    if (pid > 0 && pid != ::getpid() && process_gone(pid))
      stale.push_back(name);
  }
  ::closedir(dir);
  for (const std::string& name : stale) {
    const std::string path = slash == std::string::npos ? name : folder + name;
    ::unlink(path.c_str());
  }
}

}  // namespace platform::detail
