// A stream buffer that takes UTF-8 and hands it on as UTF-16, whole characters only: what a
// console that shows UTF-16 (the Windows console's WriteConsoleW) needs from a tool that
// writes UTF-8. A character split across two writes is held back until its last byte comes.
#pragma once
#include <functional>
#include <streambuf>
#include <string>

namespace zentora::platform {

class Utf16Streambuf : public std::streambuf {
 public:
  // `sink` takes each converted run; it answers false when the text could not be shown,
  // which the stream reports as a failed write.
  explicit Utf16Streambuf(std::function<bool(const std::u16string&)> sink);
  ~Utf16Streambuf() override;
  Utf16Streambuf(const Utf16Streambuf&) = delete;
  Utf16Streambuf& operator=(const Utf16Streambuf&) = delete;

 protected:
  int_type overflow(int_type byte) override;
  std::streamsize xsputn(const char* bytes, std::streamsize count) override;
  int sync() override;

 private:
  // Converts and hands on every complete character held; an unfinished one stays.
  bool Deliver();

  std::function<bool(const std::u16string&)> sink_;
  std::string pending_;
};

// How many bytes at the start of `utf8` form whole characters: an unfinished sequence at
// its end is left out (a malformed one is not, so it is shown as U+FFFD at once).
std::size_t CompleteUtf8Prefix(const std::string& utf8);

}  // namespace zentora::platform
