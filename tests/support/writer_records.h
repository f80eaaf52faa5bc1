// What tests/record_writer.cpp stores, so that a test reading the file can tell what any of
// its records should hold: turn i under a tag gives the texts "<tag><i>" and "<tag><i>-nota"
// and, when asked for, a picture of `picture_bytes` bytes that differs from turn to turn.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "storage/data_file.h"

namespace zentora::testing {

inline const FieldDefinition kWriterNombre{0, PadFieldName(u"Nombre"), 3, 20, 0};
inline const FieldDefinition kWriterNota{0, PadFieldName(u"Nota"), 3, 20, 0};
inline const FieldDefinition kWriterFoto{0, PadFieldName(u"Foto"), 6, 0, 0};

inline std::vector<RecordValue> WriterRecord(const std::string& tag, std::int64_t turn, std::size_t picture_bytes) {
  const std::u16string name = platform::Utf8ToUtf16(tag + std::to_string(turn));
  std::vector<RecordValue> record{{kWriterNombre, name, {}}, {kWriterNota, name + u"-nota", {}}};
  if (picture_bytes > 0) {
    std::vector<std::uint8_t> picture(picture_bytes);
    for (std::size_t i = 0; i < picture_bytes; ++i) picture[i] = static_cast<std::uint8_t>(turn * 31 + i * 7 + i / 251);
    record.push_back({kWriterFoto, {}, std::move(picture)});
  }
  return record;
}

}  // namespace zentora::testing
