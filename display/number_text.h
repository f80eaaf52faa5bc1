// Numbers as people and files write them: the one reader of a number text and the one
// rounding rule, shared by the number display, the record browser's "go to" answer and the
// language number of the configuration file.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentora {

// Which written forms a reader accepts besides decimals.
enum class NumberForms {
  DecimalOnly,
  // Also whole numbers written "&H" or "&h" (hexadecimal), "&B" or "&b" (binary), "&O", "&o",
  // "&Q", "&q", or "&" followed by digits (octal).
  WithPrefixedWholes,
};

// The number at the start of a text, as written. Leading spaces, tabs, CR and LF are skipped;
// then an optional sign, decimal digits with at most one ".", and an optional exponent (E, e,
// D or d, optional sign, digits). Reading stops at the first character that does not fit; no
// digit at all reads as zero.
struct WrittenNumber {
  bool negative = false;
  // 0 for a decimal; 1, 3 or 4 for a whole number of the prefixed forms (bits per digit).
  int bits_per_digit = 0;
  // The significant digits, without leading zeros: empty for zero. A decimal keeps at most
  // kMostKeptDigits of them; a prefixed whole number keeps its digits as written ("0"-"9",
  // "A"-"F", "a"-"f").
  std::string digits;
  // A decimal's value is digits x 10^exponent.
  std::int64_t exponent = 0;
  // A decimal had a nonzero digit past the kept ones.
  bool nonzero_dropped = false;
};

// A value halfway between two neighbouring extended-precision numbers has at most 11515
// significant decimal digits, so digits past this count can only act as "something nonzero
// follows".
inline constexpr std::size_t kMostKeptDigits = 11600;

WrittenNumber ReadWrittenNumber(std::u16string_view text, NumberForms forms);

// What rounding drops, against half a unit of the last place it keeps.
enum class Dropped { LessThanHalf, Half, MoreThanHalf };

// The one rounding rule of every number read or shown: to the nearest, an exact half going to
// the even neighbour.
constexpr bool RoundsUp(Dropped dropped, bool last_kept_is_odd) {
  return dropped == Dropped::MoreThanHalf || (dropped == Dropped::Half && last_kept_is_odd);
}

// Rounds a string of decimal digits to its first `keep` digits by that rule: the dropped ones,
// followed by something nonzero when `inexact`, decide. A carry out of the first digit adds a
// leading "1", so the result may hold keep + 1 digits.
void RoundDigits(std::string& digits, std::size_t keep, bool inexact);

// The nearest whole number, halves to the even neighbour, reckoned from the digits as written
// (never from a binary approximation of them); nothing when it lies outside 64 bits.
std::optional<std::int64_t> NearestWhole(const WrittenNumber& number);

}  // namespace zentora
