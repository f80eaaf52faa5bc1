#include "display/number_text.h"

#include <algorithm>
#include <limits>

namespace zentora {
namespace {

// Decimal exponents are saturated here while reading; any exponent this large already lies
// far outside every range, and the sum with a digit count stays inside 64 bits.
constexpr std::int64_t kExponentCap = 100000000000000000;
// 10^19 is past the largest 64-bit whole number.
constexpr std::int64_t kMostWholeDigits = 19;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int DigitValue(char16_t c) {
  if (IsDigit(c)) return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return 99;
}

void ReadDecimal(const char16_t* p, const char16_t* end, WrittenNumber& number) {
  bool seen_point = false;
  for (; p < end; ++p) {
    if (*p == u'.' && !seen_point) {
      seen_point = true;
    } else if (!IsDigit(*p)) {
      break;
    } else if (number.digits.size() < kMostKeptDigits) {
      if (!number.digits.empty() || *p != u'0') number.digits += static_cast<char>(*p);
      if (seen_point) --number.exponent;
    } else {
      number.nonzero_dropped |= *p != u'0';
      if (!seen_point) ++number.exponent;
    }
  }
  if (p < end && (*p == u'E' || *p == u'e' || *p == u'D' || *p == u'd')) {
    ++p;
    bool minus = false;
    if (p < end && (*p == u'+' || *p == u'-')) minus = *p++ == u'-';
    std::int64_t e = 0;
    for (; p < end && IsDigit(*p); ++p) e = std::min(e * 10 + (*p - u'0'), kExponentCap);
    number.exponent += minus ? -e : e;
  }
}

void ReadPrefixedWhole(const char16_t* p, const char16_t* end, int bits_per_digit, WrittenNumber& number) {
  number.bits_per_digit = bits_per_digit;
  for (; p < end && DigitValue(*p) < (1 << bits_per_digit); ++p)
    if (!number.digits.empty() || *p != u'0') number.digits += static_cast<char>(*p);
}

// Adds one to a decimal digit string; a carry out of the first digit adds a leading "1".
void Increment(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

std::optional<std::int64_t> PrefixedWhole(const WrittenNumber& number) {
  std::int64_t whole = 0;
  for (const char c : number.digits) {
    const int digit = DigitValue(static_cast<char16_t>(c));
    if (whole > (std::numeric_limits<std::int64_t>::max() - digit) >> number.bits_per_digit) return std::nullopt;
    whole = (whole << number.bits_per_digit) | digit;
  }
  return whole;
}

}  // namespace

WrittenNumber ReadWrittenNumber(std::u16string_view text, NumberForms forms) {
  WrittenNumber number;
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
  while (p < end && (*p == u' ' || *p == u'\t' || *p == u'\r' || *p == u'\n')) ++p;
  if (forms == NumberForms::WithPrefixedWholes && p < end && *p == u'&') {
    if (++p == end) return number;
    switch (*p) {
      case u'H': case u'h': ReadPrefixedWhole(p + 1, end, 4, number); break;
      case u'B': case u'b': ReadPrefixedWhole(p + 1, end, 1, number); break;
      case u'O': case u'o': case u'Q': case u'q': ReadPrefixedWhole(p + 1, end, 3, number); break;
      default: ReadPrefixedWhole(p, end, 3, number);  // "&17": octal digits right after "&"
    }
    return number;
  }
  if (p < end && (*p == u'+' || *p == u'-')) number.negative = *p++ == u'-';
  ReadDecimal(p, end, number);
  return number;
}

void RoundDigits(std::string& digits, std::size_t keep, bool inexact) {
  if (digits.size() <= keep) return;
  const char first = digits[keep];
  const bool more = inexact || digits.find_first_not_of('0', keep + 1) != std::string::npos;
  const Dropped dropped = first > '5' || (first == '5' && more) ? Dropped::MoreThanHalf
                          : first == '5'                         ? Dropped::Half
                                                                 : Dropped::LessThanHalf;
  const bool odd = keep > 0 && (digits[keep - 1] - '0') % 2 != 0;
  digits.resize(keep);
  if (RoundsUp(dropped, odd)) Increment(digits);
}

std::optional<std::int64_t> NearestWhole(const WrittenNumber& number) {
  if (number.bits_per_digit != 0) return PrefixedWhole(number);
  if (number.digits.empty()) return 0;
  // Digits before the point; below 0 the value is under 0.1 and rounds to 0.
  const std::int64_t whole_digits = static_cast<std::int64_t>(number.digits.size()) + number.exponent;
  if (whole_digits < 0) return 0;
  if (whole_digits > kMostWholeDigits) return std::nullopt;
  std::string whole = number.digits;
  const auto keep = static_cast<std::size_t>(whole_digits);
  RoundDigits(whole, keep, number.nonzero_dropped);
  whole.resize(std::max(whole.size(), keep), '0');
  std::int64_t magnitude = 0;
  for (const char c : whole) {
    if (magnitude > (std::numeric_limits<std::int64_t>::max() - (c - '0')) / 10) return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
  }
  return number.negative ? -magnitude : magnitude;
}

}  // namespace zentora
