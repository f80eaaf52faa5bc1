// Entering one record: every field of the structure in order, each value asked with the
// dialog of its type (or a file chooser for a picture or a sound) and stored as soon as it is
// accepted.
#pragma once
#include "shell/app_state.h"

namespace zentora {

// Runs the whole entry for the current database. Ends with "Procesado ..." / "Processed ..."
// only when every value given is on disk; a data file that cannot be opened, or a value that
// cannot be stored, is reported in its own message and ends the entry there.
void EnterRecord(AppState& state);

}  // namespace zentora
