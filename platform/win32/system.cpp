#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/system.h"

namespace zentora::platform {
namespace {

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// Paths past MAX_PATH only work through the extended-length prefix.
std::wstring NativePath(const std::u16string& path) {
  std::wstring wide = Wide(path);
  if (wide.size() >= MAX_PATH && wide.size() > 2 && wide[1] == L':' && wide.compare(0, 4, L"\\\\?\\") != 0)
    wide.insert(0, L"\\\\?\\");
  return wide;
}

HANDLE Handle(FileHandle file) { return reinterpret_cast<HANDLE>(file.value); }

thread_local SystemFailure last_failure;

// Keeps why a door failed, and answers the door's failure.
bool Failed(SystemFailure failure) {
  last_failure = failure;
  return false;
}
bool Failed(DWORD error) { return Failed({CauseOfSystemError(error), static_cast<long long>(error)}); }
// A name longer than a file system takes (255 units), which the system may report as a path
// not found or a name not valid: said as the name too long it is.
DWORD NameError(DWORD error, const std::wstring& path) {
  if (error != ERROR_PATH_NOT_FOUND && error != ERROR_FILE_NOT_FOUND && error != ERROR_INVALID_NAME) return error;
  constexpr std::size_t kLongestName = 255;
  for (std::size_t start = 0;;) {
    const std::size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
    if (end - start > kLongestName) return ERROR_FILENAME_EXCED_RANGE;
    if (end == path.size()) return error;
    start = end + 1;
  }
}

OpenStatus OpenFailed(OpenStatus status, DWORD error) {
  Failed(status == OpenStatus::NotRegularFile ? SystemFailure{FailureCause::NotRegularFile, error}
                                              : SystemFailure{CauseOfSystemError(error), error});
  return status;
}

std::string Ansi(const std::u16string& text) {
  const std::wstring wide = Wide(text);
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// The name of a file's wait sign: a named event of the session, after the file's full path
// in upper case (names of files are compared without case), hashed to fit an object name.
// The event lives in the logon session's own namespace (Local\), where only processes of that
// session can make or open objects: another user's process runs in a session of its own and
// can neither raise the sign nor stand in its place. (A lock on a byte range of the file, the
// Linux sign, cannot serve here: a file held without sharing cannot be opened to lock it.)
std::wstring WaitSignName(const std::u16string& path) {
  const std::wstring native = NativePath(path);
  const DWORD n = GetFullPathNameW(native.c_str(), 0, nullptr, nullptr);
  std::wstring full(n, L'\0');
  const DWORD got = n == 0 ? 0 : GetFullPathNameW(native.c_str(), n, full.data(), nullptr);
  full.resize(got > 0 && got < n ? got : 0);
  if (full.empty()) full = native;
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (wchar_t unit : full) {
    hash = (hash ^ static_cast<std::uint16_t>(unit)) * 1099511628211ull;
  }
  std::wstring name = L"Local\\ZentoraWait.";
  for (int shift = 60; shift >= 0; shift -= 4) name += L"0123456789abcdef"[(hash >> shift) & 0xF];
  return name;
}

// The profile functions open whatever stands at the name: only a regular file, or nothing
// yet, is handed to them, so a pipe or a device there is neither waited on nor written.
bool ProfileFileUsable(const std::u16string& path) {
  const std::wstring native = NativePath(path);
  const DWORD attributes = GetFileAttributesW(native.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  // Asking for no access to the data opens even a file held without sharing, and reads nothing.
  HANDLE h = CreateFileW(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return true;  // the profile functions will say what they find
  const bool disk = GetFileType(h) == FILE_TYPE_DISK;
  CloseHandle(h);
  return disk;
}

}  // namespace

char16_t PathSeparator() { return u'\\'; }

FailureCause CauseOfSystemError(long long code) {
  switch (code) {
    case ERROR_SUCCESS: return FailureCause::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return FailureCause::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED: return FailureCause::Denied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_FILE_TOO_LARGE: return FailureCause::NoSpace;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return FailureCause::NameTooLong;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return FailureCause::Held;
    case ERROR_DIRECTORY: return FailureCause::NotRegularFile;
    default: return FailureCause::Other;
  }
}

SystemFailure LastFailure() { return last_failure; }

OpenStatus OpenExclusive(const std::u16string& path, Access access, FileHandle& out) {
  const bool reads = access == Access::Read || access == Access::ReadExisting;
  const DWORD desired = reads                     ? GENERIC_READ
                        : access == Access::Write ? GENERIC_WRITE
                                                  : GENERIC_READ | GENERIC_WRITE;
  const DWORD disposition = access == Access::ReadExisting ? OPEN_EXISTING : OPEN_ALWAYS;
  const std::wstring native = NativePath(path);
  HANDLE h = CreateFileW(native.c_str(), desired, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return OpenFailed(OpenStatus::Busy, error);
    // A folder cannot be opened as a file: say what stands there.
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return OpenFailed(OpenStatus::NotRegularFile, error);
    return OpenFailed(OpenStatus::Failed, NameError(error, native));
  }
  // A pipe or a device (a console, a port) answers to a file name too.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return OpenFailed(OpenStatus::NotRegularFile, ERROR_SUCCESS);
  }
  out.value = reinterpret_cast<std::intptr_t>(h);
  return OpenStatus::Ok;
}

void CloseFile(FileHandle file) {
  if (file.value != -1) CloseHandle(Handle(file));
}

bool GetFileSize(FileHandle file, std::uint64_t& size) {
  LARGE_INTEGER value;
  if (!GetFileSizeEx(Handle(file), &value)) return Failed(GetLastError());
  size = static_cast<std::uint64_t>(value.QuadPart);
  return true;
}

bool GetFileIdentityAndSize(FileHandle file, FileIdentity& identity, std::uint64_t& size) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(Handle(file), &info)) return Failed(GetLastError());
  identity = FileIdentity{info.dwVolumeSerialNumber,
                          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                          (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                              info.ftLastWriteTime.dwLowDateTime};
  size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

namespace {

// A read or write at a 64-bit position goes through OVERLAPPED, and in pieces of at most
// 1 GiB, since one call takes a 32-bit length.
OVERLAPPED PositionOf(std::uint64_t position) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(position);
  at.OffsetHigh = static_cast<DWORD>(position >> 32);
  return at;
}
DWORD ChunkOf(std::size_t left) { return static_cast<DWORD>(left > 0x40000000 ? 0x40000000 : left); }

}  // namespace

bool ReadAt(FileHandle file, std::uint64_t offset, void* buffer, std::size_t size, std::size_t& done) {
  done = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (done < size) {
    OVERLAPPED at = PositionOf(offset + done);
    DWORD n = 0;
    if (!ReadFile(Handle(file), bytes + done, ChunkOf(size - done), &n, &at)) {
      const DWORD error = GetLastError();
      return error == ERROR_HANDLE_EOF || Failed(error);
    }
    if (n == 0) break;
    done += n;
  }
  return true;
}

bool WriteAt(FileHandle file, std::uint64_t offset, const void* buffer, std::size_t size) {
  std::size_t done = 0;
  const auto* bytes = static_cast<const char*>(buffer);
  while (done < size) {
    OVERLAPPED at = PositionOf(offset + done);
    DWORD n = 0;
    if (!WriteFile(Handle(file), bytes + done, ChunkOf(size - done), &n, &at)) return Failed(GetLastError());
    if (n == 0) return Failed(SystemFailure{FailureCause::Other, 0});
    done += n;
  }
  return true;
}

bool FlushFile(FileHandle file) { return FlushFileBuffers(Handle(file)) != 0 || Failed(GetLastError()); }

bool TruncateFile(FileHandle file, std::uint64_t size) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(size);
  return (SetFilePointerEx(Handle(file), at, nullptr, FILE_BEGIN) != 0 && SetEndOfFile(Handle(file)) != 0) ||
         Failed(GetLastError());
}

WaitSign RaiseWaitSign(const std::u16string& path) {
  if (GetFileAttributesW(NativePath(path).c_str()) == INVALID_FILE_ATTRIBUTES) return {};
  // Every waiting writer holds the event open; it lives while one of them does.
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, WaitSignName(path).c_str());
  if (event == nullptr) return {};
  return WaitSign{reinterpret_cast<std::intptr_t>(event)};
}

void LowerWaitSign(WaitSign sign) {
  if (sign) CloseHandle(reinterpret_cast<HANDLE>(sign.value));
}

bool WaitSignRaised(const std::u16string& path) {
  HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, WaitSignName(path).c_str());
  if (event == nullptr) return false;
  CloseHandle(event);
  return true;
}

bool PathExists(const std::u16string& path) {
  return GetFileAttributesW(NativePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(NativePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolder(const std::u16string& path) {
  const std::wstring native = NativePath(path);
  return CreateDirectoryW(native.c_str(), nullptr) != 0 || Failed(NameError(GetLastError(), native));
}

bool FileNameFits(const std::u16string& folder, const std::u16string& name) {
  const std::u16string path = folder + name;
  // Past MAX_PATH a path works only through the extended-length prefix, which only a path
  // from a drive letter is given (NativePath), and that prefix has a limit of its own.
  const bool from_drive = path.size() > 2 && path[1] == u':';
  if (path.size() >= 32767 - 4 || (path.size() >= MAX_PATH && !from_drive)) return false;
  // The volume says how long one name may be (255 on the usual file systems).
  DWORD longest = 255;
  wchar_t root[MAX_PATH + 1] = {};
  if (GetVolumePathNameW(NativePath(folder.empty() ? u"." : folder).c_str(), root, MAX_PATH + 1)) {
    DWORD found = 0;
    if (GetVolumeInformationW(root, nullptr, 0, nullptr, &found, nullptr, nullptr, 0) && found > 0) longest = found;
  }
  return name.size() <= longest;
}

std::vector<std::u16string> ListFolder(const std::u16string& folder) {
  std::vector<std::u16string> names;
  std::u16string pattern = folder;
  if (!pattern.empty() && pattern.back() != u'\\') pattern += u'\\';
  pattern += u'*';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(NativePath(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    names.emplace_back(name.begin(), name.end());
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

namespace {

constexpr DWORD kProtecting = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A folder, or a link or junction (a reparse point), is never a regular file here.
bool NotRegular(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) != 0;
}

}  // namespace

bool DeleteFileForced(const std::u16string& path) {
  const std::wstring native = NativePath(path);
  const DWORD attributes = GetFileAttributesW(native.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || NotRegular(attributes)) return false;
  SetFileAttributesW(native.c_str(), attributes & ~kProtecting);
  return DeleteFileW(native.c_str()) != 0;
}

namespace {

// A new file of a unique name beside `path`, created new and exclusively, never through a link.
HANDLE CreateBeside(const std::wstring& path, std::wstring& made) {
  const std::size_t separator = path.find_last_of(L"\\/");
  const std::wstring folder = separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
  const std::wstring name = path.substr(folder.size()).substr(0, 160);
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    made = folder + L"." + name + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring((GetTickCount64() + attempt) % 1000000) + L".part";
    HANDLE h = CreateFileW(made.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      Failed(NameError(error, made));
      break;
    }
  }
  return INVALID_HANDLE_VALUE;
}

// What stands at a target about to be replaced; `attributes` is INVALID when nothing does.
ReplaceStatus ReplaceableAt(const std::wstring& path, ReadOnlyTarget read_only, LinkAtTarget links,
                            DWORD& attributes) {
  attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return ReplaceStatus::Ok;
    Failed(NameError(error, path));
    return ReplaceStatus::Failed;
  }
  // A link to a file is replaced by the move, the link itself; its attributes are left alone
  // (setting them would reach through it). A junction or a link to a folder stands.
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
      links == LinkAtTarget::Replace) {
    attributes = INVALID_FILE_ATTRIBUTES;
    return ReplaceStatus::Ok;
  }
  if (NotRegular(attributes)) {
    Failed(SystemFailure{FailureCause::NotRegularFile, 0});
    return ReplaceStatus::NotRegularFile;
  }
  const bool read_only_file = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (!read_only_file || read_only == ReadOnlyTarget::Replace) return ReplaceStatus::Ok;
  Failed(SystemFailure{FailureCause::Denied, ERROR_ACCESS_DENIED});
  return ReplaceStatus::ReadOnly;
}

}  // namespace

ReplaceStatus WriteFileReplacing(const std::u16string& path, const void* data, std::size_t size,
                                 ReadOnlyTarget read_only, LinkAtTarget links) {
  const std::wstring target = NativePath(path);
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  ReplaceStatus status = ReplaceableAt(target, read_only, links, attributes);
  if (status != ReplaceStatus::Ok) return status;
  std::wstring made;
  HANDLE h = CreateBeside(target, made);
  if (h == INVALID_HANDLE_VALUE) return ReplaceStatus::Failed;
  const FileHandle file{reinterpret_cast<std::intptr_t>(h)};
  const bool written = WriteAt(file, 0, data, size) && (FlushFileBuffers(h) != 0 || Failed(GetLastError()));
  const bool closed = CloseHandle(h) != 0 || Failed(GetLastError());
  // Looked at again: something may have been put at the target while the bytes were written.
  // What is put there after this is replaced by the move, never written through.
  status = written && closed ? ReplaceableAt(target, read_only, links, attributes) : ReplaceStatus::Failed;
  // A read-only, hidden or system file refuses to be replaced: those attributes go first,
  // as they would before deleting it, and come back when the move fails.
  const bool cleared = status == ReplaceStatus::Ok && attributes != INVALID_FILE_ATTRIBUTES &&
                       (attributes & kProtecting) != 0 &&
                       SetFileAttributesW(target.c_str(), attributes & ~kProtecting) != 0;
  if (status == ReplaceStatus::Ok &&
      !MoveFileExW(made.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Failed(NameError(GetLastError(), target));
    if (cleared) SetFileAttributesW(target.c_str(), attributes);
    status = ReplaceStatus::Failed;
  }
  if (status != ReplaceStatus::Ok) DeleteFileW(made.c_str());
  return status;
}

std::u16string ProgramFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return u".\\";
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);  // keep long paths whole
  }
  buffer.resize(buffer.rfind(L'\\') + 1);
  return std::u16string(buffer.begin(), buffer.end());
}

bool NameFitsNarrowText(const std::u16string& name) {
  if (name.empty()) return true;
  const auto* wide = reinterpret_cast<const wchar_t*>(name.data());
  const int length = static_cast<int>(name.size());
  BOOL replaced = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &replaced);
  if (bytes <= 0 || replaced) return false;
  // The way back must give the same name: a caller's bytes are read with CP_ACP too.
  std::string narrow(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, narrow.data(), bytes, nullptr, nullptr);
  const int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), bytes, nullptr, 0);
  std::wstring back(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), bytes, back.data(), units);
  return back.size() == name.size() && std::equal(back.begin(), back.end(), name.begin());
}

std::u16string CurrentFolder() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring buffer(n, L'\0');
  const DWORD got = GetCurrentDirectoryW(n, buffer.data());
  if (got == 0 || got >= n) return u".\\";
  buffer.resize(got);
  if (buffer.back() != L'\\') buffer += L'\\';
  return std::u16string(buffer.begin(), buffer.end());
}

std::vector<std::u16string> FixedDrives() {
  std::vector<std::u16string> drives;
  const DWORD mask = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (!(mask & (1u << letter))) continue;
    const char root[] = {static_cast<char>('A' + letter), ':', '\\', '\0'};
    if (GetDriveTypeA(root) == DRIVE_FIXED) drives.push_back(std::u16string(root, root + 3));
  }
  return drives;
}

std::u16string UserCacheFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) return ProgramFolder();
  return std::u16string(buffer, buffer + n);
}

std::string ReadIniString(const std::string& section, const std::string& key, const std::string& fallback,
                             const std::u16string& path) {
  if (!ProfileFileUsable(path)) {
    std::string trimmed = fallback;  // as the profile function gives a default: no trailing blanks
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
    return trimmed;
  }
  char buffer[260] = {};
  GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer, sizeof buffer,
                           Ansi(path).c_str());
  return buffer;
}

bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                        const std::u16string& path) {
  if (!ProfileFileUsable(path)) return false;
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), Ansi(path).c_str()) != 0;
}

std::uint32_t TimeOfDayMs() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
}

std::uint64_t MonotonicMs() { return GetTickCount64(); }

void SleepMs(unsigned milliseconds) { Sleep(milliseconds); }

bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace zentora::platform
