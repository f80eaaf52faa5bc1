#include "storage/locked_file.h"

#include <algorithm>

namespace zentora {
namespace {

// The longest pause between two tries: short enough that the one waiting takes a file the
// others step aside from at once, and that a waiting dialog stays lively.
constexpr unsigned kLongestPauseMs = 10;

// An open lets one that already waits go first: it waits while that one's sign is up, which is
// lowered as soon as it holds the file (or gives up).
void StepAside(const std::u16string& path) {
  if (!platform::WaitSignRaised(path)) return;
  const std::uint64_t until = platform::MonotonicMs() + kLongestStepAsideMs;
  do {
    platform::SleepMs(1);
  } while (platform::WaitSignRaised(path) && platform::MonotonicMs() < until);
}

// This open's sign, up from the first try that found the file held until the open returns:
// never lowered between tries, or an open arriving in that moment would go first.
struct RaisedSign {
  platform::WaitSign sign;
  ~RaisedSign() { platform::LowerWaitSign(sign); }
};

}  // namespace

IoStatus LockedFile::Open(const std::u16string& path, platform::Access access, unsigned busy_wait_ms,
                          const KeepWaiting& keep_waiting) {
  Close();
  path_ = path;
  reason_ = {};
  StepAside(path);
  RaisedSign raised;
  std::uint64_t start = 0;
  bool waiting = false;  // the clock is read only once the file was found busy
  for (unsigned pause = 1;; pause = std::min(pause * 2, kLongestPauseMs)) {
    switch (platform::OpenExclusive(path, access, file_)) {
      case platform::OpenStatus::Ok:
        open_ = true;
        return IoStatus::Ok;
      case platform::OpenStatus::Failed:
        reason_ = platform::LastFailure();
        return Status(IoStatus::Failed);
      case platform::OpenStatus::NotRegularFile:
        return Status(IoStatus::NotRegularFile);
      case platform::OpenStatus::Busy:
        break;
    }
    if (!raised.sign) raised.sign = platform::RaiseWaitSign(path);
    const std::uint64_t now = platform::MonotonicMs();
    if (!waiting) start = now;
    waiting = true;
    const std::uint64_t waited = now - start;
    if (keep_waiting ? !keep_waiting(waited) : waited >= busy_wait_ms) return Status(IoStatus::Busy);
    const std::uint64_t left = keep_waiting ? pause : busy_wait_ms - waited;
    platform::SleepMs(static_cast<unsigned>(std::min<std::uint64_t>(pause, left)));
  }
}

void LockedFile::Close() {
  if (open_) platform::CloseFile(file_);
  open_ = false;
}

}  // namespace zentora
