// Number texts as a number field may hold them (the program stores what was typed, and
// other programs write what they like): reading, rounding to a whole number and displaying
// any text must end, stay in bounds, and show only digits, separators and a sign.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_database.h"
#include "display/number_format.h"
#include "display/number_text.h"

using namespace zentora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(data, size);
  const std::int16_t decimals = static_cast<std::int16_t>(input.Word());
  const std::int32_t language = input.Byte() % 2 ? 1 : 5;
  const std::string_view rest = input.Rest();
  // Mostly the characters a number text is made of, so the search goes deep quickly.
  static const char16_t kAlphabet[] = u"0123456789.,-+eEdD&HhBbOoQq \t\r\nx";
  std::u16string text;
  for (unsigned char byte : rest) text += byte < 0xC0 ? kAlphabet[byte % (sizeof kAlphabet / 2 - 1)] : char16_t(byte << 4);

  ReadNumberText(text);
  NearestWhole(ReadWrittenNumber(text, NumberForms::WithPrefixedWholes));
  const std::u16string shown = FormatNumber(text, decimals, language);
  for (char16_t unit : shown) {
    const bool allowed = (unit >= u'0' && unit <= u'9') || unit == u'.' || unit == u',' || unit == u'\'' || unit == u'-';
    if (!allowed) __builtin_trap();
  }
  return 0;
}
