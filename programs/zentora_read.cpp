#include <iostream>
#include <string>
#include <vector>

#include "platform/system.h"
#include "reader/cli/read_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return zentora::cli::RunReadCommand(arguments, std::cout, std::cerr, zentora::platform::StandardErrorIsTerminal());
}
