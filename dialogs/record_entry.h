// Entering one record: every field of the structure in order, each value asked with the
// dialog of its type (or a file chooser for a picture or a sound); the values are stored
// together once the last is given, in field order, so an abandoned record stores nothing.
#pragma once
#include "attachments/attachments.h"
#include "platform/ui.h"
#include "storage/data_file.h"
#include "storage/database.h"
#include "texts/text_table.h"

namespace zentora {

// What record entry keeps from one record to the next: the highest record number of the data
// file last stored to, so that a store reads only what was appended since the one before.
struct RecordEntryState {
  HighestRecord highest;
};

// Runs the whole entry for `db`; the file choosers are owned by `owner` (the main window).
// Ends with "Procesado ..." / "Processed ..." only when every value given is on disk; a data file that cannot be opened, or a value that cannot be
// stored, is reported in its own message and ends the entry there. Closing an entry dialog
// asks whether to abandon the whole record (no: that field stays empty).
// The new record takes one above the highest number the data file holds. Before the first
// question the data file is checked: one held past the wait, not a regular file, or damaged
// (entries without a number above 0, or holding the largest number) is reported and nothing is
// asked. While another program holds the
// data file, the entry waits longer than the usual wait with a line in the progress dialog,
// whose Cancel (or Escape) gives up the wait and asks whether to try again.
void EnterRecord(const Texts& texts, const Database& db, AttachmentsState& attachments, RecordEntryState& state,
                 platform::Dialog owner = {});
// The same with a state of its own (the whole data file is read for its highest number).
void EnterRecord(const Texts& texts, const Database& db, AttachmentsState& attachments, platform::Dialog owner = {});

}  // namespace zentora
