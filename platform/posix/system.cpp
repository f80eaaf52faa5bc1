#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "platform/encoding.h"
#include "platform/system.h"

namespace zentora::platform {
namespace {

std::string Native(const std::u16string& path) { return Utf16ToUtf8(path); }

int Fd(FileHandle file) { return static_cast<int>(file.value); }

// Whatever stands at `path` when it is not a regular file: a folder, a pipe, a device...
bool NotRegularAt(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

// The name of a file's wait sign: a socket address in the abstract namespace (no file made
// anywhere), after the file's device and inode, so that every spelling of its path agrees.
bool WaitSignAddress(const std::u16string& path, sockaddr_un& address, socklen_t& length) {
  struct stat st {};
  if (::stat(Native(path).c_str(), &st) != 0) return false;
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  const int n = std::snprintf(address.sun_path + 1, sizeof address.sun_path - 1, "zentora-wait-%llx-%llx",
                              static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino));
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(n));
  return true;
}

}  // namespace

char16_t PathSeparator() { return u'/'; }

OpenStatus OpenExclusive(const std::u16string& path, Access access, FileHandle& out) {
  const std::string native = Native(path);
  // Checked before the open, so a device is never opened, and again on the open file, for
  // what was put at the path in between. O_NONBLOCK keeps the open of a pipe from waiting
  // for a writer or a reader.
  if (NotRegularAt(native)) return OpenStatus::NotRegularFile;
  const bool reads = access == Access::Read || access == Access::ReadExisting;
  const int mode = reads ? O_RDONLY : access == Access::Write ? O_WRONLY : O_RDWR;
  const int flags = mode | (access == Access::ReadExisting ? 0 : O_CREAT) | O_CLOEXEC | O_NONBLOCK;
  int fd = ::open(native.c_str(), flags, 0666);
  if (fd < 0 && access == Access::Read && errno == EACCES) {
    // A file we may read but whose folder refuses creation: open it as it is.
    fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  }
  if (fd < 0) return errno == EISDIR || errno == ENXIO || NotRegularAt(native) ? OpenStatus::NotRegularFile
                                                                                 : OpenStatus::Failed;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return OpenStatus::NotRegularFile;
  }
  // O_NONBLOCK stays: on a regular file, which this now is, reads and writes ignore it.
  // flock belongs to the open file description, so two opens exclude each other both
  // across processes and within one, as a Windows share mode of 0 does.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return busy ? OpenStatus::Busy : OpenStatus::Failed;
  }
  out.value = fd;
  return OpenStatus::Ok;
}

void CloseFile(FileHandle file) {
  if (file.value >= 0) ::close(Fd(file));
}

bool GetFileSize(FileHandle file, std::uint64_t& size) {
  struct stat st {};
  if (::fstat(Fd(file), &st) != 0) return false;
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool GetFileIdentityAndSize(FileHandle file, FileIdentity& identity, std::uint64_t& size) {
  struct stat st {};
  if (::fstat(Fd(file), &st) != 0) return false;
  identity = FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool ReadAt(FileHandle file, std::uint64_t offset, void* buffer, std::size_t size, std::size_t& done) {
  done = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (done < size) {
    const ssize_t n = ::pread(Fd(file), bytes + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAt(FileHandle file, std::uint64_t offset, const void* buffer, std::size_t size) {
  std::size_t done = 0;
  const auto* bytes = static_cast<const char*>(buffer);
  while (done < size) {
    const ssize_t n = ::pwrite(Fd(file), bytes + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool FlushFile(FileHandle file) { return ::fdatasync(Fd(file)) == 0; }

bool TruncateFile(FileHandle file, std::uint64_t size) { return ::ftruncate(Fd(file), static_cast<off_t>(size)) == 0; }

WaitSign RaiseWaitSign(const std::u16string& path) {
  sockaddr_un address;
  socklen_t length = 0;
  if (!WaitSignAddress(path, address, length)) return {};
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return {};
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    ::close(fd);  // another writer's sign is up (or sockets are refused): nothing to raise
    return {};
  }
  return WaitSign{fd};
}

void LowerWaitSign(WaitSign sign) {
  if (sign) ::close(static_cast<int>(sign.value));
}

bool WaitSignRaised(const std::u16string& path) {
  sockaddr_un address;
  socklen_t length = 0;
  if (!WaitSignAddress(path, address, length)) return false;
  // Every open asks, so each thread keeps one socket for the asking: a datagram socket may be
  // connected again and again, and a connect reaches a bound name and is refused where none is.
  struct Asker {
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ~Asker() {
      if (fd >= 0) ::close(fd);
    }
  };
  thread_local const Asker asker;
  if (asker.fd < 0) return false;
  if (::connect(asker.fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) return false;
  const sockaddr none{AF_UNSPEC, {}};
  ::connect(asker.fd, &none, sizeof none);  // holds on to no one's sign
  return true;
}

bool PathExists(const std::u16string& path) {
  struct stat st {};
  return ::stat(Native(path).c_str(), &st) == 0;
}

bool IsFolder(const std::u16string& path) {
  struct stat st {};
  return ::stat(Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::u16string& path) { return ::mkdir(Native(path).c_str(), 0777) == 0; }

std::vector<std::u16string> ListFolder(const std::u16string& folder) {
  std::vector<std::u16string> names;
  DIR* dir = ::opendir(Native(folder).c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;  // ".", ".." and hidden entries alike
    names.push_back(Utf8ToUtf16(entry->d_name));
  }
  ::closedir(dir);
  return names;
}

// Unlinking needs no permission on the file itself, so nothing is chmod-ed: a chmod would
// follow a link.
bool DeleteFileForced(const std::u16string& path) {
  const std::string native = Native(path);
  struct stat st {};
  if (::lstat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return ::unlink(native.c_str()) == 0;
}

namespace {

// What stands at a target about to be replaced: nothing or a regular file may be replaced.
ReplaceStatus ReplaceableAt(const std::string& path, ReadOnlyTarget read_only) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? ReplaceStatus::Ok : ReplaceStatus::Failed;
  if (!S_ISREG(st.st_mode)) return ReplaceStatus::NotRegularFile;
  // Without any write permission bit the file is read-only even to a process that could
  // write it anyway (root), as the read-only attribute is on Windows.
  const bool writable = (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
  return writable || read_only == ReadOnlyTarget::Replace ? ReplaceStatus::Ok : ReplaceStatus::ReadOnly;
}

// A new file of a unique name beside `path`, hidden, created exclusively and never through a link.
int CreateBeside(const std::string& path, std::string& made) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  // Kept short enough that the new name fits wherever the target's does.
  const std::string name = path.substr(folder.size()).substr(0, 160);
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    made = folder + "." + name + "." + std::to_string(::getpid()) + "-" +
           std::to_string((MonotonicMs() + attempt) % 1000000) + ".part";
    const int fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::flock(fd, LOCK_EX | LOCK_NB);  // new and unnamed elsewhere: nobody else holds it
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

}  // namespace

ReplaceStatus WriteFileReplacing(const std::u16string& path, const void* data, std::size_t size,
                                 ReadOnlyTarget read_only) {
  const std::string target = Native(path);
  ReplaceStatus status = ReplaceableAt(target, read_only);
  if (status != ReplaceStatus::Ok) return status;
  std::string made;
  const int fd = CreateBeside(target, made);
  if (fd < 0) return ReplaceStatus::Failed;
  const FileHandle file{fd};
  const bool written = WriteAt(file, 0, data, size) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  // Looked at again: something may have been put at the target while the bytes were written.
  // What is put there after this is replaced by the rename, never written through.
  status = written && closed ? ReplaceableAt(target, read_only) : ReplaceStatus::Failed;
  if (status == ReplaceStatus::Ok && ::rename(made.c_str(), target.c_str()) != 0) status = ReplaceStatus::Failed;
  if (status != ReplaceStatus::Ok) ::unlink(made.c_str());
  return status;
}

std::u16string ProgramFolder() {
  // Asked on every call of the library: the running program's file is looked up once.
  static const std::u16string folder = [] {
    std::string buffer(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0) return std::u16string(u"./");
    buffer.resize(static_cast<std::size_t>(n));
    return Utf8ToUtf16(buffer.substr(0, buffer.rfind('/') + 1));
  }();
  return folder;
}

bool NameFitsNarrowText(const std::u16string&) { return true; }

std::u16string CurrentFolder() {
  std::string buffer(PATH_MAX, '\0');
  if (!::getcwd(buffer.data(), buffer.size())) return u"./";
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  if (buffer.empty() || buffer.back() != '/') buffer += '/';
  return Utf8ToUtf16(buffer);
}

std::vector<std::u16string> FixedDrives() { return {}; }

std::u16string UserCacheFolder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  std::string folder;
  if (xdg && *xdg == '/') {
    folder = xdg;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home && *home ? home : "/tmp") + "/.cache";
  }
  if (folder.back() != '/') folder += '/';
  return Utf8ToUtf16(folder);
}

std::uint32_t TimeOfDayMs() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local {};
  ::localtime_r(&seconds, &local);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return static_cast<std::uint32_t>(((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000 + ms);
}

std::uint64_t MonotonicMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

void SleepMs(unsigned milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace zentora::platform
