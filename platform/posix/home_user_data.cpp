// Databases and the configuration in the user's data folder: the installed Linux program
// lives in /usr/bin, where nobody but root may write.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/encoding.h"
#include "platform/system.h"

namespace zentora::platform {
namespace {

// The base of the user's data folders as the XDG rules name it: $XDG_DATA_HOME when it is
// an absolute path (a relative or empty one is to be ignored), else ~/.local/share.
std::string DataHome() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && *xdg == '/') return xdg;
  std::string home;
  if (const char* variable = std::getenv("HOME"); variable && *variable) {
    home = variable;
  } else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) {
    home = user->pw_dir;  // started without a HOME, as from some service managers
  } else {
    home = "/tmp";
  }
  if (home.back() != '/') home += '/';
  return home + ".local/share";
}

// mkdir -p: every missing folder of `path` (which ends with '/') in turn.
void CreateFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    ::mkdir(path.substr(0, slash).c_str(), 0700);
}

}  // namespace

std::u16string HomeFolder(MakeHome make) {
  std::string folder = DataHome();
  if (folder.back() != '/') folder += '/';
  folder += "zentora/";
  // A folder that cannot be made shows later, as a database or configuration that cannot
  // be written, where the program reports it. Asked on every call of the library: one look
  // when the folder is there.
  struct stat st {};
  if (make == MakeHome::Yes && ::stat(folder.c_str(), &st) != 0) CreateFolders(folder);
  return FileNameToUtf16(folder);
}

}  // namespace zentora::platform
