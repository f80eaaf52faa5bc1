#include "shell/configuration.h"

#include <algorithm>
#include <limits>

#include "platform/system.h"

namespace zentora {
namespace {

// Names as they stand in the file, in code page 1252 ("ó" is byte 0xF3).
constexpr char kSection[] = "Configuraci\xF3n";
constexpr char kKey[] = "Idioma";
constexpr char kDefault[] = "1";
constexpr char16_t kFileName[] = u"Configuracion.ini";
// The value is read into a 260-byte zero-terminated buffer on every platform alike.
constexpr size_t kValueLimit = 259;
// Past this an exponent only says "zero" or "far too large"; capping it keeps the sums small.
constexpr long kExponentCap = 100000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int32_t LanguageNumberFromText(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';

  // The number is 0.digits x 10^point once leading zeros are gone.
  std::string digits;
  long point = 0;
  bool seen_point = false;
  for (; at < text.size(); ++at) {
    if (IsDigit(text[at])) {
      digits += text[at];
      if (!seen_point) ++point;
    } else if (text[at] == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (digits.empty()) return 0;

  if (at < text.size() && (text[at] == 'E' || text[at] == 'e' || text[at] == 'D' || text[at] == 'd')) {
    size_t next = at + 1;
    bool exponent_negative = false;
    if (next < text.size() && (text[next] == '+' || text[next] == '-')) exponent_negative = text[next++] == '-';
    long exponent = 0;
    for (; next < text.size() && IsDigit(text[next]); ++next)
      exponent = std::min(exponent * 10 + (text[next] - '0'), kExponentCap);
    point += exponent_negative ? -exponent : exponent;
  }

  const size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  digits.erase(0, first);
  point -= static_cast<long>(first);
  if (point > 10) return 0;  // ten or more integer digits with a non-zero lead: past 32 bits

  long long whole = 0;
  for (long k = 0; k < point; ++k)
    whole = whole * 10 + (static_cast<size_t>(k) < digits.size() ? digits[static_cast<size_t>(k)] - '0' : 0);
  // A value below 0.1 (point < 0) rounds to 0; otherwise the first dropped digit decides, and
  // a lone 5 goes to the even neighbour.
  if (point >= 0 && static_cast<size_t>(point) < digits.size()) {
    const size_t dropped = static_cast<size_t>(point);
    const bool more = digits.find_first_not_of('0', dropped + 1) != std::string::npos;
    if (digits[dropped] > '5' || (digits[dropped] == '5' && (more || whole % 2 == 1))) ++whole;
  }
  if (negative) whole = -whole;
  if (whole < std::numeric_limits<int32_t>::min() || whole > std::numeric_limits<int32_t>::max()) return 0;
  return static_cast<int32_t>(whole);
}

std::string LanguageNumberToText(int32_t language) {
  const std::string digits = std::to_string(language);
  return language < 0 ? digits : " " + digits;
}

void AccessConfiguration(const std::string& mode, int32_t& language, const std::u16string& program_folder) {
  const std::u16string path = program_folder + kFileName;
  if (mode == "get") {
    std::string value = platform::ReadIniString(kSection, kKey, kDefault, path);
    if (value.size() > kValueLimit) value.resize(kValueLimit);
    language = LanguageNumberFromText(value);
  } else if (mode == "save") {
    platform::WriteIniString(kSection, kKey, LanguageNumberToText(language), path);
  }
}

}  // namespace zentora
