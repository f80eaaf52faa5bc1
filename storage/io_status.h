// How a storage operation ended. The operations that the dialogs call by name keep their
// plain results (a reader sees an empty file, a writer stores nothing); the Try forms
// below them tell a failed open from an empty file, so that no caller guesses.
#pragma once

namespace zentora {

enum class IoStatus {
  Ok,
  Busy,    // another program kept the file open past the wait
  Failed,  // could not open, read or write (missing folder, disk full, ...)
  NotRegularFile,  // a folder, a pipe or a device stands where the file should be
  Damaged,         // the file holds what no writer of it leaves (a record number it cannot follow)
};

template <typename T>
struct IoResult {
  IoStatus status = IoStatus::Failed;
  T value{};
  bool ok() const { return status == IoStatus::Ok; }
};

}  // namespace zentora
