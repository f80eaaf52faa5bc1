#include "display/shown_value.h"

#include "display/number_format.h"
#include "storage/field_definition.h"

namespace zentora {

ShownAs ShownAsFor(std::int16_t field_type) {
  switch (static_cast<FieldType>(field_type)) {
    case FieldType::Decimal:
    case FieldType::Integer: return ShownAs::Number;
    case FieldType::Logical: return ShownAs::YesNo;
    default: return ShownAs::Text;
  }
}

bool StoredYes(const std::u16string& stored) { return ReadNumberText(stored).mantissa != 0; }

std::u16string ShownValue(const Texts& texts, ShownAs as, std::int16_t decimals, const std::u16string& stored) {
  switch (as) {
    case ShownAs::YesNo: return texts.Text(StoredYes(stored) ? text::kLogicalViewerYes : text::kLogicalViewerNo);
    case ShownAs::Number:
      return stored.empty() ? texts.Text(text::kNoData) : FormatNumber(stored, decimals, texts.language);
    case ShownAs::Text: break;
  }
  return stored.empty() ? texts.Text(text::kNoData) : stored;
}

}  // namespace zentora
