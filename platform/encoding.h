// Conversions at the platform boundary: the core keeps text as UTF-16, the desktop
// toolkit and POSIX paths want UTF-8, the INI file and narrow names use code page 1252.
#pragma once
#include <string>

namespace zentora::platform {

// Unpaired surrogates become U+FFFD so that no invalid UTF-8 ever leaves the core.
std::string Utf16ToUtf8(const std::u16string& text);
// Malformed UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
// A file name of a system whose names are bytes (Linux): UTF-8 where the bytes are UTF-8, and
// each byte that is not kept as U+DC80..U+DCFF, so that the name comes back byte for byte.
std::u16string FileNameToUtf16(const std::string& name);
std::string Utf16ToFileName(const std::u16string& name);
// Characters without a code page 1252 form become '?', as the Windows best-fit-free conversion does.
std::string Utf16ToCp1252(const std::u16string& text);
std::u16string Cp1252ToUtf16(const std::string& text);

}  // namespace zentora::platform
