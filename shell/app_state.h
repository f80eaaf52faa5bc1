// The whole user-interface state of one run: the shell's own and that of each subsystem it
// composes, each owned by its subsystem. It is built once at start-up and passed explicitly;
// tests build a fresh one per case.
#pragma once
#include <cstdint>
#include <string>

#include "attachments/attachments.h"
#include "dialogs/record_browser.h"
#include "dialogs/record_entry.h"
#include "shell/ui_state.h"
#include "storage/database.h"

namespace zentora {

struct AppState {
  std::u16string program_folder;  // ends with the separator; databases live here
  unsigned busy_wait_ms = kBusyWaitMs;
  ShellState shell;
  RecordBrowserState browser;
  RecordEntryState entry;
  AttachmentsState attachments;

  // The database of that name in the program folder.
  Database DatabaseNamed(const std::u16string& name) const { return Database{program_folder, name, busy_wait_ms}; }
};

// A fresh state for a run whose databases live in `program_folder`.
inline AppState MakeAppState(const std::u16string& program_folder, std::int32_t language) {
  AppState state;
  state.program_folder = program_folder;
  state.shell = MakeShellState(language);
  return state;
}

}  // namespace zentora
