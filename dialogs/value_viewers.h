// Read-only dialogs that show one stored value: a field of a record of a database. The memo
// viewer also shows the structure description of a database, for the Data structure command.
#pragma once
#include <cstdint>
#include <string>

#include "platform/ui.h"
#include "storage/database.h"
#include "storage/value_index.h"
#include "texts/text_table.h"

namespace zentora {

inline constexpr int kNumberViewerLabelId = 1081;
inline constexpr int kNumberViewerValueId = 1082;
inline constexpr int kNumberViewerCloseId = 1083;
inline constexpr int kTextViewerLabelId = 1084;
inline constexpr int kTextViewerValueId = 1085;
inline constexpr int kTextViewerCloseId = 1086;
inline constexpr int kLogicalViewerYesId = 1087;
inline constexpr int kLogicalViewerLabelId = 1088;
inline constexpr int kLogicalViewerNoId = 1089;
inline constexpr int kLogicalViewerCloseId = 1090;
inline constexpr int kMemoViewerValueId = 1091;
inline constexpr int kMemoViewerLabelId = 1092;
inline constexpr int kMemoViewerCloseId = 1093;

// The value on show: the 35-unit name of its field and its record, read through `index` (the
// record browser's, of the same database) when there is one, else by a search of the file.
struct ValueOnShow {
  Database db;
  std::u16string field;
  std::int64_t record = 1;
  ValueIndex* index = nullptr;
};

// Each template shows `label` (the field's name) above the value.
platform::DialogTemplate NumberViewerTemplate(const Texts& texts, const std::u16string& label);
platform::DialogTemplate TextViewerTemplate(const Texts& texts, const std::u16string& label);
platform::DialogTemplate LogicalViewerTemplate(const Texts& texts, const std::u16string& label);
platform::DialogTemplate MemoViewerTemplate(const Texts& texts, const std::u16string& label);

void ShowNumberViewer(const Texts& texts, const ValueOnShow& value);
void ShowTextViewer(const Texts& texts, const ValueOnShow& value);
void ShowLogicalViewer(const Texts& texts, const ValueOnShow& value);
void ShowMemoViewer(const Texts& texts, const ValueOnShow& value);
// The memo viewer with the description of the structure of `db` in place of a value.
void ShowStructureViewer(const Texts& texts, const Database& db);

}  // namespace zentora
