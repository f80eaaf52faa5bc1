// The desktop's own windows on Windows: the message box, the input box (a small dialog of
// ours), the common open-file dialog, the shell's "open", and menu bars with their bitmaps.
#include "platform/menu_letters.h"
#include "platform/text_wrap.h"
#include "platform/win32/internal.h"

#include <commdlg.h>
#include <shellapi.h>

#include <map>
#include <variant>

namespace zentora::platform {

namespace {


// Each item shows its letter underlined, and the menus answer it themselves.
void AddMenuItems(HMENU menu, const std::vector<MenuItem>& items) {
  const std::vector<std::size_t> letters = MenuLetters(items);
  UINT position = 0;
  for (const MenuItem& item : items) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    const std::u16string marked = MarkedMenuText(item.text, letters[position]);
    std::wstring text(marked.begin(), marked.end());
    if (item.text == u"-") {
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_SEPARATOR;
    } else {
      info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
      info.dwTypeData = text.data();
      info.wID = static_cast<UINT>(item.id);
      info.fState = MFS_ENABLED | MFS_UNCHECKED;
      if (!item.items.empty()) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = CreatePopupMenu();
        AddMenuItems(info.hSubMenu, item.items);
      }
    }
    InsertMenuItemW(menu, position, TRUE, &info);
    if (item.bitmap != 0) {
      HBITMAP bitmap = win32::ResourceBitmap(item.bitmap);
      SetMenuItemBitmaps(menu, position, MF_BYPOSITION, bitmap, bitmap);
    }
    ++position;
  }
}

void ReplaceMenu(HWND window, HMENU bar) {
  HMENU old = GetMenu(window);
  SetMenu(window, bar);
  if (old != nullptr) DestroyMenu(old);
  DrawMenuBar(window);
}

}  // namespace

namespace win32 {


HBITMAP ResourceBitmap(int resource) {
  static std::map<int, HBITMAP> loaded;
  const auto found = loaded.find(resource);
  if (found != loaded.end()) return found->second;
  auto bitmap = static_cast<HBITMAP>(
      LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  loaded[resource] = bitmap;
  return bitmap;
}

}  // namespace win32

namespace {

// The button of the message box being opened on this thread is given the program's word for
// OK as the box becomes active; the hook goes as soon as it has done so.
thread_local HHOOK box_hook = nullptr;
thread_local const std::u16string* box_accept = nullptr;

LRESULT CALLBACK NameBoxButton(int code, WPARAM wparam, LPARAM lparam) {
  const HHOOK hook = box_hook;
  if (code == HCBT_ACTIVATE && box_accept != nullptr) {
    SetDlgItemTextW(reinterpret_cast<HWND>(wparam), IDOK, win32::Wide(*box_accept));
    UnhookWindowsHookEx(hook);
    box_hook = nullptr;
    box_accept = nullptr;
  }
  return CallNextHookEx(hook, code, wparam, lparam);
}

}  // namespace

// The box wraps its text at spaces only: a word wider than the screen (a long name, a path)
// would make it so wide that OK is off the screen. The text is wrapped here first, measured
// in the font message boxes use.
void ShowMessage(const std::u16string& text, const std::u16string& caption, const std::u16string& accept) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  HDC screen = GetDC(nullptr);
  HGDIOBJ old_font = SelectObject(screen, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
  const std::u16string wrapped = JoinLines(
      WrapText(text, MessageTextWidth(WorkArea()), [screen](std::u16string_view line) {
        SIZE size{};
        GetTextExtentPoint32W(screen, reinterpret_cast<const wchar_t*>(line.data()), static_cast<int>(line.size()), &size);
        return static_cast<int>(size.cx);
      }),
      u"\r\n");
  SelectObject(screen, old_font);
  ReleaseDC(nullptr, screen);
  if (font != nullptr) DeleteObject(font);
  box_accept = &accept;
  box_hook = SetWindowsHookExW(WH_CBT, &NameBoxButton, nullptr, GetCurrentThreadId());
  MessageBoxW(nullptr, win32::Wide(wrapped), win32::Wide(caption), MB_OK);
  if (box_hook != nullptr) UnhookWindowsHookEx(box_hook);
  box_hook = nullptr;
  box_accept = nullptr;
}


std::optional<std::u16string> ChooseFileToOpen(const OpenFileRequest& request) {
  // Pairs of description and pattern, each ended by a zero, the list by a second zero.
  std::wstring filter;
  for (const FileFilter& entry : request.filters) {
    filter.append(entry.description.begin(), entry.description.end());
    filter.push_back(L'\0');
    filter.append(entry.pattern.begin(), entry.pattern.end());
    filter.push_back(L'\0');
  }
  filter.push_back(L'\0');
  // Room for the longest path the desktop knows, so no chosen path is ever cut.
  std::wstring file(32768, L'\0');
  const std::size_t initial = std::min(request.initial_name.size(), file.size() - 1);
  std::copy_n(request.initial_name.begin(), initial, file.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = request.owner ? win32::WindowOf(request.owner) : nullptr;
  dialog.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = request.initial_folder.empty() ? nullptr : win32::Wide(request.initial_folder);
  dialog.lpstrTitle = request.title.empty() ? nullptr : win32::Wide(request.title);
  dialog.lpstrDefExt = request.default_extension.empty() ? nullptr : win32::Wide(request.default_extension);
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return win32::FromWide(file.c_str(), wcsnlen(file.c_str(), file.size()));
}

bool ShellOpen(const std::u16string& path) {
  // A result above 32 means the shell handed the file on; below, it found no program for it.
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", win32::Wide(path), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

void AttachMenu(Dialog dialog, const Menu& bar) {
  HMENU menu = CreateMenu();
  AddMenuItems(menu, bar);
  ReplaceMenu(win32::WindowOf(dialog), menu);
}

void DetachMenu(Dialog dialog) { ReplaceMenu(win32::WindowOf(dialog), nullptr); }

}  // namespace zentora::platform
