// The main window: a title bar and a menu bar from which every command starts. The command
// logic lives apart from the window (RunMenuCommand) so that it can be driven without one.
#pragma once
#include "platform/ui.h"
#include "resources/resource_numbers.h"
#include "shell/app_state.h"

namespace zentora {

// The command table of the main menu bar.
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
};

inline constexpr int kSpainFlagBitmap = PICTURE_FLAG_SPAIN;
inline constexpr int kKingdomFlagBitmap = PICTURE_FLAG_UNITED_KINGDOM;

platform::DialogTemplate MainWindowTemplate(const Texts& texts);
// The main menu bar in the language in force.
platform::Menu MainMenu(const Texts& texts);

// Runs the main window modally until Exit or the close command; returns 0.
int ShowMainWindow(AppState& state);
// What the window does when it starts: the cache folder found and made, the browser closed.
void PrepareMainWindow(AppState& state);
// Runs one menu command. Returns true when the command ends the main window (Exit).
bool RunMenuCommand(AppState& state, int command);

}  // namespace zentora
