// zentora-read: reads Zentora databases from a shell. The command runs on streams so that
// the tests drive it exactly as main does.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace zentora::cli {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;  // missing database, unknown field, bad record, unreadable file
inline constexpr int kExitUsage = 2;

// What the tool's start tells the command about where it runs.
struct ToolSetting {
  // The folder of the database folders when no --folder is given: the program's own (the
  // user's data folder for the installed Linux tool). Empty: the current folder.
  std::u16string default_folder;
  bool progress = false;  // someone watches `err`: a progress line for a long export
};

// `arguments` without the program name, UTF-8. Data goes to `out`, messages to `err`. Output
// that cannot be written (a full disk) is an error: exit kExitError with a message.
int RunReadCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   const ToolSetting& setting = {});

// What --help shows, naming the default folder.
std::string Usage(const std::u16string& default_folder);

// One CSV field: quoted (with doubled quotes) when it holds a comma, a quote, CR or LF.
std::string CsvField(const std::string& text);

}  // namespace zentora::cli
