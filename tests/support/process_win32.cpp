#include <windows.h>

#include "support/process.h"

namespace zentora::testing {
namespace {

// The exit code TerminateProcess gives; the writers of the tests never end with it.
constexpr UINT kKilled = 0xDEAD;

}  // namespace

ChildProcess StartProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::string command = "\"" + program + "\"";
  for (const std::string& a : arguments) command += " \"" + a + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return {};
  CloseHandle(info.hThread);
  return {reinterpret_cast<std::intptr_t>(info.hProcess)};
}

int WaitProcess(ChildProcess child) {
  if (child.id == -1) return -1;
  HANDLE process = reinterpret_cast<HANDLE>(child.id);
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  const bool ok = GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return ok ? static_cast<int>(code) : -1;
}

bool HasEnded(ChildProcess child) {
  return child.id == -1 || WaitForSingleObject(reinterpret_cast<HANDLE>(child.id), 0) != WAIT_TIMEOUT;
}

bool KillProcess(ChildProcess child) {
  if (child.id == -1) return false;
  TerminateProcess(reinterpret_cast<HANDLE>(child.id), kKilled);
  return WaitProcess(child) == static_cast<int>(kKilled);
}

}  // namespace zentora::testing
