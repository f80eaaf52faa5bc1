// The standard output and error of a command-line program on Windows: bytes exactly as
// written when they go to a file or a pipe (no CR added before LF), and the text's own
// characters when they go to a console, whatever its code page.
#pragma once
#include <ostream>

namespace zentora::platform {

struct StandardStreams {
  std::ostream& out;
  std::ostream& err;
  bool err_is_console;  // someone watches standard error (progress lines)
};

// Sets both streams up; call once, before anything is written. The program writes UTF-8.
StandardStreams OpenStandardStreams();

}  // namespace zentora::platform
