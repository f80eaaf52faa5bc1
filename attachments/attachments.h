// Pictures and sounds: choosing the file to attach, and bringing a stored one back as a file
// in the attachment cache folder that the desktop opens with its own viewer or player.
#pragma once
#include <cstdint>
#include <string>

#include "shell/app_state.h"

namespace zentora {

enum class AttachmentKind { Image, Sound };

// Shows the open-file dialog of the kind, placed by state.attachments.last_path, and leaves
// the chosen full path there (empty on cancel).
void ChooseImageFile(AppState& state);
void ChooseSoundFile(AppState& state);
void ChooseAttachmentFile(AppState& state, AttachmentKind kind);

// Writes the stored bytes to a fresh cache file (prefix, record, "_", random, extension),
// deleting any file of that name first, and asks the shell to open it. Nothing stored: the
// kind's message, and no file.
void OpenImageAttachment(AppState& state, const std::u16string& field_name, std::int64_t record);
void OpenSoundAttachment(AppState& state, const std::u16string& field_name, std::int64_t record);
void OpenAttachment(AppState& state, AttachmentKind kind, const std::u16string& field_name, std::int64_t record);

// The cache file name: "image_" or "sonido_", the record, "_", `random`, ".jpg" or ".wav".
std::u16string CacheFileName(AttachmentKind kind, std::int64_t record, std::uint64_t random);
// A whole number from 1 to 999999999999 drawn from a generator seeded with `seed_ms`.
std::uint64_t CacheRandomNumber(std::uint32_t seed_ms);

}  // namespace zentora
