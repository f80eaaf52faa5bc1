// A database made of a fuzzer's bytes: one folder per process, its structure and data files
// rewritten for every input, so the readers meet the input as a file on disk, the way they
// meet what another program wrote.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "storage/database.h"

namespace zentora::fuzz {

// Reads the next values of an input from its front; past the end every value is 0.
class InputReader {
 public:
  InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte();
  std::uint16_t Word();
  std::int64_t Number();
  // The next `count` bytes (fewer at the end of the input).
  std::string_view Bytes(std::size_t count);
  std::string_view Rest() { return Bytes(size_); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// The database "F" in this process's own folder; Write replaces both files (an empty one
// stands for an empty file). No wait for a held file: nothing else holds it.
const Database& FuzzDatabase();
void WriteDatabase(std::string_view structure, std::string_view data);

// The host folder FuzzDatabase lives in, as a UTF-8 path.
std::string HostFolderUtf8();

}  // namespace zentora::fuzz
