#include "shell/program_entry.h"

#include "shell/app_state.h"
#include "shell/configuration.h"
#include "shell/main_window.h"

namespace zentora {

int RunZentora(const std::u16string& program_folder) {
  AppState state;
  state.program_folder = program_folder;
  // A stored number other than 1 or 5 is kept as it is and reads the Spanish texts, and the
  // menu's language items put a valid one back. The table holds both languages, filled once:
  // a switch later only changes the language number.
  AccessConfiguration("get", state.shell.texts.language, program_folder);
  ShowMainWindow(state);
  return 0;
}

}  // namespace zentora
