// Databases and the configuration beside the program: Zentora.exe as it has always been
// installed (unzipped anywhere, its folder writable), and the development builds on Linux.
#include "platform/system.h"

namespace zentora::platform {

std::u16string HomeFolder(MakeHome) { return ProgramFolder(); }

}  // namespace zentora::platform
