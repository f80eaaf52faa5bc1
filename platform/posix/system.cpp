#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

std::string Native(const std::u16string& path) { return Utf16ToFileName(path); }

int Fd(FileHandle file) { return static_cast<int>(file.value); }

thread_local SystemFailure last_failure;

// Keeps why a door failed, and answers the door's failure.
bool Failed(SystemFailure failure) {
  last_failure = failure;
  return false;
}
bool Failed(int error) { return Failed({CauseOfSystemError(error), error}); }
OpenStatus OpenFailed(OpenStatus status, int error) {
  Failed(status == OpenStatus::NotRegularFile ? SystemFailure{FailureCause::NotRegularFile, error}
                                              : SystemFailure{CauseOfSystemError(error), error});
  return status;
}

// Whatever stands at `path` when it is not a regular file: a folder, a pipe, a device...
bool NotRegularAt(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

// A file's wait sign is a shared lock on one byte of the file itself, far past any end it will
// reach: taking it needs the file opened for reading, what a reader of it has anyway, so a
// process that may not read the database cannot raise it (one that may could as well hold the
// file). The lock belongs to the open file description (an OFD lock), so it neither meets the
// flock that keeps the file exclusive nor goes when another descriptor of the file closes.
constexpr off_t kWaitSignByte = off_t{1} << 62;

struct flock SignRange(short type) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = kWaitSignByte;
  range.l_len = 1;
  return range;
}

// The regular file at `path`, opened for reading only to raise or look for its sign; -1 when
// there is none or it may not be read. O_NONBLOCK: a pipe put there is never waited on.
int OpenForSign(const std::string& path) {
  if (NotRegularAt(path)) return -1;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

char16_t PathSeparator() { return u'/'; }

FailureCause CauseOfSystemError(long long code) {
  switch (code) {
    case 0: return FailureCause::None;
    case ENOENT:
    case ENOTDIR: return FailureCause::NotFound;
    case EACCES:
    case EPERM:
    case EROFS: return FailureCause::Denied;
    // A file past the size the process may write is as full as a full disk to the writer.
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FailureCause::NoSpace;
    case ENAMETOOLONG: return FailureCause::NameTooLong;
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY: return FailureCause::Held;
    case EISDIR:
    case ENXIO: return FailureCause::NotRegularFile;
    default: return FailureCause::Other;
  }
}

SystemFailure LastFailure() { return last_failure; }

OpenStatus OpenExclusive(const std::u16string& path, Access access, FileHandle& out) {
  const std::string native = Native(path);
  // Checked before the open, so a device is never opened, and again on the open file, for
  // what was put at the path in between. O_NONBLOCK keeps the open of a pipe from waiting
  // for a writer or a reader.
  if (NotRegularAt(native)) return OpenFailed(OpenStatus::NotRegularFile, 0);
  const bool reads = access == Access::Read || access == Access::ReadExisting;
  const int mode = reads ? O_RDONLY : access == Access::Write ? O_WRONLY : O_RDWR;
  const int flags = mode | (access == Access::ReadExisting ? 0 : O_CREAT) | O_CLOEXEC | O_NONBLOCK;
  int fd = ::open(native.c_str(), flags, 0666);
  int error = errno;
  if (fd < 0 && access == Access::Read && error == EACCES) {
    // A file we may read but whose folder refuses creation: open it as it is. When it is not
    // there either, the refusal to make it is the reason.
    fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno != ENOENT) error = errno;
  }
  if (fd < 0) {
    const bool not_regular = error == EISDIR || error == ENXIO || NotRegularAt(native);
    return OpenFailed(not_regular ? OpenStatus::NotRegularFile : OpenStatus::Failed, error);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return OpenFailed(OpenStatus::NotRegularFile, 0);
  }
  // O_NONBLOCK stays: on a regular file, which this now is, reads and writes ignore it.
  // flock belongs to the open file description, so two opens exclude each other both
  // across processes and within one, as a Windows share mode of 0 does.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = errno;
    ::close(fd);
    return OpenFailed(error == EWOULDBLOCK ? OpenStatus::Busy : OpenStatus::Failed, error);
  }
  out.value = fd;
  return OpenStatus::Ok;
}

void CloseFile(FileHandle file) {
  if (file.value >= 0) ::close(Fd(file));
}

bool GetFileSize(FileHandle file, std::uint64_t& size) {
  struct stat st {};
  if (::fstat(Fd(file), &st) != 0) return Failed(errno);
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool GetFileIdentityAndSize(FileHandle file, FileIdentity& identity, std::uint64_t& size) {
  struct stat st {};
  if (::fstat(Fd(file), &st) != 0) return Failed(errno);
  identity = FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                          static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                              static_cast<std::uint64_t>(st.st_mtim.tv_nsec)};
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool ReadAt(FileHandle file, std::uint64_t offset, void* buffer, std::size_t size, std::size_t& done) {
  done = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (done < size) {
    const ssize_t n = ::pread(Fd(file), bytes + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failed(errno);
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
    if (n < 0) return Failed(errno);
    if (n == 0) return Failed(SystemFailure{FailureCause::Other, 0});
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool FlushFile(FileHandle file) { return ::fdatasync(Fd(file)) == 0 || Failed(errno); }

bool TruncateFile(FileHandle file, std::uint64_t size) {
  return ::ftruncate(Fd(file), static_cast<off_t>(size)) == 0 || Failed(errno);
}

WaitSign RaiseWaitSign(const std::u16string& path) {
  const int fd = OpenForSign(Native(path));
  if (fd < 0) return {};
  struct flock range = SignRange(F_RDLCK);
  if (::fcntl(fd, F_OFD_SETLK, &range) != 0) {
    ::close(fd);  // a file system without such locks: nothing to raise
    return {};
  }
  return WaitSign{fd};
}

void LowerWaitSign(WaitSign sign) {
  if (sign) ::close(static_cast<int>(sign.value));  // the lock goes with its file description
}

bool WaitSignRaised(const std::u16string& path) {
  const int fd = OpenForSign(Native(path));
  if (fd < 0) return false;
  struct flock range = SignRange(F_WRLCK);  // met by any sign up, in this process or another
  const bool raised = ::fcntl(fd, F_OFD_GETLK, &range) == 0 && range.l_type != F_UNLCK;
  ::close(fd);
  return raised;
}

bool PathExists(const std::u16string& path) {
  struct stat st {};
  return ::stat(Native(path).c_str(), &st) == 0;
}

bool IsFolder(const std::u16string& path) {
  struct stat st {};
  return ::stat(Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::u16string& path) { return ::mkdir(Native(path).c_str(), 0777) == 0 || Failed(errno); }

bool FileNameFits(const std::u16string& folder, const std::u16string& name) {
  // The nearest folder that exists answers for the file system the name would go on.
  std::string asked = Native(folder);
  struct stat st {};
  while (!asked.empty() && ::stat(asked.c_str(), &st) != 0) {
    const std::size_t slash = asked.find_last_of('/', asked.size() > 1 ? asked.size() - 2 : 0);
    asked = slash == std::string::npos ? std::string() : asked.substr(0, slash + 1);
  }
  if (asked.empty()) asked = ".";
  const long name_max = ::pathconf(asked.c_str(), _PC_NAME_MAX);
  const long path_max = ::pathconf(asked.c_str(), _PC_PATH_MAX);
  const std::size_t name_bytes = Native(name).size();
  const std::size_t path_bytes = Native(folder).size() + 1 + name_bytes;  // with the terminator
  return name_bytes <= static_cast<std::size_t>(name_max > 0 ? name_max : NAME_MAX) &&
         path_bytes <= static_cast<std::size_t>(path_max > 0 ? path_max : PATH_MAX);
}

std::vector<std::u16string> ListFolder(const std::u16string& folder) {
  std::vector<std::u16string> names;
  DIR* dir = ::opendir(Native(folder).c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;  // ".", ".." and hidden entries alike
    names.push_back(FileNameToUtf16(entry->d_name));
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
ReplaceStatus ReplaceableAt(const std::string& path, ReadOnlyTarget read_only, LinkAtTarget links) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return ReplaceStatus::Ok;
    Failed(errno);
    return ReplaceStatus::Failed;
  }
  // rename() replaces a link itself, whatever it points to.
  if (S_ISLNK(st.st_mode) && links == LinkAtTarget::Replace) return ReplaceStatus::Ok;
  if (!S_ISREG(st.st_mode)) {
    Failed(SystemFailure{FailureCause::NotRegularFile, 0});
    return ReplaceStatus::NotRegularFile;
  }
  // Without any write permission bit the file is read-only even to a process that could
  // write it anyway (root), as the read-only attribute is on Windows.
  const bool writable = (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
  if (writable || read_only == ReadOnlyTarget::Replace) return ReplaceStatus::Ok;
  Failed(SystemFailure{FailureCause::Denied, EACCES});
  return ReplaceStatus::ReadOnly;
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
    if (errno != EEXIST) {
      Failed(errno);
      return -1;
    }
  }
  Failed(EEXIST);
  return -1;
}

}  // namespace

ReplaceStatus WriteFileReplacing(const std::u16string& path, const void* data, std::size_t size,
                                 ReadOnlyTarget read_only, LinkAtTarget links) {
  const std::string target = Native(path);
  ReplaceStatus status = ReplaceableAt(target, read_only, links);
  if (status != ReplaceStatus::Ok) return status;
  std::string made;
  const int fd = CreateBeside(target, made);
  if (fd < 0) return ReplaceStatus::Failed;
  const FileHandle file{fd};
  const bool written = WriteAt(file, 0, data, size) && (::fsync(fd) == 0 || Failed(errno));
  const bool closed = ::close(fd) == 0 || Failed(errno);
  // Looked at again: something may have been put at the target while the bytes were written.
  // What is put there after this is replaced by the rename, never written through.
  status = written && closed ? ReplaceableAt(target, read_only, links) : ReplaceStatus::Failed;
  if (status == ReplaceStatus::Ok && ::rename(made.c_str(), target.c_str()) != 0) {
    Failed(errno);
    status = ReplaceStatus::Failed;
  }
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
    return FileNameToUtf16(buffer.substr(0, buffer.rfind('/') + 1));
  }();
  return folder;
}

bool NameFitsNarrowText(const std::u16string&) { return true; }

std::u16string CurrentFolder() {
  std::string buffer(PATH_MAX, '\0');
  if (!::getcwd(buffer.data(), buffer.size())) return u"./";
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  if (buffer.empty() || buffer.back() != '/') buffer += '/';
  return FileNameToUtf16(buffer);
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
  return FileNameToUtf16(folder);
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
