// INI profile files on POSIX, read and written byte for byte the way the Windows ANSI profile
// functions do, so one Configuracion.ini serves both builds: "[section]" and "key=value" lines
// in code page 1252 with CRLF line ends, names compared without regard to case, blanks around
// names and values ignored, a quoted value read without its quotes. A write edits the file in
// place and keeps every other byte of it, comments and blank lines included.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/encoding.h"
#include "platform/system.h"

namespace zentora::platform {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

// The blanks the Windows reader trims: tab to carriage return, space, and ^Z (old DOS files).
bool IsBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Lower case in code page 1252: ASCII, the accented letters 0xC0..0xDE but the multiplication
// sign, and the four letters (Š Œ Ž Ÿ) that live among 0x80..0x9F.
unsigned char FoldCase(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 0x10;
  if (c == 0x9F) return 0xFF;
  return c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// One line of the file: its text is [begin, end); the line break (a run of CR and LF, so blank
// lines ride on the line before them) is [end, next).
struct Line {
  size_t begin, end, next;
};

std::vector<Line> SplitLines(const std::string& text) {
  std::vector<Line> lines;
  size_t at = 0;
  while (at < text.size()) {
    Line line{at, at, at};
    while (line.end < text.size() && text[line.end] != '\r' && text[line.end] != '\n') ++line.end;
    line.next = line.end;
    while (line.next < text.size() && (text[line.next] == '\r' || text[line.next] == '\n')) ++line.next;
    lines.push_back(line);
    at = line.next;
  }
  return lines;
}

// A "[name]" line gives the section name between the first "[" and the last "]", trimmed.
bool SectionName(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  const size_t close = line.rfind(']');
  if (close == std::string_view::npos) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

struct Found {
  bool section = false;
  size_t key_line = SIZE_MAX;      // line of the key, if present
  size_t section_end = SIZE_MAX;   // last line that belongs to the section
  std::string_view value;          // trimmed text after "=" of the key line
  bool has_value = false;          // a key line without "=" has no value
};

// Looks for `key` in the first section called `section`, as the Windows reader does: a second
// section of the same name is never read.
Found Locate(const std::string& text, const std::vector<Line>& lines, std::string_view section,
             std::string_view key) {
  Found found;
  section = Trim(section);
  key = Trim(key);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line(text.data() + lines[i].begin, lines[i].end - lines[i].begin);
    std::string_view name;
    if (SectionName(line, name)) {
      if (found.section) break;
      found.section = SameName(name, section);
      if (found.section) found.section_end = i;
      continue;
    }
    if (!found.section) continue;
    const std::string_view content = Trim(line);
    if (content.empty()) continue;
    found.section_end = i;
    const size_t equals = content.find('=');
    if (found.key_line == SIZE_MAX && SameName(Trim(content.substr(0, equals)), key)) {
      found.key_line = i;
      found.has_value = equals != std::string_view::npos;
      if (found.has_value) found.value = Trim(content.substr(equals + 1));
    }
  }
  return found;
}

// The file as it reads after setting key=value.
std::string Edited(const std::string& text, std::string_view section, std::string_view key,
                   std::string_view value) {
  const std::vector<Line> lines = SplitLines(text);
  const Found found = Locate(text, lines, section, key);
  const std::string entry = std::string(Trim(key)) + "=" + std::string(value);
  if (found.key_line != SIZE_MAX) {
    const Line& line = lines[found.key_line];
    return text.substr(0, line.begin) + entry + text.substr(line.end);
  }
  if (found.section) {
    // The new key goes right after the section's last line, before any blank lines that
    // separate it from the next section.
    const Line& last = lines[found.section_end];
    if (last.end == last.next) return text + std::string(kLineBreak) + entry + std::string(kLineBreak);
    const size_t first_break = text.compare(last.end, 2, kLineBreak) == 0 ? 2 : 1;
    const size_t at = last.end + first_break;
    return text.substr(0, at) + entry + std::string(kLineBreak) + text.substr(at);
  }
  std::string result = text;
  if (!result.empty() && result.back() != '\n' && result.back() != '\r') result += kLineBreak;
  result += '[';
  result += Trim(section);
  result += ']';
  result += kLineBreak;
  return result + entry + std::string(kLineBreak);
}

bool ReadWhole(int fd, std::string& text) {
  text.clear();
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    text.append(buffer, static_cast<size_t>(n));
  }
}

bool WriteWhole(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Puts the old length back after a failed write. Best effort: the caller reports the failure
// that led here, whether or not this one succeeds.
void RestoreLength(int fd, std::size_t size) {
  if (::ftruncate(fd, static_cast<off_t>(size)) != 0) return;
}

// Rewrites the file in place. Room for a longer text is reserved before the first byte
// changes, so a full disk or a file-size limit leaves the old file as it was.
bool Replace(int fd, const std::string& old_text, const std::string& new_text) {
  if (new_text.size() > old_text.size()) {
    if (::posix_fallocate(fd, 0, static_cast<off_t>(new_text.size())) != 0) {
      RestoreLength(fd, old_text.size());
      return false;
    }
  }
  if (!WriteWhole(fd, new_text)) {
    // Best effort: the old bytes fit where they were.
    if (WriteWhole(fd, old_text)) RestoreLength(fd, old_text.size());
    return false;
  }
  if (new_text.size() < old_text.size()) return ::ftruncate(fd, static_cast<off_t>(new_text.size())) == 0;
  return true;
}

// Opens the profile file only when it is a regular file: a pipe or a device standing at its
// name is never waited on (O_NONBLOCK) nor read or written; the caller then goes on with its
// defaults. -1 when there is no regular file to use.
int OpenProfile(const std::string& path, int flags) {
  struct stat before {};
  if (::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
    errno = EINVAL;  // a device is not even opened
    return -1;
  }
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

std::string ReadIniString(const std::string& section, const std::string& key,
                             const std::string& fallback, const std::u16string& path) {
  std::string_view fallback_text = fallback;
  while (!fallback_text.empty() && fallback_text.back() == ' ') fallback_text.remove_suffix(1);
  const int fd = OpenProfile(Utf16ToUtf8(path), O_RDONLY);
  if (fd < 0) return std::string(fallback_text);
  // A shared lock keeps a concurrent write from being read half done.
  (void)::flock(fd, LOCK_SH);
  std::string text;
  const bool read = ReadWhole(fd, text);
  ::close(fd);
  if (!read) return std::string(fallback_text);

  const Found found = Locate(text, SplitLines(text), section, key);
  if (found.key_line == SIZE_MAX || !found.has_value) return std::string(fallback_text);
  std::string_view value = found.value.substr(0, found.value.find('\0'));  // a C string ends there
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                        const std::u16string& path) {
  const std::string native = Utf16ToUtf8(path);
  bool created = false;
  int fd = OpenProfile(native, O_RDWR);
  if (fd < 0 && errno == ENOENT) {
    fd = OpenProfile(native, O_RDWR | O_CREAT | O_EXCL);
    created = fd >= 0;
  }
  if (fd < 0) return false;
  (void)::flock(fd, LOCK_EX);
  std::string old_text;
  bool ok = ReadWhole(fd, old_text);
  if (ok) {
    const std::string new_text = Edited(old_text, section, key, value);
    ok = new_text == old_text || Replace(fd, old_text, new_text);
  }
  // A file this call created and could not fill is not left behind empty.
  if (!ok && created) ::unlink(native.c_str());
  ::close(fd);
  return ok;
}

}  // namespace zentora::platform
