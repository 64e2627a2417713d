// Temporaries of saves that never finished: a save writes "<file>.tmp<pid>"
// and renames it over the file, so a process killed in between leaves the
// temporary behind. Only names of exactly that form whose process is gone
// are removed; the file itself and live saves are never touched.
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system/system.h"
#include "platform/system/windows_api.h"

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

#ifdef _WIN32
// A process that cannot be opened for lack of rights is still running.
bool process_gone(long pid) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 static_cast<DWORD>(pid));
  if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool gone =
      ::GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  ::CloseHandle(process);
  return gone;
}
#else
bool process_gone(long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}
#endif

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
  std::vector<std::string> stale;
#ifdef _WIN32
  _WDIR* dir = ::_wopendir(wide(folder).c_str());
  if (!dir) return;
  while (_wdirent* entry = ::_wreaddir(dir)) {
    const std::string name = narrow(entry->d_name);
#else
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
#endif
    if (name.rfind(prefix, 0) != 0) continue;
    const long pid = pid_of(name.substr(prefix.size()));
    if (pid > 0 && pid != ::getpid() && process_gone(pid))
      stale.push_back(name);
  }
#ifdef _WIN32
  ::_wclosedir(dir);
#else
  ::closedir(dir);
#endif
  for (const std::string& name : stale) {
    remove_host_file(slash == std::string::npos ? name : folder + name);
  }
}

}  // namespace platform::detail
