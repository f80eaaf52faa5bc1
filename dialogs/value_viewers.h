// Read-only dialogs that show one value of the record on show: the value of
// state.dialogs.selected_field in state.dialogs.current_record. The memo viewer shows the
// structure description instead while state.main.structure_view is set.
#pragma once
#include "platform/ui.h"
#include "shell/app_state.h"

namespace zentora {

platform::DialogTemplate NumberViewerTemplate(const AppState& state);
platform::DialogTemplate TextViewerTemplate(const AppState& state);
platform::DialogTemplate LogicalViewerTemplate(const AppState& state);
platform::DialogTemplate MemoViewerTemplate(const AppState& state);

void ShowNumberViewer(AppState& state);
void ShowTextViewer(AppState& state);
void ShowLogicalViewer(AppState& state);
void ShowMemoViewer(AppState& state);

}  // namespace zentora
