// A user for whom permission bits count: `body` runs in a forked child which, when the tests
// run as root (whom no permission bit stops), first becomes the unprivileged user "nobody".
// Returns the child's exit code: what `body` returned, 3 when it threw, kCannotDropPrivilege
// when root could not become another user, -1 when the child did not exit normally.
#pragma once
#include <grp.h>
#include <unistd.h>

#include "support/forked_child.h"

namespace zentora::testing {

inline constexpr int kCannotDropPrivilege = 77;
inline constexpr unsigned kNobody = 65534;

template <typename Body>
int AsUnprivilegedUser(Body body) {
  return InForkedChild([&]() -> int {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
      return kCannotDropPrivilege;
    return body();
  });
}

}  // namespace zentora::testing
