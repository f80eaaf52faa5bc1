// Runs `body` in a forked child and gives its exit code: what `body` returned, 3 when it threw,
// -1 when the child did not exit normally. What the child changes of its own process (limits,
// its user) goes with it.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <exception>

namespace zentora::testing {

template <typename Body>
int InForkedChild(Body body) {
  const pid_t child = fork();
  if (child == 0) {
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
