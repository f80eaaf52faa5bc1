// The two dialogs that come before a database command acts: the database name, and the
// definition of one field.
#pragma once
#include <optional>
#include <string>

#include "platform/ui.h"
#include "storage/field_definition.h"
#include "texts/text_table.h"

namespace zentora {

inline constexpr int kDatabaseNameEditId = 1017;
inline constexpr int kDatabaseNameAcceptId = 1018;

inline constexpr int kFieldNameEditId = 1019;
inline constexpr int kFieldNameLabelId = 1020;
// The type options, in their order on screen.
inline constexpr int kDecimalOptionId = 1021;
inline constexpr int kIntegerOptionId = 1022;
inline constexpr int kStringOptionId = 1023;
inline constexpr int kLogicalOptionId = 1024;
inline constexpr int kMemoOptionId = 1025;
inline constexpr int kImageOptionId = 1026;
inline constexpr int kSoundOptionId = 1034;
inline constexpr int kKeyBoxId = 1027;
inline constexpr int kSizeEditId = 1028;
inline constexpr int kSizeLabelId = 1029;
inline constexpr int kDecimalsEditId = 1030;
inline constexpr int kDecimalsLabelId = 1031;
inline constexpr int kTypeFrameId = 1032;
inline constexpr int kFieldAcceptId = 1033;

platform::DialogTemplate DatabaseNameDialogTemplate(const Texts& texts);
// Runs the dialog and returns the valid name accepted. An empty or invalid name keeps the
// dialog open (an invalid one with a message). The window's close command cancels: nothing is
// returned, so no command can go on with the name of an earlier one.
// A name whose files would not fit the file system of `folder` (where the databases live) is
// refused here, before anything is made.
std::optional<std::u16string> ShowDatabaseNameDialog(const Texts& texts, const std::u16string& folder);

platform::DialogTemplate DefineFieldDialogTemplate(const Texts& texts);
// Runs the dialog and returns the definition accepted, which suits its type; the close
// command cancels and returns nothing, not even a refused attempt.
std::optional<FieldDefinition> ShowDefineFieldDialog(const Texts& texts);

// Whether a definition may be accepted: a name, and size and decimals that suit the type.
bool DefinitionFits(const FieldDefinition& field, bool name_given);

}  // namespace zentora
