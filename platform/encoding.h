// Conversions at the platform boundary: the core keeps text as UTF-16, the desktop
// toolkit and POSIX paths want UTF-8, the INI file and narrow names use code page 1252.
#pragma once
#include <string>

namespace zentora::platform {

// Unpaired surrogates become U+FFFD so that no invalid UTF-8 ever leaves the core.
std::string Utf16ToUtf8(const std::u16string& text);
// Malformed UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
// Characters without a code page 1252 form become '?', as the Windows best-fit-free conversion does.
std::string Utf16ToCp1252(const std::u16string& text);
std::u16string Cp1252ToUtf16(const std::string& text);

}  // namespace zentora::platform
