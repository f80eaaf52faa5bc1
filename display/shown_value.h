// What a viewer shows for a stored value, the same in the program's viewers and in
// zentora-read: a number through the number display, a yes/no value as the words Sí/No (Yes/No),
// a text as it is, and "No datos" (No data) where nothing was stored.
#pragma once
#include <cstdint>
#include <string>

#include "texts/text_table.h"

namespace zentora {

// How a field's values are shown.
enum class ShownAs { Number, YesNo, Text };

// Decimal and integer fields show numbers, yes/no fields yes or no, every other field its text.
ShownAs ShownAsFor(std::int16_t field_type);

// A stored yes/no value reads as yes when it holds any number but 0; an empty text, or one
// without a number, reads as no.
bool StoredYes(const std::u16string& stored);

// The shown text of `stored`, a value of a field with `decimals` places, in the language of
// `texts`. A number or text never stored says so rather than passing for a stored 0 or an
// empty text; a yes/no value never stored reads as no.
std::u16string ShownValue(const Texts& texts, ShownAs as, std::int16_t decimals, const std::u16string& stored);

}  // namespace zentora
