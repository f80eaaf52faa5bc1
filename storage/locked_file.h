// A database file opened without sharing for the length of one operation.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/system.h"
#include "storage/io_status.h"

namespace zentora {

// Asked after each try that found the file held, with the milliseconds waited so far: true
// goes on waiting, false gives up (Busy). Given, it bounds the wait in place of busy_wait_ms.
using KeepWaiting = std::function<bool(std::uint64_t waited_ms)>;

// How long an open steps aside for another's wait sign at most: the longest pause between
// two tries of the one waiting, many times over.
inline constexpr unsigned kLongestStepAsideMs = 500;

class LockedFile {
 public:
  LockedFile() = default;
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  ~LockedFile() { Close(); }

  // Opens (creating when absent); a file held by another program is retried until
  // `busy_wait_ms` have passed (or `keep_waiting` says no), then Busy.
  //
  // Fairness: an open that finds the file held raises the file's wait sign while it waits, and
  // an open that sees a sign up first steps aside until the one waiting has the file, at most
  // kLongestStepAsideMs. A reader that opens again right after closing therefore cannot keep
  // the program out (nor the program a reader), and every open stays exclusive.
  // A failure carries the system's reason and the path.
  IoStatus Open(const std::u16string& path, platform::Access access, unsigned busy_wait_ms,
                const KeepWaiting& keep_waiting = {});
  void Close();

  bool Size(std::uint64_t& size) const { return Kept(platform::GetFileSize(file_, size)); }
  bool Identity(platform::FileIdentity& identity) const { return Kept(platform::GetFileIdentity(file_, identity)); }
  bool IdentityAndSize(platform::FileIdentity& identity, std::uint64_t& size) const {
    return Kept(platform::GetFileIdentityAndSize(file_, identity, size));
  }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& done) const {
    return Kept(platform::ReadAt(file_, offset, buffer, size, done));
  }
  bool WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) const {
    return Kept(platform::WriteAt(file_, offset, buffer, size));
  }
  bool Flush() const { return Kept(platform::FlushFile(file_)); }
  bool Truncate(std::uint64_t size) const { return Kept(platform::TruncateFile(file_, size)); }

  // A status of `kind` naming this file; Failed carries why the last of its operations that
  // failed did so (none when what failed was no system call: a read cut short, say).
  IoStatus Status(IoStatus::Kind kind = IoStatus::Failed) const {
    return {kind, kind == IoStatus::Failed ? reason_ : platform::SystemFailure{}, path_};
  }

 private:
  bool Kept(bool ok) const {
    if (!ok) reason_ = platform::LastFailure();
    return ok;
  }

  platform::FileHandle file_{};
  bool open_ = false;
  std::u16string path_;
  mutable platform::SystemFailure reason_;  // of the last operation that failed
};

}  // namespace zentora
