// A process id that names no process any more, for tests of what is left
// behind by processes that have ended.
#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

// The pid of a child that has exited and been reaped.
inline pid_t ended_pid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

}  // namespace testing_support
