// Writes the sample database for the Python test of the Linux library:
//   write_sample_database FOLDER NAME   makes FOLDER/NAME/NAME.z04 and NAME.zbd
#include <cstdio>
#include <exception>

#include "platform/encoding.h"
#include "reader/sample_database.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: write_sample_database FOLDER NAME\n");
    return 2;
  }
  try {
    std::u16string folder = zentora::platform::Utf8ToUtf16(argv[1]);
    if (folder.empty() || folder.back() != u'/') folder += u'/';
    zentora::testing::WriteSampleDatabase(zentora::Database{folder, zentora::platform::Utf8ToUtf16(argv[2])});
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
