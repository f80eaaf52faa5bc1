// A full disk made cheaply on POSIX: `body` runs in a forked child whose files may not grow
// past `limit` bytes (SIGXFSZ ignored, so a write just fails). Returns the child's exit code:
// what `body` returned, 3 when it threw, -1 when the child did not exit normally.
#pragma once
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <exception>

namespace zentora::testing {

template <typename Body>
int WithFileSizeLimit(rlim_t limit, Body body) {
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{limit, limit};
    setrlimit(RLIMIT_FSIZE, &small);
    int code = 3;
    try {
      code = body();
    } catch (const std::exception&) {
    }
    _exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace zentora::testing
