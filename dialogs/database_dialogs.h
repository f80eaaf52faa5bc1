// The two dialogs that come before a database command acts: the database name, and the
// definition of one field.
#pragma once
#include "platform/ui.h"
#include "shell/app_state.h"

namespace zentora {

platform::DialogTemplate DatabaseNameDialogTemplate(const AppState& state);
// Runs the dialog. Accepting a valid name leaves it in state.dialogs.database_name and
// returns true. An empty or invalid name keeps the dialog open (an invalid one with a
// message). The window's close command cancels: returns false and the name is cleared, so
// no command can go on with the name of an earlier one.
bool ShowDatabaseNameDialog(AppState& state);

platform::DialogTemplate DefineFieldDialogTemplate(const AppState& state);
// Runs the dialog. Accepting a definition that suits its type leaves it in
// state.dialogs.pending_field and returns true; the close command cancels (returns false).
bool ShowDefineFieldDialog(AppState& state);

// Whether a definition may be accepted: a name, and size and decimals that suit the type.
bool DefinitionFits(const FieldDefinition& field, bool name_given);

}  // namespace zentora
