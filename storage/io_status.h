// How a storage operation ended. The operations that the dialogs call by name keep their
// plain results (a reader sees an empty file, a writer stores nothing); the Try forms
// below them tell a failed open from an empty file, so that no caller guesses.
//
// A status compares and switches as its kind (status == IoStatus::Busy); one that failed
// also carries why, as the system said it, and the file it concerns, so that whoever tells
// the user can say "no permission: /path/x.zbd" rather than "it failed".
#pragma once
#include <string>
#include <utility>

#include "platform/system.h"

namespace zentora {

class IoStatus {
 public:
  enum Kind {
    Ok,
    Busy,            // another program kept the file open past the wait
    Failed,          // could not open, read or write (missing folder, disk full, ...)
    NotRegularFile,  // a folder, a pipe or a device stands where the file should be
    Damaged,         // the file holds what no writer of it leaves (a record number it cannot follow)
  };

  IoStatus(Kind kind = Failed) : kind_(kind) {}  // NOLINT: a kind is a status without a reason
  IoStatus(Kind kind, platform::SystemFailure reason, std::u16string path)
      : kind_(kind), reason_(reason), path_(std::move(path)) {}

  operator Kind() const { return kind_; }  // NOLINT: compared and switched on as its kind
  Kind kind() const { return kind_; }

  // Why, in the causes a user can act on. A kind that says it by itself gives its own cause;
  // a failure the system gave no reason for is Other.
  platform::FailureCause cause() const;
  // The system's own number (errno, GetLastError), 0 when there is none.
  long long code() const { return reason_.code; }
  // The file the status concerns; empty when the operation never named one.
  const std::u16string& path() const { return path_; }

 private:
  Kind kind_ = Failed;
  platform::SystemFailure reason_;
  std::u16string path_;
};

inline platform::FailureCause IoStatus::cause() const {
  using platform::FailureCause;
  switch (kind_) {
    case Ok: return FailureCause::None;
    case Busy: return FailureCause::Held;
    case NotRegularFile: return FailureCause::NotRegularFile;
    case Damaged: return FailureCause::Damaged;
    case Failed: break;
  }
  return reason_.cause == FailureCause::None ? FailureCause::Other : reason_.cause;
}

template <typename T>
struct IoResult {
  IoStatus status = IoStatus::Failed;
  T value{};
  bool ok() const { return status == IoStatus::Ok; }
};

}  // namespace zentora
