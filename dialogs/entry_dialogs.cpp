#include "dialogs/entry_dialogs.h"

#include <string>
#include <utility>
#include <variant>

namespace zentora {
namespace {

constexpr int kMemoGroup = 13;
constexpr int kLogicalGroup = 14;
constexpr int kTextGroup = 15;
constexpr int kNumberGroup = 16;

constexpr int kYesId = 1044;
constexpr int kNoId = 1045;
constexpr int kLogicalAcceptId = 1046;

// One dialog of the family: where it differs from the others.
struct EntryLayout {
  int group;  // texts: caption first, accept caption last
  int accept_entry;
  int width;
  int height;
  int prompt_id;
  int input_id;
  platform::Rect input;
  std::uint32_t input_flags;
  int accept_id;
  platform::Rect accept;
};

const EntryLayout kNumberLayout{kNumberGroup, 2, 338, 59, 1035, 1036, {5, 20, 330, 15},
                                platform::kBorder | platform::kScrollsSideways, 1037, {5, 40, 50, 15}};
const EntryLayout kTextLayout{kTextGroup, 2, 335, 65, 1039, 1040, {5, 20, 330, 25},
                              platform::kMultiLine | platform::kSunken | platform::kHorizontalScrollBar |
                                  platform::kScrollsSideways,
                              1041, {5, 46, 50, 15}};
const EntryLayout kMemoLayout{kMemoGroup, 2, 336, 321, 1047, 1048, {5, 20, 330, 280},
                              platform::kMultiLine | platform::kSunken | platform::kVerticalScrollBar | platform::kWrap,
                              1049, {5, 303, 50, 15}};

// The frame shared by the family: caption, placement, and the prompt line on top.
platform::DialogTemplate EntryFrame(const AppState& state, int group, int width, int height, int prompt_id) {
  platform::DialogTemplate dialog;
  dialog.caption = state.Text(group, 1);
  dialog.rect = {70, 70, width, height};
  dialog.style = platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame;
  dialog.controls.push_back(
      platform::MakeControl(prompt_id, platform::ControlKind::Static, {5, 5, 330, 15}, state.dialogs.entry_prompt));
  return dialog;
}

platform::DialogTemplate TypedEntryTemplate(const AppState& state, const EntryLayout& layout) {
  platform::DialogTemplate dialog = EntryFrame(state, layout.group, layout.width, layout.height, layout.prompt_id);
  platform::ControlTemplate input =
      platform::MakeControl(layout.input_id, platform::ControlKind::Edit, layout.input, u"", layout.input_flags);
  // Long text reads better in the normal weight.
  if (layout.group == kMemoGroup) input.font.bold = false;
  dialog.controls.push_back(input);
  dialog.controls.push_back(platform::MakeControl(layout.accept_id, platform::ControlKind::Button, layout.accept,
                                    state.Text(layout.group, layout.accept_entry)));
  return dialog;
}

bool IsAccept(const platform::CommandEvent& command, int id) {
  return command.id == id && (command.code == platform::kCodeClicked || command.code == platform::kCodeKeyboard);
}

// Every dialog starts from the empty result, so a close can never hand on an earlier value.
void ShowTypedEntry(AppState& state, const EntryLayout& layout) {
  state.dialogs.entry_result.clear();
  platform::RunModal(TypedEntryTemplate(state, layout),
                     [&state, &layout](platform::Dialog dialog, const platform::DialogEvent& event) {
                       if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
                         if (!IsAccept(*command, layout.accept_id)) return;
                         state.dialogs.entry_result = platform::GetText(dialog, layout.input_id);
                         platform::EndDialog(dialog, 1);
                       } else if (std::holds_alternative<platform::CloseEvent>(event)) {
                         state.dialogs.entry_result.clear();
                         platform::EndDialog(dialog, 0);
                       }
                     });
}

}  // namespace

platform::DialogTemplate NumberEntryTemplate(const AppState& state) { return TypedEntryTemplate(state, kNumberLayout); }
platform::DialogTemplate TextEntryTemplate(const AppState& state) { return TypedEntryTemplate(state, kTextLayout); }
platform::DialogTemplate MemoEntryTemplate(const AppState& state) { return TypedEntryTemplate(state, kMemoLayout); }

platform::DialogTemplate LogicalEntryTemplate(const AppState& state) {
  platform::DialogTemplate dialog = EntryFrame(state, kLogicalGroup, 337, 75, 1043);
  dialog.controls.push_back(
      platform::MakeControl(kYesId, platform::ControlKind::Option, {5, 20, 100, 15}, state.Text(kLogicalGroup, 2)));
  dialog.controls.push_back(
      platform::MakeControl(kNoId, platform::ControlKind::Option, {5, 35, 100, 15}, state.Text(kLogicalGroup, 3)));
  dialog.controls.push_back(
      platform::MakeControl(kLogicalAcceptId, platform::ControlKind::Button, {5, 55, 50, 15}, state.Text(kLogicalGroup, 4)));
  return dialog;
}

void ShowNumberEntry(AppState& state) { ShowTypedEntry(state, kNumberLayout); }
void ShowTextEntry(AppState& state) { ShowTypedEntry(state, kTextLayout); }
void ShowMemoEntry(AppState& state) { ShowTypedEntry(state, kMemoLayout); }

void ShowLogicalEntry(AppState& state) {
  state.dialogs.entry_result.clear();
  platform::RunModal(LogicalEntryTemplate(state), [&state](platform::Dialog dialog, const platform::DialogEvent& event) {
    if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
      // The answer is the option clicked last; accepting only ends the dialog.
      if (command->id == kYesId || command->id == kNoId) {
        platform::SetChecked(dialog, kYesId, command->id == kYesId);
        platform::SetChecked(dialog, kNoId, command->id == kNoId);
        state.dialogs.entry_result = command->id == kYesId ? u"1" : u"0";
      } else if (IsAccept(*command, kLogicalAcceptId)) {
        platform::EndDialog(dialog, 1);
      }
    } else if (std::holds_alternative<platform::CloseEvent>(event)) {
      state.dialogs.entry_result.clear();
      platform::EndDialog(dialog, 0);
    }
  });
}

}  // namespace zentora
