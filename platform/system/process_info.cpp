// What the process knows about where it runs: its executable and its
// environment.
#include <unistd.h>

#include "platform/system/windows_api.h"
#ifdef _WIN32
// After windows.h:
#include <knownfolders.h>
#include <shlobj.h>
#endif

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/system/system.h"

namespace platform {

#ifdef _WIN32
// Windows' answers in UTF-8, with forward slashes as the game's host paths.
namespace {
std::string host_form(const std::wstring& path) {
  std::string out = detail::narrow(path);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}
}  // namespace

std::string executable_folder() {
  std::wstring buffer(32768, L'\0');
  const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(),
                                       static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return "";
  buffer.resize(n);
  const std::string exe = host_form(buffer);
  const std::size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "" : exe.substr(0, slash);
}

std::string working_folder() {
  wchar_t* cwd = ::_wgetcwd(nullptr, 0);
  if (!cwd) return ".";
  const std::string out = host_form(cwd);
  std::free(cwd);
  return out;
}

std::string environment_value(const std::string& name) {
  const wchar_t* value = ::_wgetenv(detail::wide(name).c_str());
  return value ? detail::narrow(value) : "";
}

std::string application_data_folder() {
  PWSTR path = nullptr;
  std::string out;
  if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr,
                             &path) == S_OK)
    out = host_form(path);
  ::CoTaskMemFree(path);
  return out;
}

void use_parent_console() {
  const bool out_free = ::GetStdHandle(STD_OUTPUT_HANDLE) == nullptr;
  const bool err_free = ::GetStdHandle(STD_ERROR_HANDLE) == nullptr;
  if ((out_free || err_free) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
    if (out_free) std::freopen("CONOUT$", "w", stdout);
    if (err_free) std::freopen("CONOUT$", "w", stderr);
  }
}
#else
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

std::string application_data_folder() { return ""; }

void use_parent_console() {}
#endif

}  // namespace platform
