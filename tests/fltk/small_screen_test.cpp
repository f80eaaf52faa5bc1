// The Linux desktop backend on an 800x600 screen: a dialog taller than the work area is fitted
// (its scrolling text shortened, or its content scrolled so that the focused button shows),
// boxes are centred on the screen, message boxes show all their text and the program's word
// for OK, the main window keeps its height when its menu bar goes and comes back, and menus,
// edits and Escape behave as on the other desktop.
// GoogleTest comes before the X headers, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/fl_draw.H>

#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "platform/ui.h"
#include "platform/fltk/internal.h"

namespace zentora::platform {
namespace {

class SmallScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X display";
    const Rect area = WorkArea();
    if (area.cy > 600) GTEST_SKIP() << "the screen is taller than 600 pixels";
  }
};

constexpr int kAccept = 1;
constexpr int kText = 10;

DialogTemplate Tall(std::uint32_t text_flags, int style = kStyleCaption | kStyleSystemMenu | kStyleModalFrame) {
  DialogTemplate dialog;
  dialog.caption = u"Tall";
  dialog.rect = {20, 20, 200, 330};
  dialog.style = static_cast<std::uint32_t>(style);
  dialog.controls = {MakeControl(kText, ControlKind::Edit, {5, 5, 190, 290}, u"", text_flags),
                     MakeControl(kAccept, ControlKind::Button, {5, 305, 50, 15}, u"OK")};
  return dialog;
}

// Runs the dialog; `look` sees its record once it is built, then it ends.
void Look(const DialogTemplate& dialog, const std::function<void(Dialog, fltk::DialogRecord&)>& look) {
  RunModal(dialog, [&](Dialog shown, const DialogEvent& event) {
    if (std::holds_alternative<InitEvent>(event)) {
      look(shown, *fltk::RecordOf(shown));
      EndDialog(shown, 0);
    }
  });
}

TEST_F(SmallScreen, ATallDialogFitsTheWorkAreaAndItsButtonStaysWithinReach) {
  const Rect area = WorkArea();
  struct Case {
    const char* what;
    std::uint32_t text_flags;
    bool scrolls;
  };
  const Case cases[] = {
      {"a memo gives up height", kMultiLine | kVerticalScrollBar | kWrap, false},
      {"a one-line edit cannot: the content scrolls", 0, true},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    const Rect asked = fltk::ToPixels(Tall(test.text_flags).rect, Units::DialogUnits, Font{});
    ASSERT_GT(asked.cy, area.cy) << "the test's dialog must be taller than the screen";
    Look(Tall(test.text_flags), [&](Dialog shown, fltk::DialogRecord& record) {
      const Fl_Window& window = *record.window;
      EXPECT_LE(window.h() + 32, area.cy);  // its title bar and frame too
      EXPECT_GE(window.y(), area.y);
      EXPECT_LE(window.y() + window.h(), area.y + area.cy);
      EXPECT_EQ(record.content != nullptr, test.scrolls);
      FocusControl(shown, kAccept);
      const Fl_Widget* button = record.Widget(kAccept);
      EXPECT_GE(button->y(), 0);
      EXPECT_LE(button->y() + button->h(), window.h()) << "the button shows once it has the keyboard";
    });
  }
}

TEST_F(SmallScreen, CentredDialogsGoInTheMiddleOfTheWorkArea) {
  const Rect area = WorkArea();
  DialogTemplate box = Tall(0, kStyleCaption | kStyleModalFrame | kStyleCentred);
  box.rect = {0, 0, 100, 40};
  box.controls = {MakeControl(kAccept, ControlKind::Button, {5, 20, 50, 15}, u"OK")};
  Look(box, [&](Dialog, fltk::DialogRecord& record) {
    const Fl_Window& window = *record.window;
    const int middle_x = window.x() + window.w() / 2;
    const int middle_y = window.y() + window.h() / 2;
    EXPECT_NEAR(middle_x, area.x + area.cx / 2, 8);
    EXPECT_NEAR(middle_y, area.y + area.cy / 2, 16);  // the title bar sits above it
  });
}

TEST_F(SmallScreen, EscapeClosesWhereTheDesktopGivesACloseBoxButNeverTheMainWindow) {
  struct Case {
    std::uint32_t style;
    bool closes;
  };
  const Case cases[] = {
      {kStyleCaption | kStyleModalFrame, true},                    // the About box
      {kStyleCaption | kStyleSystemMenu | kStyleModalFrame, true},  // a dialog with its own close box
      {kStyleCaption | kStyleMinimizeBox, false},                   // the main window
  };
  for (const Case& test : cases) {
    DialogTemplate dialog = Tall(0, static_cast<int>(test.style));
    dialog.rect = {10, 10, 100, 40};
    dialog.controls = {};
    bool closed = false;
    RunModal(dialog, [&](Dialog shown, const DialogEvent& event) {
      if (std::holds_alternative<InitEvent>(event)) {
        Fl::e_number = FL_SHORTCUT;
        Fl::e_keysym = FL_Escape;
        fltk::RecordOf(shown)->window->do_callback();
        EndDialog(shown, 0);
      }
      if (std::holds_alternative<CloseEvent>(event)) closed = true;
    });
    EXPECT_EQ(closed, test.closes) << "style " << test.style;
  }
}

TEST_F(SmallScreen, AMessageBoxShowsAllItsTextAndTheProgramsWordForOk) {
  // Lines shorter than the width the box wraps at: the widest sets the box's width.
  const std::u16string text = u"No puede repetir nombre etiqueta ...\r\nNo hemos archivado ...";
  struct Seen {
    int needed_height = 0;
    int height = 0;
    std::string button;
  } seen;
  Fl::add_timeout(0.2, [](void* data) {
    auto& look = *static_cast<Seen*>(data);
    for (Fl_Window* window = Fl::first_window(); window != nullptr; window = Fl::next_window(window)) {
      for (int i = 0; i < window->children(); ++i) {
        Fl_Widget* child = window->child(i);
        if (auto* button = dynamic_cast<Fl_Button*>(child)) {
          look.button = button->label();
          button->do_callback();
        } else if (dynamic_cast<Fl_Box*>(child) != nullptr && child->label() != nullptr) {
          // Measured as FLTK draws a label set to the left: 3 pixels in from either side.
          fl_font(child->labelfont(), child->labelsize());
          int width = child->w() - 6;
          int height = 0;
          fl_measure(child->label(), width, height, 0);
          look.needed_height = height;
          look.height = child->h();
        }
      }
    }
  }, &seen);
  ShowMessage(text, u"Programador", u"Aceptar");
  EXPECT_GT(seen.needed_height, 0);
  EXPECT_LE(seen.needed_height, seen.height) << "no line of the text is cut off";
  EXPECT_EQ(seen.button, "Aceptar");
}

TEST_F(SmallScreen, TheMainWindowKeepsItsHeightAsItsMenuBarGoesAndComesBack) {
  DialogTemplate main = Tall(0, kStyleCaption | kStyleMinimizeBox);
  main.rect = {10, 10, 200, 30};
  main.controls = {};
  const Menu bar = {{0, u"Idiomas", 0, {{7, u"Español", 0, {}}, {8, u"English", 0, {}}}}};
  Look(main, [&](Dialog shown, fltk::DialogRecord& record) {
    AttachMenu(shown, bar);
    const int height = record.window->h();
    std::vector<int> heights;
    for (int i = 0; i < 3; ++i) {
      DetachMenu(shown);
      heights.push_back(record.window->h());
      AttachMenu(shown, bar);
      heights.push_back(record.window->h());
    }
    EXPECT_EQ(heights, std::vector<int>(6, height));
    // Each item underlines a letter of its own.
    const std::deque<std::string>& labels = record.menu->labels;
    EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.end()),
              (std::vector<std::string>{"&Idiomas", "&Español", "E&nglish"}));
  });
}

TEST_F(SmallScreen, AnEditOpensWithItsTextSelectedAndAShortLabelUncut) {
  DialogTemplate dialog = Tall(0);
  dialog.rect = {10, 10, 200, 60};
  dialog.units = Units::Pixels;
  dialog.controls = {MakeControl(kText, ControlKind::Edit, {5, 5, 190, 25}, u"Ana Maria"),
                     MakeControl(13, ControlKind::Edit, {5, 100, 190, 25}, u"Ana Maria",
                                 kMultiLine | kSunken | kHorizontalScrollBar | kScrollsSideways),
                     MakeControl(11, ControlKind::Static, {5, 35, 190, 15}, u"1 de 40", kSunken | kTextCentred),
                     MakeControl(12, ControlKind::Static, {5, 55, 190, 40}, u"Two\r\nlines")};
  Look(dialog, [&](Dialog, fltk::DialogRecord& record) {
    auto* input = dynamic_cast<Fl_Input_*>(record.Widget(kText));
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->position(), input->size());
    EXPECT_EQ(input->mark(), 0) << "all the text is selected, so typing replaces it";
    auto* area = dynamic_cast<Fl_Text_Editor*>(record.Widget(13));
    ASSERT_NE(area, nullptr);
    int start = -1, end = -1;
    EXPECT_TRUE(area->buffer()->selection_position(&start, &end));
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, area->buffer()->length()) << "a text entry shown again comes all selected too";
    EXPECT_EQ(record.Widget(11)->align() & FL_ALIGN_CLIP, 0) << "a line taller than its box is not cut";
    EXPECT_NE(record.Widget(12)->align() & FL_ALIGN_CLIP, 0) << "a box with room for its lines keeps them inside";
  });
}

}  // namespace
}  // namespace zentora::platform
