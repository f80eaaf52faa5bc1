#include "dialogs/entry_dialogs.h"

#include <string>
#include <utility>
#include <variant>

namespace zentora {
namespace {

// One dialog of the family: where it differs from the others.
struct EntryLayout {
  TextId caption;
  TextId accept_text;
  int width;
  int height;
  int prompt_id;
  int input_id;
  platform::Rect input;
  std::uint32_t input_flags;
  int accept_id;
  platform::Rect accept;
  bool light_font;  // long text reads better in the normal weight
};

const EntryLayout kNumberLayout{text::kNumberEntryTitle, text::kNumberEntryAccept, 338, 59, kNumberEntryPromptId,
                                kNumberEntryEditId, {5, 20, 330, 15}, platform::kBorder | platform::kScrollsSideways,
                                kNumberEntryAcceptId, {5, 40, 50, 15}, false};
const EntryLayout kTextLayout{text::kTextEntryTitle, text::kTextEntryAccept, 335, 65, kTextEntryPromptId,
                              kTextEntryEditId, {5, 20, 330, 25},
                              platform::kMultiLine | platform::kSunken | platform::kHorizontalScrollBar |
                                  platform::kScrollsSideways,
                              kTextEntryAcceptId, {5, 46, 50, 15}, false};
const EntryLayout kMemoLayout{text::kMemoEntryTitle, text::kMemoEntryAccept, 336, 321, kMemoEntryPromptId,
                              kMemoEntryEditId, {5, 20, 330, 280},
                              platform::kMultiLine | platform::kSunken | platform::kVerticalScrollBar | platform::kWrap |
                                  platform::kWantsReturn,
                              kMemoEntryAcceptId, {5, 303, 50, 15}, true};

// The frame shared by the family: caption, placement, and the prompt line on top.
platform::DialogTemplate EntryFrame(const Texts& texts, TextId caption, int width, int height, int prompt_id,
                                    const std::u16string& prompt) {
  platform::DialogTemplate dialog;
  dialog.caption = texts.Text(caption);
  dialog.rect = {70, 70, width, height};
  dialog.style = platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame;
  dialog.controls.push_back(platform::MakeControl(prompt_id, platform::ControlKind::Static, {5, 5, 330, 15}, prompt));
  return dialog;
}

platform::DialogTemplate TypedEntryTemplate(const Texts& texts, const EntryLayout& layout,
                                            const std::u16string& prompt, const std::u16string& shown) {
  platform::DialogTemplate dialog =
      EntryFrame(texts, layout.caption, layout.width, layout.height, layout.prompt_id, prompt);
  platform::ControlTemplate input =
      platform::MakeControl(layout.input_id, platform::ControlKind::Edit, layout.input, shown, layout.input_flags);
  if (layout.light_font) input.font.bold = false;
  dialog.controls.push_back(input);
  dialog.controls.push_back(platform::MakeControl(layout.accept_id, platform::ControlKind::Button, layout.accept,
                                                  texts.Text(layout.accept_text)));
  return dialog;
}

// Every dialog starts from no answer, so a close can never hand on an earlier value.
std::optional<std::u16string> ShowTypedEntry(const Texts& texts, const EntryLayout& layout,
                                             const std::u16string& prompt, const std::u16string& shown) {
  std::optional<std::u16string> answer;
  platform::RunModal(TypedEntryTemplate(texts, layout, prompt, shown),
                     [&answer, &layout](platform::Dialog dialog, const platform::DialogEvent& event) {
                       if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
                         if (!platform::IsActivation(*command, layout.accept_id)) return;
                         answer = platform::GetText(dialog, layout.input_id);
                         platform::EndDialog(dialog, 1);
                       } else if (std::holds_alternative<platform::CloseEvent>(event)) {
                         answer.reset();
                         platform::EndDialog(dialog, 0);
                       }
                     });
  return answer;
}

}  // namespace

platform::DialogTemplate NumberEntryTemplate(const Texts& texts, const std::u16string& prompt,
                                          const std::u16string& shown) {
  return TypedEntryTemplate(texts, kNumberLayout, prompt, shown);
}
platform::DialogTemplate TextEntryTemplate(const Texts& texts, const std::u16string& prompt,
                                          const std::u16string& shown) {
  return TypedEntryTemplate(texts, kTextLayout, prompt, shown);
}
platform::DialogTemplate MemoEntryTemplate(const Texts& texts, const std::u16string& prompt,
                                          const std::u16string& shown) {
  return TypedEntryTemplate(texts, kMemoLayout, prompt, shown);
}

platform::DialogTemplate LogicalEntryTemplate(const Texts& texts, const std::u16string& prompt) {
  platform::DialogTemplate dialog = EntryFrame(texts, text::kLogicalEntryTitle, 337, 75, kLogicalEntryPromptId, prompt);
  dialog.controls.push_back(platform::MakeControl(kLogicalEntryYesId, platform::ControlKind::Option, {5, 20, 100, 15},
                                                  texts.Text(text::kLogicalEntryYes)));
  dialog.controls.push_back(platform::MakeControl(kLogicalEntryNoId, platform::ControlKind::Option, {5, 35, 100, 15},
                                                  texts.Text(text::kLogicalEntryNo)));
  dialog.controls.push_back(platform::MakeControl(kLogicalEntryAcceptId, platform::ControlKind::Button,
                                                  {5, 55, 50, 15}, texts.Text(text::kLogicalEntryAccept)));
  return dialog;
}

std::optional<std::u16string> ShowNumberEntry(const Texts& texts, const std::u16string& prompt,
                                           const std::u16string& shown) {
  return ShowTypedEntry(texts, kNumberLayout, prompt, shown);
}
std::optional<std::u16string> ShowTextEntry(const Texts& texts, const std::u16string& prompt,
                                           const std::u16string& shown) {
  return ShowTypedEntry(texts, kTextLayout, prompt, shown);
}
std::optional<std::u16string> ShowMemoEntry(const Texts& texts, const std::u16string& prompt,
                                           const std::u16string& shown) {
  return ShowTypedEntry(texts, kMemoLayout, prompt, shown);
}

std::optional<std::u16string> ShowLogicalEntry(const Texts& texts, const std::u16string& prompt,
                                               const std::u16string&) {
  std::u16string chosen;
  const int result = platform::RunModal(
      LogicalEntryTemplate(texts, prompt), [&chosen](platform::Dialog dialog, const platform::DialogEvent& event) {
        if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
          // The answer is the option clicked last; accepting only ends the dialog.
          if (command->id == kLogicalEntryYesId || command->id == kLogicalEntryNoId) {
            platform::SetChecked(dialog, kLogicalEntryYesId, command->id == kLogicalEntryYesId);
            platform::SetChecked(dialog, kLogicalEntryNoId, command->id == kLogicalEntryNoId);
            chosen = command->id == kLogicalEntryYesId ? u"1" : u"0";
          } else if (platform::IsActivation(*command, kLogicalEntryAcceptId)) {
            platform::EndDialog(dialog, 1);
          }
        } else if (std::holds_alternative<platform::CloseEvent>(event)) {
          platform::EndDialog(dialog, 0);
        }
      });
  if (result != 1) return std::nullopt;
  return chosen;
}

}  // namespace zentora
