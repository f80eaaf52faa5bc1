#include <gtest/gtest.h>

#include "platform/encoding.h"

namespace zentora::platform {
namespace {

TEST(Encoding, Utf8RoundTripsEveryPlane) {
  const std::u16string text = u"Año € 😀 \u00FF\u0100";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(u"ó"), "\xC3\xB3");
  EXPECT_EQ(Utf16ToUtf8(u"😀"), "\xF0\x9F\x98\x80");
}

// An ASCII run is copied apart from the rest: texts all of it, starting with it, or holding
// it after other characters convert alike.
TEST(Encoding, AsciiRunsBeforeAndAfterOtherCharacters) {
  const struct {
    std::u16string text;
    std::string utf8;
  } cases[] = {
      {u"", ""},
      {u"/tmp/Agenda/Agenda.zbd", "/tmp/Agenda/Agenda.zbd"},
      {u"Año", "A\xC3\xB1o"},
      {u"ñandú y más", "\xC3\xB1" "and\xC3\xBA" " y m\xC3\xA1" "s"},
      {u"abc" + std::u16string(1, char16_t(0xDC00)) + u"d", "abc\xEF\xBF\xBD" "d"},
      {std::u16string(1, char16_t(0x7F)) + u"\u0080", "\x7F\xC2\x80"},
  };
  for (const auto& each : cases) EXPECT_EQ(Utf16ToUtf8(each.text), each.utf8);
}

TEST(Encoding, BrokenInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");         // cut sequence
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // surrogate
}

// A file name's bytes come back byte for byte, whether they are UTF-8 or not; the bytes that
// are not stand as U+DC80..U+DCFF, and only those go back as bytes.
TEST(Encoding, FileNamesKeepBytesThatAreNotUtf8) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"out\xFF.bin", u"out\xDCFF.bin"},
      {"caf\xE9", u"caf\xDCE9"},                            // Latin-1
      {"a\xC3", u"a\xDCC3"},                                // cut sequence
      {"\xC0\xAF", u"\xDCC0\xDCAF"},                       // overlong
      {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},             // surrogate
      {"a\xC3\xB1o \xF0\x9F\x98\x80", u"a\u00F1o \U0001F600"},  // UTF-8 stays UTF-8
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileNameToUtf16(c.bytes), c.text);
    EXPECT_EQ(Utf16ToFileName(c.text), c.bytes);
  }
  // Other lone surrogates are no bytes of a name: they stay replaced, as in any text.
  EXPECT_EQ(Utf16ToFileName(std::u16string(1, char16_t(0xDC7F))), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(u"\xDCFF"), "\xEF\xBF\xBD");
}

TEST(Encoding, CodePage1252BothWays) {
  EXPECT_EQ(Utf16ToCp1252(u"Configuración"), "Configuraci\xF3n");
  EXPECT_EQ(Utf16ToCp1252(u"€ñ"), "\x80\xF1");
  EXPECT_EQ(Utf16ToCp1252(u"Ω"), "?");
  EXPECT_EQ(Cp1252ToUtf16("\x80\x9F\xF1"), u"€Ÿñ");
  EXPECT_EQ(Cp1252ToUtf16("\x81"), u"\u0081");
}

}  // namespace
}  // namespace zentora::platform
