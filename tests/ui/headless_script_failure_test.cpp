// When the program and the script part ways, the test stops with a message that says which
// dialog was open and what the script wanted instead.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <variant>

#include "platform/ui.h"
#include "platform/headless/script.h"

namespace zentora {
namespace {

using namespace platform;
using headless::Script;
using headless::ScriptFailure;

DialogTemplate Box(std::u16string caption) {
  DialogTemplate dialog;
  dialog.caption = std::move(caption);
  ControlTemplate ok;
  ok.id = 1;
  ok.kind = ControlKind::Button;
  ControlTemplate greyed;
  greyed.id = 2;
  greyed.kind = ControlKind::Button;
  greyed.flags = kDisabled;
  ControlTemplate name;
  name.id = 3;
  name.kind = ControlKind::Edit;
  ControlTemplate label;
  label.id = 4;
  dialog.controls = {ok, greyed, name, label};
  return dialog;
}

OpenFileRequest Titled(std::u16string title) {
  OpenFileRequest request;
  request.title = std::move(title);
  return request;
}

// Ends on button 1.
void EndsOnOk(Dialog dialog, const DialogEvent& event) {
  if (auto* command = std::get_if<CommandEvent>(&event); command && command->id == 1) EndDialog(dialog, 0);
}

// What the runner said when `program` ran under `script`; empty when nothing went wrong.
std::string FailureOf(const std::function<void()>& program) {
  try {
    program();
  } catch (const ScriptFailure& failure) {
    return failure.what();
  }
  return {};
}

struct FailureCase {
  const char* name;
  std::function<void(Script&)> write;
  std::function<void()> program;
  std::string message;
};

class ScriptFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ScriptFailureTest, NamesTheDialogAndTheStep) {
  Script script;
  GetParam().write(script);
  EXPECT_EQ(FailureOf(GetParam().program), GetParam().message);
}

void RunAuthor() { RunModal(Box(u"Author"), EndsOnOk); }

INSTANTIATE_TEST_SUITE_P(
    Headless, ScriptFailureTest,
    ::testing::Values(
        FailureCase{"DialogWithNoStepsLeft", [](Script&) {}, RunAuthor,
                    "unexpected dialog 'Author': the script has no steps left"},
        FailureCase{"DialogWhenAMessageWasExpected",
                    [](Script& s) { s.ExpectMessage(u"Processed ..."); }, RunAuthor,
                    "unexpected dialog 'Author': the script's next step is expect message 'Processed ...'"},
        FailureCase{"DialogWithAnotherCaption", [](Script& s) { s.ExpectDialog(u"Autor"); }, RunAuthor,
                    "dialog 'Author' opened, but the script expected dialog 'Autor'"},
        FailureCase{"DialogLeftWaiting", [](Script& s) { s.ExpectDialog(u"Author"); }, RunAuthor,
                    "dialog 'Author' waits for the user, but the script has no steps left"},
        FailureCase{"DialogWaitingWhileTheScriptExpectsAnother",
                    [](Script& s) { s.ExpectDialog(u"Author").ExpectDialog(u"Database name"); }, RunAuthor,
                    "dialog 'Author' waits for the user, but the script's next step is expect dialog "
                    "'Database name'"},
        FailureCase{"ClickOnADisabledButton", [](Script& s) { s.ExpectDialog(u"Author").Click(2); }, RunAuthor,
                    "cannot click 2 in dialog 'Author': the control is disabled"},
        FailureCase{"ClickOnALabel", [](Script& s) { s.ExpectDialog(u"Author").Click(4); }, RunAuthor,
                    "cannot click 4 in dialog 'Author': the control takes no clicks"},
        FailureCase{"TypingIntoAButton", [](Script& s) { s.ExpectDialog(u"Author").Type(1, u"x"); }, RunAuthor,
                    "cannot type 'x' into 1 in dialog 'Author': the control is not an edit"},
        FailureCase{"AControlTheDialogLacks", [](Script& s) { s.ExpectDialog(u"Author").Click(1117); },
                    RunAuthor, "dialog 'Author' has no control 1117"},
        FailureCase{"MessageWithNoStepsLeft", [](Script&) {},
                    [] { ShowMessage(u"Processed ...", u"Programmer", u"OK"); },
                    "unexpected message box 'Programmer' saying 'Processed ...': the script has no steps left"},
        FailureCase{"MessageWhenADialogWasExpected", [](Script& s) { s.ExpectDialog(u"Author"); },
                    [] { ShowMessage(u"Processed ...", u"Programmer", u"OK"); },
                    "unexpected message box 'Programmer' saying 'Processed ...': the script's next step is "
                    "expect dialog 'Author'"},
        FailureCase{"MessageWithOtherWords", [](Script& s) { s.ExpectMessage(u"Procesado ..."); },
                    [] { ShowMessage(u"Processed ...", u"Programmer", u"OK"); },
                    "message box 'Programmer' saying 'Processed ...' opened, but the script expected message "
                    "'Procesado ...'"},
        FailureCase{"MessageWithAnotherCaption",
                    [](Script& s) { s.ExpectMessage(u"Processed ...", u"Programador"); },
                    [] { ShowMessage(u"Processed ...", u"Programmer", u"OK"); },
                    "message box 'Programmer' saying 'Processed ...' opened, but the script expected message "
                    "'Processed ...' captioned 'Programador'"},
        FailureCase{"ModelessDialogNotExpected", [](Script&) {}, [] { CreateModeless(Box(u"Dialog1"), EndsOnOk); },
                    "unexpected dialog 'Dialog1': the script has no steps left"},
        FailureCase{"ActingOnAnEndedDialog", [](Script& s) { s.ExpectDialog(u"Dialog1"); },
                    [] {
                      const Dialog dialog = CreateModeless(Box(u"Dialog1"), EndsOnOk);
                      DestroyDialog(dialog);
                      SetText(dialog, 3, u"late");
                    },
                    "dialog 'Dialog1' has already ended"},
        FailureCase{"InputBoxNotExpected", [](Script& s) { s.ExpectDialog(u"Display"); },
                    [] { AskText(u"Enter record", u"From 1 to 12", u""); },
                    "unexpected input box 'From 1 to 12' asking 'Enter record': the script's next step is "
                    "expect dialog 'Display'"},
        FailureCase{"InputBoxWithAnotherTitle", [](Script& s) { s.AnswerInput(u"De 1 a 12", u"3"); },
                    [] { AskText(u"Enter record", u"From 1 to 12", u""); },
                    "input box 'From 1 to 12' asking 'Enter record' opened, but the script expected input box "
                    "'De 1 a 12'"},
        FailureCase{"FileDialogWithNoStepsLeft", [](Script&) {},
                    [] { ChooseFileToOpen(Titled(u"File browser for sound")); },
                    "unexpected open-file dialog 'File browser for sound': the script has no steps left"},
        FailureCase{"FileDialogWithAnotherTitle", [](Script& s) { s.CancelFile(u"File browser for image"); },
                    [] { ChooseFileToOpen(Titled(u"File browser for sound")); },
                    "open-file dialog 'File browser for sound' opened, but the script expected open-file dialog "
                    "'File browser for image'"},
        FailureCase{"FileThatDoesNotExist",
                    [](Script& s) { s.ChooseFile(u"File browser for sound", u"no such folder/no such file.wav"); },
                    [] { ChooseFileToOpen(Titled(u"File browser for sound")); },
                    "open-file dialog 'File browser for sound' accepts only a file that exists, and "
                    "'no such folder/no such file.wav' does not"},
        FailureCase{"DialogWhileTheScriptAnswersAnInputBox",
                    [](Script& s) { s.ExpectDialog(u"Author").CancelInput(u"From 1 to 3"); }, RunAuthor,
                    "dialog 'Author' waits for the user, but the script's next step is cancel input box "
                    "'From 1 to 3'"},
        FailureCase{"MenuItemWithoutABar", [](Script& s) { s.ExpectDialog(u"Author").ChooseMenu(1006); },
                    RunAuthor, "cannot choose menu item 1006 in dialog 'Author': it has no menu bar"},
        FailureCase{"MenuItemTheBarLacks", [](Script& s) { s.ExpectDialog(u"Author").ChooseMenu(1007); },
                    [] {
                      RunModal(Box(u"Author"), [](Dialog dialog, const DialogEvent& event) {
                        if (std::holds_alternative<InitEvent>(event)) {
                          MenuItem author;
                          author.id = 1006;
                          author.text = u"Author";
                          MenuItem operations;
                          operations.text = u"Operations";
                          operations.items = {author};
                          AttachMenu(dialog, {operations});
                        }
                      });
                    },
                    "cannot choose menu item 1007 in dialog 'Author': its menu bar has no such item"},
        FailureCase{"DrawingOnAButton", [](Script& s) { s.ExpectDialog(u"Author"); },
                    [] {
                      RunModal(Box(u"Author"), [](Dialog dialog, const DialogEvent& event) {
                        if (std::holds_alternative<InitEvent>(event)) OpenPage(dialog, 1, 10, 10);
                      });
                    },
                    "control 1 of dialog 'Author' is not a drawing surface"},
        FailureCase{"DestroyingAModalDialog", [](Script& s) { s.ExpectDialog(u"Author"); },
                    [] {
                      RunModal(Box(u"Author"), [](Dialog dialog, const DialogEvent& event) {
                        if (std::holds_alternative<InitEvent>(event)) DestroyDialog(dialog);
                      });
                    },
                    "dialog 'Author' is modal: it ends with EndDialog"},
        FailureCase{"NothingWrong", [](Script& s) { s.ExpectDialog(u"Author").Click(1); }, RunAuthor, ""}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(ScriptLeftover, NamesTheFirstStepNeverPlayedAndItsDialog) {
  Script script;
  script.ExpectDialog(u"Author").Click(1).ExpectDialog(u"Author").Wait(700).Click(1);
  RunAuthor();
  EXPECT_EQ(script.Leftover(), "step 3 of the script (expect dialog 'Author') was never played");
  RunModal(Box(u"Author"), [](Dialog dialog, const DialogEvent& event) {
    if (std::holds_alternative<TimerEvent>(event)) EndDialog(dialog, 0);
    if (std::holds_alternative<InitEvent>(event)) StartTimer(dialog, 1, 100);
  });
  EXPECT_EQ(script.Leftover(), "step 5 of the script (click 1, after dialog 'Author') was never played");
}

TEST(ScriptLeftover, IsEmptyWhenEveryStepWasPlayed) {
  Script script;
  EXPECT_EQ(script.Leftover(), "");
  script.ExpectDialog(u"Author").Click(1);
  RunAuthor();
  EXPECT_EQ(script.Leftover(), "");
}

TEST(ScriptSession, AFailedDialogIsClosedAndTheNextScriptStartsClean) {
  {
    Script script;
    script.ExpectDialog(u"Author").Do([] { PumpMessages(); });
    EXPECT_NE(FailureOf(RunAuthor), "");
    ASSERT_EQ(headless::Dialogs().size(), 1u);
    EXPECT_FALSE(headless::Dialogs()[0]->open);
    EXPECT_EQ(headless::PumpCount(), 1);
    EXPECT_THROW(Script second, std::logic_error);
  }
  Script script;
  EXPECT_TRUE(headless::Dialogs().empty());
  EXPECT_EQ(headless::PumpCount(), 0);
  EXPECT_EQ(headless::ClockMs(), 0u);
}

}  // namespace
}  // namespace zentora
