// The Linux desktop backend of platform/ui.h on a real (virtual) X screen: templates become
// widgets in the right places, the widgets' callbacks reach the handler as its events, and
// timers, modal loops, menus, pictures and drawing surfaces behave as the portable code
// expects. Presses are handed to the widgets directly, so no window manager is needed.
// GoogleTest comes before the X headers, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/fl_draw.H>

#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>
#include <variant>
#include <vector>

#include "platform/ui.h"
#include "platform/fltk/internal.h"
#include "support/temp_folder.h"

namespace zentora::platform {
namespace {

using zentora::testing::ReadAll;
using zentora::testing::TempFolder;
using zentora::testing::WriteAll;

constexpr int kFirstLook = 77;  // a timer: the dialog is on the screen when it ticks

class FltkBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X display";
  }
};

DialogTemplate Form(std::vector<ControlTemplate> controls, Units units = Units::DialogUnits) {
  DialogTemplate dialog;
  dialog.caption = u"Backend test";
  dialog.rect = {10, 10, 200, 120};
  dialog.units = units;
  dialog.style = kStyleCaption | kStyleSystemMenu | kStyleModalFrame;
  dialog.controls = std::move(controls);
  return dialog;
}

Fl_Widget* WidgetOf(Dialog dialog, int id) {
  fltk::DialogRecord* record = fltk::RecordOf(dialog);
  return record != nullptr ? record->Widget(id) : nullptr;
}

std::vector<std::pair<int, int>> Commands(const std::vector<DialogEvent>& events) {
  std::vector<std::pair<int, int>> commands;
  for (const DialogEvent& event : events) {
    if (const auto* command = std::get_if<CommandEvent>(&event)) commands.emplace_back(command->id, command->code);
  }
  return commands;
}

// Pumps until `done` holds or two seconds pass; whether it held.
bool PumpUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Fl::wait(0.01);
  }
  return true;
}

TEST_F(FltkBackend, DialogUnitsScaleByTheFontsBaseUnitsAndPixelsStayAsTheyAre) {
  const fltk::BaseUnits base = fltk::DialogBaseUnits(Font{});
  EXPECT_GT(base.x, 2);
  EXPECT_GT(base.y, base.x) << "a line is taller than a character is wide";
  struct Case {
    Units units;
    Rect control;
    Rect expected;
  };
  const Case cases[] = {
      {Units::DialogUnits, {8, 16, 40, 12}, {8 * base.x / 4, 16 * base.y / 8, 40 * base.x / 4, 12 * base.y / 8}},
      {Units::Pixels, {8, 16, 40, 12}, {8, 16, 40, 12}},
  };
  for (const Case& test : cases) {
    const DialogTemplate form = Form({MakeControl(10, ControlKind::Button, test.control, u"Go")}, test.units);
    Rect seen;
    Rect window;
    const int result = RunModal(form, [&](Dialog dialog, const DialogEvent& event) {
      if (std::holds_alternative<InitEvent>(event)) {
        Fl_Widget* button = WidgetOf(dialog, 10);
        seen = {button->x(), button->y(), button->w(), button->h()};
        Fl_Window* frame = button->window();
        window = {0, 0, frame->w(), frame->h()};
        EndDialog(dialog, 5);
      }
    });
    EXPECT_EQ(result, 5);
    EXPECT_EQ(seen, test.expected);
    const Rect whole = fltk::ToPixels(form.rect, test.units, form.font);
    EXPECT_EQ(window, (Rect{0, 0, whole.cx, whole.cy}));
  }
}

TEST_F(FltkBackend, ModalDialogRunsUntilATimerEndsIt) {
  std::vector<DialogEvent> events;
  int ticks = 0;
  const int result = RunModal(Form({}), [&](Dialog dialog, const DialogEvent& event) {
    events.push_back(event);
    if (std::holds_alternative<InitEvent>(event)) StartTimer(dialog, kFirstLook, 10);
    if (std::holds_alternative<TimerEvent>(event) && ++ticks == 3) {
      StopTimer(dialog, kFirstLook);
      EndDialog(dialog, 42);
    }
  });
  EXPECT_EQ(result, 42);
  EXPECT_EQ(ticks, 3);
  ASSERT_EQ(events.size(), 5u);
  EXPECT_TRUE(std::holds_alternative<InitEvent>(events.front()));
  EXPECT_EQ(std::get<TimerEvent>(events[1]).id, kFirstLook);
  EXPECT_TRUE(std::holds_alternative<DestroyEvent>(events.back()));
}

TEST_F(FltkBackend, AHandlersFailureLeavesRunModal) {
  EXPECT_THROW(RunModal(Form({}),
                        [](Dialog dialog, const DialogEvent& event) {
                          if (std::holds_alternative<InitEvent>(event)) StartTimer(dialog, kFirstLook, 10);
                          if (std::holds_alternative<TimerEvent>(event)) throw std::runtime_error("broken");
                        }),
               std::runtime_error);
}

TEST_F(FltkBackend, ModelessControlsKeepTheirStateAndReportTheirUse) {
  std::vector<DialogEvent> events;
  const Dialog dialog = CreateModeless(
      Form({
          MakeControl(10, ControlKind::Edit, {5, 5, 60, 12}, u"12", kDigitsOnly),
          MakeControl(11, ControlKind::Option, {70, 5, 50, 10}, u"A"),
          MakeControl(12, ControlKind::Option, {70, 15, 50, 10}, u"B"),
          MakeControl(13, ControlKind::CheckBox, {70, 25, 50, 10}, u"C"),
          MakeControl(14, ControlKind::Option, {70, 35, 50, 10}, u"D"),
          MakeControl(15, ControlKind::Static, {5, 55, 60, 10}, u"S", kNotify),
          MakeControl(16, ControlKind::Button, {70, 50, 50, 14}, u"Go", kDisabled),
          MakeControl(17, ControlKind::Edit, {5, 70, 60, 30}, u"one\r\ntwo", kMultiLine),
      }),
      [&](Dialog, const DialogEvent& event) { events.push_back(event); });
  ASSERT_TRUE(dialog);
  EXPECT_EQ(GetText(dialog, 10), u"12");
  // The program's own change is no user's typing; texts keep every character.
  SetText(dialog, 10, u"Ni\u00f1o @ 5");
  SetText(dialog, 15, u"a@b \u20ac");
  EXPECT_EQ(GetText(dialog, 10), u"Ni\u00f1o @ 5");
  EXPECT_EQ(GetText(dialog, 15), u"a@b \u20ac");
  EXPECT_STREQ(WidgetOf(dialog, 15)->label(), "a@@b \xe2\x82\xac") << "'@' must not start a symbol";
  // Lines end with CR LF in the core and with LF alone on the screen (a CR would show as "^M").
  EXPECT_STREQ(static_cast<Fl_Input_*>(WidgetOf(dialog, 17))->value(), "one\ntwo");
  EXPECT_EQ(GetText(dialog, 17), u"one\r\ntwo");
  SetText(dialog, 17, u"x\r\ny\r\n");
  EXPECT_EQ(GetText(dialog, 17), u"x\r\ny\r\n");
  SetText(dialog, 15, u"top\r\nbottom");
  EXPECT_STREQ(WidgetOf(dialog, 15)->label(), "top\nbottom");
  EXPECT_EQ(GetText(dialog, 15), u"top\r\nbottom");

  // Choosing B clears A, its neighbour, but not D, which the check box parts from them.
  SetChecked(dialog, 11, true);
  SetChecked(dialog, 14, true);
  WidgetOf(dialog, 12)->do_callback();
  EXPECT_FALSE(IsChecked(dialog, 11));
  EXPECT_TRUE(IsChecked(dialog, 12));
  EXPECT_TRUE(IsChecked(dialog, 14));
  SetChecked(dialog, 13, true);
  EXPECT_TRUE(IsChecked(dialog, 13));

  // A press on a clickable static is a click.
  Fl_Widget* label = WidgetOf(dialog, 15);
  Fl::e_x = label->x() + 1;
  Fl::e_y = label->y() + 1;
  label->handle(FL_PUSH);

  EXPECT_FALSE(IsEnabled(dialog, 16));
  SetEnabled(dialog, 16, true);
  EXPECT_TRUE(IsEnabled(dialog, 16));
  PumpMessages();

  DestroyDialog(dialog);
  EXPECT_EQ(GetText(dialog, 10), u"") << "a destroyed dialog's handle finds nothing";
  const std::vector<std::pair<int, int>> expected = {{12, kCodeClicked}, {15, kCodeClicked}};
  EXPECT_EQ(Commands(events), expected);
  ASSERT_FALSE(events.empty());
  EXPECT_TRUE(std::holds_alternative<InitEvent>(events.front()));
  EXPECT_TRUE(std::holds_alternative<DestroyEvent>(events.back()));
}

TEST_F(FltkBackend, MultiLineEditsWithScrollBarsKeepLinesAndReportOnlyTheUsersChanges) {
  std::vector<DialogEvent> events;
  const Dialog dialog = CreateModeless(
      Form({
          MakeControl(18, ControlKind::Edit, {5, 5, 80, 40}, u"a\r\nb", kMultiLine | kVerticalScrollBar | kWrap),
          MakeControl(19, ControlKind::Edit, {5, 50, 80, 40}, u"c", kMultiLine | kReadOnly | kHorizontalScrollBar),
      }),
      [&](Dialog, const DialogEvent& event) { events.push_back(event); });
  EXPECT_NE(dynamic_cast<Fl_Text_Editor*>(WidgetOf(dialog, 18)), nullptr);
  EXPECT_EQ(dynamic_cast<Fl_Text_Editor*>(WidgetOf(dialog, 19)), nullptr) << "a read-only text takes no typing";
  EXPECT_NE(dynamic_cast<Fl_Text_Display*>(WidgetOf(dialog, 19)), nullptr);
  EXPECT_EQ(GetText(dialog, 18), u"a\r\nb");
  SetText(dialog, 19, u"line 1\r\nline 2");
  EXPECT_EQ(GetText(dialog, 19), u"line 1\r\nline 2");
  SetText(dialog, 18, u"typed");  // the program's own change: no event
  // The user's typing changes the buffer and is reported.
  static_cast<Fl_Text_Display*>(WidgetOf(dialog, 18))->buffer()->append("!");
  EXPECT_EQ(GetText(dialog, 18), u"typed!");
  DestroyDialog(dialog);
  const std::vector<std::pair<int, int>> expected = {{18, kCodeEditChanged}};
  EXPECT_EQ(Commands(events), expected);
}

TEST_F(FltkBackend, ATimerTicksUntilStoppedAndEndsWithItsDialog) {
  int ticks = 0;
  const Dialog dialog = CreateModeless(Form({}), [&](Dialog, const DialogEvent& event) {
    if (std::holds_alternative<TimerEvent>(event)) ++ticks;
  });
  StartTimer(dialog, 1, 5);
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 2; }));
  StopTimer(dialog, 1);
  const int stopped_at = ticks;
  Fl::wait(0.05);
  Fl::wait(0.05);
  EXPECT_EQ(ticks, stopped_at);
  // A timer left running goes with its dialog.
  StartTimer(dialog, 2, 5);
  DestroyDialog(dialog);
  Fl::wait(0.05);
  EXPECT_EQ(ticks, stopped_at);
}

TEST_F(FltkBackend, AModelessDialogEndedInItsOwnHandlerGoesWhenTheHandlerReturns) {
  bool destroyed = false;
  std::u16string text_in_handler;
  const Dialog dialog = CreateModeless(Form({MakeControl(20, ControlKind::Button, {5, 5, 50, 14}, u"Close")}),
                                       [&](Dialog self, const DialogEvent& event) {
                                         if (std::holds_alternative<CommandEvent>(event)) {
                                           EndDialog(self, 0);
                                           text_in_handler = GetText(self, 20);  // still there
                                         } else if (std::holds_alternative<DestroyEvent>(event)) {
                                           destroyed = true;
                                         }
                                       });
  WidgetOf(dialog, 20)->do_callback();
  EXPECT_EQ(text_in_handler, u"Close");
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(fltk::RecordOf(dialog), nullptr);
}

TEST_F(FltkBackend, MenuBarGrowsTheWindowAndItsItemsAreCommands) {
  std::vector<DialogEvent> events;
  const Dialog dialog = CreateModeless(Form({MakeControl(10, ControlKind::Button, {5, 5, 50, 14}, u"Go")}),
                                       [&](Dialog, const DialogEvent& event) { events.push_back(event); });
  Fl_Widget* button = WidgetOf(dialog, 10);
  const int top = button->y();
  const int height = button->window()->h();
  const Menu bar = {
      {0, u"File", 0, {{0, u"New", 0, {{105, u"Base", 0, {}}}}, {0, u"-", 0, {}},
                       {101, u"Open", 0, {}}, {0, u"-", 0, {}}, {102, u"Quit", 0, {}}}},
      {0, u"Language", 0, {{103, u"Espa\u00f1ol", 404, {}}, {104, u"English", 405, {}}}},
  };
  AttachMenu(dialog, bar);
  AttachMenu(dialog, bar);  // a second bar replaces the first, it does not stack
  fltk::DialogMenuBar* menu = fltk::RecordOf(dialog)->menu;
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(button->y(), top + menu->h());
  EXPECT_EQ(button->window()->h(), height + menu->h());
  const Fl_Menu_Item* quit = menu->find_item("&File/&Quit");
  ASSERT_NE(quit, nullptr);
  EXPECT_NE(menu->find_item("&File/&Open")->flags & FL_MENU_DIVIDER, 0) << "the separator";
  EXPECT_NE(menu->find_item("&File/&New")->flags & FL_MENU_DIVIDER, 0) << "the separator after a popup";
  EXPECT_EQ(menu->find_item("&File/&New/&Base")->flags & FL_MENU_DIVIDER, 0);
  // The flag items show their picture beside the text.
  const Fl_Menu_Item* flag = &menu->menu()[menu->find_index("&Language") + 1];
  EXPECT_EQ(flag->labeltype(), _FL_MULTI_LABEL);
  menu->picked(quit);
  const int bar_height = menu->h();
  DetachMenu(dialog);
  // The window keeps its size without the bar (as a command runs), its controls where they are.
  EXPECT_EQ(fltk::RecordOf(dialog)->menu, nullptr);
  EXPECT_EQ(button->y(), top + bar_height);
  EXPECT_EQ(button->window()->h(), height + bar_height);
  DestroyDialog(dialog);
  const std::vector<std::pair<int, int>> expected = {{102, kCodeClicked}};
  EXPECT_EQ(Commands(events), expected);
}

// Answers the input box once it is on the screen: `answer` gets its dialog. A modeless
// helper's timer does it, since the box runs its own modal loop.
std::optional<std::u16string> AnswerInputBox(const std::function<void(Dialog)>& answer) {
  const Dialog helper = CreateModeless(Form({}), [&](Dialog self, const DialogEvent& event) {
    if (!std::holds_alternative<TimerEvent>(event)) return;
    auto* box = dynamic_cast<fltk::DialogWindow*>(Fl::first_window());
    if (box == nullptr || box->dialog() == self.value || !box->shown()) return;
    StopTimer(self, 1);
    answer(Dialog{box->dialog()});
  });
  StartTimer(helper, 1, 10);
  std::optional<std::u16string> result = AskText(u"Which record?", u"Go to", u"7");
  DestroyDialog(helper);
  return result;
}

TEST_F(FltkBackend, InputBoxGivesTheTypedTextOnOkAndNothingOtherwise) {
  EXPECT_EQ(AnswerInputBox([](Dialog box) {
              EXPECT_EQ(GetText(box, 101), u"7") << "the default answer";
              SetText(box, 101, u"12");
              WidgetOf(box, 1)->do_callback();  // OK
            }),
            std::optional<std::u16string>(u"12"));
  EXPECT_EQ(AnswerInputBox([](Dialog box) {
              SetText(box, 101, u"12");
              WidgetOf(box, 2)->do_callback();  // Cancel
            }),
            std::nullopt);
  EXPECT_EQ(AnswerInputBox([](Dialog box) {
              SetText(box, 101, u"12");
              fltk::RecordOf(box)->window->do_callback();  // the title bar's close
            }),
            std::nullopt);
}

// Opens a box with `open` and hands it to `look` once it is on the screen.
void LookAtBox(const std::function<void()>& open, const std::function<void(Dialog, Fl_Window&)>& look) {
  const Dialog helper = CreateModeless(Form({}), [&](Dialog self, const DialogEvent& event) {
    if (!std::holds_alternative<TimerEvent>(event)) return;
    auto* box = dynamic_cast<fltk::DialogWindow*>(Fl::first_window());
    if (box == nullptr || box->dialog() == self.value || !box->shown()) return;
    StopTimer(self, 1);
    look(Dialog{box->dialog()}, *box);
  });
  StartTimer(helper, 1, 10);
  open();
  DestroyDialog(helper);
}

// A long name or a path is broken inside itself: the message box stays within the work area with
// its OK on it, and a question grows downward so its buttons come after every line.
TEST_F(FltkBackend, BoxesWithALongPathFitTheScreenWithTheirButtons) {
  const std::u16string path = u"/home/ana/" + std::u16string(400, u'x') + u"/Base/Base.zbd";
  const Rect area = WorkArea();
  bool looked = false;
  LookAtBox([&] { ShowMessage(u"Cannot be read: " + path, u"Programmer", u"OK"); },
            [&](Dialog box, Fl_Window& window) {
              looked = true;
              EXPECT_LE(window.w(), area.cx);
              Fl_Widget* ok = WidgetOf(box, 1);
              ASSERT_NE(ok, nullptr);
              EXPECT_LE(ok->x() + ok->w(), window.w());
              ok->do_callback();
            });
  EXPECT_TRUE(looked);
  looked = false;
  LookAtBox([&] { AskYesNo(u"The record could not be stored: " + path + u". Try again?", u"Programmer", {u"Yes", u"No"}); },
            [&](Dialog box, Fl_Window& window) {
              looked = true;
              const Fl_Widget* text = WidgetOf(box, 100);
              Fl_Widget* yes = WidgetOf(box, 103);
              ASSERT_NE(text, nullptr);
              ASSERT_NE(yes, nullptr);
              EXPECT_GT(text->h(), 100) << "the question's box grew";
              EXPECT_LE(text->y() + text->h(), yes->y());
              EXPECT_LE(yes->y() + yes->h(), window.h());
              EXPECT_LE(window.w(), area.cx);
              yes->do_callback();
            });
  EXPECT_TRUE(looked);
}

TEST_F(FltkBackend, ShellOpenHandsThePathWholeToXdgOpen) {
  // A stand-in xdg-open, first on the search path, writes down the argument it was given.
  TempFolder folder;
  const std::filesystem::path tool = folder.fs() / "xdg-open";
  WriteAll(tool, "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/opened.tmp\"\n"
                 "mv \"$(dirname \"$0\")/opened.tmp\" \"$(dirname \"$0\")/opened\"\n");
  std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
  const std::string old_path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  setenv("PATH", (folder.fs().string() + ":" + old_path).c_str(), 1);
  // No shell reads it: spaces, quotes and shell signs reach the opener as they are.
  const std::u16string path = u"/tmp/una foto's $(date);\u00f1.jpg";
  ShellOpen(path);
  setenv("PATH", old_path.c_str(), 1);
  const std::filesystem::path opened = folder.fs() / "opened";
  ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(opened); }));
  EXPECT_EQ(ReadAll(opened), "/tmp/una foto's $(date);\xc3\xb1.jpg");
  // The opener ends on its own and is collected, by the backend or here; none is left behind.
  EXPECT_TRUE(PumpUntil([] { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }));
}

TEST_F(FltkBackend, PicturesComeFromTheProgramsCharacterArt) {
  struct Case {
    int resource;
    int width;
    int height;
  };
  for (const Case& test : {Case{404, 18, 12}, Case{405, 18, 12}, Case{333, 32, 32}, Case{701, 32, 32}}) {
    Fl_RGB_Image* picture = fltk::ResourceImage(test.resource);
    ASSERT_NE(picture, nullptr) << test.resource;
    EXPECT_EQ(picture->w(), test.width) << test.resource;
    EXPECT_EQ(picture->h(), test.height) << test.resource;
  }
  // The Spanish flag: red at the top, yellow in the middle, fully opaque.
  const unsigned char* flag = reinterpret_cast<const unsigned char*>(fltk::ResourceImage(404)->data()[0]);
  EXPECT_EQ(flag[0], 0xFF);
  EXPECT_EQ(flag[1], 0x00);
  EXPECT_EQ(flag[3], 0xFF);
  const unsigned char* middle = flag + (6 * 18) * 4;
  EXPECT_EQ(middle[1], 0xFF);
  // The program icon's corner is see-through.
  EXPECT_EQ(reinterpret_cast<const unsigned char*>(fltk::ResourceImage(333)->data()[0])[3], 0);
  EXPECT_EQ(fltk::ResourceImage(9999), nullptr);
}

// The colour of one pixel of a surface's kept picture.
Colour PixelOf(Dialog dialog, int id, int x, int y) {
  auto* surface = dynamic_cast<fltk::SurfaceWidget*>(WidgetOf(dialog, id));
  unsigned char rgb[3] = {};
  fl_begin_offscreen(surface->Picture());
  fl_read_image(rgb, x, y, 1, 1);
  fl_end_offscreen();
  return {rgb[0], rgb[1], rgb[2]};
}

TEST_F(FltkBackend, SurfacesShowTheirPageAndReportPressesWhereTheyHappen) {
  std::vector<MouseDownEvent> presses;
  const Dialog dialog = CreateModeless(Form({MakeControl(30, ControlKind::Surface, {10, 10, 40, 30}, u"", kSunken)}, Units::Pixels),
                                       [&](Dialog, const DialogEvent& event) {
                                         if (const auto* press = std::get_if<MouseDownEvent>(&event)) {
                                           presses.push_back(*press);
                                         }
                                       });
  const Canvas page = OpenPage(dialog, 30, 100, 100);
  DrawBox(page, {2, 2, 10, 10}, kBlack, kRed);
  DrawBox(page, {35, 5, 20, 5}, kBlack, kRed);  // runs past the surface's right edge
  EXPECT_EQ(PixelOf(dialog, 30, 5, 5), kWhite) << "a page shows only once copied";
  CopyPageToSurface(page);
  EXPECT_EQ(PixelOf(dialog, 30, 5, 5), kRed);
  EXPECT_EQ(PixelOf(dialog, 30, 2, 2), kBlack);
  EXPECT_EQ(PixelOf(dialog, 30, 0, 0), kWhite);
  EXPECT_EQ(PixelOf(dialog, 30, 38, 7), kRed);
  // Drawing on the surface itself goes straight into its picture.
  ClearCanvas(SurfaceCanvas(dialog, 30), kRed);
  EXPECT_EQ(PixelOf(dialog, 30, 0, 0), kRed);

  Fl_Widget* surface = WidgetOf(dialog, 30);
  Fl::e_x = surface->x() + 7;
  Fl::e_y = surface->y() + 4;
  surface->handle(FL_PUSH);
  DestroyDialog(dialog);
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0].id, 30);
  EXPECT_EQ(presses[0].x, 7);
  EXPECT_EQ(presses[0].y, 4);
}

}  // namespace
}  // namespace zentora::platform
