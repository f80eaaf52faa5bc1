#include "storage/locked_file.h"

#include <algorithm>

namespace zentora {

IoStatus LockedFile::Open(const std::u16string& path, platform::Access access, unsigned busy_wait_ms) {
  Close();
  std::uint64_t deadline = 0;
  bool waiting = false;  // the clock is read only once the file was found busy
  for (unsigned pause = 5;; pause = pause < 80 ? pause * 2 : pause) {
    switch (platform::OpenExclusive(path, access, file_)) {
      case platform::OpenStatus::Ok:
        open_ = true;
        return IoStatus::Ok;
      case platform::OpenStatus::Failed:
        return IoStatus::Failed;
      case platform::OpenStatus::NotRegularFile:
        return IoStatus::NotRegularFile;
      case platform::OpenStatus::Busy:
        break;
    }
    const std::uint64_t now = platform::MonotonicMs();
    if (!waiting) deadline = now + busy_wait_ms;
    waiting = true;
    if (now >= deadline) return IoStatus::Busy;
    platform::SleepMs(static_cast<unsigned>(std::min<std::uint64_t>(pause, deadline - now)));
  }
}

void LockedFile::Close() {
  if (open_) platform::CloseFile(file_);
  open_ = false;
}

}  // namespace zentora
