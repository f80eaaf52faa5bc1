#include "shell/configuration.h"

#include <limits>
#include <optional>

#include "display/number_text.h"
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

}  // namespace

int32_t LanguageNumberFromText(std::string_view text) {
  // Code page 1252 bytes widened one to one: only the ASCII ones can be part of a number.
  std::u16string wide;
  for (const char byte : text) wide += static_cast<char16_t>(static_cast<unsigned char>(byte));
  const std::optional<std::int64_t> whole = NearestWhole(ReadWrittenNumber(wide, NumberForms::DecimalOnly));
  if (!whole || *whole < std::numeric_limits<int32_t>::min() || *whole > std::numeric_limits<int32_t>::max()) return 0;
  return static_cast<int32_t>(*whole);
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
