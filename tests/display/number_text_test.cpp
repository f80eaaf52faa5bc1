#include "display/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace zentora {
namespace {

std::u16string U16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

constexpr NumberForms kDecimal = NumberForms::DecimalOnly;
constexpr NumberForms kPrefixed = NumberForms::WithPrefixedWholes;

TEST(ReadWrittenNumber, KeepsSignDigitsAndExponentAsWritten) {
  const struct {
    const char* text;
    NumberForms forms;
    bool negative;
    int bits_per_digit;
    const char* digits;
    std::int64_t exponent;
  } cases[] = {
      {"12.50", kDecimal, false, 0, "1250", -2},
      {" \t\r\n-0012.5e3x", kDecimal, true, 0, "125", 2},
      {"+.05D-1", kDecimal, false, 0, "5", -3},
      {"0.000", kDecimal, false, 0, "", -3},
      {"1.2.3", kDecimal, false, 0, "12", -1},
      {"7e", kDecimal, false, 0, "7", 0},
      {"&H1f", kDecimal, false, 0, "", 0},  // no prefixed forms: "&" is no number
      {"&H001fG", kPrefixed, false, 4, "1f", 0},
      {"&b1012", kPrefixed, false, 1, "101", 0},
      {"&Q78", kPrefixed, false, 3, "7", 0},
      {"&017", kPrefixed, false, 3, "17", 0},
      {"&", kPrefixed, false, 0, "", 0},
      {"-&H5", kPrefixed, true, 0, "", 0},  // the sign comes before decimals only
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const WrittenNumber got = ReadWrittenNumber(U16(c.text), c.forms);
    EXPECT_EQ(got.negative, c.negative);
    EXPECT_EQ(got.bits_per_digit, c.bits_per_digit);
    EXPECT_EQ(got.digits, c.digits);
    EXPECT_EQ(got.exponent, c.exponent);
    EXPECT_FALSE(got.nonzero_dropped);
  }
}

TEST(ReadWrittenNumber, DigitsPastTheKeptOnesCountOnlyAsNonzero) {
  const std::string kept = "1" + std::string(kMostKeptDigits - 1, '0');
  for (const char* tail : {"000", "001"}) {
    SCOPED_TRACE(tail);
    const WrittenNumber whole = ReadWrittenNumber(U16(kept + tail), kDecimal);
    EXPECT_EQ(whole.digits, kept);
    EXPECT_EQ(whole.exponent, 3);
    EXPECT_EQ(whole.nonzero_dropped, std::string(tail) == "001");
    const WrittenNumber fraction = ReadWrittenNumber(U16("0." + kept + tail), kDecimal);
    EXPECT_EQ(fraction.digits, kept);
    EXPECT_EQ(fraction.exponent, -static_cast<std::int64_t>(kMostKeptDigits));
    EXPECT_EQ(fraction.nonzero_dropped, std::string(tail) == "001");
  }
}

TEST(RoundDigits, HalvesGoToTheEvenNeighbour) {
  const struct {
    const char* digits;
    std::size_t keep;
    bool inexact;
    const char* expected;
  } cases[] = {
      {"124", 2, false, "12"}, {"126", 2, false, "13"},  {"125", 2, false, "12"}, {"135", 2, false, "14"},
      {"1250", 2, false, "12"}, {"1251", 2, false, "13"}, {"125", 2, true, "13"},  {"124", 2, true, "12"},
      {"995", 2, false, "100"}, {"5", 0, false, ""},      {"6", 0, false, "1"},    {"5", 0, true, "1"},
      {"12", 2, false, "12"},  {"12", 5, true, "12"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.digits) + " to " + std::to_string(c.keep) + (c.inexact ? " inexact" : ""));
    std::string digits = c.digits;
    RoundDigits(digits, c.keep, c.inexact);
    EXPECT_EQ(digits, c.expected);
  }
}

TEST(NearestWhole, RoundsTheWrittenDigitsOnceHalvesToEven) {
  constexpr std::int64_t kMax = INT64_MAX;
  const struct {
    const char* text;
    NumberForms forms;
    std::optional<std::int64_t> expected;
  } cases[] = {
      {"0", kDecimal, 0},
      {"2.5", kDecimal, 2},
      {"3.5", kDecimal, 4},
      {"0.5", kDecimal, 0},
      {"0.51", kDecimal, 1},
      {"0.05", kDecimal, 0},
      {"-2.5", kDecimal, -2},
      {"-0.4", kDecimal, 0},
      {"1.5e1", kDecimal, 15},
      {"25e-1", kDecimal, 2},
      {"12e3", kDecimal, 12000},
      // A tie broken only far past a binary number's precision is still no tie.
      {"2.50000000000000000000001", kDecimal, 3},
      {"1e-400", kDecimal, 0},
      {"9223372036854775807", kDecimal, kMax},
      {"9223372036854775807.4", kDecimal, kMax},
      {"9223372036854775807.5", kDecimal, std::nullopt},
      {"9223372036854775808", kDecimal, std::nullopt},
      {"-9223372036854775807", kDecimal, -kMax},
      {"1e19", kDecimal, std::nullopt},
      {"1e99999999999999999999", kDecimal, std::nullopt},
      {"&H10", kDecimal, 0},
      {"&H10", kPrefixed, 16},
      {"&hFf", kPrefixed, 255},
      {"&B101", kPrefixed, 5},
      {"&o17", kPrefixed, 15},
      {"&17", kPrefixed, 15},
      {"&9", kPrefixed, 0},
      {"&H7FFFFFFFFFFFFFFF", kPrefixed, kMax},
      {"&H0008000000000000000", kPrefixed, std::nullopt},
      {"2.5", kPrefixed, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(NearestWhole(ReadWrittenNumber(U16(c.text), c.forms)), c.expected);
  }
}

TEST(NearestWhole, DigitsPastTheKeptOnesStillBreakATie) {
  // 0.5 followed by zeros past the kept digits and then a 1: above the half, so 1.
  const std::string text = "0.5" + std::string(kMostKeptDigits + 10, '0') + "1";
  EXPECT_EQ(NearestWhole(ReadWrittenNumber(U16(text), kDecimal)), 1);
  EXPECT_EQ(NearestWhole(ReadWrittenNumber(U16("0.5" + std::string(kMostKeptDigits + 10, '0')), kDecimal)), 0);
}

}  // namespace
}  // namespace zentora
