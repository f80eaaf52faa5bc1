// The record browser: one boxed line per field name, the position among the records, previous
// and next, Go to, and a click on a line opens the value's viewer or attachment.
#pragma once
#include <cstdint>
#include <string>

#include "platform/ui.h"
#include "shell/app_state.h"

namespace zentora {

inline constexpr int kFieldPageLines = 40;
inline constexpr int kFieldLinePitch = 21;  // 20 pixels of box and a 1-pixel gap

platform::DialogTemplate RecordBrowserTemplate(const AppState& state);
// Runs the browser modally on the current database; returns when it is closed.
void ShowRecordBrowser(AppState& state);

// The line a press at surface height y selects, or -1 below the last line.
int FieldLineAt(std::uint16_t y);

}  // namespace zentora
