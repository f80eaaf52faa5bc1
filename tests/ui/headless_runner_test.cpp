// The headless runner behaves like a desktop one: handlers see the events a user's actions
// cause, controls keep their state, timers tick with the script's clock.
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/ui.h"
#include "platform/headless/script.h"
#include "scripted_test.h"

namespace zentora {
namespace {

using namespace platform;
using headless::DialogState;

ControlTemplate Control(int id, ControlKind kind, std::uint32_t flags = 0) {
  ControlTemplate control;
  control.id = id;
  control.kind = kind;
  control.rect = {0, 0, 50, 15};
  control.flags = flags;
  return control;
}

// A form with every kind of control the tests touch.
DialogTemplate Form(std::u16string caption = u"Form") {
  DialogTemplate dialog;
  dialog.caption = std::move(caption);
  dialog.rect = {10, 10, 200, 100};
  dialog.style = kStyleCaption | kStyleSystemMenu;
  dialog.controls = {
      Control(10, ControlKind::Edit),
      Control(11, ControlKind::Edit, kDigitsOnly),
      Control(12, ControlKind::Edit, kReadOnly | kMultiLine),
      Control(20, ControlKind::Option),
      Control(21, ControlKind::Option),
      Control(22, ControlKind::Option),
      Control(30, ControlKind::CheckBox),
      Control(40, ControlKind::Button),
      Control(41, ControlKind::Button, kDisabled),
      Control(50, ControlKind::Surface),
  };
  return dialog;
}

// Keeps every event a handler saw, as text, and ends on button 40.
struct EventLog {
  std::vector<std::string> events;
  DialogHandler Handler(int end_result = 7) {
    return [this, end_result](Dialog dialog, const DialogEvent& event) {
      if (std::holds_alternative<InitEvent>(event)) events.push_back("init");
      if (auto* command = std::get_if<CommandEvent>(&event)) {
        events.push_back("command " + std::to_string(command->id) + "/" + std::to_string(command->code));
        if (command->id == 40) EndDialog(dialog, end_result);
      }
      if (auto* timer = std::get_if<TimerEvent>(&event)) events.push_back("timer " + std::to_string(timer->id));
      if (auto* mouse = std::get_if<MouseDownEvent>(&event)) {
        events.push_back("mouse " + std::to_string(mouse->id) + " " + std::to_string(mouse->x) + "," +
                         std::to_string(mouse->y));
      }
      if (std::holds_alternative<CloseEvent>(event)) events.push_back("close");
      if (std::holds_alternative<DestroyEvent>(event)) events.push_back("destroy");
    };
  }
};

using HeadlessRunnerTest = testing::ScriptedTest;

TEST_F(HeadlessRunnerTest, UserActionsReachTheHandlerInOrderAndTheResultComesBack) {
  EventLog log;
  script.ExpectDialog(u"Form")
      .Type(10, u"abc")
      .Click(30)
      .PressKey(21)
      .ClickAt(50, 3, 42)
      .Close()
      .Click(40);
  EXPECT_EQ(RunModal(Form(), log.Handler(7)), 7);
  EXPECT_EQ(log.events, (std::vector<std::string>{"init", "command 10/768", "command 30/0", "command 21/1",
                                                   "mouse 50 3,42", "close", "command 40/0", "destroy"}));
  const DialogState& form = *headless::FindDialog(u"Form");
  EXPECT_FALSE(form.open);
  EXPECT_EQ(form.result, 7);
  EXPECT_EQ(form.Control(10).text, u"abc");
}

TEST_F(HeadlessRunnerTest, ControlsBehaveLikeTheirKind) {
  EventLog log;
  script.ExpectDialog(u"Form")
      .Type(11, u"12a.3-4")  // a digits-only edit turns the other keys away
      .Click(20)
      .Click(22)
      .Click(30)
      .Click(30)
      .Click(30)
      .Inspect([](const DialogState& form) {
        EXPECT_EQ(form.Control(11).text, u"1234");
        EXPECT_FALSE(form.Control(20).checked);
        EXPECT_FALSE(form.Control(21).checked);
        EXPECT_TRUE(form.Control(22).checked);
        EXPECT_TRUE(form.Control(30).checked);
        EXPECT_FALSE(form.Control(41).enabled);
      })
      .Click(40);
  RunModal(Form(), log.Handler());
}

TEST_F(HeadlessRunnerTest, HandlersReadAndChangeTheirControls) {
  std::vector<std::u16string> seen;
  script.ExpectDialog(u"Form").Type(10, u"hola").Click(40).Click(40);
  RunModal(Form(), [&](Dialog dialog, const DialogEvent& event) {
    if (std::holds_alternative<InitEvent>(event)) {
      SetText(dialog, 12, u"line 1\r\nline 2");
      SetChecked(dialog, 21, true);
      SetEnabled(dialog, 41, true);
      SetCaption(dialog, u"Renamed");
    }
    if (auto* command = std::get_if<CommandEvent>(&event); command && command->id == 40) {
      seen.push_back(GetText(dialog, 10));
      // The first press disables the field; the second ends the dialog.
      if (IsEnabled(dialog, 10)) {
        SetEnabled(dialog, 10, false);
      } else {
        EndDialog(dialog, 0);
      }
    }
  });
  const DialogState& form = *headless::Dialogs().back();
  EXPECT_EQ(form.caption, u"Renamed");
  EXPECT_EQ(form.dialog.caption, u"Form");
  EXPECT_EQ(form.Control(12).text, u"line 1\r\nline 2");
  EXPECT_TRUE(form.Control(21).checked);
  EXPECT_TRUE(form.Control(41).enabled);
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"hola", u"hola"}));
}

TEST_F(HeadlessRunnerTest, TimersTickInTheOrderTheyFallDue) {
  EventLog log;
  script.ExpectDialog(u"Form");
  const Dialog form = CreateModeless(Form(), log.Handler());
  StartTimer(form, 1, 30);
  StartTimer(form, 2, 20);
  headless::AdvanceClock(59);  // due: 2 at 20, 1 at 30, 2 at 40
  EXPECT_EQ(headless::ClockMs(), 59u);
  headless::AdvanceClock(1);   // 1 and 2 both at 60: the one started first goes first
  StartTimer(form, 2, 100);  // a restart counts from now
  headless::AdvanceClock(100);  // 1 at 90, 120, 150; 2 at 160
  StopTimer(form, 1);
  headless::AdvanceClock(1000);  // 2 at 260 ... 1160
  EXPECT_EQ(log.events, (std::vector<std::string>{"init", "timer 2", "timer 1", "timer 2", "timer 1", "timer 2",
                                                   "timer 1", "timer 1", "timer 1", "timer 2", "timer 2",
                                                   "timer 2", "timer 2", "timer 2", "timer 2", "timer 2",
                                                   "timer 2", "timer 2", "timer 2", "timer 2"}));
  DestroyDialog(form);
}

TEST_F(HeadlessRunnerTest, AnEndedDialogGetsNoMoreTicks) {
  EventLog log;
  script.ExpectDialog(u"Form");
  const Dialog form = CreateModeless(Form(), log.Handler());
  StartTimer(form, 9, 50);
  headless::AdvanceClock(50);
  DestroyDialog(form);
  headless::AdvanceClock(500);
  EXPECT_EQ(log.events, (std::vector<std::string>{"init", "timer 9", "destroy"}));
  EXPECT_TRUE(headless::StateOf(form).timers.empty());
  EXPECT_FALSE(headless::StateOf(form).open);
}

TEST_F(HeadlessRunnerTest, AModelessDialogEndedByItsHandlerIsDestroyedWhenTheHandlerReturns) {
  std::vector<std::string> events;
  script.ExpectDialog(u"Form");
  const Dialog form = CreateModeless(Form(), [&](Dialog dialog, const DialogEvent& event) {
    if (std::holds_alternative<TimerEvent>(event)) {
      EndDialog(dialog, 3);
      // Still usable until the handler returns.
      SetText(dialog, 10, u"last words");
      events.push_back("tick");
    }
    if (std::holds_alternative<DestroyEvent>(event)) events.push_back("destroy " + std::to_string(GetText(dialog, 10).size()));
  });
  StartTimer(form, 1, 10);
  headless::AdvanceClock(100);
  EXPECT_EQ(events, (std::vector<std::string>{"tick", "destroy 10"}));
  EXPECT_EQ(headless::StateOf(form).result, 3);
}

TEST_F(HeadlessRunnerTest, ScriptStepsCanOpenNestedWindows) {
  EventLog outer;
  EventLog inner;
  script.ExpectDialog(u"Outer")
      .Do([&] {
        ShowMessage(u"Processed ...", u"Programmer", u"OK");
        EXPECT_EQ(RunModal(Form(u"Inner"), inner.Handler(2)), 2);
      })
      .ExpectMessage(u"Processed ...", u"Programmer")
      .ExpectDialog(u"Inner")
      .Click(40)
      .Click(40);
  EXPECT_EQ(RunModal(Form(u"Outer"), outer.Handler(1)), 1);
  EXPECT_EQ(headless::MessagesShown(), (std::vector<headless::MessageShown>{{u"Processed ...", u"Programmer"}}));
  ASSERT_EQ(headless::Dialogs().size(), 2u);
  EXPECT_EQ(headless::Dialogs()[1]->caption, u"Inner");
}

TEST_F(HeadlessRunnerTest, ADialogGetsItsFocusBackWhenTheOneAboveItEnds) {
  EventLog outer;
  EventLog inner;
  script.ExpectDialog(u"Outer")
      .Inspect([](const DialogState& form) {
        // The first control that takes the keyboard; a greyed one is passed over.
        EXPECT_EQ(form.focus, 10);
        EXPECT_TRUE(form.active);
      })
      .Type(11, u"42")
      .Do([&] { RunModal(Form(u"Inner"), inner.Handler()); })
      .ExpectDialog(u"Inner")
      .Click(30)
      .Inspect([](const DialogState& form) {
        EXPECT_EQ(form.focus, 30);
        EXPECT_TRUE(form.active);
        EXPECT_FALSE(headless::FindDialog(u"Outer")->active);
      })
      .Click(40)
      .Inspect([](const DialogState& form) {
        EXPECT_EQ(form.caption, u"Outer");
        EXPECT_TRUE(form.active);
        EXPECT_EQ(form.focus, 11);
        EXPECT_FALSE(headless::FindDialog(u"Inner")->active);
      })
      .Click(40);
  DialogTemplate first_greyed = Form(u"Outer");
  first_greyed.controls.insert(first_greyed.controls.begin(), Control(9, ControlKind::Edit, kDisabled));
  RunModal(first_greyed, outer.Handler());
  EXPECT_FALSE(headless::FindDialog(u"Outer")->active);
}

TEST_F(HeadlessRunnerTest, TheClockNeverGoesBackAfterANestedWait) {
  EventLog inner;
  script.ExpectDialog(u"Form").ExpectDialog(u"Inner").Wait(500).Click(40);
  const Dialog form = CreateModeless(Form(), [&](Dialog dialog, const DialogEvent& event) {
    if (!std::holds_alternative<TimerEvent>(event)) return;
    // Ticks go on during the inner box's wait, as they do on a desktop: stop them first.
    StopTimer(dialog, 1);
    RunModal(Form(u"Inner"), inner.Handler());
  });
  StartTimer(form, 1, 100);
  headless::AdvanceClock(100);  // the tick at 100 opens a box that waits 500 ms more
  EXPECT_EQ(headless::ClockMs(), 600u);
  DestroyDialog(form);
}

TEST_F(HeadlessRunnerTest, PumpingIsCounted) {
  PumpMessages();
  PumpMessages();
  EXPECT_EQ(headless::PumpCount(), 2);
}

}  // namespace
}  // namespace zentora
