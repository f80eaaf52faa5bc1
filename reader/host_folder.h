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

// Read once at the start of each call, so that a call sees one folder from start to end.
std::u16string HostFolder();

// What the last attachment call of a thread did, as both libraries answer it.
inline constexpr std::int32_t kStatusNone = -1;        // no such call yet on this thread
inline constexpr std::int32_t kStatusWritten = 0;      // the output file holds the value
inline constexpr std::int32_t kStatusMissing = 1;      // no such value, or the data file unreadable
inline constexpr std::int32_t kStatusNotWritten = 2;   // the output name refused or the file not written

std::int32_t StatusCode(AttachmentResult result);

}  // namespace zentora::reader
