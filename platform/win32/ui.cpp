// The Windows runner behind platform/ui.h. Every dialog is an in-memory template run by the
// dialog manager with one bridge procedure, which turns window messages into the handler's
// events. Dialogs have no owner, so the program's other windows stay enabled.
#include "platform/win32/internal.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <set>
#include <tuple>
#include <utility>

namespace zentora::platform {

using win32::DialogRecord;
using win32::RecordOf;
using win32::WindowOf;

namespace {

ParkedFailure pending_failure;
// Modeless dialogs alive now, which the pump lets handle their own keyboard.
std::set<HWND> modeless_windows;
// Modeless dialog records, owned here until their window is gone.
std::set<DialogRecord*> modeless_records;
// Every dialog of ours that is open now, from its WM_INITDIALOG to its WM_NCDESTROY.
std::map<HWND, DialogRecord*> open_dialogs;

void RethrowPending() { pending_failure.Rethrow(); }

// The command a control reports, as the handlers know it; nothing for notifications they
// do not take (focus changes, an edit's text set by the program itself).
bool TranslateCommand(const DialogRecord& record, int id, int code, CommandEvent& event) {
  const ControlTemplate* control = record.Control(id);
  event.id = id;
  if (control == nullptr) {
    // The dialog manager's Enter (IDOK) with no accept button enabled is nothing to act on.
    if (id == IDOK && code == 0) return false;
    event.code = code;  // a menu item or an accelerator
    return true;
  }
  switch (control->kind) {
    case ControlKind::Edit:
      event.code = kCodeEditChanged;
      return code == EN_CHANGE && !record.setting_text;
    case ControlKind::Static:
    case ControlKind::Icon:
    case ControlKind::Bitmap:
      // A double click is two clicks: the second must step on as the first did.
      event.code = kCodeClicked;
      return code == STN_CLICKED || code == STN_DBLCLK;
    case ControlKind::Button:
    case ControlKind::Option:
    case ControlKind::CheckBox:
      event.code = code == BN_DOUBLECLICKED ? kCodeClicked : code;
      return code == BN_CLICKED || code == kCodeKeyboard || code == BN_DOUBLECLICKED;
    default:
      return false;  // a surface reports its presses itself, with their place
  }
}

// A memo edit keeps Enter as a new line; Ctrl+Enter accepts its dialog instead of adding one.
LRESULT CALLBACK MemoProcedure(HWND edit, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto own = reinterpret_cast<WNDPROC>(GetPropW(edit, L"ZentoraOwnProc"));
  const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (message == WM_KEYDOWN && wparam == VK_RETURN && ctrl) {
    HWND dialog = GetParent(edit);
    const DialogRecord* record = RecordOf(dialog);
    const int accept = record != nullptr ? DefaultButton(record->form.controls) : 0;
    HWND button = accept != 0 ? GetDlgItem(dialog, accept) : nullptr;
    if (button != nullptr && IsWindowEnabled(button)) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(accept, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return 0;
  }
  if (message == WM_CHAR && wparam == L'\n') return 0;  // the line feed Ctrl+Enter types
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    RemovePropW(edit, L"ZentoraOwnProc");
  }
  return CallWindowProcW(own, edit, message, wparam, lparam);
}

// Controls of their own font and picture, and pixel dialogs put exactly where they belong.
void PrepareControls(HWND window, DialogRecord& record) {
  for (const ControlTemplate& control : record.form.controls) {
    HWND item = GetDlgItem(window, control.id);
    if (item == nullptr) continue;
    if (record.form.units == Units::Pixels) {
      MoveWindow(item, control.rect.x, control.rect.y, control.rect.cx, control.rect.cy, FALSE);
    }
    if (!(control.font == record.form.font)) {
      auto known = std::find_if(record.fonts.begin(), record.fonts.end(),
                                [&](const auto& entry) { return entry.first == control.font; });
      if (known == record.fonts.end()) {
        record.fonts.emplace_back(control.font, win32::CreateFontFor(control.font));
        known = record.fonts.end() - 1;
      }
      SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(known->second), FALSE);
    }
    if (control.kind == ControlKind::Surface) win32::InstallSurface(window, record, control);
    if (control.kind == ControlKind::Edit && (control.flags & kWantsReturn)) {
      SetPropW(item, L"ZentoraOwnProc", reinterpret_cast<HANDLE>(SetWindowLongPtrW(
                                            item, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MemoProcedure))));
    }
    if (control.image != 0) SetImage(win32::HandleOf(window), control.id, control.image);
  }
}

constexpr UINT kRevealFocus = WM_APP + 1;

// The first control that takes the keyboard gets it, as the dialog manager gives it, except
// that a read-only text opens at its start with nothing selected (rather than all selected and
// scrolled to its end). What the dialog manager is told to do after WM_INITDIALOG.
BOOL FocusFirstControl(HWND window) {
  HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
  const DialogRecord* record = RecordOf(window);
  const ControlTemplate* control =
      first != nullptr && record != nullptr ? record->Control(GetDlgCtrlID(first)) : nullptr;
  if (control == nullptr || control->kind != ControlKind::Edit || !(control->flags & kReadOnly)) return TRUE;
  SetFocus(first);
  SendMessageW(first, EM_SETSEL, 0, 0);
  SendMessageW(first, EM_SCROLLCARET, 0, 0);
  return FALSE;
}

// A dialog that opens while no window of the program is in front (at the start, on a desktop
// that has only just come up) is brought to the front, with the keyboard; a dialog with no
// control that takes it keeps the keyboard itself, so its menu bar answers Alt and F10. The
// desktop may settle a moment later, so it looks again a few times in its first second.
constexpr UINT_PTR kTakeKeyboardTimer = 0x7A00;  // above every timer id the program uses
constexpr int kTakeKeyboardLooks = 10;

void TakeKeyboard(HWND window, DialogRecord& record) {
  HWND front = GetForegroundWindow();
  DWORD owner = 0;
  if (front != nullptr) GetWindowThreadProcessId(front, &owner);
  if (owner != GetCurrentProcessId()) SetForegroundWindow(window);
  HWND focus = GetFocus();
  if (GetActiveWindow() == window && (focus == nullptr || (focus != window && !IsChild(window, focus)))) {
    SetFocus(window);
  }
  // Another window of the program in front (a box this one opened) is left there.
  if (++record.keyboard_looks >= kTakeKeyboardLooks || (owner == GetCurrentProcessId() && front != window)) {
    KillTimer(window, kTakeKeyboardTimer);
  }
}

BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  *reinterpret_cast<LPWSTR*>(found) = name;
  return FALSE;  // the first is enough
}

// A program's main window (the one overlapped window, with its minimize box) carries the
// program's icon: the executable's first icon group, the one the desktop shows for the file.
// The large image serves the taskbar and window switching, the small one the caption.
void SetProgramIcon(HWND window) {
  LPWSTR first = nullptr;
  EnumResourceNamesW(win32::ProgramInstance(), RT_GROUP_ICON, &TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
  if (first == nullptr) return;
  for (const auto& [which, width, height] : {std::tuple{ICON_BIG, SM_CXICON, SM_CYICON},
                                              std::tuple{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}) {
    // Shared: the system keeps one copy for the process and frees it itself.
    HANDLE icon = LoadImageW(win32::ProgramInstance(), first, IMAGE_ICON, GetSystemMetrics(width),
                             GetSystemMetrics(height), LR_DEFAULTCOLOR | LR_SHARED);
    if (icon != nullptr) SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }
}

// A pixel dialog's size is that of its client area, under the menu bar its Init attached.
void FitPixelDialog(HWND window, const DialogRecord& record) {
  const Rect& rect = record.form.rect;
  RECT frame{0, 0, rect.cx, rect.cy};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), GetMenu(window) != nullptr,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, rect.x, rect.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Bridge(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* record = reinterpret_cast<DialogRecord*>(lparam);
    open_dialogs[window] = record;
    if (!record->modal) modeless_windows.insert(window);
    PrepareControls(window, *record);
    if (record->form.style & kStyleMinimizeBox) SetProgramIcon(window);
    win32::Deliver(window, InitEvent{});
    if (!IsWindow(window)) return TRUE;
    if (record->form.units == Units::Pixels) FitPixelDialog(window, *record);
    win32::FitToWorkArea(window, *record);
    return FocusFirstControl(window);
  }
  DialogRecord* record = RecordOf(window);
  if (record == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND: {
      // Escape reaches a dialog as IDCANCEL: the close command where the window has a close box.
      if (LOWORD(wparam) == IDCANCEL && HIWORD(wparam) == 0 && record->Control(IDCANCEL) == nullptr) {
        if (EscapeCloses(record->form)) win32::Deliver(window, CloseEvent{});
        return TRUE;
      }
      CommandEvent event;
      if (TranslateCommand(*record, LOWORD(wparam), HIWORD(wparam), event)) win32::Deliver(window, event);
      return TRUE;
    }
    case WM_TIMER:
      if (wparam == kTakeKeyboardTimer) {
        TakeKeyboard(window, *record);
        return TRUE;
      }
      win32::Deliver(window, TimerEvent{static_cast<int>(wparam)});
      return TRUE;
    case WM_MOUSEWHEEL:
      return win32::WheelSurface(*record, wparam) || win32::ScrollContent(window, *record, message, wparam) ? TRUE
                                                                                                          : FALSE;
    case WM_VSCROLL:
    case WM_HSCROLL:
      return win32::ScrollContent(window, *record, message, wparam) ? TRUE : FALSE;
    case WM_NEXTDLGCTL:
      // The dialog manager moves the focus once this returns; the move is then brought into view.
      PostMessageW(window, kRevealFocus, 0, 0);
      return FALSE;
    case kRevealFocus:
      win32::RevealFocus(window, *record);
      return TRUE;
    case WM_SHOWWINDOW:
      // Once it shows (the dialog manager shows a modal dialog only when its queue is empty).
      if (wparam && record->keyboard_looks == 0) SetTimer(window, kTakeKeyboardTimer, 100, nullptr);
      return FALSE;
    case WM_CLOSE:
      win32::Deliver(window, CloseEvent{});
      return TRUE;  // the dialog stays unless its handler ends it
    case WM_ACTIVATE:
      // Each dialog keeps its own place of the keyboard focus across a switch of windows.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) record->saved_focus = focus;
        return TRUE;
      }
      if (record->saved_focus != nullptr && IsWindow(record->saved_focus) && IsChild(window, record->saved_focus)) {
        SetFocus(record->saved_focus);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      record->destroying = true;
      win32::Deliver(window, DestroyEvent{});
      return TRUE;
    case WM_NCDESTROY:
      open_dialogs.erase(window);
      // What this dialog covered of the ones behind it is drawn again at once: a viewer left
      // behind another would otherwise keep the hole until something else repaints it.
      for (const auto& [behind, other] : open_dialogs)
        RedrawWindow(behind, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      if (!record->modal) {
        modeless_windows.erase(window);
        modeless_records.erase(record);
        delete record;
      }
      return TRUE;
    default:
      return FALSE;
  }
}

void DestroyOrDefer(HWND window, DialogRecord& record) {
  record.ending = true;
  // Inside its own handler the dialog must outlive the call: it goes when the handler returns.
  if (record.depth == 0 && !record.destroying) {
    record.destroying = true;
    DestroyWindow(window);
  }
}

}  // namespace

namespace win32 {

DialogRecord::~DialogRecord() {
  surfaces.clear();
  for (auto& [font, handle] : fonts) DeleteObject(handle);
}

const ControlTemplate* DialogRecord::Control(int id) const {
  for (const ControlTemplate& control : form.controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

DialogRecord* RecordOf(HWND window) {
  const auto found = open_dialogs.find(window);
  return found == open_dialogs.end() ? nullptr : found->second;
}

void Deliver(HWND window, const DialogEvent& event) {
  DialogRecord* record = RecordOf(window);
  if (record == nullptr) return;
  const bool due = DeliverParked(
      *record, pending_failure, [&] { record->handler(HandleOf(window), event); },
      [window] { ::EndDialog(window, -1); });
  if (due) {
    record->destroying = true;
    DestroyWindow(window);  // the record goes with the window: not touched after this
  }
}

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

}  // namespace win32

int RunModal(const DialogTemplate& dialog, DialogHandler handler) {
  DialogRecord record;
  record.form = dialog;
  record.handler = std::move(handler);
  record.modal = true;
  const std::vector<DWORD> form = win32::BuildDialogTemplate(dialog, /*visible=*/false);
  DialogBoxIndirectParamW(win32::ProgramInstance(), reinterpret_cast<LPCDLGTEMPLATEW>(form.data()), nullptr,
                          &Bridge, reinterpret_cast<LPARAM>(&record));
  RethrowPending();
  return record.result;
}

Dialog CreateModeless(const DialogTemplate& dialog, DialogHandler handler) {
  auto* record = new DialogRecord;
  record->form = dialog;
  record->handler = std::move(handler);
  modeless_records.insert(record);
  const std::vector<DWORD> form = win32::BuildDialogTemplate(dialog, /*visible=*/true);
  HWND window = CreateDialogIndirectParamW(win32::ProgramInstance(), reinterpret_cast<LPCDLGTEMPLATEW>(form.data()),
                                           nullptr, &Bridge, reinterpret_cast<LPARAM>(record));
  // A window that never came to be, or ended at once, leaves no record behind.
  if (window == nullptr && modeless_records.erase(record) != 0) delete record;
  RethrowPending();
  return win32::HandleOf(window);
}

void DestroyDialog(Dialog dialog) {
  HWND window = WindowOf(dialog);
  DialogRecord* record = RecordOf(window);
  if (record == nullptr) return;
  if (record->modal) {
    ::EndDialog(window, record->result);
    return;
  }
  DestroyOrDefer(window, *record);
}

void ShowNormal(Dialog dialog) {
  ShowWindow(WindowOf(dialog), SW_SHOWNORMAL);
  UpdateWindow(WindowOf(dialog));
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that owns the run
      break;
    }
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && modeless_windows.count(root) != 0 && IsDialogMessageW(root, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  RethrowPending();
}

Rect WorkArea() {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

std::u16string GetText(Dialog dialog, int id) {
  HWND item = GetDlgItem(WindowOf(dialog), id);
  if (item == nullptr) return {};
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  const int length = GetWindowTextW(item, text.data(), static_cast<int>(text.size()));
  return win32::FromWide(text.c_str(), static_cast<std::size_t>(std::max(length, 0)));
}

void SetText(Dialog dialog, int id, const std::u16string& text) {
  HWND window = WindowOf(dialog);
  DialogRecord* record = RecordOf(window);
  if (record != nullptr) record->setting_text = true;
  SetDlgItemTextW(window, id, win32::Wide(text));
  if (record != nullptr) record->setting_text = false;
}

void SetCaption(Dialog dialog, const std::u16string& caption) {
  SetWindowTextW(WindowOf(dialog), win32::Wide(caption));
}

bool IsChecked(Dialog dialog, int id) { return IsDlgButtonChecked(WindowOf(dialog), id) == BST_CHECKED; }

void SetChecked(Dialog dialog, int id, bool checked) {
  CheckDlgButton(WindowOf(dialog), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool IsEnabled(Dialog dialog, int id) {
  HWND item = GetDlgItem(WindowOf(dialog), id);
  return item != nullptr && IsWindowEnabled(item);
}

void SetEnabled(Dialog dialog, int id, bool enabled) {
  HWND item = GetDlgItem(WindowOf(dialog), id);
  if (item != nullptr) EnableWindow(item, enabled ? TRUE : FALSE);
}

void FocusControl(Dialog dialog, int id) {
  HWND window = WindowOf(dialog);
  HWND item = GetDlgItem(window, id);
  if (item == nullptr) return;
  // The dialog manager's own move: an edit gets its text selected.
  SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

void SetImage(Dialog dialog, int id, int resource) {
  HWND window = WindowOf(dialog);
  DialogRecord* record = RecordOf(window);
  const ControlTemplate* control = record != nullptr ? record->Control(id) : nullptr;
  if (control == nullptr) return;
  if (control->kind == ControlKind::Icon) {
    // A shared icon: the desktop keeps one copy per resource, and nobody must delete it.
    HANDLE icon = LoadImageW(win32::ProgramInstance(), MAKEINTRESOURCEW(resource), IMAGE_ICON, 0, 0,
                             LR_DEFAULTSIZE | LR_SHARED);
    SendDlgItemMessageW(window, id, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  } else if (control->kind == ControlKind::Bitmap) {
    SendDlgItemMessageW(window, id, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(win32::ResourceBitmap(resource)));
  }
}

void SetProgressRange(Dialog dialog, int id, int low, int high) {
  SendDlgItemMessageW(WindowOf(dialog), id, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

void SetProgressPosition(Dialog dialog, int id, int position) {
  HWND bar = GetDlgItem(WindowOf(dialog), id);
  if (bar == nullptr) return;
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  InvalidateRect(bar, nullptr, TRUE);
  UpdateWindow(bar);
}

void StartTimer(Dialog dialog, int timer_id, unsigned period_ms) {
  SetTimer(WindowOf(dialog), static_cast<UINT_PTR>(timer_id), period_ms, nullptr);
}

void StopTimer(Dialog dialog, int timer_id) { KillTimer(WindowOf(dialog), static_cast<UINT_PTR>(timer_id)); }

void EndDialog(Dialog dialog, int result) {
  HWND window = WindowOf(dialog);
  DialogRecord* record = RecordOf(window);
  if (record == nullptr) return;
  record->result = result;
  if (record->modal) {
    ::EndDialog(window, result);  // the dialog manager's loop ends once the handler returns
  } else {
    DestroyOrDefer(window, *record);
  }
}

}  // namespace zentora::platform
