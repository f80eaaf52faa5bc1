// The program's start, as each platform's entry (main_win32.cpp, main_fltk.cpp) calls it: read
// the language, fill the texts, run the main window. The shell supplies it
// (shell/program_entry.cpp), so the entries include nothing above this folder.
#pragma once
#include <string>

namespace zentora {

// Runs Zentora with its databases in `program_folder`; returns the process exit code (0).
int RunZentora(const std::u16string& program_folder);

}  // namespace zentora
