// The folder both libraries read: the one a caller named, else the folder where Zentora
// keeps its databases (platform::HomeFolder, as linked into the library). A library's callers
// have no state of theirs to hand in, so the choice is held here, behind a lock, for every
// thread of the process.
#pragma once
#include <cstdint>
#include <string>

#include "reader/reader_core.h"

namespace zentora::reader {

// `folder` absolute and ending with a separator, or empty for the default.
void ChooseHostFolder(std::u16string folder);

// Read once at the start of each call, so that a call sees one folder from start to end. A
// reader makes no folder: a missing one holds no database.
std::u16string HostFolder();

// What the last call of a thread found, as both libraries answer it (lirvak.h).
inline constexpr std::int32_t kStatusNone = -1;        // no such call yet on this thread
inline constexpr std::int32_t kStatusWritten = 0;      // answered: the output file holds the value,
inline constexpr std::int32_t kStatusFound = 0;        // or the count or value was read
inline constexpr std::int32_t kStatusMissing = 1;      // the database is there, the value is not
inline constexpr std::int32_t kStatusNotWritten = 2;   // the output name refused or the file not written
inline constexpr std::int32_t kStatusBusy = 3;         // another program held the data file past the wait
inline constexpr std::int32_t kStatusNoDatabase = 4;   // no such database, or a refused name
inline constexpr std::int32_t kStatusUnreadable = 5;   // the data file could not be read
inline constexpr std::int32_t kStatusNoMemory = 6;     // the answer did not fit in memory

std::int32_t StatusCode(AttachmentResult result);
std::int32_t StatusCode(ReadOutcome outcome);

// Runs an export's work: no exception reaches the caller, whose program (a C or Basic
// program, a Python process) could not catch it; memory running out reads as not found.
template <typename Work, typename Answer>
Answer Guarded(Work work, Answer fallback, std::int32_t& status) {
  try {
    return work();
  } catch (...) {
    status = kStatusNoMemory;  // what a conversion or a copy at the boundary throws
    return fallback;
  }
}

}  // namespace zentora::reader
