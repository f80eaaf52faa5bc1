#include "platform/utf16_streambuf.h"

#include <utility>

#include "platform/encoding.h"

namespace zentora::platform {

// Text is handed on once this much is held, or at a flush.
constexpr std::size_t kHeldBytes = 4096;

std::size_t CompleteUtf8Prefix(const std::string& utf8) {
  // The lead byte of the last character lies at most three bytes before the end.
  const std::size_t size = utf8.size();
  for (std::size_t back = 1; back <= 4 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(utf8[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back && byte < 0xF8 ? size - back : size;
  }
  return size;
}

Utf16Streambuf::Utf16Streambuf(std::function<bool(const std::u16string&)> sink) : sink_(std::move(sink)) {}

Utf16Streambuf::~Utf16Streambuf() {
  Deliver();
  if (!pending_.empty() && sink_) sink_(Utf8ToUtf16(pending_));  // an unfinished last character
}

bool Utf16Streambuf::Deliver() {
  const std::size_t complete = CompleteUtf8Prefix(pending_);
  if (complete == 0) return true;
  const bool shown = sink_(Utf8ToUtf16(pending_.substr(0, complete)));
  pending_.erase(0, complete);
  return shown;
}

Utf16Streambuf::int_type Utf16Streambuf::overflow(int_type byte) {
  if (traits_type::eq_int_type(byte, traits_type::eof())) return traits_type::not_eof(byte);
  pending_ += traits_type::to_char_type(byte);
  if (pending_.size() >= kHeldBytes && !Deliver()) return traits_type::eof();
  return byte;
}

std::streamsize Utf16Streambuf::xsputn(const char* bytes, std::streamsize count) {
  pending_.append(bytes, static_cast<std::size_t>(count));
  if (pending_.size() >= kHeldBytes && !Deliver()) return 0;
  return count;
}

int Utf16Streambuf::sync() { return Deliver() ? 0 : -1; }

}  // namespace zentora::platform
