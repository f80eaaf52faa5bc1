// Every text the program shows, in Spanish and in English side by side. The table is built
// once at start-up and kept in the run's state; a lookup picks the column of the language in
// force, so switching the language never needs a rebuild.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "texts/text_ids.h"

namespace zentora {

enum class Language : int32_t { Spanish = 1, English = 5 };

// Only Spanish and English have texts; any other number (a hand-edited configuration, say)
// shows Spanish everywhere, texts and number separators alike, rather than a mixed screen.
inline constexpr bool ShowsEnglish(int32_t language) { return language == static_cast<int32_t>(Language::English); }

inline constexpr int kTextGroupCount = text::kGroupCount;

struct TextEntry {
  std::u16string spanish;
  std::u16string english;
  bool operator==(const TextEntry&) const = default;
};

struct TextGroup {
  // Size in bytes of the zero-terminated code page 1252 buffer a text of this group must fit:
  // every text holds at most width - 1 characters.
  int width = 0;
  std::vector<TextEntry> entries;  // entry n is entries[n - 1]
  bool operator==(const TextGroup&) const = default;
};

struct TextTable {
  std::array<TextGroup, kTextGroupCount> groups;  // group n is groups[n - 1]
  bool operator==(const TextTable&) const = default;
};

// Builds the whole table for every language; the same table on every call.
TextTable FillTextTable();

// The text of `entry` of `group` in the column of `language`. A language number other than
// 1 or 5 reads the Spanish column, so the program is never without texts. A group or entry
// outside the table gives an empty text.
std::u16string UiText(const TextTable& table, int32_t language, int group, int entry);
inline std::u16string UiText(const TextTable& table, int32_t language, TextId id) {
  return UiText(table, language, id.group, id.entry);
}

// The table read in the language in force: what every window shows its words through. The
// language can change during a run; the table, filled once, never does.
struct Texts {
  int32_t language = static_cast<int32_t>(Language::Spanish);
  TextTable table = FillTextTable();

  std::u16string Text(TextId id) const { return UiText(table, language, id); }
  // The caption of every message box.
  std::u16string MessageCaption() const { return Text(text::kMessageCaption); }
  // The text with its "%1" replaced by `value` (a database's name, a file's path).
  std::u16string Filled(TextId id, const std::u16string& value) const {
    std::u16string filled = Text(id);
    const auto at = filled.find(u"%1");
    if (at != std::u16string::npos) filled.replace(at, 2, value);
    return filled;
  }
};

}  // namespace zentora
