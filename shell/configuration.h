// The program's one persistent setting: the user-interface language, kept as key Idioma of
// section "Configuración" in Configuracion.ini beside the program.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace zentora {

// mode "get" reads Idioma into `language` (1 when the file, the section or the key is missing);
// mode "save" writes `language`; any other mode does nothing. `program_folder` ends with the
// path separator. Failures of the file are not reported: a failed save keeps the language for
// this run only.
void AccessConfiguration(const std::string& mode, int32_t& language, const std::u16string& program_folder);

// The language number a stored text stands for: leading blanks skipped, then an optional sign,
// digits with at most one ".", and an optional exponent (E, e, D or d); the rest is ignored.
// That is the decimal form of display/number_text.h alone: "&H5" and the other prefixed forms
// are no number here. The nearest integer is taken, halves going to the even neighbour. Text
// without a number, and a number outside the 32-bit range, give 0.
int32_t LanguageNumberFromText(std::string_view text);

// The stored form of a language number: decimal, with a leading space when not negative (" 5").
std::string LanguageNumberToText(int32_t language);

}  // namespace zentora
