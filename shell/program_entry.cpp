#include "shell/program_entry.h"

#include "shell/app_state.h"
#include "shell/configuration.h"
#include "shell/main_window.h"

namespace zentora {

int RunZentora(const std::u16string& program_folder) {
  AppState state;
  state.program_folder = program_folder;
  // The language is 0 until read; a stored number other than 1 or 5 is kept as it is and
  // reads the Spanish texts, and the menu's language items put a valid one back.
  AccessConfiguration("get", state.shell.language, program_folder);
  // Both languages at once, filled once: a switch later only changes the language number.
  state.shell.texts = FillTextTable();
  ShowMainWindow(state);
  return 0;
}

}  // namespace zentora
