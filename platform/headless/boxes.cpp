// The desktop's own windows without a screen: message boxes, the input box and the
// open-file dialog take their answers from the script; the shell's "open" and the menu bars
// are kept for the test to look at.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"
#include "platform/text_wrap.h"
#include "platform/ui.h"
#include "platform/headless/script.h"
#include "platform/headless/session.h"

namespace zentora::platform {

using headless::CurrentSession;
using headless::DialogState;
using headless::LiveState;
using headless::Quoted;
using headless::ScriptFailure;
using headless::StepKind;
using headless::TakeAnswer;

void ShowMessage(const std::u16string& text, const std::u16string& caption, const std::u16string& accept) {
  CurrentSession().messages.push_back({text, caption});
  CurrentSession().message_buttons.push_back(accept);
  // Laid out as the desktop backends lay it out, in letters of one width.
  const MeasureText model = [](std::u16string_view line) {
    return static_cast<int>(line.size()) * headless::kModelLetterWidth;
  };
  std::vector<std::u16string> lines = WrapText(text, MessageTextWidth(CurrentSession().work_area), model);
  int widest = 0;
  for (const std::u16string& line : lines) widest = std::max(widest, model(line));
  constexpr int kMargins = 24;
  CurrentSession().message_layouts.push_back({std::move(lines), widest + kMargins});
  const std::string shown = "message box " + Quoted(caption) + " saying " + Quoted(text);
  const headless::Step& step = TakeAnswer(shown, StepKind::ExpectMessage, StepKind::ExpectMessage);
  const bool words = step.prefix_only ? text.compare(0, step.text.size(), step.text) == 0 : step.text == text;
  if (!words || (!step.caption.empty() && step.caption != caption)) {
    throw ScriptFailure(shown + " opened, but the script expected message " + Quoted(step.text) +
                        (step.caption.empty() ? std::string() : " captioned " + Quoted(step.caption)));
  }
}

std::optional<std::u16string> AskText(const std::u16string& prompt, const std::u16string& title,
                                      const std::u16string& default_answer, const BoxButtons& buttons) {
  CurrentSession().inputs.push_back({prompt, title, default_answer, buttons});
  const std::string shown = "input box " + Quoted(title) + " asking " + Quoted(prompt);
  const headless::Step& step = TakeAnswer(shown, StepKind::AnswerInput, StepKind::CancelInput);
  if (step.caption != title) {
    throw ScriptFailure(shown + " opened, but the script expected input box " + Quoted(step.caption));
  }
  if (step.kind == StepKind::CancelInput) return std::nullopt;
  return step.text;
}

bool AskYesNo(const std::u16string& question, const std::u16string& caption, const BoxButtons&) {
  CurrentSession().questions.push_back({question, caption});
  const std::string shown = "question " + Quoted(caption) + " asking " + Quoted(question);
  const headless::Step& step = TakeAnswer(shown, StepKind::AnswerQuestion, StepKind::AnswerQuestion);
  if (step.text != question) throw ScriptFailure(shown + " opened, but the script expected question " + Quoted(step.text));
  return step.yes;
}

std::optional<std::u16string> ChooseFileToOpen(const OpenFileRequest& request) {
  CurrentSession().file_requests.push_back(request);
  const std::string shown = "open-file dialog " + Quoted(request.title);
  const headless::Step& step = TakeAnswer(shown, StepKind::ChooseFile, StepKind::CancelFile);
  if (step.caption != request.title) {
    throw ScriptFailure(shown + " opened, but the script expected open-file dialog " + Quoted(step.caption));
  }
  if (step.kind == StepKind::CancelFile) return std::nullopt;
  if (!PathExists(step.text)) {
    throw ScriptFailure(shown + " accepts only a file that exists, and " + Quoted(step.text) + " does not");
  }
  return step.text;
}

bool ShellOpen(const std::u16string& path) {
  CurrentSession().shell_opens.push_back(path);
  return !CurrentSession().shell_open_fails;
}

void AttachMenu(Dialog dialog, const Menu& bar) {
  DialogState& state = LiveState(dialog);
  state.has_menu = true;
  state.menu = bar;
}

void DetachMenu(Dialog dialog) {
  DialogState& state = LiveState(dialog);
  state.has_menu = false;
  state.menu.clear();
}

}  // namespace zentora::platform
