// The desktop's own windows (input box, open-file dialog), the shell's "open" and menu bars,
// as the headless runner plays and records them.
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/ui.h"
#include "platform/headless/script.h"
#include "scripted_test.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using namespace platform;
namespace headless = platform::headless;

using HeadlessWindowsTest = testing::ScriptedTest;

TEST_F(HeadlessWindowsTest, AnInputBoxGivesTheAnswerOrNothing) {
  script.AnswerInput(u"From 1 to 12", u"7").CancelInput(u"From 1 to 12");
  EXPECT_EQ(AskText(u"Enter record", u"From 1 to 12", u""), std::optional<std::u16string>(u"7"));
  EXPECT_EQ(AskText(u"Enter record", u"From 1 to 12", u"3"), std::nullopt);
  EXPECT_EQ(headless::InputsShown(), (std::vector<headless::InputShown>{{u"Enter record", u"From 1 to 12", u"", {}},
                                                                        {u"Enter record", u"From 1 to 12", u"3", {}}}));
}

TEST_F(HeadlessWindowsTest, TheOpenFileDialogGivesAnExistingFileOrNothing) {
  testing::TempFolder folder;
  testing::WriteAll(folder.fs() / "photo.jpg", "jpeg");
  const std::u16string photo = folder.path() + u"photo.jpg";
  OpenFileRequest request;
  request.title = u"File browser for image";
  request.initial_folder = folder.path();
  request.filters = {FileFilter{u"Images", u"*.jpg"}};
  request.initial_name = u"old.jpg";
  request.default_extension = u"jpg";
  script.ChooseFile(u"File browser for image", photo).CancelFile(u"File browser for image");
  EXPECT_EQ(ChooseFileToOpen(request), std::optional<std::u16string>(photo));
  EXPECT_EQ(ChooseFileToOpen(request), std::nullopt);
  EXPECT_EQ(headless::FileRequestsShown(), (std::vector<OpenFileRequest>{request, request}));
}

TEST_F(HeadlessWindowsTest, TheShellsOpenIsRecordedInOrder) {
  ShellOpen(u"C:\\velmora cache\\image_7_12.jpg");
  ShellOpen(u"C:\\velmora cache\\sonido_7_99.wav");
  EXPECT_EQ(headless::ShellOpens(), (std::vector<std::u16string>{u"C:\\velmora cache\\image_7_12.jpg",
                                                                 u"C:\\velmora cache\\sonido_7_99.wav"}));
}

MenuItem Item(int id, std::u16string text, int bitmap = 0) {
  MenuItem item;
  item.id = id;
  item.text = std::move(text);
  item.bitmap = bitmap;
  return item;
}

MenuItem Popup(std::u16string text, std::vector<MenuItem> items) {
  MenuItem popup = Item(0, std::move(text));
  popup.items = std::move(items);
  return popup;
}

Menu Operations() {
  return {Popup(u"Operations", {Popup(u"New", {Item(1002, u"Database"), Item(1003, u"Field data")}), Item(0, u"-"),
                                Item(1006, u"Author")}),
          Popup(u"Languages", {Item(1008, u"Español", 404), Item(1009, u"English", 405)})};
}

TEST_F(HeadlessWindowsTest, MenuItemsReachTheDialogWhileTheBarIsAttached) {
  std::vector<int> commands;
  Dialog window;
  DialogTemplate main_window;
  main_window.caption = u"DATABASES";
  script.ExpectDialog(u"DATABASES")
      .ChooseMenu(1003)
      .Inspect([](const headless::DialogState& state) {
        EXPECT_FALSE(state.has_menu);
        EXPECT_TRUE(state.menu.empty());
      })
      .Do([&] { AttachMenu(window, Operations()); })
      .Inspect([](const headless::DialogState& state) {
        ASSERT_TRUE(state.has_menu);
        EXPECT_EQ(state.menu, Operations());
        EXPECT_EQ(state.menu[1].items[1].bitmap, 405);
      })
      .ChooseMenu(1009);
  RunModal(main_window, [&](Dialog dialog, const DialogEvent& event) {
    if (std::holds_alternative<InitEvent>(event)) {
      window = dialog;
      AttachMenu(dialog, Operations());
    }
    if (auto* command = std::get_if<CommandEvent>(&event)) {
      commands.push_back(command->id);
      // As a command does while it runs: the bar goes, so no second command can start.
      if (command->id == 1003) DetachMenu(dialog);
      if (command->id == 1009) EndDialog(dialog, 0);
    }
  });
  EXPECT_EQ(commands, (std::vector<int>{1003, 1009}));
}

// Three boxed names on a page; a press on a line redraws that line in red on the surface.
TEST_F(HeadlessWindowsTest, APageShowsOnlyOnceCopiedAndLaterDrawingCoversIt) {
  const Font page_font{u"MS Sans Serif", 9, false};
  DialogTemplate browser;
  browser.caption = u"Display";
  browser.units = Units::Pixels;
  ControlTemplate surface;
  surface.id = 1012;
  surface.kind = ControlKind::Surface;
  surface.rect = {5, 25, 282, 845};
  surface.flags = kSunken | kNotify;
  browser.controls = {surface};
  const std::vector<std::u16string> names = {u"NAME", u"AGE", u"PHOTO"};
  script.ExpectDialog(u"Display")
      .Inspect([](const headless::DialogState& state) {
        const auto& shown = state.Control(1012);
        EXPECT_EQ(shown.copies, 1);
        EXPECT_EQ(headless::TextsSeen(shown.picture),
                  (std::vector<headless::TextSeen>{{0, 3, u"NAME", kBlack}, {0, 24, u"AGE", kBlack},
                                                   {0, 45, u"PHOTO", kBlack}}));
      })
      .ClickAt(1012, 100, 30)
      .ClickAt(1012, 10, 50)
      .Inspect([](const headless::DialogState& state) {
        EXPECT_EQ(headless::TextsSeen(state.Control(1012).picture),
                  (std::vector<headless::TextSeen>{{0, 3, u"NAME", kBlack}, {0, 24, u"AGE", kRed},
                                                   {0, 45, u"PHOTO", kRed}}));
      })
      .Close();
  RunModal(browser, [&](Dialog dialog, const DialogEvent& event) {
    if (std::holds_alternative<InitEvent>(event)) {
      const Canvas page = OpenPage(dialog, 1012, 500, 900);
      for (int i = 0; i < 3; ++i) {
        DrawBox(page, {0, 21 * i, 280, 20}, kBlack, kWhite);
        DrawTextAt(page, 0, 21 * i + 3, names[i], kBlack, page_font);
      }
      EXPECT_TRUE(headless::StateOf(dialog).Control(1012).picture.empty());
      CopyPageToSurface(page);
    }
    if (auto* mouse = std::get_if<MouseDownEvent>(&event)) {
      const int line = mouse->y / 21;
      const Canvas direct = SurfaceCanvas(dialog, 1012);
      DrawBox(direct, {0, 21 * line, 280, 20}, kBlack, kWhite);
      DrawTextAt(direct, 0, 21 * line + 3, names[line], kRed, page_font);
    }
    if (std::holds_alternative<CloseEvent>(event)) EndDialog(dialog, 0);
  });
}

TEST(HeadlessTextsSeen, AClearWipesEverythingAndABoxOnlyWhatItCovers) {
  using Op = headless::DrawOp;
  auto text = [](int x, int y, std::u16string words) {
    Op op;
    op.kind = Op::Kind::Text;
    op.rect = {x, y, 0, 0};
    op.text = std::move(words);
    return op;
  };
  auto box = [](Rect rect) {
    Op op;
    op.kind = Op::Kind::Box;
    op.rect = rect;
    return op;
  };
  EXPECT_EQ(headless::TextsSeen({text(1, 1, u"a"), Op{}, text(2, 2, u"b")}),
            (std::vector<headless::TextSeen>{{2, 2, u"b", kBlack}}));
  // The box covers x 10..19, y 10..19: a corner on its far edge is outside it.
  EXPECT_EQ(headless::TextsSeen({text(10, 10, u"in"), text(20, 10, u"right"), text(10, 20, u"below"),
                                 text(9, 15, u"left"), box({10, 10, 10, 10})}),
            (std::vector<headless::TextSeen>{{20, 10, u"right", kBlack}, {10, 20, u"below", kBlack},
                                             {9, 15, u"left", kBlack}}));
}

}  // namespace
}  // namespace zentora
