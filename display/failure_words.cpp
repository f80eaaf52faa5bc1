#include "display/failure_words.h"

#include <string>

#include "platform/encoding.h"

namespace zentora {

std::u16string Substituted(std::u16string_view pattern, std::initializer_list<std::u16string_view> values) {
  std::u16string out;
  out.reserve(pattern.size());
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    const char16_t next = at + 1 < pattern.size() ? pattern[at + 1] : u'\0';
    const std::size_t number = next >= u'1' && next <= u'9' ? static_cast<std::size_t>(next - u'1') : values.size();
    if (pattern[at] == u'%' && number < values.size()) {
      out += values.begin()[number];
      ++at;
    } else {
      out += pattern[at];
    }
  }
  return out;
}

std::u16string FailureWords(const TextTable& table, std::int32_t language, const IoStatus& status) {
  using platform::FailureCause;
  TextId words = text::kCauseOther;
  switch (status.cause()) {
    case FailureCause::NotFound: words = text::kCauseNotFound; break;
    case FailureCause::Denied: words = text::kCauseDenied; break;
    case FailureCause::NoSpace: words = text::kCauseNoSpace; break;
    case FailureCause::NameTooLong: words = text::kCauseNameTooLong; break;
    case FailureCause::Held: words = text::kCauseHeld; break;
    case FailureCause::NotRegularFile: words = text::kCauseNotRegularFile; break;
    case FailureCause::Damaged: words = text::kCauseDamaged; break;
    // An operation that failed with no word from the system read or wrote less than it should.
    case FailureCause::None:
    case FailureCause::Other: words = status.code() == 0 ? text::kCausePartial : text::kCauseOther; break;
  }
  const std::u16string code(platform::Utf8ToUtf16(std::to_string(status.code())));
  return Substituted(UiText(table, language, words), {status.path(), code});
}

std::u16string FailureMessage(const Texts& texts, TextId what, const Database& db, const IoStatus& status) {
  return Substituted(texts.Text(what), {QuotedName(texts, db.name), FailureWords(texts.table, texts.language, status)});
}

std::u16string QuotedName(const Texts& texts, const std::u16string& name) { return texts.Filled(text::kQuotedName, name); }

bool WorthTryingAgain(platform::FailureCause cause) {
  using platform::FailureCause;
  return cause == FailureCause::Held || cause == FailureCause::NoSpace || cause == FailureCause::Other;
}

std::u16string TryAgainAdvice(const Texts& texts, const IoStatus& status) {
  if (!WorthTryingAgain(status.cause())) return {};
  std::u16string advice(1, u' ');
  advice += texts.Text(status.cause() == platform::FailureCause::NoSpace ? text::kFreeSpaceTryAgain : text::kTryAgain);
  return advice;
}

}  // namespace zentora
