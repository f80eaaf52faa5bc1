#include "display/structure_description.h"

#include "storage/structure_file.h"

namespace zentora {
namespace {

std::u16string Decimal(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string DescribeField(const FieldDefinition& field, const TextTable& texts, std::int32_t language) {
  auto text = [&](TextId id) { return UiText(texts, language, id); };
  // A damaged record still gets a readable line: the raw number stands in for a word.
  const std::u16string key =
      field.key_flag == 0 ? text(text::kNoWord) : field.key_flag == 1 ? text(text::kYesWord) : Decimal(field.key_flag);
  const std::u16string type =
      field.type >= 1 && field.type <= 7 ? text(text::TypeWord(field.type)) : u"? (" + Decimal(field.type) + u")";
  std::u16string out;
  out += text(text::kKeyLabel) + key + u"\r\n";
  out += text(text::kNameLabel) + field.name + u"\r\n";
  out += text(text::kTypeLabel) + type + u"\r\n";
  out += text(text::kSizeLabel) + Decimal(field.size) + u"\r\n";
  out += text(text::kDecimalsLabel) + Decimal(field.decimals) + u"\r\n";
  out += u"\r\n";
  return out;
}

std::u16string DescribeFieldCount(std::size_t count, const TextTable& texts, std::int32_t language) {
  return Decimal(static_cast<long long>(count)) + UiText(texts, language, text::kRecordsSuffix) + u"\r\n";
}

std::u16string DescribeFields(const std::vector<FieldDefinition>& fields, const TextTable& texts,
                              std::int32_t language) {
  std::u16string out;
  for (const FieldDefinition& field : fields) out += DescribeField(field, texts, language);
  out += DescribeFieldCount(fields.size(), texts, language);
  return out;
}

std::u16string DescribeStructure(const Database& db, const TextTable& texts, std::int32_t language) {
  return DescribeFields(ReadStructure(db).value, texts, language);
}

}  // namespace zentora
