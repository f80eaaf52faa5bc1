// A database file opened without sharing for the length of one operation.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/system.h"
#include "storage/io_status.h"

namespace zentora {

class LockedFile {
 public:
  LockedFile() = default;
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  ~LockedFile() { Close(); }

  // Opens (creating when absent); a file held by another program is retried until
  // `busy_wait_ms` have passed, then Busy.
  IoStatus Open(const std::u16string& path, platform::Access access, unsigned busy_wait_ms);
  void Close();

  bool Size(std::uint64_t& size) const { return platform::GetFileSize(file_, size); }
  bool Identity(platform::FileIdentity& identity) const { return platform::GetFileIdentity(file_, identity); }
  bool IdentityAndSize(platform::FileIdentity& identity, std::uint64_t& size) const {
    return platform::GetFileIdentityAndSize(file_, identity, size);
  }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& done) const {
    return platform::ReadAt(file_, offset, buffer, size, done);
  }
  bool WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) const {
    return platform::WriteAt(file_, offset, buffer, size);
  }
  bool Flush() const { return platform::FlushFile(file_); }
  bool Truncate(std::uint64_t size) const { return platform::TruncateFile(file_, size); }

 private:
  platform::FileHandle file_{};
  bool open_ = false;
};

}  // namespace zentora
