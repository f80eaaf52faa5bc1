// The whole user-interface state of one run, grouped by the subsystem that owns each part.
// It is built once at start-up and passed explicitly; tests build a fresh one per case.
// Results travel between dialogs through it, not through return values.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "texts/text_table.h"
#include "shell/ui_state.h"
#include "storage/database.h"
#include "storage/field_definition.h"

namespace zentora {

// Owned by the main window.
struct MainWindowState {
  platform::Dialog window;
  std::vector<std::u16string> fixed_drives;  // roots such as "C:\\", in drive order
  std::u16string cache_folder;               // the attachment cache folder, ending with the separator
  bool structure_view = false;               // set while the Data structure command shows the memo viewer
};

// Owned by the record dialogs.
struct RecordDialogsState {
  std::u16string database_name;   // left by the database-name dialog
  FieldDefinition pending_field;  // left by the define-field dialog
  std::u16string entry_prompt;    // the 35-unit name of the field being asked for
  std::u16string entry_result;    // the value the entry dialog gave; empty when closed
  std::int64_t current_record = 1;
  std::u16string selected_field = PadFieldName(u"");
  bool browser_open = false;
};

// Owned by the attachments.
struct AttachmentsState {
  std::u16string last_path;  // shared by the image and the sound chooser, empty at start
};

struct AppState {
  std::u16string program_folder;  // ends with the separator; databases live here
  unsigned busy_wait_ms = kBusyWaitMs;
  ShellState shell;
  MainWindowState main;
  RecordDialogsState dialogs;
  AttachmentsState attachments;

  // The database the last database-name dialog named.
  Database CurrentDatabase() const { return Database{program_folder, dialogs.database_name, busy_wait_ms}; }
  // A text of the table in the language in force.
  std::u16string Text(int group, int entry) const { return UiText(shell.texts, shell.language, group, entry); }
  std::u16string Text(TextId id) const { return UiText(shell.texts, shell.language, id); }
  // The caption of every message box.
  std::u16string MessageCaption() const { return Text(26, 1); }
};

// A fresh state for a run whose databases live in `program_folder`.
inline AppState MakeAppState(const std::u16string& program_folder, std::int32_t language) {
  AppState state;
  state.program_folder = program_folder;
  state.shell = MakeShellState(language);
  return state;
}

}  // namespace zentora
