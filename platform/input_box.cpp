// The text input box of the desktop backends, written once on the door's own dialog
// functions: a prompt, an edit holding the default answer, OK and Cancel.
#include <optional>
#include <string>
#include <variant>

#include "platform/ui.h"

namespace zentora::platform {
namespace {

constexpr int kInputPromptId = 100;
constexpr int kInputEditId = 101;
// Enter and Escape reach a dialog as the commands of these ids on every desktop.
constexpr int kInputOkId = 1;
constexpr int kInputCancelId = 2;

DialogTemplate InputBoxTemplate(const std::u16string& prompt, const std::u16string& title,
                                const std::u16string& default_answer) {
  DialogTemplate dialog;
  dialog.caption = title;
  dialog.rect = {0, 0, 220, 76};
  dialog.style = kStyleCaption | kStyleSystemMenu | kStyleModalFrame | kStyleCentred;
  dialog.controls = {
      MakeControl(kInputPromptId, ControlKind::Static, {6, 6, 150, 44}, prompt),
      MakeControl(kInputEditId, ControlKind::Edit, {6, 56, 208, 14}, default_answer, kScrollsSideways | kSunken),
      MakeControl(kInputOkId, ControlKind::Button, {162, 6, 52, 15}, u"OK"),
      MakeControl(kInputCancelId, ControlKind::Button, {162, 25, 52, 15}, u"Cancel"),
  };
  return dialog;
}

}  // namespace

std::optional<std::u16string> AskText(const std::u16string& prompt, const std::u16string& title,
                                      const std::u16string& default_answer) {
  std::optional<std::u16string> answer;
  RunModal(InputBoxTemplate(prompt, title, default_answer), [&answer](Dialog dialog, const DialogEvent& event) {
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
