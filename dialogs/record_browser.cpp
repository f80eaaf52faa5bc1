#include "dialogs/record_browser.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "attachments/attachments.h"
#include "dialogs/value_viewers.h"
#include "shell/main_window.h"
#include "storage/data_file.h"
#include "storage/field_definition.h"
#include "storage/number_format.h"
#include "storage/structure_file.h"

namespace zentora {
namespace {

constexpr int kSurfaceId = 1012;
constexpr int kPreviousId = 1013;
constexpr int kNextId = 1015;
constexpr int kPositionId = 1016;
constexpr int kPreviousBitmap = 400;
constexpr int kNextBitmap = 401;

constexpr int kTitleGroup = 19;
constexpr int kCounterGroup = 20;
constexpr int kGoToGroup = 21;

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

platform::ControlTemplate Control(int id, platform::ControlKind kind, platform::Rect rect, std::uint32_t flags) {
  platform::ControlTemplate control;
  control.id = id;
  control.kind = kind;
  control.rect = rect;
  control.flags = flags;
  return control;
}

std::u16string Digits(std::int64_t number) {
  const std::string narrow = std::to_string(number);
  return std::u16string(narrow.begin(), narrow.end());
}

platform::Rect LineBox(int line) { return {0, line * kFieldLinePitch, kBoxWidth, kBoxHeight}; }

platform::Font PageFont() { return platform::Font{u"MS Sans Serif", 9, false}; }

// The answer's leading number rounded to a whole number, halves to the even neighbour; nothing
// when it is negative or too large for a record number.
std::optional<std::int64_t> RoundedAnswer(const std::u16string& answer) {
  const ExtendedNumber number = ReadNumberText(answer);
  if (number.mantissa == 0) return 0;
  if (number.negative) return std::nullopt;
  std::uint64_t whole = 0;
  if (number.exponent >= 0) {
    if (number.exponent >= 63 || (number.mantissa >> (63 - number.exponent)) != 0) return std::nullopt;
    whole = number.mantissa << number.exponent;
  } else if (number.exponent > -64) {
    const int shift = -number.exponent;
    whole = number.mantissa >> shift;
    const std::uint64_t rest = number.mantissa & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (whole & 1) != 0)) ++whole;
  } else if (number.exponent == -64) {
    // Below 1: only more than a half rounds up; exactly a half goes to the even 0.
    whole = number.mantissa > (std::uint64_t{1} << 63) ? 1 : 0;
  }
  if (whole > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
  return static_cast<std::int64_t>(whole);
}

// One open browser: the lines of its field page, read at each full drawing.
class Browser {
 public:
  explicit Browser(AppState& state) : state_(state) {}

  void Handle(platform::Dialog dialog, const platform::DialogEvent& event) {
    if (std::holds_alternative<platform::InitEvent>(event)) {
      platform::ClearCanvas(platform::SurfaceCanvas(dialog, kSurfaceId), platform::kWhite);
      DrawFieldPage(dialog);
      state_.dialogs.current_record = 1;
      state_.dialogs.browser_open = true;
      ShowPosition(dialog);
      BuildBrowserMenu(state_, dialog);
    } else if (const auto* press = std::get_if<platform::MouseDownEvent>(&event)) {
      if (press->id == kSurfaceId) PressLine(dialog, FieldLineAt(static_cast<std::uint16_t>(press->y)));
    } else if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
      Command(dialog, command->id);
    } else if (std::holds_alternative<platform::CloseEvent>(event)) {
      state_.dialogs.browser_open = false;
      platform::EndDialog(dialog, 0);
    }
  }

 private:
  Database Db() const { return state_.CurrentDatabase(); }

  // The whole page is drawn off screen and shown in one go, which also turns red lines black.
  void DrawFieldPage(platform::Dialog dialog) {
    // One read of the structure for all lines; a file that cannot be read gives blank lines.
    const std::vector<FieldDefinition> fields = ReadStructure(Db()).value;
    // A new page starts all white, so the boxes are all that is drawn on it.
    const platform::Canvas page = platform::OpenPage(dialog, kSurfaceId, kPageWidth, kPageHeight);
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
  }

  void ShowPosition(platform::Dialog dialog) {
    platform::SetText(dialog, kPositionId,
                      Digits(state_.dialogs.current_record) + state_.Text(kCounterGroup, 1) +
                          Digits(LastRecordNumber(Db())));
  }

  void PressLine(platform::Dialog dialog, int index) {
    if (index < 0) return;
    const FieldLine& line = lines_[static_cast<std::size_t>(index)];
    // Straight onto the surface: the mark lasts until the next full drawing of the page.
    const platform::Canvas surface = platform::SurfaceCanvas(dialog, kSurfaceId);
    const platform::Rect box = LineBox(index);
    platform::DrawBox(surface, box, platform::kBlack, platform::kWhite);
    platform::DrawTextAt(surface, box.x, box.y + kTextDrop, line.name, platform::kRed, PageFont());
    state_.dialogs.selected_field = line.name.substr(0, kFieldNameUnits);
    if (state_.dialogs.browser_open) OpenValue(line.type);
  }

  void OpenValue(std::int16_t type) {
    const std::u16string& field = state_.dialogs.selected_field;
    const std::int64_t record = state_.dialogs.current_record;
    switch (static_cast<FieldType>(type)) {
      case FieldType::Decimal:
      case FieldType::Integer: ShowNumberViewer(state_); break;
      case FieldType::String: ShowTextViewer(state_); break;
      case FieldType::Logical: ShowLogicalViewer(state_); break;
      case FieldType::Memo:
        // A memo line shows the memo itself, never the structure description.
        state_.main.structure_view = false;
        ShowMemoViewer(state_);
        break;
      case FieldType::Image: OpenImageAttachment(state_, field, record); break;
      case FieldType::WavSound: OpenSoundAttachment(state_, field, record); break;
      default: break;  // a line without a field
    }
  }

  void Command(platform::Dialog dialog, int id) {
    std::int64_t& current = state_.dialogs.current_record;
    if (id == kPreviousId) {
      if (current <= 1) return;
      --current;
    } else if (id == kNextId) {
      if (current >= LastRecordNumber(Db())) return;
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
    const std::int64_t last = LastRecordNumber(Db());
    const std::u16string prompt = state_.Text(kGoToGroup, 1);
    const std::u16string title = state_.Text(kGoToGroup, 2) + Digits(last);
    for (;;) {
      const std::optional<std::u16string> answer = platform::AskText(prompt, title, u"");
      if (!answer) return false;
      // Checked after rounding, so that no answer can leave record 0 or one past N on show.
      const std::optional<std::int64_t> record = RoundedAnswer(*answer);
      if (record && *record >= 1 && *record <= last && *record != state_.dialogs.current_record) {
        state_.dialogs.current_record = *record;
        return true;
      }
    }
  }

  AppState& state_;
  std::array<FieldLine, kFieldPageLines> lines_;
};

}  // namespace

platform::DialogTemplate RecordBrowserTemplate(const AppState& state) {
  using platform::ControlKind;
  platform::DialogTemplate dialog;
  dialog.caption = state.Text(kTitleGroup, 1);
  dialog.rect = {83, 50, 292, 895};
  dialog.units = platform::Units::Pixels;
  dialog.style = platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame;
  const std::uint32_t clickable = platform::kSunken | platform::kNotify;

  dialog.controls.push_back(Control(kSurfaceId, ControlKind::Surface, {5, 25, 282, 845}, clickable));
  platform::ControlTemplate previous = Control(kPreviousId, ControlKind::Bitmap, {4, 5, 16, 15}, clickable);
  previous.image = kPreviousBitmap;
  dialog.controls.push_back(previous);
  dialog.controls.push_back(
      Control(kPositionId, ControlKind::Static, {20, 5, 249, 15}, clickable | platform::kTextCentred));
  platform::ControlTemplate next = Control(kNextId, ControlKind::Bitmap, {269, 5, 15, 15}, clickable);
  next.image = kNextBitmap;
  dialog.controls.push_back(next);
  return dialog;
}

void ShowRecordBrowser(AppState& state) {
  Browser browser(state);
  platform::RunModal(RecordBrowserTemplate(state),
                     [&browser](platform::Dialog dialog, const platform::DialogEvent& event) {
                       browser.Handle(dialog, event);
                     });
  // Whatever way the window went, no later click may open a viewer for it.
  state.dialogs.browser_open = false;
}

int FieldLineAt(std::uint16_t y) {
  const int line = y / kFieldLinePitch;
  return line < kFieldPageLines ? line : -1;
}

}  // namespace zentora
