// The program's pictures on Linux, made from the same character-art sources as the Windows
// resources (embedded by the build as text, numbered as the resources are): each source
// gives its size, a palette of one character per colour ('transparent' for the see-through
// pixels of an icon) and one text row per pixel row.
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fltk/internal.h"
#include "resources/resource_numbers.h"

namespace zentora::platform::fltk {
namespace {

struct PictureSource {
  int resource;
  const char* art;
};

// The build writes this list from resources/resource_numbers.h and the sources it names.
const PictureSource kPictureSources[] = {
#include "ui_fltk_pictures.inc"
};

// Four bytes a pixel (red, green, blue, opacity); empty when the source cannot be read.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;
};

Pixels ReadArt(const std::string& art) {
  Pixels pixels;
  std::map<char, long> palette;  // -1: transparent
  std::vector<std::string> rows;
  std::istringstream lines(art);
  std::string line;
  bool in_pixels = false;
  while (std::getline(lines, line)) {
    if (in_pixels) {
      if (!line.empty()) rows.push_back(line);
      continue;
    }
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || word[0] == '#') continue;
    if (word == "size") {
      words >> pixels.width >> pixels.height;
    } else if (word == "colour") {
      std::string key;
      std::string value;
      words >> key >> value;
      if (key.size() != 1) return {};
      palette[key[0]] = value == "transparent" ? -1 : std::stol(value, nullptr, 16);
    } else if (word == "pixels") {
      in_pixels = true;
    }
  }
  if (pixels.width <= 0 || static_cast<int>(rows.size()) != pixels.height) return {};
  for (const std::string& row : rows) {
    if (static_cast<int>(row.size()) != pixels.width) return {};
    for (char c : row) {
      const auto colour = palette.find(c);
      if (colour == palette.end()) return {};
      const long rgb = colour->second < 0 ? 0 : colour->second;
      pixels.rgba.push_back(static_cast<unsigned char>(rgb >> 16 & 0xFF));
      pixels.rgba.push_back(static_cast<unsigned char>(rgb >> 8 & 0xFF));
      pixels.rgba.push_back(static_cast<unsigned char>(rgb & 0xFF));
      pixels.rgba.push_back(colour->second < 0 ? 0 : 0xFF);
    }
  }
  return pixels;
}

struct Loaded {
  std::vector<unsigned char> rgba;  // the image draws from this, so it lives as long
  std::unique_ptr<Fl_RGB_Image> image;
};

}  // namespace

Fl_RGB_Image* ResourceImage(int resource) {
  static std::map<int, Loaded> loaded;
  const auto found = loaded.find(resource);
  if (found != loaded.end()) return found->second.image.get();
  Loaded& entry = loaded[resource];
  for (const PictureSource& source : kPictureSources) {
    if (source.resource != resource) continue;
    Pixels pixels = ReadArt(source.art);
    if (pixels.rgba.empty()) break;
    entry.rgba = std::move(pixels.rgba);
    entry.image = std::make_unique<Fl_RGB_Image>(entry.rgba.data(), pixels.width, pixels.height, 4);
    break;
  }
  return entry.image.get();
}

}  // namespace zentora::platform::fltk
