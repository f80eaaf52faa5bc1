#include "display/shown_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/encoding.h"

namespace zentora {
namespace {

constexpr std::int32_t kSpanish = 1;
constexpr std::int32_t kEnglish = 5;

TEST(ShownAsFor, NumbersYesNoAndEverythingElseAsText) {
  const struct {
    std::int16_t type;
    ShownAs expected;
  } cases[] = {{1, ShownAs::Number}, {2, ShownAs::Number}, {3, ShownAs::Text}, {4, ShownAs::YesNo},
               {5, ShownAs::Text},   {6, ShownAs::Text},   {7, ShownAs::Text}, {0, ShownAs::Text},
               {-4, ShownAs::Text},  {99, ShownAs::Text}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(ShownAsFor(c.type), c.expected);
  }
}

TEST(ShownValue, EachKindInBothLanguages) {
  const struct {
    ShownAs as;
    std::int16_t decimals;
    const char16_t* stored;
    const char16_t* spanish;
    const char16_t* english;
  } cases[] = {
      {ShownAs::Number, 2, u"1234.5", u"1.234'50", u"1,234.50"},
      {ShownAs::Number, 0, u"-7", u"-7", u"-7"},
      {ShownAs::Number, 2, u"abc", u"0'00", u"0.00"},  // a text stored in a number field
      {ShownAs::Number, 2, u"", u"No datos", u"No data"},
      {ShownAs::YesNo, 0, u"1", u"Sí", u"Yes"},
      {ShownAs::YesNo, 0, u"-0.001", u"Sí", u"Yes"},
      {ShownAs::YesNo, 0, u"&H1", u"Sí", u"Yes"},
      {ShownAs::YesNo, 0, u"0", u"No", u"No"},
      {ShownAs::YesNo, 0, u"0e5", u"No", u"No"},
      {ShownAs::YesNo, 0, u"sí", u"No", u"No"},
      {ShownAs::YesNo, 0, u"", u"No", u"No"},
      {ShownAs::Text, 3, u"1234.5", u"1234.5", u"1234.5"},
      {ShownAs::Text, 0, u" ", u" ", u" "},
      {ShownAs::Text, 0, u"línea\r\notra", u"línea\r\notra", u"línea\r\notra"},
      {ShownAs::Text, 0, u"", u"No datos", u"No data"},
  };
  Texts texts;
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.stored));
    texts.language = kSpanish;
    EXPECT_EQ(ShownValue(texts, c.as, c.decimals, c.stored), c.spanish);
    texts.language = kEnglish;
    EXPECT_EQ(ShownValue(texts, c.as, c.decimals, c.stored), c.english);
  }
}

}  // namespace
}  // namespace zentora
