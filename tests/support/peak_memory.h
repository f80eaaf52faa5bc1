// How much memory a piece of work takes at its peak, measured on POSIX in a forked child so
// that nothing the test process held before counts: the growth of the child's peak resident
// size. (An address-space limit cannot serve here: the sanitizers reserve terabytes of it.)
#pragma once
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>

namespace zentora::testing {

struct PeakGrowth {
  int code = -1;               // what `body` returned; -1 when the child did not exit normally
  std::int64_t bytes = -1;     // the peak resident size's growth while `body` ran
};

template <typename Body>
PeakGrowth MeasurePeakGrowth(Body body) {
  int channel[2];
  if (::pipe(channel) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    const int code = body();
    ::getrusage(RUSAGE_SELF, &after);
    const std::int64_t grown = (std::int64_t{after.ru_maxrss} - before.ru_maxrss) * 1024;  // kilobytes on Linux
    const bool sent = ::write(channel[1], &grown, sizeof grown) == sizeof grown;
    ::_exit(sent ? code : 99);
  }
  ::close(channel[1]);
  PeakGrowth growth;
  if (::read(channel[0], &growth.bytes, sizeof growth.bytes) != sizeof growth.bytes) growth.bytes = -1;
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  growth.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return growth;
}

}  // namespace zentora::testing
