#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "support/process.h"

extern char** environ;

namespace zentora::testing {

ChildProcess StartProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> all{program};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return {};
  return {pid};
}

int WaitProcess(ChildProcess child) {
  int status = 0;
  if (child.id < 0 || waitpid(static_cast<pid_t>(child.id), &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HasEnded(ChildProcess child) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(child.id), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0;
}

bool KillProcess(ChildProcess child) {
  if (child.id < 0) return false;
  kill(static_cast<pid_t>(child.id), SIGKILL);
  int status = 0;
  if (waitpid(static_cast<pid_t>(child.id), &status, 0) < 0) return false;
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

}  // namespace zentora::testing
