// The database files store integers little-endian, two's complement, whatever the host.
#pragma once
#include <cstdint>
#include <string>

namespace zentora {

template <typename T>
void PutLittleEndian(std::uint8_t* at, T value) {
  auto bits = static_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i, bits >>= 8) at[i] = static_cast<std::uint8_t>(bits);
}

template <typename T>
T GetLittleEndian(const std::uint8_t* at) {
  std::uint64_t bits = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) bits = (bits << 8) | at[i];
  return static_cast<T>(bits);
}

// A field name is 35 UTF-16LE code units on disk.
inline void PutUtf16(std::uint8_t* at, const std::u16string& units) {
  for (std::size_t i = 0; i < units.size(); ++i) PutLittleEndian<std::uint16_t>(at + 2 * i, units[i]);
}

inline std::u16string GetUtf16(const std::uint8_t* at, std::size_t count) {
  std::u16string units(count, u'\0');
  for (std::size_t i = 0; i < count; ++i) units[i] = GetLittleEndian<std::uint16_t>(at + 2 * i);
  return units;
}

}  // namespace zentora
