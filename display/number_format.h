// Display of stored numbers. A number field keeps the text the user typed; the viewer reads
// that text into an extended-precision number (64-bit mantissa) and writes it back with
// thousands grouping and a fixed count of decimal places. All of it is integer arithmetic,
// so every build gives the same digits whatever its floating-point hardware or C library.
#pragma once
#include <cstdint>
#include <string>

namespace zentora {

// An extended-precision number: mantissa * 2^exponent. Finite values run from the smallest
// subnormal 2^-16445 to the largest (2^64 - 1) * 2^16320; a normal mantissa has its top bit
// set. Zero has mantissa 0 and exponent 0; `negative` then only records a typed "-".
struct ExtendedNumber {
  bool negative = false;
  std::uint64_t mantissa = 0;
  std::int32_t exponent = 0;
  bool operator==(const ExtendedNumber&) const = default;
};

// Reads the number at the start of a text, rounded to nearest with ties to even. The text is
// read as ReadWrittenNumber reads it with the prefixed whole forms (display/number_text.h):
// leading blanks skipped, an optional sign, decimal digits with at most one ".", an optional
// exponent (E, e, D or d, optional sign, digits); "&H"/"&h" starts a hexadecimal, "&B"/"&b" a
// binary, "&O"/"&o"/"&Q"/"&q" or "&" plus digits an octal whole number. Reading stops at the
// first character that does not fit; no digit at all reads as 0. A magnitude beyond the
// largest finite value gives that largest value; one below half the smallest subnormal gives
// zero.
ExtendedNumber ReadNumberText(const std::u16string& text);

// Turns a stored number text into its display text: all integer digits grouped in threes
// by ",", then "." and exactly `decimals` places (outside 0..12: two places), rounded half
// to even from the number's 18 significant digits. A nonzero negative number keeps its "-"
// even when it rounds to zero. Those are the separators of language 5 (English); every other
// language number shows Spanish, as the text table does: "." groups and "'" is the point.
std::u16string FormatNumber(const std::u16string& stored, std::int16_t decimals,
                            std::int32_t language);

}  // namespace zentora
