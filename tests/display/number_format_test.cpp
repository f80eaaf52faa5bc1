#include "display/number_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zentora {
namespace {

std::u16string U16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string Ascii(const std::u16string& text) {
  std::string out;
  for (const char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::string Format(const std::string& stored, std::int16_t decimals, std::int32_t language = 5) {
  return Ascii(FormatNumber(U16(stored), decimals, language));
}

std::string Repeat(const std::string& part, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += part;
  return out;
}

struct FormatCase {
  std::string stored;
  std::int16_t decimals;
  std::string english;
  std::string spanish;
};

TEST(FormatNumber, ShowsTheDocumentedExamplesInBothLanguages) {
  const std::vector<FormatCase> cases = {
      {"1234567.891", 2, "1,234,567.89", "1.234.567'89"},
      {"1234", 0, "1,234", "1.234"},
      {"-1234.5", 2, "-1,234.50", "-1.234'50"},
      {"0.5", 3, "0.500", "0'500"},
      {"2.5", 0, "2", "2"},
      {"3.5", 0, "4", "4"},
      {"0.125", 2, "0.12", "0'12"},
      {"999.996", 2, "1,000.00", "1.000'00"},
      {"12abc", 1, "12.0", "12'0"},
      {"1234567890123456", 0, "1,234,567,890,123,456", "1.234.567.890.123.456"},
      {"100", 15, "100.00", "100'00"},
      // Outside 0..12 the field gets two places.
      {"1.5", -1, "1.50", "1'50"},
      {"1.5", 13, "1.50", "1'50"},
      {"1.5", 32767, "1.50", "1'50"},
      {"1.5", -32768, "1.50", "1'50"},
      {"1.5", 12, "1.500000000000", "1'500000000000"},
      // The no-data texts read as 0.
      {"No datos", 2, "0.00", "0'00"},
      {"No data", 0, "0", "0"},
      // Reading stops at the comma.
      {"1,5", 2, "1.00", "1'00"},
      {"0.375", 2, "0.38", "0'38"},
      {"0.0625", 3, "0.062", "0'062"},
      {"0.1875", 3, "0.188", "0'188"},
      {"1234567", 0, "1,234,567", "1.234.567"},
      {"-0.001", 2, "-0.00", "-0'00"},
      {"0", 0, "0", "0"},
      {"", 1, "0.0", "0'0"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(Format(c.stored, c.decimals, 5), c.english) << c.stored << " d=" << c.decimals;
    EXPECT_EQ(Format(c.stored, c.decimals, 1), c.spanish) << c.stored << " d=" << c.decimals;
  }
}

TEST(FormatNumber, EveryLanguageButEnglishShowsSpanishSeparators) {
  // The texts read Spanish for any number but 5, and the numbers beside them agree.
  for (const std::int32_t language : {1, 0, 2, 3, 4, 6, -1, -5})
    EXPECT_EQ(Format("1234.5", 1, language), "1.234'5") << language;
  EXPECT_EQ(Format("1234.5", 1, 5), "1,234.5");
}

struct TextCase {
  std::string stored;
  std::int16_t decimals;
  std::string expected;
};

void ExpectAll(const std::vector<TextCase>& cases) {
  for (const TextCase& c : cases)
    EXPECT_EQ(Format(c.stored, c.decimals), c.expected) << '"' << c.stored << "\" d=" << c.decimals;
}

TEST(FormatNumber, ReadsTheLeadingNumberOfTheText) {
  ExpectAll({
      {" \t\r\n42", 0, "42"},  {"\v42", 0, "0"},   {"x42", 0, "0"},     {"42 7", 0, "42"},
      {"+7", 0, "7"},          {"- 7", 0, "0"},    {"--7", 0, "0"},     {".5", 1, "0.5"},
      {"5.", 1, "5.0"},        {".", 1, "0.0"},    {"-.5", 2, "-0.50"}, {"1.2.3", 2, "1.20"},
      {"1e3", 0, "1,000"},     {"1E3", 0, "1,000"}, {"1d2", 0, "100"},  {"1D-2", 2, "0.01"},
      {"2E+3", 0, "2,000"},    {"1e", 1, "1.0"},   {"1e+", 1, "1.0"},   {"1e-", 1, "1.0"},
      {"1ex3", 1, "1.0"},      {"1f3", 1, "1.0"},  {"e5", 0, "0"},      {".e5", 0, "0"},
      {"1.5e1", 0, "15"},      {"15e-1", 1, "1.5"}, {"0012.50", 2, "12.50"},
      {"1e0003", 0, "1,000"},  {"-1e-2", 3, "-0.010"},
  });
}

TEST(FormatNumber, ReadsWholeNumbersInOtherBases) {
  ExpectAll({
      {"&HFF", 0, "255"},     {"&hff", 0, "255"},   {"&HfF", 0, "255"},  {"&H1G", 0, "1"},
      {"&B101", 0, "5"},      {"&b101", 0, "5"},    {"&b2", 0, "0"},     {"&O17", 0, "15"},
      {"&o17", 0, "15"},      {"&Q17", 0, "15"},    {"&q17", 0, "15"},   {"&17", 0, "15"},
      {"&18", 0, "1"},        {"&9", 0, "0"},       {"&H", 0, "0"},      {"&", 0, "0"},
      {"&x1", 0, "0"},        {" &H10", 1, "16.0"}, {"-&H10", 0, "0"},   {"&H10.5", 1, "16.0"},
      {"&H10e2", 0, "4,322"}, {"&HFFFFFFFF", 0, "4,294,967,295"},
      // More than 18 digits: the 18-digit expansion rounds them.
      {"&H7FFFFFFFFFFFFFFF", 0, "9,223,372,036,854,775,810"},
      {"&HFFFFFFFFFFFFFFFF", 0, "18,446,744,073,709,551,600"},
      // 65 bits: rounded to the 64-bit mantissa.
      {"&H1FFFFFFFFFFFFFFFF", 0, "36,893,488,147,419,103,200"},
  });
}

TEST(FormatNumber, RoundsFromEighteenSignificantDigits) {
  ExpectAll({
      {"9.995", 2, "10.00"},                          // 9.99500000000000000: a tie, 9 is odd
      {"1.005", 2, "1.00"},                           // 1.00500000000000000: a tie, 0 is even
      {"2.675", 2, "2.68"},
      {"1.15", 1, "1.2"},
      {"999999.995", 2, "1,000,000.00"},
      {"99999.9999", 3, "100,000.000"},
      {"-999.5", 0, "-1,000"},
      {"0.5", 0, "0"},
      {"1.5", 0, "2"},
      {"-2.5", 0, "-2"},
      {"-0.5", 0, "-0"},
      {"8.5", 0, "8"},
      {"12345678.9", 0, "12,345,679"},
      {"0.0000000000005", 12, "0.000000000000"},
      {"0.0000000000015", 12, "0.000000000002"},
      {"0.000000000000999999999999999999", 12, "0.000000000001"},
      {"0.1", 12, "0.100000000000"},
      {"0.3", 12, "0.300000000000"},
      {"1234567.8912345678949", 12, "1,234,567.891234567890"},
      {"123456789.0123456789", 12, "123,456,789.012345679000"},
      // The expansion rounds first, so a value just above a half may still go to even.
      {"0.12500000000000000001", 2, "0.12"},
      {"0.1250000000000001", 2, "0.13"},
      {"123456789012345678.5", 0, "123,456,789,012,345,678"},
      {"12345678901234567891", 0, "12,345,678,901,234,567,900"},
      {"9999999999999999999", 0, "10,000,000,000,000,000,000"},
      {"1e18", 0, "1,000,000,000,000,000,000"},
      {"1e23", 0, "100,000,000,000,000,000,000,000"},
      {"1e-18", 12, "0.000000000000"},
  });
}

TEST(FormatNumber, HandlesTheEndsOfTheRange) {
  // 1e4932 is still finite: all its 4933 digits are written and grouped.
  EXPECT_EQ(Format("1e4932", 0), std::string("1") + Repeat(",000", 1644));
  // Past the largest finite value the number stays at that largest value.
  const std::string largest = std::string("1,189,731,495,357,231,770") + Repeat(",000", 1638);
  EXPECT_EQ(Format("1.18973149535723176502e4932", 0), largest);
  EXPECT_EQ(Format("1.2e4932", 2), largest + ".00");
  EXPECT_EQ(Format("1e4933", 0), largest);
  EXPECT_EQ(Format("-1e999999999", 0), "-" + largest);
  EXPECT_EQ(Format("1e99999999999999999999999999", 0), largest);
  EXPECT_EQ(Format(std::string("&H") + Repeat("F", 5000), 0), largest);
  // Below half the smallest subnormal the number is zero, and a zero has no sign.
  EXPECT_EQ(Format("1e-5000", 2), "0.00");
  EXPECT_EQ(Format("-1e-5000", 2), "0.00");
  EXPECT_EQ(Format("-1e-4951", 2), "0.00");
  EXPECT_EQ(Format("-1e-99999999999999999999999", 2), "0.00");
  EXPECT_EQ(Format("0e999999999", 1), "0.0");
  // A subnormal is still a negative number.
  EXPECT_EQ(Format("-1e-4950", 2), "-0.00");
  EXPECT_EQ(Format("-4.9e-4951", 12), "-0.000000000000");
  // A typed "-0" is zero, not a negative number.
  EXPECT_EQ(Format("-0", 2), "0.00");
  EXPECT_EQ(Format("-0.000", 0), "0");
}

TEST(FormatNumber, KeepsLongTextsExact) {
  // Leading and trailing zeros in great numbers move the point and nothing else.
  EXPECT_EQ(Format(std::string("0.") + Repeat("0", 20000) + "1e20001", 0), "1");
  EXPECT_EQ(Format(Repeat("0", 20000) + "7", 0), "7");
  EXPECT_EQ(Format(std::string("1") + Repeat("0", 20000) + "e-20000", 1), "1.0");
  EXPECT_EQ(Format(std::string("2.") + Repeat("0", 20000) + "1", 3), "2.000");
  EXPECT_EQ(Format(Repeat("1", 20000) + "e-19996", 1), "1,111.1");
  EXPECT_EQ(Format(Repeat("9", 20000), 0), std::string("1,189,731,495,357,231,770") + Repeat(",000", 1638));
  EXPECT_EQ(Format(std::string("3.") + Repeat("14159", 4000), 4), "3.1416");
}

struct ReadCase {
  std::string text;
  ExtendedNumber expected;
};

TEST(ReadNumberText, RoundsToTheNearestExtendedValue) {
  constexpr std::uint64_t kTop = std::uint64_t{1} << 63;
  const std::string one_and_half_ulp =
      "1.0000000000000000000542101086242752217003726400434970855712890625";
  const std::string one_and_three_half_ulps =
      "1.0000000000000000001626303258728256651011179201304912567138671875";
  const std::vector<ReadCase> cases = {
      {"1", {false, kTop, -63}},
      {"-2.5", {true, 0xA000000000000000u, -62}},
      {"0.1", {false, 0xCCCCCCCCCCCCCCCDu, -67}},
      {"1e4932", {false, 0xD72CB2A95C7EF6CDu, 16320}},
      {"1e4000", {false, 0xD1BA8323FE558C61u, 13224}},
      {"1e-4000", {false, 0x9C3D73864F3805C0u, -13351}},
      {"-0", {true, 0, 0}},
      {"abc", {false, 0, 0}},
      {"&H1FFFFFFFFFFFFFFFF", {false, kTop, 2}},
      {std::string("&H8") + Repeat("0", 4095), {false, kTop, 16320}},
      // Exact halves between neighbours go to the even mantissa.
      {one_and_half_ulp, {false, kTop, -63}},
      {one_and_three_half_ulps, {false, kTop + 2, -63}},
      // Anything past a half rounds up, even when it is beyond the digits kept.
      {one_and_half_ulp + "0000000001", {false, kTop + 1, -63}},
      {one_and_half_ulp + Repeat("0", 12000), {false, kTop, -63}},
      {one_and_half_ulp + Repeat("0", 12000) + "1", {false, kTop + 1, -63}},
      {std::string("1") + Repeat("0", 11999) + "1e-12000", {false, kTop, -63}},
      // Largest finite value, the overflow past it, and the subnormals.
      {"1.18973149535723176502e4932", {false, ~std::uint64_t{0}, 16320}},
      {"-1e5000", {true, ~std::uint64_t{0}, 16320}},
      {std::string("&H") + Repeat("F", 4096), {false, ~std::uint64_t{0}, 16320}},
      {"3.6451995318824746025e-4951", {false, 1, -16445}},
      {"1.9e-4951", {false, 1, -16445}},
      {"1.8e-4951", {false, 0, 0}},
      {"3.3621031431120935063e-4932", {false, kTop, -16445}},  // smallest normal
  };
  for (const ReadCase& c : cases) {
    const ExtendedNumber got = ReadNumberText(U16(c.text));
    EXPECT_EQ(got, c.expected) << c.text.substr(0, 80) << " -> " << got.negative << ' ' << std::hex
                               << got.mantissa << std::dec << ' ' << got.exponent;
  }
}

}  // namespace
}  // namespace zentora
