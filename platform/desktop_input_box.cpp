// The text input box and the yes/no question of the desktop backends, written once on the
// door's own dialog functions, so that their buttons speak the program's language.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <variant>

#include "platform/text_wrap.h"
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

// The question's lines at the average letter, a quarter of its width in dialog units, on a line
// a little narrower than the text's, for letters wider than the average.
std::vector<std::u16string> QuestionLines(const std::u16string& question, int width) {
  constexpr int kAverageLetter = 4;
  return WrapText(question, width - 2 * kAverageLetter * 2,
                  [](std::u16string_view line) { return kAverageLetter * static_cast<int>(line.size()); });
}

// The box grows downward with a long question (one that names a file, say), so no line of it
// is cut off; a word wider than the text (a path) is broken inside it.
DialogTemplate QuestionTemplate(const std::u16string& question, const std::u16string& caption,
                               const BoxButtons& buttons) {
  constexpr int kTextWidth = 208;
  constexpr int kLineHeight = 8;  // dialog units: an eighth of the letter's height each
  const std::vector<std::u16string> lines = QuestionLines(question, kTextWidth);
  bool word_broken = false;
  for (std::size_t at = 0; at < question.size();) {
    const std::size_t end = std::min(question.find_first_of(u" \r\n", at), question.size());
    word_broken = word_broken || QuestionLines(question.substr(at, end - at), kTextWidth).size() > 1;
    at = end + 1;
  }
  const int height = std::max(40, kLineHeight * static_cast<int>(lines.size()) + 4);
  return CentredBox(caption, height + 30, {
      MakeControl(kQuestionTextId, ControlKind::Static, {6, 6, kTextWidth, height},
                  word_broken ? JoinLines(lines, u"\r\n") : question),
      MakeControl(kQuestionNoId, ControlKind::Button, {162, height + 10, 52, 15}, buttons.cancel),
      MakeControl(kQuestionYesId, ControlKind::Button, {104, height + 10, 52, 15}, buttons.accept),
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
