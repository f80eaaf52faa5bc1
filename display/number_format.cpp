#include "display/number_format.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <vector>

#include "display/number_text.h"
#include "texts/text_table.h"

namespace zentora {
namespace {

constexpr std::int64_t kMinExponent = -16445;       // lowest bit of the smallest subnormal
constexpr std::int64_t kMaxExponent = 16384 - 64;   // exponent of the largest finite value
constexpr std::int64_t kMaxMagnitude = 4933;        // 10^4933 is past the largest finite value
constexpr std::int64_t kMinMagnitude = -4951;       // 10^-4951 is below half the smallest subnormal
constexpr int kSignificantDigits = 18;

// Unsigned integer of any size: 32-bit words, least significant first, no high zero words.
using Big = std::vector<std::uint32_t>;

void MulAdd(Big& a, std::uint32_t factor, std::uint32_t addend) {
  std::uint64_t carry = addend;
  for (std::uint32_t& word : a) {
    const std::uint64_t t = std::uint64_t{word} * factor + carry;
    word = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  if (carry != 0) a.push_back(static_cast<std::uint32_t>(carry));
}

void MulPow5(Big& a, std::int64_t n) {
  for (; n >= 13; n -= 13) MulAdd(a, 1220703125u, 0);  // 5^13 is the largest power in 32 bits
  std::uint32_t rest = 1;
  for (; n > 0; --n) rest *= 5;
  MulAdd(a, rest, 0);
}

std::int64_t BitLength(const Big& a) {
  if (a.empty()) return 0;
  const auto top_bits = static_cast<std::int64_t>(std::bit_width(a.back()));
  return static_cast<std::int64_t>(a.size() - 1) * 32 + top_bits;
}

bool Bit(const Big& a, std::int64_t i) {
  if (i < 0 || i / 32 >= static_cast<std::int64_t>(a.size())) return false;
  return (a[static_cast<std::size_t>(i / 32)] >> (i % 32)) & 1u;
}

void SetBit(Big& a, std::int64_t i) {
  const auto word = static_cast<std::size_t>(i / 32);
  if (a.size() <= word) a.resize(word + 1, 0);
  a[word] |= 1u << (i % 32);
}

// Whether any of the bits 0 .. n-1 is set.
bool AnyBitBelow(const Big& a, std::int64_t n) {
  const auto words =
      std::min(a.size(), static_cast<std::size_t>(std::max<std::int64_t>(n, 0) / 32));
  if (std::any_of(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(words),
                  [](std::uint32_t w) { return w != 0; }))
    return true;
  if (words == a.size() || n % 32 == 0) return false;
  return (a[words] & ((1u << (n % 32)) - 1)) != 0;
}

// floor(a / 2^n) mod 2^64.
std::uint64_t Bits64From(const Big& a, std::int64_t n) {
  std::uint64_t r = 0;
  for (int k = 0; k < 64; ++k)
    if (Bit(a, n + k)) r |= std::uint64_t{1} << k;
  return r;
}

Big ShiftLeft(const Big& a, std::int64_t n) {
  if (a.empty()) return a;
  Big r(static_cast<std::size_t>(n / 32), 0);
  const unsigned s = static_cast<unsigned>(n % 32);
  std::uint32_t carry = 0;
  for (const std::uint32_t word : a) {
    r.push_back((word << s) | carry);
    carry = s == 0 ? 0 : word >> (32 - s);
  }
  if (carry != 0) r.push_back(carry);
  return r;
}

int Compare(const Big& a, const Big& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = a.size(); i-- > 0;)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return 0;
}

// a -= b, for a >= b.
void Subtract(Big& a, const Big& b) {
  std::uint32_t borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::uint64_t sub = std::uint64_t{i < b.size() ? b[i] : 0u} + borrow;
    borrow = a[i] < sub ? 1 : 0;
    a[i] = static_cast<std::uint32_t>(a[i] - sub);
  }
  while (!a.empty() && a.back() == 0) a.pop_back();
}

struct Quotient {
  Big value;
  bool inexact = false;  // a nonzero remainder was dropped
};

// floor(num * 2^shift / den). Callers scale so the quotient has only about 70 bits, which
// keeps this bit-by-bit long division cheap however long num and den are.
Quotient Divide(Big num, Big den, std::int64_t shift) {
  if (shift > 0) num = ShiftLeft(num, shift);
  if (shift < 0) den = ShiftLeft(den, -shift);
  Quotient q;
  for (std::int64_t i = BitLength(num) - BitLength(den); i >= 0; --i) {
    const Big part = ShiftLeft(den, i);
    if (Compare(num, part) >= 0) {
      Subtract(num, part);
      SetBit(q.value, i);
    }
  }
  q.inexact = !num.empty();
  return q;
}

ExtendedNumber Largest(bool negative) { return {negative, ~std::uint64_t{0}, kMaxExponent}; }

// Rounds (n + f) * 2^e to the nearest extended number, ties to even, where 0 <= f < 1 and
// f > 0 exactly when `inexact`. Callers pass at least 66 bits whenever f can be nonzero.
ExtendedNumber Round(const Big& n, std::int64_t e, bool inexact, bool negative) {
  if (n.empty()) return {negative, 0, 0};
  std::int64_t low = std::max(e + BitLength(n) - 64, kMinExponent);  // exponent of the result
  const std::int64_t drop = low - e;
  std::uint64_t m = 0;
  if (drop <= 0) {
    m = Bits64From(ShiftLeft(n, -drop), 0);
  } else {
    m = Bits64From(n, drop);
    const Dropped dropped = !Bit(n, drop - 1)                     ? Dropped::LessThanHalf
                            : inexact || AnyBitBelow(n, drop - 1) ? Dropped::MoreThanHalf
                                                                  : Dropped::Half;
    if (RoundsUp(dropped, (m & 1) != 0) && ++m == 0) {
      m = std::uint64_t{1} << 63;  // the carry ran out of the mantissa
      ++low;
    }
  }
  if (m == 0) return {negative, 0, 0};
  if (low > kMaxExponent) return Largest(negative);
  return {negative, m, static_cast<std::int32_t>(low)};
}

// A written decimal's value, rounded to the nearest extended number.
ExtendedNumber DecimalValue(const WrittenNumber& written) {
  if (written.digits.empty()) return {written.negative, 0, 0};
  std::string digits = written.digits;
  std::int64_t exp10 = written.exponent;  // the value is digits * 10^exp10
  if (written.nonzero_dropped) {  // one nonzero digit stands for all the dropped ones
    digits += '1';
    --exp10;
  }
  const std::int64_t magnitude = static_cast<std::int64_t>(digits.size()) + exp10;
  if (magnitude > kMaxMagnitude) return Largest(written.negative);
  if (magnitude <= kMinMagnitude) return {written.negative, 0, 0};

  Big num, den{1};
  for (std::size_t i = 0; i < digits.size(); i += 9) {  // nine digits per multiplication
    std::uint32_t chunk = 0, scale = 1;
    for (std::size_t j = i; j < std::min(i + 9, digits.size()); ++j) {
      chunk = chunk * 10 + static_cast<std::uint32_t>(digits[j] - '0');
      scale *= 10;
    }
    MulAdd(num, scale, chunk);
  }
  // digits * 10^exp10 = num / den * 2^exp10; scale the quotient to 66 or 67 bits.
  MulPow5(exp10 >= 0 ? num : den, exp10 >= 0 ? exp10 : -exp10);
  const std::int64_t shift = BitLength(den) - BitLength(num) + 66;
  const Quotient q = Divide(num, den, shift);
  return Round(q.value, exp10 - shift, q.inexact, written.negative);
}

// A written whole number of the prefixed forms (never negative), rounded the same way.
ExtendedNumber WholeValue(const WrittenNumber& written) {
  Big n;
  for (const char c : written.digits) {
    const auto digit = static_cast<std::uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    MulAdd(n, 1u << written.bits_per_digit, digit);
    if (BitLength(n) > kMaxExponent + 64) return Largest(false);
  }
  return Round(n, 0, false, false);
}

std::string ToDecimal(Big n) {
  std::string out;
  while (!n.empty()) {
    std::uint64_t rem = 0;  // divide by 10^9 in place
    for (std::size_t i = n.size(); i-- > 0;) {
      const std::uint64_t t = (rem << 32) | n[i];
      n[i] = static_cast<std::uint32_t>(t / 1000000000u);
      rem = t % 1000000000u;
    }
    while (!n.empty() && n.back() == 0) n.pop_back();
    for (int k = 0; k < 9; ++k, rem /= 10) out += static_cast<char>('0' + rem % 10);
  }
  while (out.size() > 1 && out.back() == '0') out.pop_back();
  std::reverse(out.begin(), out.end());
  return out.empty() ? "0" : out;
}

// The 18 significant digits of a nonzero value, rounded to nearest with ties to even;
// `point` receives how many of them stand before the decimal point (may be <= 0 or > 18).
std::string SignificantDigits(const ExtendedNumber& x, std::int64_t& point) {
  // 2^top <= x < 2^(top+1); 78913 / 2^18 is just under log10(2), so `scale` makes
  // x * 10^scale an integer of 19 to 21 digits.
  const std::int64_t top = static_cast<std::int64_t>(std::bit_width(x.mantissa)) - 1 + x.exponent;
  const std::int64_t scale = 19 - ((top * 78913) >> 18);
  Big num{static_cast<std::uint32_t>(x.mantissa), static_cast<std::uint32_t>(x.mantissa >> 32)};
  while (num.back() == 0) num.pop_back();
  Big den{1};
  MulPow5(scale >= 0 ? num : den, scale >= 0 ? scale : -scale);
  const Quotient q = Divide(num, den, x.exponent + scale);
  std::string digits = ToDecimal(q.value);
  point = static_cast<std::int64_t>(digits.size()) - scale;
  RoundDigits(digits, kSignificantDigits, q.inexact);
  if (digits.size() > kSignificantDigits) {  // 999...9 carried into a new digit
    digits.pop_back();
    ++point;
  }
  return digits;
}

}  // namespace

ExtendedNumber ReadNumberText(const std::u16string& text) {
  const WrittenNumber written = ReadWrittenNumber(text, NumberForms::WithPrefixedWholes);
  return written.bits_per_digit != 0 ? WholeValue(written) : DecimalValue(written);
}

std::u16string FormatNumber(const std::u16string& stored, std::int16_t decimals,
                            std::int32_t language) {
  const std::size_t places =
      decimals >= 0 && decimals <= 12 ? static_cast<std::size_t>(decimals) : 2;
  const ExtendedNumber x = ReadNumberText(stored);

  // Fixed-point digits: `whole` before the point, `fraction` after it, not yet rounded.
  std::string whole = "0", fraction;
  if (x.mantissa != 0) {
    std::int64_t point = 0;
    const std::string digits = SignificantDigits(x, point);
    const auto n = static_cast<std::int64_t>(digits.size());
    if (point <= 0) {
      // Far below the last place only the leading zeros matter: the value rounds to 0.
      fraction = std::string(static_cast<std::size_t>(std::min<std::int64_t>(-point, 14)), '0');
      if (-point <= 14) fraction += digits;
    } else if (point >= n) {
      whole = digits + std::string(static_cast<std::size_t>(point - n), '0');
    } else {
      whole = digits.substr(0, static_cast<std::size_t>(point));
      fraction = digits.substr(static_cast<std::size_t>(point));
    }
  }
  fraction.resize(std::max(fraction.size(), places), '0');
  std::string all = whole + fraction;
  RoundDigits(all, whole.size() + places, false);
  const std::size_t whole_digits = all.size() - places;  // a carry may have added one

  // Only English has its own separators: any other number shows Spanish, as the texts beside
  // the number do.
  const bool english = ShowsEnglish(language);
  const char16_t group = english ? u',' : u'.';
  const char16_t decimal_point = english ? u'.' : u'\'';
  std::u16string out;
  if (x.negative && x.mantissa != 0) out += u'-';
  for (std::size_t i = 0; i < whole_digits; ++i) {
    if (i > 0 && (whole_digits - i) % 3 == 0) out += group;
    out += static_cast<char16_t>(all[i]);
  }
  if (places > 0) out += decimal_point;
  for (std::size_t i = whole_digits; i < all.size(); ++i) out += static_cast<char16_t>(all[i]);
  return out;
}

}  // namespace zentora
