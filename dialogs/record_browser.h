// The record browser: one boxed line per field name, the position among the records, previous
// and next, Go to, and a click on a line opens the value's viewer or attachment.
#pragma once
#include <cstdint>
#include <string>

#include "attachments/attachments.h"
#include "platform/ui.h"
#include "storage/database.h"
#include "storage/field_definition.h"
#include "texts/text_table.h"

namespace zentora {

inline constexpr int kBrowserSurfaceId = 1012;
inline constexpr int kBrowserPreviousId = 1013;
inline constexpr int kBrowserNextId = 1015;
inline constexpr int kBrowserPositionId = 1016;
// The Go to command of the browser's menu bar.
inline constexpr int kCommandGoTo = 1096;

// The key that asks for Go to (with or without Ctrl) while the field page has the keyboard.
inline constexpr char16_t kGoToKey = u'G';

inline constexpr int kFieldPageLines = 40;
inline constexpr int kFieldLinePitch = 21;  // 20 pixels of box and a 1-pixel gap

// What the browser keeps while it runs: the record on show and the field clicked last.
struct RecordBrowserState {
  std::int64_t current_record = 1;
  std::u16string selected_field = PadFieldName(u"");
  bool open = false;  // from Init to the close command: a click after that opens nothing
};

// Room the browser's window needs around its client area: title bar, menu bar and frame.
inline constexpr int kBrowserFrameAllowance = 60;
// Width the field page gains for its scroll bar on a screen too short for the whole page.
inline constexpr int kBrowserScrollBarWidth = 17;

// The browser's window for a screen whose work area is `work_area`: where the whole field
// page fits, the window as it always is; on a shorter screen the window starts at the top of
// the work area, ends at its bottom, and its field page scrolls.
platform::DialogTemplate RecordBrowserTemplate(const Texts& texts, platform::Rect work_area);
// Runs the browser modally on `db`; returns when it is closed. Pictures and sounds open
// through the attachments' cache folder.
void ShowRecordBrowser(const Texts& texts, const Database& db, RecordBrowserState& state,
                       const AttachmentsState& attachments);

// The browser's menu bar, in the language in force, and attaching it anew to `window`.
platform::Menu BrowserMenu(const Texts& texts);
void BuildBrowserMenu(const Texts& texts, platform::Dialog window);

// The line a press at surface height y selects, or -1 below the last line.
int FieldLineAt(std::uint16_t y);

}  // namespace zentora
