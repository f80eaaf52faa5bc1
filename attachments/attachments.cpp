#include "attachments/attachments.h"

#include <optional>
#include <string>

#include "platform/system.h"
#include "platform/ui.h"
#include "display/failure_words.h"
#include "storage/data_file.h"

namespace zentora {
namespace {

// Everything that tells a picture from a sound.
struct KindValues {
  TextId title;
  TextId filter;
  TextId missing;
  const char16_t* pattern;
  const char16_t* extension;
  const char16_t* prefix;
};

KindValues ValuesOf(AttachmentKind kind) {
  if (kind == AttachmentKind::Image)
    return {text::kImageChooserTitle, text::kImageFilter, text::kImageMissing, u"*.jpg;*.jpeg", u"jpg", u"image_"};
  return {text::kSoundChooserTitle, text::kSoundFilter, text::kSoundMissing, u"*.wav", u"wav", u"sonido_"};
}

// Where the folder part of a chosen path ends: after the last separator, or after a drive's
// colon where paths have drive letters. A POSIX name may hold ':' and '\', so there only '/'
// counts.
std::u16string::size_type FolderPartLength(const std::u16string& path) {
  const std::u16string delimiters = platform::PathSeparator() == u'\\' ? u"\\:" : u"/";
  const auto last = path.find_last_of(delimiters);
  return last == std::u16string::npos ? 0 : last + 1;
}

std::u16string Digits(std::uint64_t number) {
  const std::string text = std::to_string(number);
  return std::u16string(text.begin(), text.end());
}

// Writes the whole content into a file that must start empty. False when the file could not
// be created, another program holds it, or the disk did not take every byte.
bool WriteCacheFile(const std::u16string& path, const std::string& bytes) {
  platform::FileHandle file;
  if (platform::OpenExclusive(path, platform::Access::Write, file) != platform::OpenStatus::Ok) return false;
  std::uint64_t size = 0;
  // A file the delete could not remove would keep its old tail past the new bytes.
  const bool written = platform::GetFileSize(file, size) && size == 0 &&
                       platform::WriteAt(file, 0, bytes.data(), bytes.size());
  platform::CloseFile(file);
  return written;
}

}  // namespace

std::u16string CacheFileName(AttachmentKind kind, std::int64_t record, std::uint64_t random) {
  const KindValues values = ValuesOf(kind);
  // Record numbers count from 1; a stray negative one is written without its sign rather
  // than giving a name with a '-' that looks like an option to some viewers.
  const std::uint64_t magnitude =
      record < 0 ? 0 - static_cast<std::uint64_t>(record) : static_cast<std::uint64_t>(record);
  return values.prefix + Digits(magnitude) + u"_" + Digits(random) + u"." + values.extension;
}

std::uint64_t CacheRandomNumber(std::uint32_t seed_ms) {
  // splitmix64: one well-mixed draw from a small seed, the same on every build.
  std::uint64_t z = static_cast<std::uint64_t>(seed_ms) + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  constexpr std::uint64_t kLargest = 999999999999ull;
  return z % kLargest + 1;
}

std::optional<std::u16string> ChooseAttachmentFile(const Texts& texts, AttachmentsState& state, AttachmentKind kind,
                                                   platform::Dialog owner) {
  const KindValues values = ValuesOf(kind);
  const std::u16string& last = state.last_path;
  const auto folder_length = FolderPartLength(last);

  platform::OpenFileRequest request;
  request.owner = owner;
  request.title = texts.Text(values.title);
  request.initial_folder = folder_length > 0 ? last.substr(0, folder_length) : platform::CurrentFolder();
  request.filters = {{texts.Text(values.filter), values.pattern}};
  request.initial_name = last.substr(folder_length);
  request.default_extension = values.extension;

  std::optional<std::u16string> chosen = platform::ChooseFileToOpen(request);
  // Kept whole: a cut path would name another file, or none.
  state.last_path = chosen.value_or(std::u16string());
  return chosen;
}

void OpenAttachment(const Texts& texts, const AttachmentsState& state, const Database& db, AttachmentKind kind,
                    const std::u16string& field_name, std::int64_t record, ValueIndex* index) {
  const KindValues values = ValuesOf(kind);
  const std::u16string path =
      state.cache_folder + CacheFileName(kind, record, CacheRandomNumber(platform::TimeOfDayMs()));
  // A name drawn again replaces the old file rather than failing on it.
  platform::DeleteFileForced(path);

  std::string bytes;
  const ValueQuery query{PadFieldName(field_name), record};
  const IoResult<bool> found = index ? index->FindBytes(query, bytes) : FindValueBytes(db, query, bytes);
  if (!found.ok()) {
    platform::ShowMessage(FailureMessage(texts, text::kDataFileNotRead, db, found.status) +
                              TryAgainAdvice(texts, found.status),
                          texts.MessageCaption(), texts.Text(text::kOkButton));
    return;
  }
  if (bytes.empty()) {
    platform::ShowMessage(texts.Text(values.missing), texts.MessageCaption(), texts.Text(text::kOkButton));
    return;
  }
  if (!WriteCacheFile(path, bytes)) {
    // A cut file would open as a broken picture or sound: say so and leave nothing behind.
    platform::DeleteFileForced(path);
    platform::ShowMessage(texts.Text(text::kCacheFileNotWritten), texts.MessageCaption(), texts.Text(text::kOkButton));
    return;
  }
  // With no program for the file the user still has it: say where it is.
  if (!platform::ShellOpen(path)) platform::ShowMessage(texts.Filled(text::kOpenerMissing, path), texts.MessageCaption(), texts.Text(text::kOkButton));
}

}  // namespace zentora
