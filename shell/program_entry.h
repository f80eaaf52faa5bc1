// The program's start, as each platform's entry (programs/zentora_win32.cpp,
// programs/zentora_fltk.cpp) calls it: read the language, fill the texts, run the main window.
#pragma once
#include <string>

namespace zentora {

// Runs Zentora with its databases in `program_folder`; returns the process exit code (0).
int RunZentora(const std::u16string& program_folder);

}  // namespace zentora
