#include "dialogs/value_viewers.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "display/failure_words.h"
#include "display/shown_value.h"
#include "display/structure_description.h"
#include "storage/data_file.h"
#include "storage/structure_file.h"

namespace zentora {
namespace {

using platform::ControlKind;

constexpr std::uint32_t kViewerStyle =
    platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame;

platform::DialogTemplate Viewer(std::u16string caption, platform::Rect rect) {
  platform::DialogTemplate dialog;
  dialog.caption = std::move(caption);
  dialog.rect = rect;
  dialog.style = kViewerStyle;
  return dialog;
}

IoResult<bool> FindStored(const ValueOnShow& value, std::u16string& text) {
  const ValueQuery query{value.field, value.record};
  return value.index ? value.index->FindText(query, text) : FindValueText(value.db, query, text);
}

// The stored text of the value, or nothing when the data file could not be read: another
// program holding it is said in a message and no viewer opens, so a value held away never
// passes for "No datos". A value not found (or empty) is the empty text.
std::optional<std::u16string> ReadShownValue(const Texts& texts, const ValueOnShow& value) {
  std::u16string stored;
  const IoResult<bool> found = FindStored(value, stored);
  if (!found.ok()) {
    platform::ShowMessage(FailureMessage(texts, text::kDataFileNotRead, value.db, found.status) +
                              TryAgainAdvice(texts, found.status),
                          texts.MessageCaption(), texts.Text(text::kOkButton));
    return std::nullopt;
  }
  return found.value ? stored : std::u16string();
}

// The viewers only show: Init fills the value control, the close button or the window's close
// command ends the dialog, and every other command is ignored.
void RunViewer(const platform::DialogTemplate& dialog, int close_id,
               const std::function<void(platform::Dialog)>& fill) {
  platform::RunModal(dialog, [&](platform::Dialog window, const platform::DialogEvent& event) {
    if (std::holds_alternative<platform::InitEvent>(event)) {
      fill(window);
    } else if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
      if (platform::IsActivation(*command, close_id)) platform::EndDialog(window, 0);
    } else if (std::holds_alternative<platform::CloseEvent>(event)) {
      platform::EndDialog(window, 0);
    }
  });
}

}  // namespace

platform::DialogTemplate NumberViewerTemplate(const Texts& texts, const std::u16string& label) {
  platform::DialogTemplate dialog = Viewer(texts.Text(text::kNumberViewerTitle), {135, 105, 338, 59});
  dialog.controls = {
      platform::MakeControl(kNumberViewerLabelId, ControlKind::Static, {1, 1, 330, 15}, label),
      platform::MakeControl(kNumberViewerValueId, ControlKind::Edit, {1, 16, 330, 15}, u"",
              platform::kReadOnly | platform::kSunken | platform::kScrollsSideways),
      platform::MakeControl(kNumberViewerCloseId, ControlKind::Button, {1, 36, 50, 15},
                            texts.Text(text::kNumberViewerAccept)),
  };
  return dialog;
}

platform::DialogTemplate TextViewerTemplate(const Texts& texts, const std::u16string& label) {
  platform::DialogTemplate dialog = Viewer(texts.Text(text::kTextViewerTitle), {70, 70, 335, 65});
  dialog.controls = {
      platform::MakeControl(kTextViewerLabelId, ControlKind::Static, {1, 1, 330, 15}, label),
      platform::MakeControl(kTextViewerValueId, ControlKind::Edit, {1, 16, 330, 25}, u"",
              platform::kMultiLine | platform::kReadOnly | platform::kSunken | platform::kHorizontalScrollBar |
                  platform::kScrollsSideways),
      platform::MakeControl(kTextViewerCloseId, ControlKind::Button, {1, 42, 50, 15},
                            texts.Text(text::kTextViewerAccept)),
  };
  return dialog;
}

platform::DialogTemplate LogicalViewerTemplate(const Texts& texts, const std::u16string& label) {
  platform::DialogTemplate dialog = Viewer(texts.Text(text::kLogicalViewerTitle), {70, 70, 337, 75});
  dialog.controls = {
      platform::MakeControl(kLogicalViewerLabelId, ControlKind::Static, {1, 1, 330, 15}, label),
      platform::MakeControl(kLogicalViewerYesId, ControlKind::Option, {1, 17, 100, 15},
                            texts.Text(text::kLogicalViewerYes), platform::kDisabled | platform::kVerticallyCentred),
      platform::MakeControl(kLogicalViewerNoId, ControlKind::Option, {1, 31, 100, 15},
                            texts.Text(text::kLogicalViewerNo), platform::kDisabled | platform::kVerticallyCentred),
      platform::MakeControl(kLogicalViewerCloseId, ControlKind::Button, {1, 51, 50, 15},
                            texts.Text(text::kLogicalViewerAccept)),
  };
  return dialog;
}

platform::DialogTemplate MemoViewerTemplate(const Texts& texts, const std::u16string& label) {
  platform::DialogTemplate dialog = Viewer(texts.Text(text::kMemoViewerTitle), {70, 70, 336, 321});
  platform::ControlTemplate value =
      platform::MakeControl(kMemoViewerValueId, ControlKind::Edit, {2, 17, 330, 280}, u"",
              platform::kMultiLine | platform::kReadOnly | platform::kSunken | platform::kVerticalScrollBar | platform::kWrap);
  value.font.bold = false;
  dialog.controls = {
      platform::MakeControl(kMemoViewerLabelId, ControlKind::Static, {2, 2, 330, 15}, label),
      value,
      platform::MakeControl(kMemoViewerCloseId, ControlKind::Button, {2, 300, 50, 15},
                            texts.Text(text::kMemoViewerExit)),
  };
  return dialog;
}

void ShowNumberViewer(const Texts& texts, const ValueOnShow& value) {
  const std::optional<std::u16string> stored = ReadShownValue(texts, value);
  if (!stored) return;
  RunViewer(NumberViewerTemplate(texts, value.field), kNumberViewerCloseId, [&](platform::Dialog window) {
    platform::SetText(window, kNumberViewerValueId,
                      ShownValue(texts, ShownAs::Number, FieldDecimalsByName(value.db, value.field), *stored));
  });
}

void ShowTextViewer(const Texts& texts, const ValueOnShow& value) {
  const std::optional<std::u16string> stored = ReadShownValue(texts, value);
  if (!stored) return;
  RunViewer(TextViewerTemplate(texts, value.field), kTextViewerCloseId, [&](platform::Dialog window) {
    platform::SetText(window, kTextViewerValueId, ShownValue(texts, ShownAs::Text, 0, *stored));
  });
}

void ShowLogicalViewer(const Texts& texts, const ValueOnShow& value) {
  const std::optional<std::u16string> stored = ReadShownValue(texts, value);
  if (!stored) return;
  RunViewer(LogicalViewerTemplate(texts, value.field), kLogicalViewerCloseId, [&](platform::Dialog window) {
    const bool yes = StoredYes(*stored);
    platform::SetChecked(window, kLogicalViewerYesId, yes);
    platform::SetChecked(window, kLogicalViewerNoId, !yes);
  });
}

void ShowMemoViewer(const Texts& texts, const ValueOnShow& value) {
  const std::optional<std::u16string> stored = ReadShownValue(texts, value);
  if (!stored) return;
  RunViewer(MemoViewerTemplate(texts, value.field), kMemoViewerCloseId, [&](platform::Dialog window) {
    platform::SetText(window, kMemoViewerValueId, ShownValue(texts, ShownAs::Text, 0, *stored));
  });
}

void ShowStructureViewer(const Texts& texts, const Database& db) {
  RunViewer(MemoViewerTemplate(texts, texts.Text(text::kStructureViewLabel)), kMemoViewerCloseId,
            [&](platform::Dialog window) {
              platform::SetText(window, kMemoViewerValueId, DescribeStructure(db, texts.table, texts.language));
            });
}

}  // namespace zentora
