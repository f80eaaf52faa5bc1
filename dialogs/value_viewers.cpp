#include "dialogs/value_viewers.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <variant>

#include "storage/data_file.h"
#include "storage/number_format.h"
#include "reader/structure_description.h"
#include "storage/structure_file.h"

namespace zentora {
namespace {

using platform::ControlKind;

constexpr int kNoDataGroup = 6;
constexpr int kMemoGroup = 9;
constexpr int kLogicalGroup = 10;
constexpr int kTextGroup = 11;
constexpr int kNumberGroup = 12;

constexpr int kNumberValueId = 1082;
constexpr int kNumberCloseId = 1083;
constexpr int kTextValueId = 1085;
constexpr int kTextCloseId = 1086;
constexpr int kYesId = 1087;
constexpr int kNoId = 1089;
constexpr int kLogicalCloseId = 1090;
constexpr int kMemoValueId = 1091;
constexpr int kMemoCloseId = 1093;

constexpr std::uint32_t kViewerStyle =
    platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame;

platform::DialogTemplate Viewer(std::u16string caption, platform::Rect rect) {
  platform::DialogTemplate dialog;
  dialog.caption = std::move(caption);
  dialog.rect = rect;
  dialog.style = kViewerStyle;
  return dialog;
}

std::u16string NoData(const AppState& state) { return state.Text(kNoDataGroup, 1); }

std::u16string StoredValue(const AppState& state) {
  return ReadFieldText(state.CurrentDatabase(), state.dialogs.selected_field, state.dialogs.current_record,
                       NoData(state));
}

// The viewers only show: Init fills the value control, the close button or the window's close
// command ends the dialog, and every other command is ignored.
void RunViewer(const platform::DialogTemplate& dialog, int close_id,
               const std::function<void(platform::Dialog)>& fill) {
  platform::RunModal(dialog, [&](platform::Dialog window, const platform::DialogEvent& event) {
    if (std::holds_alternative<platform::InitEvent>(event)) {
      fill(window);
    } else if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
      if (command->id == close_id &&
          (command->code == platform::kCodeClicked || command->code == platform::kCodeKeyboard)) {
        platform::EndDialog(window, 0);
      }
    } else if (std::holds_alternative<platform::CloseEvent>(event)) {
      platform::EndDialog(window, 0);
    }
  });
}

}  // namespace

platform::DialogTemplate NumberViewerTemplate(const AppState& state) {
  platform::DialogTemplate dialog = Viewer(state.Text(kNumberGroup, 1), {135, 105, 338, 59});
  dialog.controls = {
      platform::MakeControl(1081, ControlKind::Static, {1, 1, 330, 15}, state.dialogs.selected_field),
      platform::MakeControl(kNumberValueId, ControlKind::Edit, {1, 16, 330, 15}, u"",
              platform::kReadOnly | platform::kSunken | platform::kScrollsSideways),
      platform::MakeControl(kNumberCloseId, ControlKind::Button, {1, 36, 50, 15}, state.Text(kNumberGroup, 2)),
  };
  return dialog;
}

platform::DialogTemplate TextViewerTemplate(const AppState& state) {
  platform::DialogTemplate dialog = Viewer(state.Text(kTextGroup, 1), {70, 70, 335, 65});
  dialog.controls = {
      platform::MakeControl(1084, ControlKind::Static, {1, 1, 330, 15}, state.dialogs.selected_field),
      platform::MakeControl(kTextValueId, ControlKind::Edit, {1, 16, 330, 25}, u"",
              platform::kMultiLine | platform::kReadOnly | platform::kSunken | platform::kHorizontalScrollBar |
                  platform::kScrollsSideways),
      platform::MakeControl(kTextCloseId, ControlKind::Button, {1, 42, 50, 15}, state.Text(kTextGroup, 2)),
  };
  return dialog;
}

platform::DialogTemplate LogicalViewerTemplate(const AppState& state) {
  platform::DialogTemplate dialog = Viewer(state.Text(kLogicalGroup, 1), {70, 70, 337, 75});
  dialog.controls = {
      platform::MakeControl(1088, ControlKind::Static, {1, 1, 330, 15}, state.dialogs.selected_field),
      platform::MakeControl(kYesId, ControlKind::Option, {1, 17, 100, 15}, state.Text(kLogicalGroup, 2), platform::kDisabled),
      platform::MakeControl(kNoId, ControlKind::Option, {1, 31, 100, 15}, state.Text(kLogicalGroup, 3), platform::kDisabled),
      platform::MakeControl(kLogicalCloseId, ControlKind::Button, {1, 51, 50, 15}, state.Text(kLogicalGroup, 4)),
  };
  return dialog;
}

platform::DialogTemplate MemoViewerTemplate(const AppState& state) {
  platform::DialogTemplate dialog = Viewer(state.Text(kMemoGroup, 1), {70, 70, 336, 321});
  const std::u16string label = state.main.structure_view ? state.Text(kMemoGroup, 2) : state.dialogs.selected_field;
  platform::ControlTemplate value =
      platform::MakeControl(kMemoValueId, ControlKind::Edit, {2, 17, 330, 280}, u"",
              platform::kMultiLine | platform::kReadOnly | platform::kSunken | platform::kVerticalScrollBar | platform::kWrap);
  value.font.bold = false;
  dialog.controls = {
      platform::MakeControl(1092, ControlKind::Static, {2, 2, 330, 15}, label),
      value,
      platform::MakeControl(kMemoCloseId, ControlKind::Button, {2, 300, 50, 15}, state.Text(kMemoGroup, 3)),
  };
  return dialog;
}

void ShowNumberViewer(AppState& state) {
  RunViewer(NumberViewerTemplate(state), kNumberCloseId, [&state](platform::Dialog window) {
    // A number never stored says so, rather than passing for a stored 0.
    const Database db = state.CurrentDatabase();
    std::u16string stored;
    const IoResult<bool> found =
        FindValueText(db, ValueQuery{state.dialogs.selected_field, state.dialogs.current_record}, stored);
    const std::u16string shown =
        found.ok() && found.value && !stored.empty()
            ? FormatNumber(stored, FieldDecimalsByName(db, state.dialogs.selected_field), state.shell.language)
            : NoData(state);
    platform::SetText(window, kNumberValueId, shown);
  });
}

void ShowTextViewer(AppState& state) {
  RunViewer(TextViewerTemplate(state), kTextCloseId,
            [&state](platform::Dialog window) { platform::SetText(window, kTextValueId, StoredValue(state)); });
}

void ShowLogicalViewer(AppState& state) {
  RunViewer(LogicalViewerTemplate(state), kLogicalCloseId, [&state](platform::Dialog window) {
    // Any number but 0 reads as yes; a missing value or a text without a number reads as no.
    const bool yes = ReadNumberText(StoredValue(state)).mantissa != 0;
    platform::SetChecked(window, kYesId, yes);
    platform::SetChecked(window, kNoId, !yes);
  });
}

void ShowMemoViewer(AppState& state) {
  RunViewer(MemoViewerTemplate(state), kMemoCloseId, [&state](platform::Dialog window) {
    const std::u16string shown =
        state.main.structure_view
            ? DescribeStructure(state.CurrentDatabase(), state.shell.texts, state.shell.language)
            : StoredValue(state);
    platform::SetText(window, kMemoValueId, shown);
  });
}

}  // namespace zentora
