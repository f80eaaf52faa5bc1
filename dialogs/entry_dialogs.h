// The dialogs that ask for one typed value while a record is entered. Each shows
// state.dialogs.entry_prompt and leaves the value in state.dialogs.entry_result: the text as
// typed, "1" or "0" for the logical one. Closing a dialog, or accepting the logical one with
// no answer chosen, leaves the empty text, so nothing is stored for that field.
#pragma once
#include "platform/ui.h"
#include "shell/app_state.h"

namespace zentora {

platform::DialogTemplate NumberEntryTemplate(const AppState& state);
platform::DialogTemplate TextEntryTemplate(const AppState& state);
platform::DialogTemplate LogicalEntryTemplate(const AppState& state);
platform::DialogTemplate MemoEntryTemplate(const AppState& state);

void ShowNumberEntry(AppState& state);
void ShowTextEntry(AppState& state);
void ShowLogicalEntry(AppState& state);
void ShowMemoEntry(AppState& state);

}  // namespace zentora
