#include "platform/encoding.h"

#include <array>

namespace zentora::platform {
namespace {

// Code page 1252 bytes 0x80..0x9F; 0 marks the five unassigned bytes, read as the C1 control
// of the same number, which is what Windows itself maps them to.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

}  // namespace

namespace {

// A byte that is no part of valid UTF-8 in a file name, kept as an unpaired low surrogate
// U+DC80..U+DCFF so that the name goes back to the system byte for byte.
constexpr char16_t kKeptByte = 0xDC00;

std::string ToUtf8(const std::u16string& text, bool keep_bytes) {
  // Most texts and every path of ours begin with ASCII, if they are not all of it: that run is
  // copied a unit a byte without going through AppendUtf8.
  size_t ascii = 0;
  while (ascii < text.size() && text[ascii] < 0x80) ++ascii;
  std::string out(ascii, '\0');
  for (size_t i = 0; i < ascii; ++i) out[i] = static_cast<char>(text[i]);
  if (ascii == text.size()) return out;
  out.reserve(text.size() + text.size() / 2);
  for (size_t i = ascii; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (keep_bytes && c >= kKeptByte + 0x80 && c <= kKeptByte + 0xFF) {
      out.push_back(static_cast<char>(c - kKeptByte));
      continue;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string ToUtf16(const std::string& text, bool keep_bytes) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80    ? 0
                      : lead < 0xC2  ? -1
                      : lead < 0xE0  ? 1
                      : lead < 0xF0  ? 2
                      : lead < 0xF5  ? 3
                                     : -1;
    char32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
    bool ok = extra >= 0 && i + static_cast<size_t>(extra) < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) ok = false;
      c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    if (ok && ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
               (c >= 0xD800 && c <= 0xDFFF)))
      ok = false;
    if (!ok) {
      out += keep_bytes ? static_cast<char16_t>(kKeptByte + lead) : u'\uFFFD';
      ++i;
      continue;
    }
    AppendUtf16(out, c);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

}  // namespace

std::string Utf16ToUtf8(const std::u16string& text) { return ToUtf8(text, false); }
std::u16string Utf8ToUtf16(const std::string& text) { return ToUtf16(text, false); }
std::string Utf16ToFileName(const std::u16string& name) { return ToUtf8(name, true); }
std::u16string FileNameToUtf16(const std::string& name) { return ToUtf16(name, true); }

std::string Utf16ToCp1252(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    char mapped = '?';
    for (size_t k = 0; k < kCp1252High.size(); ++k) {
      const char16_t slot = kCp1252High[k] ? kCp1252High[k] : static_cast<char16_t>(0x80 + k);
      if (slot == c) mapped = static_cast<char>(0x80 + k);
    }
    out += mapped;
  }
  return out;
}

std::u16string Cp1252ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (char ch : text) {
    const unsigned char b = static_cast<unsigned char>(ch);
    if (b >= 0x80 && b < 0xA0)
      out += kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
    else
      out += static_cast<char16_t>(b);
  }
  return out;
}

}  // namespace zentora::platform
