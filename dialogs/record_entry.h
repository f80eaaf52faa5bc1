// Entering one record: every field of the structure in order, each value asked with the
// dialog of its type (or a file chooser for a picture or a sound); the values are stored
// together once the last is given, in field order, so an abandoned record stores nothing.
#pragma once
#include "attachments/attachments.h"
#include "platform/ui.h"
#include "storage/database.h"
#include "texts/text_table.h"

namespace zentora {

// Runs the whole entry for `db`; the file choosers are owned by `owner` (the main window).
// Ends with "Procesado ..." / "Processed ..." only when every value given is on disk; a data file that cannot be opened, or a value that cannot be
// stored, is reported in its own message and ends the entry there. Closing an entry dialog
// asks whether to abandon the whole record (no: that field stays empty).
void EnterRecord(const Texts& texts, const Database& db, AttachmentsState& attachments, platform::Dialog owner = {});

}  // namespace zentora
