// The Windows backend where a dialog does not fit: a dialog taller than the work area is fitted
// (its scrolling text shortened, or its content scrolled so that the focused button shows) and
// placed within it; a control running past the dialog's edge is not cut; a read-only text opens
// at its start; menus underline a letter of their own per item; the message box's button says
// the program's word for OK.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "platform/ui.h"

namespace zentora::platform {
namespace {

constexpr int kLook = 78;  // a timer: the dialog is on the screen when it ticks
constexpr int kAccept = 1;
constexpr int kText = 10;

// Runs the dialog and `look` once it is on the screen (and its posted work done), then ends it.
void Look(const DialogTemplate& form, const std::function<void(HWND)>& look) {
  RunModal(form, [&](Dialog dialog, const DialogEvent& event) {
    if (std::holds_alternative<InitEvent>(event)) {
      StartTimer(dialog, kLook, 50);
    } else if (const auto* timer = std::get_if<TimerEvent>(&event); timer && timer->id == kLook) {
      StopTimer(dialog, kLook);
      look(reinterpret_cast<HWND>(dialog.value));
      EndDialog(dialog, 0);
    }
  });
}

void Pump() {
  MSG message;
  for (int i = 0; i < 20; ++i) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  }
}

// Taller than any screen: 1400 dialog units are well over 2000 pixels.
DialogTemplate Tall(std::uint32_t text_flags) {
  DialogTemplate dialog;
  dialog.caption = u"Tall";
  dialog.rect = {20, 20, 200, 1430};
  dialog.style = kStyleCaption | kStyleSystemMenu | kStyleModalFrame;
  dialog.controls = {MakeControl(kText, ControlKind::Edit, {5, 5, 190, 1400}, u"", text_flags),
                     MakeControl(kAccept, ControlKind::Button, {5, 1410, 50, 15}, u"OK")};
  return dialog;
}

RECT ClientPlace(HWND dialog, HWND item) {
  RECT place{};
  GetWindowRect(item, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

TEST(Win32SmallScreen, ATallDialogFitsTheWorkAreaAndItsButtonStaysWithinReach) {
  const Rect area = WorkArea();
  struct Case {
    const char* what;
    std::uint32_t text_flags;
    bool scrolls;
  };
  const Case cases[] = {
      {"a memo gives up height", kMultiLine | kVerticalScrollBar | kWrap, false},
      {"a one-line edit cannot: the content scrolls", kBorder, true},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    Look(Tall(test.text_flags), [&](HWND dialog) {
      RECT outer{};
      GetWindowRect(dialog, &outer);
      EXPECT_GE(outer.top, area.y);
      EXPECT_LE(outer.bottom, area.y + area.cy);
      EXPECT_EQ((GetWindowLongPtrW(dialog, GWL_STYLE) & WS_VSCROLL) != 0, test.scrolls);
      HWND button = GetDlgItem(dialog, kAccept);
      FocusControl(Dialog{reinterpret_cast<std::intptr_t>(dialog)}, kAccept);
      Pump();
      EXPECT_EQ(GetFocus(), button);
      RECT client{};
      GetClientRect(dialog, &client);
      const RECT place = ClientPlace(dialog, button);
      EXPECT_GE(place.top, 0);
      EXPECT_LE(place.bottom, client.bottom) << "the button shows once it has the keyboard";
    });
  }
}

TEST(Win32SmallScreen, AControlPastTheEdgeIsNotCutAndAReadOnlyTextOpensAtItsStart) {
  DialogTemplate dialog;
  dialog.caption = u"Edge";
  dialog.rect = {20, 20, 120, 80};
  dialog.style = kStyleCaption | kStyleSystemMenu | kStyleModalFrame;
  dialog.controls = {
      MakeControl(kText, ControlKind::Edit, {5, 5, 100, 40}, u"First line\r\nsecond\r\nthird\r\nfourth\r\nfifth",
                  kMultiLine | kReadOnly | kVerticalScrollBar),
      MakeControl(11, ControlKind::Static, {40, 50, 190, 20}, u"Thanks for using this program."),
      MakeControl(kAccept, ControlKind::Button, {5, 60, 30, 15}, u"OK")};
  Look(dialog, [&](HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_GE(client.right, ClientPlace(window, GetDlgItem(window, 11)).right);
    HWND text = GetDlgItem(window, kText);
    EXPECT_EQ(GetFocus(), text);
    DWORD start = 1, end = 1;
    SendMessageW(text, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u) << "nothing selected";
    EXPECT_EQ(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  });
}

TEST(Win32SmallScreen, MenuItemsUnderlineALetterOfTheirOwn) {
  DialogTemplate dialog;
  dialog.caption = u"Menus";
  dialog.rect = {20, 20, 120, 40};
  dialog.style = kStyleCaption | kStyleSystemMenu | kStyleModalFrame;
  const Menu bar = {{0, u"Idiomas", 0, {{7, u"Español", 0, {}}, {8, u"English", 0, {}}}}};
  std::vector<std::wstring> texts;
  RunModal(dialog, [&](Dialog shown, const DialogEvent& event) {
    if (!std::holds_alternative<InitEvent>(event)) return;
    AttachMenu(shown, bar);
    HMENU menu = GetMenu(reinterpret_cast<HWND>(shown.value));
    HMENU popup = GetSubMenu(menu, 0);
    for (auto [from, position] : {std::pair{menu, 0}, std::pair{popup, 0}, std::pair{popup, 1}}) {
      wchar_t text[64] = {};
      GetMenuStringW(from, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
      texts.emplace_back(text);
    }
    EndDialog(shown, 0);
  });
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"&Idiomas", L"&Espa\u00f1ol", L"E&nglish"}));
}

std::wstring seen_button;

void CALLBACK ReadBoxButton(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(nullptr, L"Programador");
  if (box == nullptr) return;
  KillTimer(nullptr, timer);
  wchar_t text[64] = {};
  GetDlgItemTextW(box, IDOK, text, 64);
  seen_button = text;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(Win32SmallScreen, TheMessageBoxSaysTheProgramsWordForOk) {
  for (const std::u16string word : {u"Aceptar", u"OK"}) {
    seen_button.clear();
    SetTimer(nullptr, 0, 50, &ReadBoxButton);
    ShowMessage(u"Procesado ...", u"Programador", word);
    EXPECT_EQ(seen_button, std::wstring(word.begin(), word.end()));
  }
}

}  // namespace
}  // namespace zentora::platform
