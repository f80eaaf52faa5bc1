// The Windows backend of platform/ui.h on a real (virtual) screen: templates become the
// right windows, the desktop's messages reach the handler as its events, menus, timers,
// modeless dialogs, drawing surfaces and the input box behave as the portable code expects.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/ui.h"

namespace zentora::platform {
namespace {

constexpr int kFirstLook = 77;  // a timer: the dialog is on the screen when it ticks

DialogTemplate Form(std::vector<ControlTemplate> controls, Units units = Units::DialogUnits) {
  DialogTemplate dialog;
  dialog.caption = u"Backend test";
  dialog.rect = {10, 10, 200, 120};
  dialog.units = units;
  dialog.style = kStyleCaption | kStyleSystemMenu | kStyleModalFrame;
  dialog.controls = std::move(controls);
  return dialog;
}

HWND Item(Dialog dialog, int id) { return GetDlgItem(reinterpret_cast<HWND>(dialog.value), id); }
LONG_PTR Style(Dialog dialog, int id) { return GetWindowLongPtrW(Item(dialog, id), GWL_STYLE); }

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// Runs `look` once the dialog is on the screen, then ends it with 1; the events seen by the
// handler are kept.
struct Watched {
  std::vector<DialogEvent> events;
  int Run(const DialogTemplate& form, const std::function<void(Dialog)>& look,
          const std::function<void(Dialog)>& init = {}) {
    return RunModal(form, [&](Dialog dialog, const DialogEvent& event) {
      events.push_back(event);
      if (std::holds_alternative<InitEvent>(event)) {
        if (init) init(dialog);
        StartTimer(dialog, kFirstLook, 10);
      } else if (const auto* timer = std::get_if<TimerEvent>(&event); timer && timer->id == kFirstLook) {
        StopTimer(dialog, kFirstLook);
        look(dialog);
        EndDialog(dialog, 1);
      }
    });
  }
  // Each command as its id and code.
  std::vector<std::pair<int, int>> Commands() const {
    std::vector<std::pair<int, int>> commands;
    for (const DialogEvent& event : events) {
      if (const auto* command = std::get_if<CommandEvent>(&event)) commands.emplace_back(command->id, command->code);
    }
    return commands;
  }
};

TEST(Win32Backend, ControlsAreMadeAsTheirTemplatesSay) {
  Watched watched;
  std::vector<ControlTemplate> controls = {
      MakeControl(10, ControlKind::Edit, {5, 5, 60, 12}, u"12", kDigitsOnly | kSunken),
      MakeControl(11, ControlKind::Edit, {5, 20, 60, 30}, u"", kMultiLine | kWrap | kReadOnly | kVerticalScrollBar),
      MakeControl(12, ControlKind::Option, {70, 5, 50, 10}, u"A"),
      MakeControl(13, ControlKind::Option, {70, 15, 50, 10}, u"B"),
      MakeControl(14, ControlKind::CheckBox, {70, 25, 50, 10}, u"C"),
      MakeControl(15, ControlKind::Static, {5, 55, 60, 10}, u"S", kTextCentred | kNotify | kSunken),
      MakeControl(16, ControlKind::ProgressBar, {5, 70, 60, 10}),
      MakeControl(17, ControlKind::Button, {70, 40, 50, 14}, u"Go", kDisabled),
      MakeControl(18, ControlKind::Button, {70, 60, 50, 20}, u"Big"),
  };
  controls.back().font.points = 14;
  watched.Run(Form(controls), [](Dialog dialog) {
    EXPECT_EQ(ClassOf(Item(dialog, 10)), L"Edit");
    EXPECT_NE(Style(dialog, 10) & ES_NUMBER, 0);
    EXPECT_EQ(GetText(dialog, 10), u"12");
    EXPECT_NE(Style(dialog, 11) & ES_MULTILINE, 0);
    EXPECT_NE(Style(dialog, 11) & ES_READONLY, 0);
    EXPECT_EQ(Style(dialog, 11) & ES_AUTOHSCROLL, 0) << "a wrapping edit must not scroll sideways";
    // Adjacent options are one group; the control after them starts the next.
    EXPECT_NE(Style(dialog, 12) & WS_GROUP, 0);
    EXPECT_EQ(Style(dialog, 13) & WS_GROUP, 0);
    EXPECT_NE(Style(dialog, 14) & WS_GROUP, 0);
    EXPECT_EQ(Style(dialog, 15) & (SS_CENTER | SS_NOTIFY | SS_SUNKEN), SS_CENTER | SS_NOTIFY | SS_SUNKEN);
    EXPECT_EQ(ClassOf(Item(dialog, 16)), L"msctls_progress32");
    EXPECT_FALSE(IsEnabled(dialog, 17));
    SetEnabled(dialog, 17, true);
    EXPECT_TRUE(IsEnabled(dialog, 17));
    // The button's own font is larger than the dialog's.
    LOGFONTW own{};
    LOGFONTW common{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Item(dialog, 18), WM_GETFONT, 0, 0)), sizeof own, &own);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Item(dialog, 17), WM_GETFONT, 0, 0)), sizeof common, &common);
    EXPECT_GT(std::abs(own.lfHeight), std::abs(common.lfHeight));
    EXPECT_EQ(own.lfWeight, FW_BOLD);
    // Choosing one option of the group clears the other.
    SendMessageW(Item(dialog, 12), BM_CLICK, 0, 0);
    SendMessageW(Item(dialog, 13), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsChecked(dialog, 12));
    EXPECT_TRUE(IsChecked(dialog, 13));
  });
}

LOGFONTW FontOf(HWND window) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

TEST(Win32Backend, EachDialogIsMeasuredInItsOwnFontAndControlsKeepTheirs) {
  Watched watched;
  std::vector<ControlTemplate> controls = {
      MakeControl(10, ControlKind::Static, {5, 5, 100, 10}, u"plain", kVerticallyCentred),
      MakeControl(11, ControlKind::Option, {5, 20, 100, 15}, u"centred", kVerticallyCentred),
      MakeControl(12, ControlKind::Option, {5, 35, 100, 15}, u"top"),
      MakeControl(13, ControlKind::CheckBox, {5, 50, 100, 15}, u"box", kVerticallyCentred),
  };
  controls[0].font = Font{u"MS Sans Serif", 9, false, 204};
  DialogTemplate desktop = Form(controls);
  desktop.font = kDesktopDialogFont;
  RECT small{}, large{};
  watched.Run(desktop, [&](Dialog dialog) {
    const HWND window = reinterpret_cast<HWND>(dialog.value);
    const LOGFONTW font = FontOf(window);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(FontOf(Item(dialog, 10)).lfCharSet, 204);
    EXPECT_EQ(FontOf(Item(dialog, 11)).lfWeight, FW_BOLD);  // a control's own font, not the dialog's
    EXPECT_EQ(Style(dialog, 10) & SS_CENTERIMAGE, SS_CENTERIMAGE);
    EXPECT_EQ(Style(dialog, 11) & BS_VCENTER, BS_VCENTER);
    EXPECT_NE(Style(dialog, 12) & BS_VCENTER, BS_VCENTER);
    EXPECT_EQ(Style(dialog, 13) & BS_VCENTER, BS_VCENTER);
    GetClientRect(window, &small);
  });
  watched.Run(Form(controls), [&](Dialog dialog) {
    EXPECT_EQ(FontOf(reinterpret_cast<HWND>(dialog.value)).lfWeight, FW_BOLD);
    GetClientRect(reinterpret_cast<HWND>(dialog.value), &large);
  });
  // The same dialog units come out smaller in the desktop's 8-point font than in 10-point bold.
  EXPECT_LT(small.right, large.right);
  EXPECT_LT(small.bottom, large.bottom);
}

TEST(Win32Backend, ClicksKeysAndTypingReachTheHandlerAsTheirCodes) {
  Watched watched;
  const DialogTemplate form = Form({
      MakeControl(20, ControlKind::Button, {5, 5, 50, 14}, u"Go"),
      MakeControl(21, ControlKind::Edit, {5, 25, 60, 12}, u"", kDigitsOnly),
      MakeControl(22, ControlKind::Static, {5, 45, 60, 10}, u"Line", kNotify),
  });
  watched.Run(form, [](Dialog dialog) {
    HWND window = reinterpret_cast<HWND>(dialog.value);
    SendMessageW(Item(dialog, 20), BM_CLICK, 0, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(20, 1), reinterpret_cast<LPARAM>(Item(dialog, 20)));
    SetText(dialog, 21, u"5");  // the program's own change is no user's typing
    SendMessageW(Item(dialog, 21), EM_SETSEL, 1, 1);  // typing goes after the 5
    SendMessageW(Item(dialog, 21), WM_CHAR, L'x', 0);  // refused by a digits-only edit
    SendMessageW(Item(dialog, 21), WM_CHAR, L'7', 0);
    // A double click on a clickable static is a second click.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(22, STN_CLICKED), reinterpret_cast<LPARAM>(Item(dialog, 22)));
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(22, STN_DBLCLK), reinterpret_cast<LPARAM>(Item(dialog, 22)));
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(21, EN_SETFOCUS), reinterpret_cast<LPARAM>(Item(dialog, 21)));
    EXPECT_EQ(GetText(dialog, 21), u"57");
  });
  const std::vector<std::pair<int, int>> expected = {
      {20, kCodeClicked}, {20, kCodeKeyboard}, {21, kCodeEditChanged}, {22, kCodeClicked}, {22, kCodeClicked}};
  EXPECT_EQ(watched.Commands(), expected);
  ASSERT_FALSE(watched.events.empty());
  EXPECT_TRUE(std::holds_alternative<InitEvent>(watched.events.front()));
  EXPECT_TRUE(std::holds_alternative<DestroyEvent>(watched.events.back()));
}

TEST(Win32Backend, MenuBarsAreBuiltReplacedAndTakenAway) {
  Watched watched;
  const Menu bar = {
      {0, u"File", 0, {{101, u"Open", 0, {}}, {0, u"-", 0, {}}, {102, u"Quit", 0, {}}}},
      {0, u"Language", 0, {{103, u"Espa\u00f1ol", 404, {}}, {104, u"English", 405, {}}}},
  };
  watched.Run(Form({}), [&](Dialog dialog) {
    HWND window = reinterpret_cast<HWND>(dialog.value);
    AttachMenu(dialog, bar);
    HMENU first = GetMenu(window);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(GetMenuItemCount(first), 2);
    HMENU file = GetSubMenu(first, 0);
    ASSERT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(GetMenuItemID(file, 0), 101u);
    EXPECT_NE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(GetMenuItemID(file, 2), 102u);
    wchar_t text[32] = {};
    GetMenuStringW(GetSubMenu(first, 1), 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&Espa\u00f1ol") << "each item underlines its letter";
    MENUITEMINFOW flag{};
    flag.cbSize = sizeof flag;
    flag.fMask = MIIM_CHECKMARKS;
    ASSERT_TRUE(GetMenuItemInfoW(GetSubMenu(first, 1), 1, TRUE, &flag));
    EXPECT_NE(flag.hbmpUnchecked, nullptr) << "the flag bitmap is missing from the resources";
    EXPECT_EQ(flag.hbmpChecked, flag.hbmpUnchecked);
    BITMAP size{};
    GetObjectW(flag.hbmpUnchecked, sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 18);
    EXPECT_EQ(size.bmHeight, 12);

    AttachMenu(dialog, bar);
    EXPECT_NE(GetMenu(window), first);
    EXPECT_FALSE(IsMenu(first)) << "a replaced bar must be destroyed";
    // A menu item reaches the handler as a click of its id.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(102, 0), 0);
    DetachMenu(dialog);
    EXPECT_EQ(GetMenu(window), nullptr);
  });
  const std::vector<std::pair<int, int>> expected = {{102, kCodeClicked}};
  EXPECT_EQ(watched.Commands(), expected);
}

TEST(Win32Backend, PixelDialogsGetTheirExactClientAreaAndPlaces) {
  Watched watched;
  DialogTemplate form = Form({MakeControl(30, ControlKind::Static, {20, 5, 249, 15}, u"1 de 3", kSunken)}, Units::Pixels);
  form.rect = {83, 50, 292, 400};
  const Menu bar = {{0, u"Operaciones", 0, {{1096, u"Ir a", 0, {}}}}};
  watched.Run(
      form,
      [](Dialog dialog) {
        HWND window = reinterpret_cast<HWND>(dialog.value);
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, 292);
        EXPECT_EQ(client.bottom, 400);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        RECT outer{};
        GetWindowRect(window, &outer);
        EXPECT_EQ(outer.left, 83);
        EXPECT_EQ(outer.top, 50);
        RECT label{};
        GetWindowRect(Item(dialog, 30), &label);
        EXPECT_EQ(label.left - origin.x, 20);
        EXPECT_EQ(label.top - origin.y, 5);
        EXPECT_EQ(label.right - label.left, 249);
        EXPECT_EQ(label.bottom - label.top, 15);
      },
      [&](Dialog dialog) { AttachMenu(dialog, bar); });
}

TEST(Win32Backend, TimersTickUntilStoppedAndDestroyComesLast) {
  std::vector<DialogEvent> events;
  int ticks = 0;
  const int result = RunModal(Form({}), [&](Dialog dialog, const DialogEvent& event) {
    events.push_back(event);
    if (std::holds_alternative<InitEvent>(event)) StartTimer(dialog, 1521, 20);
    if (std::holds_alternative<TimerEvent>(event) && ++ticks == 3) {
      StopTimer(dialog, 1521);
      EndDialog(dialog, 42);
    }
  });
  EXPECT_EQ(result, 42);
  ASSERT_EQ(events.size(), 5u);
  EXPECT_TRUE(std::holds_alternative<InitEvent>(events[0]));
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(std::get<TimerEvent>(events[i]).id, 1521);
  EXPECT_TRUE(std::holds_alternative<DestroyEvent>(events[4]));
}

TEST(Win32Backend, ModelessDialogsLiveUntilDestroyedOrEnded) {
  int destroyed = 0;
  DialogTemplate form = Form({MakeControl(1001, ControlKind::ProgressBar, {0, 0, 100, 10})});
  form.style = kStyleCentred | kStyleTopmost | kStyleModalFrame | kStyleNoTitleBar;
  const Dialog progress = CreateModeless(form, [&](Dialog dialog, const DialogEvent& event) {
    if (std::holds_alternative<InitEvent>(event)) SetProgressRange(dialog, 1001, 0, 100);
    if (std::holds_alternative<DestroyEvent>(event)) ++destroyed;
  });
  ASSERT_TRUE(progress);
  ShowNormal(progress);
  HWND window = reinterpret_cast<HWND>(progress.value);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "no title bar";
  SetProgressPosition(progress, 1001, 66);
  PumpMessages();
  EXPECT_EQ(SendMessageW(Item(progress, 1001), PBM_GETPOS, 0, 0), 66);
  DestroyDialog(progress);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(destroyed, 1);

  // Ended from inside its own handler, it stays until the handler has returned.
  bool alive_in_handler = false;
  const Dialog self_ending = CreateModeless(Form({}), [&](Dialog dialog, const DialogEvent& event) {
    if (std::holds_alternative<InitEvent>(event)) StartTimer(dialog, 9, 10);
    if (std::holds_alternative<TimerEvent>(event)) {
      EndDialog(dialog, 0);
      alive_in_handler = IsWindow(reinterpret_cast<HWND>(dialog.value)) != FALSE;
    }
  });
  HWND ending = reinterpret_cast<HWND>(self_ending.value);
  const DWORD start = GetTickCount();
  while (IsWindow(ending) && GetTickCount() - start < 10000) {
    PumpMessages();
    Sleep(5);
  }
  EXPECT_FALSE(IsWindow(ending));
  EXPECT_TRUE(alive_in_handler);
}

// What the surface paints at x, y, asked of its own painting (a virtual screen may not let
// a program read its pixels back).
COLORREF PixelOf(HWND window, int x, int y) {
  RECT client{};
  GetClientRect(window, &client);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const COLORREF colour = GetPixel(memory, x, y);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return colour;
}

TEST(Win32Backend, SurfacesShowTheirPageAndReportPressesWithTheirPlace) {
  Watched watched;
  const DialogTemplate form = Form({MakeControl(1012, ControlKind::Surface, {5, 25, 200, 150}, u"", kNotify)}, Units::Pixels);
  watched.Run(form, [](Dialog dialog) {
    HWND surface = Item(dialog, 1012);
    const Canvas page = OpenPage(dialog, 1012, 500, 900);
    DrawBox(page, {0, 0, 100, 20}, kBlack, kWhite);
    EXPECT_EQ(PixelOf(surface, 0, 0), RGB(255, 255, 255)) << "a page shows only once copied";
    CopyPageToSurface(page);
    EXPECT_EQ(PixelOf(surface, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(surface, 50, 10), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(surface, 50, 19), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(surface, 50, 20), RGB(255, 255, 255)) << "the box ends at its bottom edge";
    // Straight on the surface: shown at once.
    DrawBox(SurfaceCanvas(dialog, 1012), {0, 21, 100, 20}, kBlack, kRed);
    EXPECT_EQ(PixelOf(surface, 50, 30), RGB(255, 0, 0));
    SendMessageW(surface, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 44));
    // Repainted by the desktop, the surface still shows what was drawn.
    RedrawWindow(surface, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(PixelOf(surface, 50, 30), RGB(255, 0, 0));
  });
  int presses = 0;
  for (const DialogEvent& event : watched.events) {
    if (const auto* press = std::get_if<MouseDownEvent>(&event)) {
      ++presses;
      EXPECT_EQ(press->id, 1012);
      EXPECT_EQ(press->x, 12);
      EXPECT_EQ(press->y, 44);
    }
  }
  EXPECT_EQ(presses, 1);
  EXPECT_TRUE(watched.Commands().empty()) << "a surface reports its presses once, with their place";
}

TEST(Win32Backend, EachDialogGetsItsFocusBackWhenActiveAgain) {
  Watched watched;
  const DialogTemplate form =
      Form({MakeControl(40, ControlKind::Edit, {5, 5, 60, 12}), MakeControl(41, ControlKind::Edit, {5, 25, 60, 12})});
  watched.Run(form, [](Dialog dialog) {
    HWND window = reinterpret_cast<HWND>(dialog.value);
    SetActiveWindow(window);
    SetFocus(Item(dialog, 41));
    const Dialog other =
        CreateModeless(Form({MakeControl(50, ControlKind::Edit, {5, 5, 60, 12})}), [](Dialog, const DialogEvent&) {});
    SetActiveWindow(reinterpret_cast<HWND>(other.value));
    SetFocus(Item(other, 50));
    ASSERT_EQ(GetFocus(), Item(other, 50));
    SetActiveWindow(window);
    EXPECT_EQ(GetFocus(), Item(dialog, 41)) << "the focus went elsewhere than where the user left it";
    DestroyDialog(other);
  });
}

// The paints each watched window receives, counted by a subclass of its window procedure.
std::map<HWND, std::pair<WNDPROC, int>> paints;  // window -> its own procedure, paints seen

LRESULT CALLBACK CountingPaints(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto& [own, seen] = paints[window];
  if (message == WM_PAINT) ++seen;
  return CallWindowProcW(own, window, message, wparam, lparam);
}

void CountPaints(HWND window) {
  const auto own = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingPaints)));
  paints[window] = {own, 0};
}

// A viewer closed in front of another has the one behind, and its controls, drawn again
// before the caller goes on, whatever the caller does next: left to the next message
// handled, the hole it covered could stay while the program worked.
TEST(Win32Backend, WhatAClosedDialogCoveredIsDrawnAgainAtOnce) {
  Watched behind;
  bool covered = false;
  struct Behind {
    const char* what;
    HWND window;
    int painted = 0;
  };
  std::vector<Behind> seen;
  const DialogTemplate back_form = Form({MakeControl(60, ControlKind::Static, {5, 5, 190, 100}, u"Behind")});
  behind.Run(back_form, [&](Dialog back) {
    seen = {{"dialog", reinterpret_cast<HWND>(back.value)}, {"control", Item(back, 60)}};
    for (const Behind& b : seen) CountPaints(b.window);
    DialogTemplate front_form = Form({});
    front_form.rect = {40, 30, 200, 120};
    RunModal(front_form, [&](Dialog front, const DialogEvent& event) {
      if (std::holds_alternative<InitEvent>(event)) StartTimer(front, kFirstLook, 10);
      if (std::holds_alternative<TimerEvent>(event)) {
        RECT back_rect{}, front_rect{}, overlap{};
        GetWindowRect(seen[0].window, &back_rect);
        GetWindowRect(reinterpret_cast<HWND>(front.value), &front_rect);
        covered = IntersectRect(&overlap, &back_rect, &front_rect) != FALSE;
        for (const Behind& b : seen) paints[b.window].second = 0;
        EndDialog(front, 0);
      }
    });
    // No message has been handled since the front dialog went.
    for (Behind& b : seen) {
      b.painted = paints[b.window].second;
      SetWindowLongPtrW(b.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(paints[b.window].first));
    }
  });
  ASSERT_TRUE(covered) << "the dialog in front must cover part of the one behind";
  ASSERT_EQ(seen.size(), 2u);
  for (const Behind& b : seen)
    EXPECT_GE(b.painted, 1) << "the " << b.what << " behind was not drawn again as the front one closed";
}

// The program's pictures, as the build wrote them from their character art and windres
// linked them in.
TEST(Win32Resources, BitmapsAndIconsHaveTheirSizesAndDepths) {
  struct Expected {
    int resource;
    int width;
    int height;
    int bits;
  };
  const Expected bitmaps[] = {{400, 16, 16, 24}, {401, 16, 16, 24}, {404, 18, 12, 4}, {405, 18, 12, 4}};
  for (const Expected& expected : bitmaps) {
    HANDLE bitmap = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(expected.resource), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
    ASSERT_NE(bitmap, nullptr) << "bitmap " << expected.resource;
    DIBSECTION section{};
    GetObjectW(bitmap, sizeof section, &section);
    EXPECT_EQ(section.dsBmih.biWidth, expected.width) << "bitmap " << expected.resource;
    EXPECT_EQ(section.dsBmih.biHeight, expected.height) << "bitmap " << expected.resource;
    EXPECT_EQ(section.dsBmih.biBitCount, expected.bits) << "bitmap " << expected.resource;
    DeleteObject(bitmap);
  }
  std::set<std::uint64_t> frames;  // a digest of each frame's pixels
  for (int resource : {333, 701, 702, 703, 704, 705, 706, 707}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr) << "icon " << resource;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 32) << "icon " << resource;
    EXPECT_EQ(colour.bmHeight, 32) << "icon " << resource;
    if (resource != 333) {
      // Each frame of the running figure is a picture of its own.
      std::vector<BYTE> pixels(static_cast<std::size_t>(colour.bmWidthBytes) * 32);
      GetBitmapBits(info.hbmColor, static_cast<LONG>(pixels.size()), pixels.data());
      std::uint64_t digest = 14695981039346656037ull;
      for (BYTE byte : pixels) digest = (digest ^ byte) * 1099511628211ull;
      frames.insert(digest);
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
  EXPECT_EQ(frames.size(), 7u);
}

// The manifest the loader reads at start: the common controls the program is drawn with, its
// processor, no request to be raised, and every Windows from Vista on named as supported.
TEST(Win32Resources, TheManifestAsksForWhatTheProgramNeeds) {
  HRSRC found = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(GetModuleHandleW(nullptr), found))),
                             SizeofResource(GetModuleHandleW(nullptr), found));
  for (const char* needed : {
           "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
           "processorArchitecture=\"x86\"",
           "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
           "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
       })
    EXPECT_NE(manifest.find(needed), std::string::npos) << needed;
}

// A program's main window (overlapped, with its minimize box) carries the program's icon at
// the sizes the desktop asks for; other windows keep the system's. Asked here, in-process:
// Wine answers WM_GETICON sent from another process with 0 whatever the window holds.
TEST(Win32Resources, TheMainWindowCarriesTheProgramIcon) {
  DialogTemplate main = Form({});
  main.style = kStyleCaption | kStyleMinimizeBox;
  for (const DialogTemplate& form : {main, Form({})}) {
    const bool is_main = (form.style & kStyleMinimizeBox) != 0;
    SCOPED_TRACE(is_main ? "the main window" : "a dialog");
    const Dialog dialog = CreateModeless(form, [](Dialog, const DialogEvent&) {});
    const HWND window = reinterpret_cast<HWND>(dialog.value);
    ASSERT_TRUE(IsWindow(window));
    for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
      const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
      EXPECT_EQ(icon != nullptr, is_main) << which;
      if (icon == nullptr) continue;
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP colour{};
      GetObjectW(info.hbmColor, sizeof colour, &colour);
      EXPECT_EQ(colour.bmWidth, GetSystemMetrics(metric)) << which;
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
    }
    DestroyDialog(dialog);
  }
  // The program runs its main window modally.
  LRESULT small_icon = 0, large_icon = 0;
  RunModal(main, [&](Dialog dialog, const DialogEvent& event) {
    if (std::holds_alternative<InitEvent>(event)) StartTimer(dialog, 9, 10);
    if (std::holds_alternative<TimerEvent>(event)) {
      small_icon = SendMessageW(reinterpret_cast<HWND>(dialog.value), WM_GETICON, ICON_SMALL, 0);
      large_icon = SendMessageW(reinterpret_cast<HWND>(dialog.value), WM_GETICON, ICON_BIG, 0);
      EndDialog(dialog, 0);
    }
  });
  EXPECT_NE(small_icon, 0);
  EXPECT_NE(large_icon, 0);
}

// The program's icon holds an image of each size Windows asks for: the caption and the
// taskbar's small icon, the large icon, Explorer's tiles and its largest views. Each one is
// its own image, not one stretched by the system.
TEST(Win32Resources, TheProgramIconHasEverySizeTheDesktopAsksFor) {
  HRSRC group = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(333), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(GetModuleHandleW(nullptr), group)));
  ASSERT_NE(directory, nullptr);
  const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
  std::set<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    const BYTE* entry = directory + 6 + 14 * i;  // width, height, colours, reserved, planes, bits, bytes, id
    const int width = entry[0] == 0 ? 256 : entry[0];
    EXPECT_EQ(entry[0], entry[1]);
    EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32) << "bits per pixel of the " << width << "-pixel image";
    sizes.insert(width);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
  for (int size : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(333), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(Win32Backend, AFailingHandlerLeavesThroughRunModal) {
  EXPECT_THROW(RunModal(Form({}),
                        [](Dialog, const DialogEvent& event) {
                          if (std::holds_alternative<InitEvent>(event)) throw std::runtime_error("no");
                        }),
               std::runtime_error);
}

// The input box is modal: a timer of the thread answers it the way a user would.
struct InputAnswer {
  static inline std::wstring text;
  static inline bool cancel = false;
  static void CALLBACK Answer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowW(nullptr, L"Ir a registro");
    if (box == nullptr) return;
    KillTimer(nullptr, timer);
    if (cancel) {
      PostMessageW(box, WM_CLOSE, 0, 0);
      return;
    }
    HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
    SetWindowTextW(edit, text.c_str());
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
};

TEST(Win32Backend, InputBoxGivesTheTypedTextOrNothing) {
  InputAnswer::text = L"12";
  InputAnswer::cancel = false;
  SetTimer(nullptr, 0, 30, &InputAnswer::Answer);
  EXPECT_EQ(AskText(u"Numero de registro", u"Ir a registro", u"1"), std::optional<std::u16string>(u"12"));

  InputAnswer::cancel = true;
  SetTimer(nullptr, 0, 30, &InputAnswer::Answer);
  EXPECT_EQ(AskText(u"Numero de registro", u"Ir a registro", u"1"), std::nullopt);
}

}  // namespace
}  // namespace zentora::platform
