#include <iostream>
#include <string>
#include <vector>

#include "platform/system.h"
#include "reader/cli/read_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  // Without --folder the tool reads where the program of the same build keeps its databases.
  const zentora::cli::ToolSetting setting{zentora::platform::HomeFolder(),
                                          zentora::platform::StandardErrorIsTerminal()};
  return zentora::cli::RunReadCommand(arguments, std::cout, std::cerr, setting);
}
