// The text input box and the yes/no question of the desktop backends, written once on the
// door's own dialog functions, so that their buttons speak the program's language.
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <variant>

#include "platform/ui.h"

namespace zentora::platform {
namespace {

constexpr int kInputPromptId = 100;
constexpr int kInputEditId = 101;
// Enter and Escape reach a dialog as the commands of these ids on every desktop.
constexpr int kInputOkId = 1;
constexpr int kInputCancelId = 2;
constexpr int kQuestionTextId = 100;
constexpr int kQuestionNoId = 102;  // first: the default button, and the focus at the start
constexpr int kQuestionYesId = 103;

// A small box centred over the window that asks, with a close box (closing it is no answer).
DialogTemplate CentredBox(const std::u16string& caption, int height, std::vector<ControlTemplate> controls) {
  DialogTemplate dialog;
  dialog.caption = caption;
  dialog.rect = {0, 0, 220, height};
  dialog.style = kStyleCaption | kStyleSystemMenu | kStyleModalFrame | kStyleCentred;
  dialog.controls = std::move(controls);
  return dialog;
}

DialogTemplate InputBoxTemplate(const std::u16string& prompt, const std::u16string& title,
                                const std::u16string& default_answer, const BoxButtons& buttons) {
  return CentredBox(title, 76, {
      MakeControl(kInputPromptId, ControlKind::Static, {6, 6, 150, 44}, prompt),
      MakeControl(kInputEditId, ControlKind::Edit, {6, 56, 208, 14}, default_answer, kScrollsSideways | kSunken),
      MakeControl(kInputOkId, ControlKind::Button, {162, 6, 52, 15}, buttons.accept),
      MakeControl(kInputCancelId, ControlKind::Button, {162, 25, 52, 15}, buttons.cancel),
  });
}

DialogTemplate QuestionTemplate(const std::u16string& question, const std::u16string& caption,
                               const BoxButtons& buttons) {
  return CentredBox(caption, 70, {
      MakeControl(kQuestionTextId, ControlKind::Static, {6, 6, 208, 40}, question),
      MakeControl(kQuestionNoId, ControlKind::Button, {162, 50, 52, 15}, buttons.cancel),
      MakeControl(kQuestionYesId, ControlKind::Button, {104, 50, 52, 15}, buttons.accept),
  });
}

}  // namespace

bool AskYesNo(const std::u16string& question, const std::u16string& caption, const BoxButtons& buttons) {
  bool yes = false;
  RunModal(QuestionTemplate(question, caption, buttons), [&yes](Dialog dialog, const DialogEvent& event) {
    if (const auto* command = std::get_if<CommandEvent>(&event)) {
      if (IsActivation(*command, kQuestionYesId) || IsActivation(*command, kQuestionNoId)) {
        yes = command->id == kQuestionYesId;
        EndDialog(dialog, yes ? 1 : 0);
      }
    } else if (std::holds_alternative<CloseEvent>(event)) {
      EndDialog(dialog, 0);  // closing the box is no
    }
  });
  return yes;
}

std::optional<std::u16string> AskText(const std::u16string& prompt, const std::u16string& title,
                                      const std::u16string& default_answer, const BoxButtons& buttons) {
  std::optional<std::u16string> answer;
  RunModal(InputBoxTemplate(prompt, title, default_answer, buttons), [&answer](Dialog dialog, const DialogEvent& event) {
    if (const auto* command = std::get_if<CommandEvent>(&event)) {
      if (command->id == kInputOkId) {
        answer = GetText(dialog, kInputEditId);
        EndDialog(dialog, 1);
      } else if (command->id == kInputCancelId) {
        EndDialog(dialog, 0);
      }
    } else if (std::holds_alternative<CloseEvent>(event)) {
      EndDialog(dialog, 0);  // closing the box is Cancel
    }
  });
  return answer;
}

}  // namespace zentora::platform
