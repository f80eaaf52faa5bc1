// Zentora's entry on Linux: the portable program on the FLTK desktop runner, with its
// databases in its home folder (beside the executable, or the user's data folder when
// installed: the build picks which).
#include <FL/fl_ask.H>

#include <exception>

#include "platform/system.h"
#include "shell/program_entry.h"

int main() {
  try {
    return zentora::RunZentora(zentora::platform::HomeFolder());
  } catch (const std::exception& failure) {
    // The last word of a run that could not go on, rather than a silent disappearance.
    fl_alert("%s", failure.what());
    return 1;
  }
}
