#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/utf16_streambuf.h"

namespace zentora::platform {
namespace {

TEST(CompleteUtf8Prefix, LeavesOutOnlyAnUnfinishedLastCharacter) {
  const struct {
    std::string bytes;
    std::size_t complete;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {"A\xC3\xB1o", 4},                  // ñ whole
      {"A\xC3", 1},                       // ñ's first byte alone
      {"\xE2\x82\xAC", 3},                // € whole
      {"x\xE2\x82", 1},                   // € cut after two bytes
      {"\xF0\x9F\x98\x80", 4},            // a character outside the BMP, whole
      {"\xF0\x9F\x98", 0},                // ... cut after three bytes
      {"\xF0", 0},
      {"a\x80\x80\x80\x80", 5},           // stray continuation bytes: malformed, not waited for
      {"a\xFF", 2},                       // never a lead byte: malformed, shown at once
  };
  for (const auto& c : cases) EXPECT_EQ(CompleteUtf8Prefix(c.bytes), c.complete) << c.bytes.size();
}

// What reaches the console is whole characters, however the writes cut the bytes.
TEST(Utf16Streambuf, HandsOnWholeCharactersAcrossWritesAndFlushes) {
  std::vector<std::u16string> shown;
  {
    Utf16Streambuf buffer([&](const std::u16string& text) {
      shown.push_back(text);
      return true;
    });
    std::ostream stream(&buffer);
    stream << "Tama\xC3" << std::flush;        // ñ cut in two
    stream << "\xB1o: s\xC3\xAD\n" << std::flush;
    stream << "\xF0\x9F" << std::flush << "\x98\x80" << std::flush;
    stream << "\xE2\x82";                       // unfinished when the stream goes
  }
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0], u"Tama");
  EXPECT_EQ(shown[1], u"ño: sí\n");
  EXPECT_EQ(shown[2], u"\U0001F600");
  // What was left of € is shown, as replacement characters.
  EXPECT_FALSE(shown[3].empty());
  EXPECT_EQ(shown[3].find_first_not_of(u'\uFFFD'), std::u16string::npos);
}

TEST(Utf16Streambuf, AConsoleThatRefusesTextFailsTheStream) {
  Utf16Streambuf buffer([](const std::u16string&) { return false; });
  std::ostream stream(&buffer);
  stream << "texto" << std::flush;
  EXPECT_TRUE(stream.bad());
}

TEST(Utf16Streambuf, LongTextGoesOutBeforeAFlush) {
  std::u16string shown;
  Utf16Streambuf buffer([&](const std::u16string& text) {
    shown += text;
    return true;
  });
  std::ostream stream(&buffer);
  for (int i = 0; i < 3000; ++i) stream << "\xC3\xB1";  // 6000 bytes, no flush
  EXPECT_GE(shown.size(), 2048u);
  EXPECT_EQ(shown.find_first_not_of(u'ñ'), std::u16string::npos);
}

}  // namespace
}  // namespace zentora::platform
