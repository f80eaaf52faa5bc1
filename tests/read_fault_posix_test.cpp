// A read that fails in the middle of a scan, made by this program's own pread: once armed,
// every read at or beyond a given offset fails as a failing disk does (EIO). It lives in
// an executable of its own so that no other test reads through it.
#include <dlfcn.h>
#include <errno.h>
#include <sys/types.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "reader/reader_core.h"
#include "storage/data_file.h"
#include "support/temp_folder.h"

namespace {
off_t g_failing_from = -1;  // -1: every read goes through
}

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
  using Pread = ssize_t (*)(int, void*, size_t, off_t);
  static const auto real = reinterpret_cast<Pread>(dlsym(RTLD_NEXT, "pread"));
  if (g_failing_from >= 0 && offset + static_cast<off_t>(count) > g_failing_from) {
    errno = EIO;
    return -1;
  }
  return real(fd, buffer, count, offset);
}

namespace zentora {
namespace {

// More entries than one read of the scan takes, so the value's first part is gathered
// before the read of its rest fails.
constexpr std::size_t kAttachmentBytes = 20000;
constexpr off_t kFailFrom = 16384 * static_cast<off_t>(kDataUnitBytes);

class ReadFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(root_.fs() / "Base");
    const std::string bytes(kAttachmentBytes, '\x5A');
    ASSERT_EQ(AppendByteUnits(db_, foto_, 1, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), true),
              IoStatus::Ok);
    ASSERT_EQ(ReadFieldBytes(db_, foto_.name, 1).size(), kAttachmentBytes);
    g_failing_from = kFailFrom;
  }
  void TearDown() override { g_failing_from = -1; }

  testing::TempFolder root_;
  const Database db_{root_.path(), u"Base", 50};
  const FieldDefinition foto_{0, PadFieldName(u"Foto"), 6, 0, 0};
};

TEST_F(ReadFaultTest, AnAttachmentWhoseReadFailsIsEmpty) {
  EXPECT_EQ(ReadFieldBytes(db_, foto_.name, 1), "");
  std::string bytes = "left over";
  EXPECT_EQ(FindValueBytes(db_, ValueQuery{foto_.name, 1}, bytes).status, IoStatus::Failed);
  EXPECT_EQ(bytes, "");
}

TEST_F(ReadFaultTest, TheReaderWritesNoCutAttachment) {
  EXPECT_EQ(reader::WriteAttachment(root_.path(), u"Base", foto_.name, 1, u"foto", reader::Attachment::Image, 50),
            reader::AttachmentResult::Missing);
  EXPECT_FALSE(std::filesystem::exists(root_.fs() / "foto.jpg"));
}

}  // namespace
}  // namespace zentora
