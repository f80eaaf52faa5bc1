#include "dialogs/database_dialogs.h"

#include <array>
#include <string>
#include <utility>
#include <variant>

#include "platform/system.h"
#include "storage/database.h"

namespace zentora {
namespace {

// The type options in their order on screen: id, type code, y, height and text.
struct TypeOption {
  int id;
  std::int16_t type;
  int y;
  int height;
  TextId text;
};
constexpr std::array<TypeOption, 7> kTypeOptions{{
    {kDecimalOptionId, 1, 50, 15, text::kDecimalOption},
    {kIntegerOptionId, 2, 65, 15, text::kIntegerOption},
    {kStringOptionId, 3, 80, 15, text::kStringOption},
    {kLogicalOptionId, 4, 95, 15, text::kLogicalOption},
    {kMemoOptionId, 5, 110, 16, text::kMemoOption},
    {kImageOptionId, 6, 125, 15, text::kImageOption},
    {kSoundOptionId, 7, 140, 15, text::kSoundOption},
}};

// Each dialog carries a title bar with a close box: the close command is how a user cancels.
constexpr std::uint32_t kDialogStyle = platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame;

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

platform::DialogTemplate DatabaseNameDialogTemplate(const Texts& texts) {
  platform::DialogTemplate dialog;
  dialog.caption = texts.Text(text::kDatabaseNameTitle);
  dialog.rect = {64, 151, 294, 60};
  dialog.style = kDialogStyle;
  dialog.controls.push_back(platform::MakeControl(kDatabaseNameEditId, platform::ControlKind::Edit, {5, 5, 285, 25}, u"",
                                    platform::kBorder | platform::kScrollsSideways));
  dialog.controls.push_back(
      platform::MakeControl(kDatabaseNameAcceptId, platform::ControlKind::Button, {5, 40, 50, 15},
                            texts.Text(text::kDatabaseNameAccept)));
  return dialog;
}

std::optional<std::u16string> ShowDatabaseNameDialog(const Texts& texts, const std::u16string& folder) {
  std::optional<std::u16string> accepted;
  platform::RunModal(DatabaseNameDialogTemplate(texts), [&](platform::Dialog dialog, const platform::DialogEvent& event) {
    if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
      if (!platform::IsActivation(*command, kDatabaseNameAcceptId)) return;
      const std::u16string name = platform::GetText(dialog, kDatabaseNameEditId);
      // Only a name that can become a folder is ever handed to a command.
      if (name.empty()) return;
      if (!IsValidDatabaseName(name)) {
        platform::ShowMessage(texts.Text(text::kInvalidName), texts.MessageCaption(), texts.Text(text::kOkButton));
        platform::FocusControl(dialog, kDatabaseNameEditId);
        return;
      }
      // Other programs name a database to Lirvak in narrow text: a name it cannot carry
      // would make a database only this program can reach.
      if (!platform::NameFitsNarrowText(name)) {
        platform::ShowMessage(texts.Text(text::kNameOutsideCodePage), texts.MessageCaption(), texts.Text(text::kOkButton));
        return;
      }
      // The folder and both files must fit the file system: a name that fits the folder but
      // not its files would leave an empty folder behind.
      if (!DatabaseNameFits(folder, name)) {
        platform::ShowMessage(texts.Filled(text::kNameTooLongForDisk, folder), texts.MessageCaption(), texts.Text(text::kOkButton));
        platform::FocusControl(dialog, kDatabaseNameEditId);
        return;
      }
      accepted = name;
      platform::EndDialog(dialog, 1);
    } else if (std::holds_alternative<platform::CloseEvent>(event)) {
      platform::EndDialog(dialog, 0);
    }
  });
  return accepted;
}

platform::DialogTemplate DefineFieldDialogTemplate(const Texts& texts) {
  using platform::ControlKind;
  auto text = [&texts](TextId id) { return texts.Text(id); };
  platform::DialogTemplate dialog;
  dialog.caption = text(text::kDefineFieldTitle);
  dialog.rect = {172, 87, 204, 305};
  dialog.style = kDialogStyle;
  auto& controls = dialog.controls;
  controls.push_back(platform::MakeControl(kFieldNameLabelId, ControlKind::Static, {5, 0, 195, 15}, text(text::kFieldNamePrompt)));
  controls.push_back(platform::MakeControl(kFieldNameEditId, ControlKind::Edit, {5, 15, 195, 25}, u"",
                             platform::kBorder | platform::kScrollsSideways));
  platform::ControlTemplate frame = platform::MakeControl(kTypeFrameId, ControlKind::GroupFrame, {5, 40, 195, 120}, text(text::kFieldTypeFrame));
  frame.font.points = 8;
  controls.push_back(frame);
  for (const TypeOption& option : kTypeOptions)
    controls.push_back(platform::MakeControl(option.id, ControlKind::Option, {7, option.y, 190, option.height}, text(option.text)));
  controls.push_back(platform::MakeControl(kKeyBoxId, ControlKind::CheckBox, {7, 161, 193, 15}, text(text::kKeyFieldQuestion)));
  controls.push_back(platform::MakeControl(kSizeLabelId, ControlKind::Static, {5, 179, 195, 22}, text(text::kFieldSizePrompt)));
  controls.push_back(platform::MakeControl(kSizeEditId, ControlKind::Edit, {5, 201, 195, 25}, u"",
                             platform::kDigitsOnly | platform::kSunken));
  controls.push_back(platform::MakeControl(kDecimalsLabelId, ControlKind::Static, {5, 231, 195, 22}, text(text::kFieldDecimalsPrompt)));
  controls.push_back(platform::MakeControl(kDecimalsEditId, ControlKind::Edit, {5, 253, 195, 25}, u"",
                             platform::kDigitsOnly | platform::kSunken));
  controls.push_back(platform::MakeControl(kFieldAcceptId, ControlKind::Button, {5, 286, 50, 15}, text(text::kDefineFieldAccept)));
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

namespace {

// Why a definition was refused, stated as the rule of its type, and the edit to fix it in.
std::pair<TextId, int> RefusalOf(const FieldDefinition& field, bool name_given) {
  if (!name_given) return {text::kFieldNameRule, kFieldNameEditId};
  switch (static_cast<FieldType>(field.type)) {
    case FieldType::Decimal: {
      const bool size_fits = field.size >= 1 && field.size <= 254;
      return {text::kDecimalFieldRule, size_fits ? kDecimalsEditId : kSizeEditId};
    }
    case FieldType::Memo: return {text::kMemoFieldRule, kSizeEditId};
    default: return {text::kShortFieldRule, kSizeEditId};
  }
}

}  // namespace

std::optional<FieldDefinition> ShowDefineFieldDialog(const Texts& texts) {
  std::int16_t type = 1;
  auto select = [&type](platform::Dialog dialog, const TypeOption& chosen) {
    type = chosen.type;
    for (const TypeOption& option : kTypeOptions) platform::SetChecked(dialog, option.id, option.id == chosen.id);
    // Decimals mean something only for a decimal number; the text stays while greyed.
    platform::SetEnabled(dialog, kDecimalsEditId, chosen.type == 1);
  };
  std::optional<FieldDefinition> accepted;
  platform::RunModal(DefineFieldDialogTemplate(texts), [&](platform::Dialog dialog, const platform::DialogEvent& event) {
    if (std::holds_alternative<platform::InitEvent>(event)) {
      select(dialog, kTypeOptions[0]);
    } else if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
      for (const TypeOption& option : kTypeOptions) {
        if (command->id == option.id) select(dialog, option);
      }
      if (!platform::IsActivation(*command, kFieldAcceptId)) return;
      const std::u16string name = platform::GetText(dialog, kFieldNameEditId);
      FieldDefinition field;
      field.name = PadFieldName(name);
      field.type = type;
      field.size = ReadWholeNumber(platform::GetText(dialog, kSizeEditId));
      field.decimals = ReadWholeNumber(platform::GetText(dialog, kDecimalsEditId));
      field.key_flag = platform::IsChecked(dialog, kKeyBoxId) ? 1 : 0;
      if (!DefinitionFits(field, !name.empty())) {
        const auto [rule, edit] = RefusalOf(field, !name.empty());
        platform::ShowMessage(texts.Text(rule), texts.MessageCaption(), texts.Text(text::kOkButton));
        platform::FocusControl(dialog, edit);
        return;
      }
      accepted = field;
      platform::EndDialog(dialog, 1);
    } else if (std::holds_alternative<platform::CloseEvent>(event)) {
      platform::EndDialog(dialog, 0);
    }
  });
  return accepted;
}

}  // namespace zentora
