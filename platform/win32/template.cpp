// The Windows runner's in-memory dialog templates: the portable DialogTemplate written out as
// a DLGTEMPLATEEX with one item per control, in the dialog font, measured in dialog units.
#include "platform/dialog_lifecycle.h"
#include "platform/win32/internal.h"

#include <commctrl.h>

#include <cstring>

namespace zentora::platform::win32 {
namespace {

// Appends the fields of a template, each at the alignment Windows reads it with.
class TemplateWriter {
 public:
  void Word(WORD value) { Put(&value, sizeof value); }
  void Dword(DWORD value) { Put(&value, sizeof value); }
  void Short(short value) { Put(&value, sizeof value); }
  void Byte(BYTE value) { Put(&value, sizeof value); }
  void Text(const std::u16string& text) {
    Put(text.c_str(), (text.size() + 1) * sizeof(char16_t));
  }
  void AlignDword() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
  }
  std::vector<DWORD> Finish() {
    AlignDword();
    std::vector<DWORD> words(bytes_.size() / 4);
    std::memcpy(words.data(), bytes_.data(), bytes_.size());
    return words;
  }

 private:
  void Put(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + size);
  }
  std::vector<BYTE> bytes_;
};

DWORD DialogWindowStyle(std::uint32_t style, bool visible) {
  DWORD result = DS_SETFONT | (visible ? WS_VISIBLE : 0u);
  if (style & kStyleNoTitleBar) {
    result |= WS_POPUP;
  } else if (style & kStyleMinimizeBox) {
    // A program's main window: overlapped, so the desktop treats it as the application.
    result |= WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX;
  } else {
    result |= WS_POPUP | ((style & kStyleCaption) ? WS_CAPTION : 0u);
  }
  if (style & kStyleSystemMenu) result |= WS_SYSMENU;
  if (style & kStyleModalFrame) result |= DS_MODALFRAME;
  if (style & kStyleCentred) result |= DS_CENTER;
  return result;
}

struct ItemStyle {
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD extended = 0;
  WORD atom = 0;              // a predefined class by atom, or
  const char16_t* name = u""; // a class by name
};

ItemStyle ControlStyle(const ControlTemplate& control, bool starts_group, bool default_button) {
  ItemStyle item;
  const std::uint32_t flags = control.flags;
  if (flags & kDisabled) item.style |= WS_DISABLED;
  if (flags & kBorder) item.style |= WS_BORDER;
  // Adjacent options form one group (StartsGroup).
  if (starts_group) item.style |= WS_GROUP;
  switch (control.kind) {
    case ControlKind::Static:
      item.atom = 0x0082;
      item.style |= (flags & kTextCentred) ? SS_CENTER : SS_LEFT;
      if (flags & kVerticallyCentred) item.style |= SS_CENTERIMAGE;
      if (flags & kNotify) item.style |= SS_NOTIFY;
      if (flags & kSunken) item.style |= SS_SUNKEN;
      break;
    case ControlKind::Edit:
      item.atom = 0x0081;
      item.style |= WS_TABSTOP | ES_LEFT;
      if (flags & kMultiLine) {
        // Only an edit that keeps Enter as a new line takes it; in the others Enter accepts.
        item.style |= ES_MULTILINE | ES_AUTOVSCROLL | ((flags & kWantsReturn) ? ES_WANTRETURN : 0u);
        if (!(flags & kWrap)) item.style |= ES_AUTOHSCROLL;
      }
      if (flags & kScrollsSideways) item.style |= ES_AUTOHSCROLL;
      if (flags & kHorizontalScrollBar) item.style |= WS_HSCROLL;
      if (flags & kVerticalScrollBar) item.style |= WS_VSCROLL;
      if (flags & kReadOnly) item.style |= ES_READONLY;
      if (flags & kDigitsOnly) item.style |= ES_NUMBER;
      if (flags & kSunken) item.extended |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::Button:
      item.atom = 0x0080;
      // The accept button is the default one: Enter that no control takes presses it.
      item.style |= WS_TABSTOP | (default_button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ControlKind::Option:
      item.atom = 0x0080;
      item.style |= BS_AUTORADIOBUTTON | (starts_group ? WS_TABSTOP : 0u);
      if (flags & kVerticallyCentred) item.style |= BS_VCENTER;
      break;
    case ControlKind::CheckBox:
      item.atom = 0x0080;
      item.style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      if (flags & kVerticallyCentred) item.style |= BS_VCENTER;
      break;
    case ControlKind::GroupFrame:
      item.atom = 0x0080;
      item.style |= BS_GROUPBOX;
      break;
    case ControlKind::Icon:
    case ControlKind::Bitmap:
      item.atom = 0x0082;
      item.style |= control.kind == ControlKind::Icon ? SS_ICON : SS_BITMAP;
      if (flags & kNotify) item.style |= SS_NOTIFY;
      if (flags & kSunken) item.style |= SS_SUNKEN;
      break;
    case ControlKind::ProgressBar:
      item.name = u"msctls_progress32";
      break;
    case ControlKind::Surface:
      // A plain static painted by its own handler; it must see the mouse to report presses.
      item.atom = 0x0082;
      // It takes the keyboard too, for the keys it reports.
      item.style |= SS_NOTIFY | SS_OWNERDRAW | WS_TABSTOP;
      if (flags & kSunken) item.style |= SS_SUNKEN;
      if (control.scroll_height > control.rect.cy) item.style |= WS_VSCROLL;
      break;
  }
  return item;
}

// Pixels to dialog units of the dialog font; the runner puts pixel dialogs in their exact
// place once created, so this only has to come close.
Rect ToDialogUnits(const Rect& rect, Units units) {
  if (units == Units::DialogUnits) return rect;
  const SIZE base = DialogBaseUnits();
  return {MulDiv(rect.x, 4, base.cx), MulDiv(rect.y, 8, base.cy), MulDiv(rect.cx, 4, base.cx),
          MulDiv(rect.cy, 8, base.cy)};
}

}  // namespace

std::vector<DWORD> BuildDialogTemplate(const DialogTemplate& dialog, bool visible) {
  TemplateWriter out;
  const Rect frame = ToDialogUnits(dialog.rect, dialog.units);
  out.Word(1);       // dlgVer
  out.Word(0xFFFF);  // signature: the extended form, which carries the font's weight
  out.Dword(0);      // helpID
  out.Dword((dialog.style & kStyleTopmost) ? WS_EX_TOPMOST : 0u);
  out.Dword(DialogWindowStyle(dialog.style, visible));
  out.Word(static_cast<WORD>(dialog.controls.size()));
  out.Short(static_cast<short>(frame.x));
  out.Short(static_cast<short>(frame.y));
  out.Short(static_cast<short>(frame.cx));
  out.Short(static_cast<short>(frame.cy));
  out.Word(0);  // no menu: menu bars are attached at run time
  out.Word(0);  // the standard dialog class
  out.Text(dialog.caption);
  const Font& font = dialog.font;
  out.Word(static_cast<WORD>(font.points));
  out.Word(font.bold ? FW_BOLD : FW_NORMAL);
  out.Byte(0);  // italic
  out.Byte(static_cast<BYTE>(font.charset));
  out.Text(font.face);

  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlTemplate& control = dialog.controls[i];
    const ItemStyle style =
        ControlStyle(control, StartsGroup(dialog.controls, i), control.id == DefaultButton(dialog.controls));
    const Rect rect = ToDialogUnits(control.rect, dialog.units);
    out.AlignDword();
    out.Dword(0);  // helpID
    out.Dword(style.extended);
    out.Dword(style.style);
    out.Short(static_cast<short>(rect.x));
    out.Short(static_cast<short>(rect.y));
    out.Short(static_cast<short>(rect.cx));
    out.Short(static_cast<short>(rect.cy));
    out.Dword(static_cast<DWORD>(control.id));
    if (style.atom != 0) {
      out.Word(0xFFFF);
      out.Word(style.atom);
    } else {
      out.Text(style.name);
    }
    // Pictures are set once the dialog exists, from the program's resources.
    const bool picture = control.kind == ControlKind::Icon || control.kind == ControlKind::Bitmap;
    out.Text(picture || control.kind == ControlKind::Surface ? u"" : control.text);
    out.Word(0);  // no creation data
  }
  return out.Finish();
}

Font DialogFont() { return Font{}; }

HFONT CreateFontFor(const Font& font) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(font.points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     static_cast<DWORD>(font.charset),
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     Wide(font.face));
}

SIZE DialogBaseUnits() {
  static const SIZE units = [] {
    // The dialog manager's own rule: the average width of the Latin letters and the
    // character height of the dialog font.
    HFONT font = CreateFontFor(DialogFont());
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SIZE letters{};
    GetTextExtentPoint32W(screen, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    SIZE base{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
    if (base.cx <= 0) base.cx = 8;
    if (base.cy <= 0) base.cy = 16;
    return base;
  }();
  return units;
}

}  // namespace zentora::platform::win32
