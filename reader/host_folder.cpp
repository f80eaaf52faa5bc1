#include "reader/host_folder.h"

#include <mutex>
#include <utility>

#include "platform/system.h"

namespace zentora::reader {
namespace {

struct ChosenFolder {
  std::mutex lock;
  std::u16string folder;
};

ChosenFolder& Chosen() {
  static ChosenFolder chosen;
  return chosen;
}

}  // namespace

void ChooseHostFolder(std::u16string folder) {
  ChosenFolder& chosen = Chosen();
  const std::lock_guard<std::mutex> hold(chosen.lock);
  chosen.folder = std::move(folder);
}

std::u16string HostFolder() {
  {
    ChosenFolder& chosen = Chosen();
    const std::lock_guard<std::mutex> hold(chosen.lock);
    if (!chosen.folder.empty()) return chosen.folder;
  }
  return platform::HomeFolder(platform::MakeHome::No);
}

std::int32_t StatusCode(AttachmentResult result) {
  switch (result) {
    case AttachmentResult::Written: return kStatusWritten;
    case AttachmentResult::Missing: return kStatusMissing;
    case AttachmentResult::NotWritten: break;
  }
  return kStatusNotWritten;
}

std::int32_t StatusCode(ReadOutcome outcome) {
  switch (outcome) {
    case ReadOutcome::Answered: return kStatusFound;
    case ReadOutcome::Missing: return kStatusMissing;
    case ReadOutcome::NotWritten: return kStatusNotWritten;
    case ReadOutcome::Busy: return kStatusBusy;
    case ReadOutcome::NoDatabase: return kStatusNoDatabase;
    case ReadOutcome::Unreadable: return kStatusUnreadable;
    case ReadOutcome::NoMemory: break;
  }
  return kStatusNoMemory;
}

}  // namespace zentora::reader
