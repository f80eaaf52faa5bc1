// The main window: a title bar and a menu bar from which every command starts. The command
// logic lives apart from the window (RunMenuCommand) so that it can be driven without one.
#pragma once
#include <string>

#include "platform/ui.h"
#include "shell/app_state.h"

namespace zentora {

enum MenuCommand {
  kCommandNewDatabase = 1002,
  kCommandNewField = 1003,
  kCommandInsertData = 1004,
  kCommandAuthor = 1006,
  kCommandExit = 1007,
  kCommandSpanish = 1008,
  kCommandEnglish = 1009,
  kCommandSeeData = 1010,
  kCommandDataStructure = 1097,
  kCommandGoTo = 1096,  // the record browser's menu
};

inline constexpr int kSpainFlagBitmap = 404;
inline constexpr int kKingdomFlagBitmap = 405;

platform::DialogTemplate MainWindowTemplate(const AppState& state);
// The main menu bar and the record browser's, in the language in force.
platform::Menu MainMenu(const AppState& state);
platform::Menu BrowserMenu(const AppState& state);
// Builds the menu bar anew and attaches it to `window`.
void BuildMainMenu(AppState& state, platform::Dialog window);
void BuildBrowserMenu(AppState& state, platform::Dialog window);

// Runs the main window modally until Exit or the close command; returns 0.
int ShowMainWindow(AppState& state);
// What the window does when it starts: drives, the cache folder, cleared flags.
void PrepareMainWindow(AppState& state);
// Runs one menu command. Returns true when the command ends the main window (Exit).
bool RunMenuCommand(AppState& state, int command);

// The folder that holds attachment files: on the first fixed drive, else in the user's
// cache folder where the platform has no drive letters.
std::u16string CacheFolderFor(const std::vector<std::u16string>& fixed_drives, const std::u16string& user_cache);
// Whether a listing of `folder` holds `name` exactly (case-sensitive; hidden entries not listed).
bool FolderHasEntry(const std::u16string& folder, const std::u16string& name);
// Deletes every file directly inside `folder` (read-only ones too); folders stay.
void ClearCacheFolder(const std::u16string& folder);

}  // namespace zentora
