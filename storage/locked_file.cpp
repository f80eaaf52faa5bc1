#include "storage/locked_file.h"

#include <algorithm>

namespace zentora {
namespace {

// The longest pause between two tries: short enough that a writer takes a file a reader has
// stepped aside from at once, and that a waiting dialog stays lively.
constexpr unsigned kLongestPauseMs = 40;

bool Reads(platform::Access access) {
  return access == platform::Access::Read || access == platform::Access::ReadExisting;
}

// A reader lets a waiting writer go first: it waits while the writer's sign is up, which the
// writer lowers as soon as it holds the file (or gives up).
void StepAsideForWriter(const std::u16string& path) {
  if (!platform::WaitSignRaised(path)) return;
  const std::uint64_t until = platform::MonotonicMs() + kLongestStepAsideMs;
  do {
    platform::SleepMs(2);
  } while (platform::WaitSignRaised(path) && platform::MonotonicMs() < until);
}

// The writer's sign, up from the first try that found the file held until the open returns.
struct RaisedSign {
  platform::WaitSign sign;
  ~RaisedSign() { platform::LowerWaitSign(sign); }
};

}  // namespace

IoStatus LockedFile::Open(const std::u16string& path, platform::Access access, unsigned busy_wait_ms,
                          const KeepWaiting& keep_waiting) {
  Close();
  const bool reads = Reads(access);
  if (reads) StepAsideForWriter(path);
  RaisedSign raised;
  std::uint64_t start = 0;
  bool waiting = false;  // the clock is read only once the file was found busy
  for (unsigned pause = 5;; pause = std::min(pause * 2, kLongestPauseMs)) {
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
    if (!reads && !raised.sign) raised.sign = platform::RaiseWaitSign(path);
    const std::uint64_t now = platform::MonotonicMs();
    if (!waiting) start = now;
    waiting = true;
    const std::uint64_t waited = now - start;
    if (keep_waiting ? !keep_waiting(waited) : waited >= busy_wait_ms) return IoStatus::Busy;
    const std::uint64_t left = keep_waiting ? pause : busy_wait_ms - waited;
    platform::SleepMs(static_cast<unsigned>(std::min<std::uint64_t>(pause, left)));
  }
}

void LockedFile::Close() {
  if (open_) platform::CloseFile(file_);
  open_ = false;
}

}  // namespace zentora
