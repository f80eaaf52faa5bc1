#include "platform/text_wrap.h"

#include <algorithm>

namespace zentora::platform {
namespace {

bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The most units of `word` (at least one character) that fit `most_width`.
std::size_t FittingPrefix(std::u16string_view word, int most_width, const MeasureText& width_of) {
  std::size_t low = 1, high = word.size();  // the answer lies in [low, high]
  while (low < high) {
    const std::size_t middle = (low + high + 1) / 2;
    if (width_of(word.substr(0, middle)) <= most_width) low = middle;
    else high = middle - 1;
  }
  if (low < word.size() && IsLowSurrogate(word[low])) low = low > 1 ? low - 1 : low + 1;
  return low;
}

void WrapParagraph(std::u16string_view paragraph, int most_width, const MeasureText& width_of,
                   std::vector<std::u16string>& lines) {
  std::u16string line;
  std::size_t at = 0;
  while (at <= paragraph.size()) {
    const std::size_t space = std::min(paragraph.find(u' ', at), paragraph.size());
    std::u16string_view word = paragraph.substr(at, space - at);
    at = space + 1;
    const std::u16string joined = line.empty() ? std::u16string(word) : line + u' ' + std::u16string(word);
    if (width_of(joined) <= most_width) {
      line = joined;
      continue;
    }
    if (!line.empty()) lines.push_back(line);
    while (word.size() > 1 && width_of(word) > most_width) {
      const std::size_t fits = FittingPrefix(word, most_width, width_of);
      lines.emplace_back(word.substr(0, fits));
      word.remove_prefix(fits);
    }
    line = word;
  }
  lines.push_back(line);
}

}  // namespace

std::vector<std::u16string> WrapText(std::u16string_view text, int most_width, const MeasureText& width_of) {
  std::vector<std::u16string> lines;
  std::size_t at = 0;
  for (;;) {
    const std::size_t end = std::min(text.find(u'\n', at), text.size());
    std::u16string_view paragraph = text.substr(at, end - at);
    if (!paragraph.empty() && paragraph.back() == u'\r') paragraph.remove_suffix(1);
    WrapParagraph(paragraph, most_width, width_of, lines);
    if (end == text.size()) return lines;
    at = end + 1;
  }
}

std::u16string JoinLines(const std::vector<std::u16string>& lines, std::u16string_view line_break) {
  std::u16string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += line_break;
    joined += lines[i];
  }
  return joined;
}

}  // namespace zentora::platform
