// The user-interface state of one run that the application shell owns. It is a plain value
// built at start-up and handed explicitly to whatever needs it, so a test builds a fresh one
// for every case.
#pragma once
#include <cstdint>

#include "platform/ui.h"
#include "texts/text_table.h"

namespace zentora {

struct ShellState {
  Texts texts;  // the language in force and the table of both languages
  // Set while the About box is open, so the Author command cannot open a second one.
  bool about_box_open = false;
  // The main window, while it is open.
  platform::Dialog main_window;
};

// A fresh state in `language`, with the full text table.
inline ShellState MakeShellState(int32_t language) {
  ShellState state;
  state.texts.language = language;
  return state;
}

}  // namespace zentora
