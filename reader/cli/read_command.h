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

// `arguments` without the program name, UTF-8. Data goes to `out`, messages to `err`, and
// with `progress` (someone watches `err`) a progress line for a long export.
int RunReadCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   bool progress = false);

// One CSV field: quoted (with doubled quotes) when it holds a comma, a quote, CR or LF.
std::string CsvField(const std::string& text);

}  // namespace zentora::cli
