// Pictures and sounds: choosing the file to attach, and bringing a stored one back as a file
// in the attachment cache folder that the desktop opens with its own viewer or player.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui.h"
#include "storage/database.h"
#include "storage/value_index.h"
#include "texts/text_table.h"

namespace zentora {

// What the attachments keep for the run.
struct AttachmentsState {
  std::u16string last_path;     // shared by the image and the sound chooser, empty at start
  std::u16string cache_folder;  // see attachments/cache_folder.h; ends with the separator
};

enum class AttachmentKind { Image, Sound };

// Shows the open-file dialog of the kind, owned by `owner` and placed by state.last_path, and
// returns the chosen full path, which is also left in state.last_path (emptied on cancel).
std::optional<std::u16string> ChooseAttachmentFile(const Texts& texts, AttachmentsState& state, AttachmentKind kind,
                                                   platform::Dialog owner);

// Writes the stored bytes to a fresh cache file (prefix, record, "_", random, extension),
// deleting any file of that name first, and asks the shell to open it. Nothing stored: the
// kind's message, and no file. The bytes are read through `index` (of `db`) when given.
void OpenAttachment(const Texts& texts, const AttachmentsState& state, const Database& db, AttachmentKind kind,
                    const std::u16string& field_name, std::int64_t record, ValueIndex* index = nullptr);

// The cache file name: "image_" or "sonido_", the record, "_", `random`, ".jpg" or ".wav".
std::u16string CacheFileName(AttachmentKind kind, std::int64_t record, std::uint64_t random);
// A whole number from 1 to 999999999999 drawn from a generator seeded with `seed_ms`.
std::uint64_t CacheRandomNumber(std::uint32_t seed_ms);

}  // namespace zentora
