// The system's error numbers in the causes a user can act on.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/system.h"

namespace zentora {
namespace {

using platform::FailureCause;

TEST(FailureCause, EachErrorNumberHasItsCause) {
  const struct {
    DWORD error;
    FailureCause cause;
  } cases[] = {
      {ERROR_SUCCESS, FailureCause::None},
      {ERROR_FILE_NOT_FOUND, FailureCause::NotFound},
      {ERROR_PATH_NOT_FOUND, FailureCause::NotFound},
      {ERROR_ACCESS_DENIED, FailureCause::Denied},
      {ERROR_WRITE_PROTECT, FailureCause::Denied},
      {ERROR_DISK_FULL, FailureCause::NoSpace},
      {ERROR_HANDLE_DISK_FULL, FailureCause::NoSpace},
      {ERROR_FILENAME_EXCED_RANGE, FailureCause::NameTooLong},
      {ERROR_SHARING_VIOLATION, FailureCause::Held},
      {ERROR_LOCK_VIOLATION, FailureCause::Held},
      {ERROR_DIRECTORY, FailureCause::NotRegularFile},
      {ERROR_NOT_ENOUGH_MEMORY, FailureCause::Other},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    EXPECT_EQ(platform::CauseOfSystemError(c.error), c.cause);
  }
}

}  // namespace
}  // namespace zentora
