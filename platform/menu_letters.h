// The letter each menu item answers to, the same on every desktop: its first letter, unless an
// earlier item of its level took that one, then the first letter of its text that none took
// (so "Español" keeps E and "English" gets n). Both desktops underline it.
#pragma once
#include <string>
#include <vector>

#include "platform/ui.h"

namespace zentora::platform {

// Upper case for the letters of Latin-1 (enough for the program's menus), unchanged otherwise.
inline char16_t MenuLetterKey(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  return c;
}

inline bool CanBeMenuLetter(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7);
}

// The place of each item's letter in its text; std::u16string::npos for a separator or an
// item whose every letter an earlier item took.
inline std::vector<std::size_t> MenuLetters(const std::vector<MenuItem>& items) {
  std::vector<std::size_t> places;
  std::u16string taken;
  for (const MenuItem& item : items) {
    std::size_t place = std::u16string::npos;
    if (item.text != u"-") {
      for (std::size_t i = 0; i < item.text.size(); ++i) {
        const char16_t c = item.text[i];
        if (CanBeMenuLetter(c) && taken.find(MenuLetterKey(c)) == std::u16string::npos) {
          place = i;
          taken.push_back(MenuLetterKey(c));
          break;
        }
      }
    }
    places.push_back(place);
  }
  return places;
}

// The text as both desktops' menus read it: '&' before its letter, a '&' of its own doubled.
inline std::u16string MarkedMenuText(const std::u16string& text, std::size_t letter) {
  std::u16string marked;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == letter) marked.push_back(u'&');
    marked.push_back(text[i]);
    if (text[i] == u'&') marked.push_back(u'&');
  }
  return marked;
}

}  // namespace zentora::platform
