// Where the parts of a 96-byte data file entry lie, and the name test every scan of the data
// file runs on each entry. Shared by the one-value search and the value index, so that both
// read an entry alike.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zentora::layout {

inline constexpr std::size_t kUnitAt = 4, kNameAt = 8, kTypeAt = 78, kSizeAt = 80, kRecordAt = 82, kDecimalsAt = 90,
                             kEndAt = 92;
inline constexpr std::size_t kNameBytes = 70;

// Entries moved per read or write: large enough that a system call is rare, small enough
// that memory stays at a fixed 768 KB whatever the file or value size.
inline constexpr std::size_t kEntriesPerBlock = 8192;

// Most entries of a large file belong to the value being read or to another field, so the
// name test runs on every entry: eight-byte words with an early exit beat a call to memcmp.
inline bool SameName(const std::uint8_t* a, const std::uint8_t* b) {
  std::uint64_t diff = 0;
  for (std::size_t at = 0; at < 64; at += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a + at, 8);
    std::memcpy(&y, b + at, 8);
    diff |= x ^ y;
  }
  std::uint32_t x, y;
  std::memcpy(&x, a + 64, 4);
  std::memcpy(&y, b + 64, 4);
  std::uint16_t p, q;
  std::memcpy(&p, a + 68, 2);
  std::memcpy(&q, b + 68, 2);
  return diff == 0 && x == y && p == q;
}

}  // namespace zentora::layout
