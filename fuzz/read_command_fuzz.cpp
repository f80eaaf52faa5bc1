// zentora-read on a database of any bytes: every command must end with an exit code and a
// message, never crash, read out of bounds or run without end. The input picks the
// command, its arguments and both files.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_database.h"
#include "reader/cli/read_command.h"

using namespace zentora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(data, size);
  const std::uint8_t command = input.Byte();
  const std::string field(input.Bytes(input.Byte() % 12));
  const std::string record = std::to_string(input.Number());
  const std::string_view structure = input.Bytes(input.Word() % 2048);
  fuzz::WriteDatabase(structure, input.Rest());

  std::vector<std::string> arguments{"--folder", fuzz::HostFolderUtf8()};
  if (command & 0x80) arguments.insert(arguments.end(), {"--lang", "en"});
  switch (command % 5) {
    case 0: arguments.insert(arguments.end(), {"fields", "F"}); break;
    case 1: arguments.insert(arguments.end(), {"count", "F"}); break;
    case 2: arguments.insert(arguments.end(), {"value", "F", field, record}); break;
    case 3: arguments.insert(arguments.end(), {"attachment", "F", field, record, fuzz::HostFolderUtf8() + "out"}); break;
    default: arguments.insert(arguments.end(), {"csv", "F"}); break;
  }
  std::ostringstream out, err;
  const int code = cli::RunReadCommand(arguments, out, err);
  if (code != cli::kExitOk && code != cli::kExitError && code != cli::kExitUsage) __builtin_trap();
  if (code != cli::kExitOk && err.str().empty()) __builtin_trap();  // a failure always says why
  return 0;
}
