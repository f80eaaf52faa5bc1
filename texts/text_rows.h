// The rows the text table is written in, and the checks the build makes of them: each row
// names its text id beside its words, so an id and its words agree by name, never by counting
// places in a list.
#pragma once
#include <cstddef>
#include <span>

#include "texts/text_ids.h"

namespace zentora {

struct TextRow {
  TextId id;
  const char16_t* spanish = nullptr;
  const char16_t* english = nullptr;
};

struct GroupWidth {
  int group = 0;
  int width = 0;  // bytes of the group's zero-terminated buffer
};

// No id is given words twice.
constexpr bool NoIdTwice(std::span<const TextRow> rows) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    for (std::size_t j = i + 1; j < rows.size(); ++j)
      if (rows[i].id == rows[j].id) return false;
  return true;
}

constexpr int RowsOfGroup(std::span<const TextRow> rows, int group) {
  int count = 0;
  for (const TextRow& row : rows) count += row.id.group == group ? 1 : 0;
  return count;
}

constexpr bool HasRow(std::span<const TextRow> rows, TextId id) {
  for (const TextRow& row : rows)
    if (row.id == id) return true;
  return false;
}

// Every group from 1 to `group_count` has words in both languages for its entries 1, 2, ... up
// to as many as it has rows, with none left out; no row lies outside the groups.
constexpr bool EveryEntryHasWords(std::span<const TextRow> rows, int group_count) {
  for (const TextRow& row : rows) {
    if (row.id.group < 1 || row.id.group > group_count) return false;
    if (row.spanish == nullptr || row.english == nullptr) return false;
  }
  for (int group = 1; group <= group_count; ++group) {
    const int entries = RowsOfGroup(rows, group);
    if (entries == 0) return false;
    for (int entry = 1; entry <= entries; ++entry)
      if (!HasRow(rows, {group, entry})) return false;
  }
  return true;
}

// Every group from 1 to `group_count` has one width, above 0.
constexpr bool EveryGroupHasOneWidth(std::span<const GroupWidth> widths, int group_count) {
  for (int group = 1; group <= group_count; ++group) {
    int given = 0;
    for (const GroupWidth& width : widths) given += width.group == group && width.width > 0 ? 1 : 0;
    if (given != 1) return false;
  }
  return static_cast<int>(widths.size()) == group_count;
}

}  // namespace zentora
