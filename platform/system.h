// The one door between the portable core and the operating system for files, folders,
// drives, the INI profile and time. Each build links exactly one implementation
// (posix/system.cpp or win32/system.cpp); there is no dispatch at run time.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zentora::platform {

// '\\' on Windows, '/' elsewhere: folders handed out by this layer end with it.
char16_t PathSeparator();

struct FileHandle {
  std::intptr_t value = -1;
};

// ReadExisting reads as Read does, but a missing file is Failed rather than made.
// ReadWrite: a writer that must read what the file holds within the same hold.
enum class Access { Read, Write, ReadExisting, ReadWrite };

// Why the system refused a file or folder operation, in the few causes a user can act on;
// the system's own number (errno, or GetLastError on Windows) stays beside it for the rest.
enum class FailureCause {
  None,            // nothing failed (or a failure the system gave no reason for)
  NotFound,        // no such file or folder on the way
  Denied,          // no permission, or read-only (the file, the folder or the whole disk)
  NoSpace,         // the disk (or the quota, or the size a file may grow to) is full
  NameTooLong,     // a name or the whole path is longer than the file system takes
  Held,            // another program holds the file open
  NotRegularFile,  // a folder, a pipe or a device stands where a file should be
  Damaged,         // the file holds what no writer of it leaves (found by its readers, never here)
  Other,           // any other refusal: the code says which
};
struct SystemFailure {
  FailureCause cause = FailureCause::None;
  long long code = 0;  // the system's number, 0 when it gave none
  bool operator==(const SystemFailure&) const = default;
};
// The cause of one of this system's error numbers.
FailureCause CauseOfSystemError(long long code);
// Why the calling thread's last door of this file that failed did so (OpenExclusive and the
// file operations below, CreateFolder, WriteFileReplacing): kept until another fails, as the
// system keeps its own number.
SystemFailure LastFailure();

enum class OpenStatus {
  Ok,
  Busy,    // another open of the file, in this process or another, holds it
  Failed,  // missing folder, no permission, ...
  NotRegularFile,  // a folder, a pipe or a device stands at the path: never opened as a file
};

// Opens `path` without sharing, creating it empty when absent (but for ReadExisting), so
// that no other open of the same file succeeds until CloseFile. Never waits: a held file
// answers Busy at once, and a pipe or a device is refused without being waited on.
OpenStatus OpenExclusive(const std::u16string& path, Access access, FileHandle& out);
void CloseFile(FileHandle file);
bool GetFileSize(FileHandle file, std::uint64_t& size);
// Reads up to `size` bytes at `offset`; `done` is what was read (short at end of file).
bool ReadAt(FileHandle file, std::uint64_t offset, void* buffer, std::size_t size, std::size_t& done);
// Writes all `size` bytes at `offset`, or reports failure (disk full, file too large...).
bool WriteAt(FileHandle file, std::uint64_t offset, const void* buffer, std::size_t size);
// Makes what was written durable before the caller tells the user it is stored.
bool FlushFile(FileHandle file);
// Cuts the file back to `size` bytes: what a write that failed midway left is taken back.
bool TruncateFile(FileHandle file, std::uint64_t size);

// Which file an open handle names: equal identities are the same file on the same volume,
// so a file replaced under its name (renamed over, deleted and made anew) tells itself apart.
// `modified` (the last write's time, in the system's own units) is no part of which file it
// is: it tells whether the file was written since it was last looked at.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  std::uint64_t modified = 0;
  bool operator==(const FileIdentity& other) const { return volume == other.volume && file == other.file; }
};
// The identity and the size at once, in one query of the system.
bool GetFileIdentityAndSize(FileHandle file, FileIdentity& identity, std::uint64_t& size);
inline bool GetFileIdentity(FileHandle file, FileIdentity& identity) {
  std::uint64_t size = 0;
  return GetFileIdentityAndSize(file, identity, size);
}

// A sign, seen by every process of the machine, that someone waits for the file at `path`
// while another holds it: an open that sees it steps aside first, so a reader polling in a
// loop cannot keep the program out. It needs no file of its own and goes away with the
// process that raised it. On Linux it is a lock on a byte of the file itself, which only a
// process that may read the file can take; on Windows a named event of the logon session,
// which only that session's processes can make. Raising may answer an invalid sign when the
// path is not there or may not be read, or when another's sign is up already (one is enough;
// the caller tries again on its next round).
struct WaitSign {
  std::intptr_t value = -1;
  explicit operator bool() const { return value != -1; }
};
WaitSign RaiseWaitSign(const std::u16string& path);
void LowerWaitSign(WaitSign sign);
bool WaitSignRaised(const std::u16string& path);

bool PathExists(const std::u16string& path);
bool IsFolder(const std::u16string& path);
bool CreateFolder(const std::u16string& path);
// Whether a file named `name` can be made in `folder` as far as names go: the name within the
// longest the folder's file system takes for one name, and the whole path within the longest
// path. Asks the file system where it can (the folder need not exist: its nearest existing
// folder is asked), and says nothing about permission or space.
bool FileNameFits(const std::u16string& folder, const std::u16string& name);
// Names (not paths) of the entries of a folder, without "." and "..", hidden or system entries.
std::vector<std::u16string> ListFolder(const std::u16string& folder);
// Deletes a regular file, clearing its read-only, hidden and system attributes first. A
// link, a folder or a device at the path is left alone (false): a link is never followed.
bool DeleteFileForced(const std::u16string& path);

// How WriteFileReplacing ended. Whatever stood at the path is untouched but for Ok.
enum class ReplaceStatus {
  Ok,
  NotRegularFile,  // a link, a folder, a pipe or a device stands at the path
  ReadOnly,        // a file this process may not write stands there (ReadOnlyTarget::Keep)
  Failed,          // the new file could not be made, written, flushed or renamed
};
enum class ReadOnlyTarget { Keep, Replace };
// LinkAtTarget::Replace: a symbolic link at the path is replaced by the rename like a file, the
// link itself and never what it points to (Keep: it stands, NotRegularFile). A folder, a pipe
// or a device always stands.
enum class LinkAtTarget { Keep, Replace };
// Writes all `size` bytes to a new file beside `path` (a unique name in the same folder,
// created new and exclusively, never through a link), makes them durable, and only then
// renames it over `path`: a reader sees the old file or the whole new one, and a link put
// at `path` meanwhile is itself replaced, never written through. On any failure the new file
// is removed. ReadOnlyTarget::Replace replaces a read-only file as deleting it would.
ReplaceStatus WriteFileReplacing(const std::u16string& path, const void* data, std::size_t size,
                                 ReadOnlyTarget read_only, LinkAtTarget links = LinkAtTarget::Keep);

// Folder of the running executable, ending with PathSeparator().
std::u16string ProgramFolder();
// The folder that holds the databases and the configuration file, ending with
// PathSeparator(). The build links one of two: beside the program (home_beside_program.cpp:
// Windows and the development builds) or the user's data folder, $XDG_DATA_HOME/zentora
// else ~/.local/share/zentora, created when missing but for a reader (posix/home_user_data.cpp:
// the installed Linux program, whose own folder is not writable). The program and Lirvak both ask here,
// so they agree on where the databases are; a reader asks with MakeHome::No and makes no
// folder (a missing one holds no database).
enum class MakeHome { Yes, No };
std::u16string HomeFolder(MakeHome make = MakeHome::Yes);
// The process's current folder, ending with PathSeparator().
std::u16string CurrentFolder();
// Whether a name survives the trip through the narrow text other programs pass to Lirvak:
// on Windows, the ANSI code page, with no character replaced; where names are UTF-8 on
// both sides, always.
bool NameFitsNarrowText(const std::u16string& name);
// Roots of the fixed drives ("C:\\"...); empty where the platform has no drive letters.
std::vector<std::u16string> FixedDrives();
// Per-user cache folder ending with PathSeparator(); used where there are no drive letters.
std::u16string UserCacheFolder();

// INI profile, names and values in the ANSI code page (1252). Returns `fallback` when the
// file, the section or the key is missing.
std::string ReadIniString(const std::string& section, const std::string& key,
                             const std::string& fallback, const std::u16string& path);
// Creates the file or the section when missing and keeps every other line.
bool WriteIniString(const std::string& section, const std::string& key,
                        const std::string& value, const std::u16string& path);

// Milliseconds since local midnight: the seed of the attachment cache names.
std::uint32_t TimeOfDayMs();
// Monotonic milliseconds, for bounded waits.
std::uint64_t MonotonicMs();
void SleepMs(unsigned milliseconds);

// Whether the process's standard error is a terminal a person watches (progress lines).
bool StandardErrorIsTerminal();

}  // namespace zentora::platform
