// zentora-read's entry on Windows: the arguments come from the wide (UTF-16) command line,
// so any name reaches the command as the same UTF-8 the Linux tool gets, and the output
// goes out byte for byte to a file or pipe, as UTF-16 characters to a console.
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/standard_streams.h"
#include "platform/system.h"
#include "reader/cli/read_command.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i)
    arguments.push_back(zentora::platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
  const zentora::platform::StandardStreams streams = zentora::platform::OpenStandardStreams();
  // Without --folder the tool reads beside itself, where Zentora.exe keeps its databases.
  const zentora::cli::ToolSetting setting{zentora::platform::HomeFolder(), streams.err_is_console};
  const int code = zentora::cli::RunReadCommand(arguments, streams.out, streams.err, setting);
  streams.out.flush();
  streams.err.flush();
  return code;
}
