#include "dialogs/database_dialogs.h"

#include <array>
#include <string>
#include <utility>
#include <variant>

#include "storage/database.h"

namespace zentora {
namespace {

constexpr int kNameGroup = 18;
constexpr int kFieldGroup = 17;

constexpr int kNameEditId = 1017;
constexpr int kNameAcceptId = 1018;

constexpr int kFieldNameLabelId = 1020;
constexpr int kFieldNameEditId = 1019;
constexpr int kTypeFrameId = 1032;
constexpr int kKeyBoxId = 1027;
constexpr int kSizeLabelId = 1029;
constexpr int kSizeEditId = 1028;
constexpr int kDecimalsLabelId = 1031;
constexpr int kDecimalsEditId = 1030;
constexpr int kFieldAcceptId = 1033;

// The type options in their order on screen: id, type code, y, height and text entry.
struct TypeOption {
  int id;
  std::int16_t type;
  int y;
  int height;
  int text;
};
constexpr std::array<TypeOption, 7> kTypeOptions{{
    {1021, 1, 50, 15, 3},
    {1022, 2, 65, 15, 4},
    {1023, 3, 80, 15, 5},
    {1024, 4, 95, 15, 6},
    {1025, 5, 110, 16, 7},
    {1026, 6, 125, 15, 8},
    {1034, 7, 140, 15, 14},
}};

// Each dialog carries a title bar with a close box: the close command is how a user cancels.
constexpr std::uint32_t kDialogStyle = platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame;

bool IsAccept(const platform::CommandEvent& command, int id) {
  return command.id == id && (command.code == platform::kCodeClicked || command.code == platform::kCodeKeyboard);
}

// An edit read as a whole number: the digits it starts with, 0 when there are none, and
// -32768 for anything past what a 16-bit field can hold, which no type accepts as a size
// or a decimal count.
std::int16_t ReadWholeNumber(const std::u16string& text) {
  std::int32_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') break;
    value = value * 10 + (c - u'0');
    if (value > 32767) return -32768;
  }
  return static_cast<std::int16_t>(value);
}

}  // namespace

platform::DialogTemplate DatabaseNameDialogTemplate(const AppState& state) {
  platform::DialogTemplate dialog;
  dialog.caption = state.Text(kNameGroup, 1);
  dialog.rect = {64, 151, 294, 60};
  dialog.style = kDialogStyle;
  dialog.controls.push_back(platform::MakeControl(kNameEditId, platform::ControlKind::Edit, {5, 5, 285, 25}, u"",
                                    platform::kBorder | platform::kScrollsSideways));
  dialog.controls.push_back(
      platform::MakeControl(kNameAcceptId, platform::ControlKind::Button, {5, 40, 50, 15}, state.Text(kNameGroup, 2)));
  return dialog;
}

bool ShowDatabaseNameDialog(AppState& state) {
  const int result = platform::RunModal(
      DatabaseNameDialogTemplate(state), [&state](platform::Dialog dialog, const platform::DialogEvent& event) {
        if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
          if (!IsAccept(*command, kNameAcceptId)) return;
          const std::u16string name = platform::GetText(dialog, kNameEditId);
          // Only a name that can become a folder is ever left for a command to use.
          state.dialogs.database_name.clear();
          if (name.empty()) return;
          if (!IsValidDatabaseName(name)) {
            platform::ShowMessage(state.Text(text::kInvalidName), state.MessageCaption());
            return;
          }
          state.dialogs.database_name = name;
          platform::EndDialog(dialog, 1);
        } else if (std::holds_alternative<platform::CloseEvent>(event)) {
          state.dialogs.database_name.clear();
          platform::EndDialog(dialog, 0);
        }
      });
  return result == 1;
}

platform::DialogTemplate DefineFieldDialogTemplate(const AppState& state) {
  using platform::ControlKind;
  auto text = [&state](int entry) { return state.Text(kFieldGroup, entry); };
  platform::DialogTemplate dialog;
  dialog.caption = text(1);
  dialog.rect = {172, 87, 204, 305};
  dialog.style = kDialogStyle;
  auto& controls = dialog.controls;
  controls.push_back(platform::MakeControl(kFieldNameLabelId, ControlKind::Static, {5, 0, 195, 15}, text(2)));
  controls.push_back(platform::MakeControl(kFieldNameEditId, ControlKind::Edit, {5, 15, 195, 25}, u"",
                             platform::kBorder | platform::kScrollsSideways));
  platform::ControlTemplate frame = platform::MakeControl(kTypeFrameId, ControlKind::GroupFrame, {5, 40, 195, 120}, text(12));
  frame.font.points = 8;
  controls.push_back(frame);
  for (const TypeOption& option : kTypeOptions)
    controls.push_back(platform::MakeControl(option.id, ControlKind::Option, {7, option.y, 190, option.height}, text(option.text)));
  controls.push_back(platform::MakeControl(kKeyBoxId, ControlKind::CheckBox, {7, 161, 193, 15}, text(9)));
  controls.push_back(platform::MakeControl(kSizeLabelId, ControlKind::Static, {5, 179, 195, 22}, text(10)));
  controls.push_back(platform::MakeControl(kSizeEditId, ControlKind::Edit, {5, 201, 195, 25}, u"",
                             platform::kDigitsOnly | platform::kSunken));
  controls.push_back(platform::MakeControl(kDecimalsLabelId, ControlKind::Static, {5, 231, 195, 22}, text(11)));
  controls.push_back(platform::MakeControl(kDecimalsEditId, ControlKind::Edit, {5, 253, 195, 25}, u"",
                             platform::kDigitsOnly | platform::kSunken));
  controls.push_back(platform::MakeControl(kFieldAcceptId, ControlKind::Button, {5, 286, 50, 15}, text(13)));
  return dialog;
}

bool DefinitionFits(const FieldDefinition& field, bool name_given) {
  if (!name_given) return false;
  const bool typed_size = field.size >= 1 && field.size <= 254;
  switch (static_cast<FieldType>(field.type)) {
    case FieldType::Decimal: return typed_size && field.decimals >= 1 && field.decimals <= 12;
    case FieldType::Integer:
    case FieldType::String:
    case FieldType::Logical: return typed_size && field.decimals == 0;
    case FieldType::Memo: return field.size >= 1 && field.decimals == 0;  // size is at most 32767
    case FieldType::Image:
    case FieldType::WavSound: return true;
  }
  return false;
}

bool ShowDefineFieldDialog(AppState& state) {
  std::int16_t type = 1;
  auto select = [&type](platform::Dialog dialog, const TypeOption& chosen) {
    type = chosen.type;
    for (const TypeOption& option : kTypeOptions) platform::SetChecked(dialog, option.id, option.id == chosen.id);
    // Decimals mean something only for a decimal number; the text stays while greyed.
    platform::SetEnabled(dialog, kDecimalsEditId, chosen.type == 1);
  };
  const int result = platform::RunModal(
      DefineFieldDialogTemplate(state), [&](platform::Dialog dialog, const platform::DialogEvent& event) {
        if (std::holds_alternative<platform::InitEvent>(event)) {
          select(dialog, kTypeOptions[0]);
        } else if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
          for (const TypeOption& option : kTypeOptions) {
            if (command->id == option.id) select(dialog, option);
          }
          if (!IsAccept(*command, kFieldAcceptId)) return;
          const std::u16string name = platform::GetText(dialog, kFieldNameEditId);
          FieldDefinition& field = state.dialogs.pending_field;
          field.name = PadFieldName(name);
          field.type = type;
          field.size = ReadWholeNumber(platform::GetText(dialog, kSizeEditId));
          field.decimals = ReadWholeNumber(platform::GetText(dialog, kDecimalsEditId));
          field.key_flag = platform::IsChecked(dialog, kKeyBoxId) ? 1 : 0;
          if (DefinitionFits(field, !name.empty())) platform::EndDialog(dialog, 1);
        } else if (std::holds_alternative<platform::CloseEvent>(event)) {
          // Nothing is left pending after a cancel, not even a refused attempt.
          state.dialogs.pending_field = FieldDefinition{};
          platform::EndDialog(dialog, 0);
        }
      });
  return result == 1;
}

}  // namespace zentora
