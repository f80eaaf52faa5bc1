// Starting a second process for the tests that need two processes to meet on one file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zentora::testing {

struct ChildProcess {
  std::intptr_t id = -1;
};

// Starts `program` (a path) with `arguments`; id stays -1 when it could not be started.
ChildProcess StartProcess(const std::string& program, const std::vector<std::string>& arguments);
// Waits for the process to end and returns its exit code (-1 on failure).
int WaitProcess(ChildProcess child);
// Whether the process has ended, without waiting and without ending the wait for it.
bool HasEnded(ChildProcess child);
// Ends the process at once, as a crash would (SIGKILL, TerminateProcess), and waits until it
// is gone. True when it was killed, false when it had ended on its own.
bool KillProcess(ChildProcess child);

}  // namespace zentora::testing
