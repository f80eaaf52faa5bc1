// A full disk made cheaply on POSIX: `body` runs in a forked child whose files may not grow
// past `limit` bytes (SIGXFSZ ignored, so a write just fails). Returns the child's exit code:
// what `body` returned, 3 when it threw, -1 when the child did not exit normally.
#pragma once
#include <sys/resource.h>

#include <csignal>

#include "support/forked_child.h"

namespace zentora::testing {

template <typename Body>
int WithFileSizeLimit(rlim_t limit, Body body) {
  return InForkedChild([&]() -> int {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{limit, limit};
    setrlimit(RLIMIT_FSIZE, &small);
    return body();
  });
}

}  // namespace zentora::testing
