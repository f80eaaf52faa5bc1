#include "dialogs/record_browser.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "dialogs/value_viewers.h"
#include "display/number_text.h"
#include "resources/resource_numbers.h"
#include "storage/data_file.h"
#include "storage/structure_file.h"

namespace zentora {
namespace {

constexpr int kPageWidth = 500;
constexpr int kPageHeight = 900;
constexpr int kBoxWidth = 280;
constexpr int kBoxHeight = 20;
constexpr int kTextDrop = 3;  // the name sits 3 pixels below the top of its box
constexpr std::size_t kLineNameUnits = 40;

struct FieldLine {
  std::u16string name;  // the 35-unit name padded to 40
  std::int16_t type = 0;
};

std::u16string Digits(std::int64_t number) {
  const std::string narrow = std::to_string(number);
  return std::u16string(narrow.begin(), narrow.end());
}

platform::Rect LineBox(int line) { return {0, line * kFieldLinePitch, kBoxWidth, kBoxHeight}; }

// Character set 204 asks the face for its Cyrillic glyphs where the desktop has them.
platform::Font PageFont() { return platform::Font{u"MS Sans Serif", 9, false, 204}; }

// One open browser: the lines of its field page, read at each full drawing, and the index of
// where the database's values lie, so that a value opened again costs the reading of its own
// entries and of what was appended since, not of the whole file.
class Browser {
 public:
  Browser(const Texts& texts, const Database& db, RecordBrowserState& state, const AttachmentsState& attachments)
      : texts_(texts), db_(db), state_(state), attachments_(attachments), values_(db, {kAnyType}) {}

  void Handle(platform::Dialog dialog, const platform::DialogEvent& event) {
    if (std::holds_alternative<platform::InitEvent>(event)) {
      platform::ClearCanvas(platform::SurfaceCanvas(dialog, kBrowserSurfaceId), platform::kWhite);
      DrawFieldPage(dialog);
      state_.current_record = 1;
      state_.open = true;
      ShowPosition(dialog);
      BuildBrowserMenu(texts_, dialog);
    } else if (const auto* press = std::get_if<platform::MouseDownEvent>(&event)) {
      if (press->id == kBrowserSurfaceId) PressLine(dialog, FieldLineAt(static_cast<std::uint16_t>(press->y)));
    } else if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
      Command(dialog, command->id);
    } else if (const auto* key = std::get_if<platform::KeyEvent>(&event)) {
      if (key->id == kBrowserSurfaceId) Key(dialog, *key);
    } else if (std::holds_alternative<platform::CloseEvent>(event)) {
      state_.open = false;
      platform::EndDialog(dialog, 0);
    }
  }

 private:
  // The whole page is drawn off screen and shown in one go, which also turns red lines black.
  void DrawFieldPage(platform::Dialog dialog) {
    // One read of the structure for all lines; a file that cannot be read gives blank lines.
    const std::vector<FieldDefinition> fields = ReadStructure(db_).value;
    field_count_ = static_cast<int>(std::min<std::size_t>(fields.size(), kFieldPageLines));
    // A new page starts all white, so the boxes are all that is drawn on it.
    const platform::Canvas page = platform::OpenPage(dialog, kBrowserSurfaceId, kPageWidth, kPageHeight);
    for (int i = 0; i < kFieldPageLines; ++i) {
      FieldLine& line = lines_[static_cast<std::size_t>(i)];
      const bool has_field = static_cast<std::size_t>(i) < fields.size();
      line.name = has_field ? fields[static_cast<std::size_t>(i)].name : PadFieldName(u"");
      line.name.resize(kLineNameUnits, u' ');
      line.type = has_field ? fields[static_cast<std::size_t>(i)].type : 0;
      const platform::Rect box = LineBox(i);
      platform::DrawBox(page, box, platform::kBlack, platform::kWhite);
      platform::DrawTextAt(page, box.x, box.y + kTextDrop, line.name, platform::kBlack, PageFont());
    }
    platform::CopyPageToSurface(page);
    DrawMark(dialog, mark_, true);
  }

  // The keyboard's place among the lines: the line's box drawn twice as thick in blue, straight
  // onto the surface like a click's red name; taken away, the line is drawn as the page has it.
  void DrawMark(platform::Dialog dialog, int index, bool marked) {
    if (index < 0) return;
    const platform::Canvas surface = platform::SurfaceCanvas(dialog, kBrowserSurfaceId);
    const platform::Rect box = LineBox(index);
    platform::DrawBox(surface, box, marked ? platform::kMarkBlue : platform::kBlack, platform::kWhite);
    platform::DrawBox(surface, {box.x + 1, box.y + 1, box.cx - 2, box.cy - 2},
                      marked ? platform::kMarkBlue : platform::kWhite, platform::kWhite);
    const FieldLine& line = lines_[static_cast<std::size_t>(index)];
    platform::DrawTextAt(surface, box.x, box.y + kTextDrop, line.name, platform::kBlack, PageFont());
  }

  // The browser by keyboard: previous and next, Go to, and a mark moved over the lines that
  // Enter opens exactly as a click on the line would.
  void Key(platform::Dialog dialog, const platform::KeyEvent& key) {
    switch (key.key) {
      case platform::Key::Left:
      case platform::Key::PageUp: Command(dialog, kBrowserPreviousId); break;
      case platform::Key::Right:
      case platform::Key::PageDown: Command(dialog, kBrowserNextId); break;
      case platform::Key::Up:
      case platform::Key::Down:
      case platform::Key::Home:
      case platform::Key::End: MoveMark(dialog, key.key); break;
      case platform::Key::Enter:
        if (mark_ >= 0) PressLine(dialog, mark_);
        break;
      case platform::Key::Character:
        if (key.character == kGoToKey) Command(dialog, kCommandGoTo);
        break;
    }
  }

  void MoveMark(platform::Dialog dialog, platform::Key key) {
    const int last = std::max(field_count_, 1) - 1;  // the lines that hold a field
    int next = mark_;
    if (key == platform::Key::Up) next = mark_ < 0 ? 0 : std::max(mark_ - 1, 0);
    if (key == platform::Key::Down) next = mark_ < 0 ? 0 : std::min(mark_ + 1, last);
    if (key == platform::Key::Home) next = 0;
    if (key == platform::Key::End) next = last;
    if (next == mark_) return;
    DrawMark(dialog, mark_, false);
    mark_ = next;
    DrawMark(dialog, mark_, true);
    // On a short screen the page scrolls so that the marked line shows.
    const platform::Rect box = LineBox(mark_);
    platform::ScrollSurfaceTo(dialog, kBrowserSurfaceId, box.y, box.cy + 1);
  }

  void ShowPosition(platform::Dialog dialog) {
    platform::SetText(dialog, kBrowserPositionId,
                      Digits(state_.current_record) + texts_.Text(text::kRecordCounterOf) +
                          Digits(LastRecordNumber(db_)));
  }

  void PressLine(platform::Dialog dialog, int index) {
    if (index < 0) return;
    const FieldLine& line = lines_[static_cast<std::size_t>(index)];
    // Straight onto the surface: the mark lasts until the next full drawing of the page.
    const platform::Canvas surface = platform::SurfaceCanvas(dialog, kBrowserSurfaceId);
    const platform::Rect box = LineBox(index);
    platform::DrawBox(surface, box, platform::kBlack, platform::kWhite);
    platform::DrawTextAt(surface, box.x, box.y + kTextDrop, line.name, platform::kRed, PageFont());
    state_.selected_field = line.name.substr(0, kFieldNameUnits);
    if (state_.open) OpenValue(line.type);
  }

  void OpenValue(std::int16_t type) {
    const ValueOnShow value{db_, state_.selected_field, state_.current_record, &values_};
    switch (static_cast<FieldType>(type)) {
      case FieldType::Decimal:
      case FieldType::Integer: ShowNumberViewer(texts_, value); break;
      case FieldType::String: ShowTextViewer(texts_, value); break;
      case FieldType::Logical: ShowLogicalViewer(texts_, value); break;
      // A memo line shows the memo itself, never the structure description.
      case FieldType::Memo: ShowMemoViewer(texts_, value); break;
      case FieldType::Image:
        OpenAttachment(texts_, attachments_, db_, AttachmentKind::Image, value.field, value.record, &values_);
        break;
      case FieldType::WavSound:
        OpenAttachment(texts_, attachments_, db_, AttachmentKind::Sound, value.field, value.record, &values_);
        break;
      default: break;  // a line without a field
    }
  }

  void Command(platform::Dialog dialog, int id) {
    std::int64_t& current = state_.current_record;
    if (id == kBrowserPreviousId) {
      if (current <= 1) return;
      --current;
    } else if (id == kBrowserNextId) {
      if (current >= LastRecordNumber(db_)) return;
      ++current;
    } else if (id == kCommandGoTo) {
      if (!AskRecord()) return;
    } else {
      return;
    }
    ShowPosition(dialog);
    DrawFieldPage(dialog);
  }

  // Asks until the answer names another record from 1 to N; false when the user cancels.
  bool AskRecord() {
    const std::int64_t last = LastRecordNumber(db_);
    const std::u16string prompt = texts_.Text(text::kGoToPrompt);
    const std::u16string title = texts_.Text(text::kGoToRange) + Digits(last);
    for (;;) {
      const std::optional<std::u16string> answer = platform::AskText(
          prompt, title, u"", {texts_.Text(text::kOkButton), texts_.Text(text::kCancelButton)});
      if (!answer) return false;
      // Checked after rounding, so that no answer can leave record 0 or one past N on show.
      // The answer's leading number, written as any number text may be, rounded to a whole
      // number with halves to the even neighbour.
      const std::optional<std::int64_t> record =
          NearestWhole(ReadWrittenNumber(*answer, NumberForms::WithPrefixedWholes));
      if (record && *record >= 1 && *record <= last && *record != state_.current_record) {
        state_.current_record = *record;
        return true;
      }
    }
  }

  const Texts& texts_;
  const Database& db_;
  RecordBrowserState& state_;
  const AttachmentsState& attachments_;
  ValueIndex values_;
  std::array<FieldLine, kFieldPageLines> lines_;
  int field_count_ = 0;
  int mark_ = -1;  // the line the keyboard marks; none until an arrow is pressed
};

// The window placed and sized to fit the work area, the field page scrolling what no longer
// fits; unchanged where everything fits.
void FitToWorkArea(platform::DialogTemplate& dialog, const platform::Rect& work_area) {
  const int room = work_area.cy - kBrowserFrameAllowance;
  platform::Rect& window = dialog.rect;
  if (room >= window.cy) {
    // Moved up only as far as the work area's bottom asks.
    window.y = std::max(work_area.y, std::min(window.y, work_area.y + room - window.cy));
    return;
  }
  platform::ControlTemplate& page = dialog.controls.front();
  const int below_page = window.cy - (page.rect.y + page.rect.cy);
  constexpr int kFewestLines = 3;
  const int page_height = std::max(room - page.rect.y - below_page, kFewestLines * kFieldLinePitch);
  page.scroll_height = kFieldPageLines * kFieldLinePitch;
  page.rect.cy = page_height;
  page.rect.cx += kBrowserScrollBarWidth;
  window = {window.x, work_area.y, window.cx + kBrowserScrollBarWidth, page.rect.y + page_height + below_page};
}

}  // namespace

platform::DialogTemplate RecordBrowserTemplate(const Texts& texts, platform::Rect work_area) {
  using platform::ControlKind;
  platform::DialogTemplate dialog;
  dialog.caption = texts.Text(text::kBrowserTitle);
  dialog.rect = {83, 50, 292, 895};
  dialog.units = platform::Units::Pixels;
  dialog.style = platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame;
  const std::uint32_t clickable = platform::kSunken | platform::kNotify;

  dialog.controls.push_back(
      platform::MakeControl(kBrowserSurfaceId, ControlKind::Surface, {5, 25, 282, 845}, u"", clickable));
  platform::ControlTemplate previous =
      platform::MakeControl(kBrowserPreviousId, ControlKind::Bitmap, {4, 5, 16, 15}, u"", clickable);
  previous.image = PICTURE_ARROW_LEFT;
  dialog.controls.push_back(previous);
  dialog.controls.push_back(
      platform::MakeControl(kBrowserPositionId, ControlKind::Static, {20, 5, 249, 15}, u"",
                            clickable | platform::kTextCentred));
  platform::ControlTemplate next =
      platform::MakeControl(kBrowserNextId, ControlKind::Bitmap, {269, 5, 15, 15}, u"", clickable);
  next.image = PICTURE_ARROW_RIGHT;
  dialog.controls.push_back(next);
  FitToWorkArea(dialog, work_area);
  return dialog;
}

void ShowRecordBrowser(const Texts& texts, const Database& db, RecordBrowserState& state,
                       const AttachmentsState& attachments) {
  Browser browser(texts, db, state, attachments);
  platform::RunModal(RecordBrowserTemplate(texts, platform::WorkArea()),
                     [&browser](platform::Dialog dialog, const platform::DialogEvent& event) {
                       browser.Handle(dialog, event);
                     });
  // Whatever way the window went, no later click may open a viewer for it.
  state.open = false;
}

int FieldLineAt(std::uint16_t y) {
  const int line = y / kFieldLinePitch;
  return line < kFieldPageLines ? line : -1;
}

}  // namespace zentora
