#include <windows.h>

#include "support/process.h"

namespace zentora::testing {

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

}  // namespace zentora::testing
