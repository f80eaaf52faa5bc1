// The attachment cache folder: where it is, making it, and emptying it on Exit.
#include "attachments/cache_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/system.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteAll;

TEST(CacheFolderForTest, FirstFixedDriveElseTheUserCacheFolder) {
  const std::u16string sep(1, platform::PathSeparator());
  EXPECT_EQ(CacheFolderFor({u"C:" + sep, u"D:" + sep}, u"/ignored/"), u"C:" + sep + u"velmora cache" + sep);
  EXPECT_EQ(CacheFolderFor({u"E:"}, u""), u"E:" + sep + u"velmora cache" + sep);
  EXPECT_EQ(CacheFolderFor({}, sep + u"home" + sep + u".cache" + sep),
            sep + u"home" + sep + u".cache" + sep + u"velmora cache" + sep);
}

TEST(ClearCacheFolderTest, DeletesEveryFileReadOnlyTooAndLeavesFolders) {
  TempFolder folder;
  WriteAll(folder.fs() / "image_1_5.jpg", "picture");
  WriteAll(folder.fs() / "sonido_2_9.wav", "sound");
  fs::permissions(folder.fs() / "sonido_2_9.wav",
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
  fs::create_directory(folder.fs() / "kept");
  WriteAll(folder.fs() / "kept" / "inner.jpg", "inner");

  ClearCacheFolder(folder.path());
  EXPECT_FALSE(fs::exists(folder.fs() / "image_1_5.jpg"));
  EXPECT_FALSE(fs::exists(folder.fs() / "sonido_2_9.wav"));
  EXPECT_TRUE(fs::is_directory(folder.fs() / "kept"));
  EXPECT_TRUE(fs::exists(folder.fs() / "kept" / "inner.jpg"));
  // The folder stays usable: a file can still be written into it.
  WriteAll(folder.fs() / "kept" / "again.jpg", "again");
  EXPECT_TRUE(fs::exists(folder.fs() / "kept" / "again.jpg"));
}

TEST(PrepareCacheFolderTest, FindsAndCreatesTheCacheFolder) {
  TempFolder folder;
  testing::UseCacheHomeIn(folder);
  const std::u16string cache_folder = PrepareCacheFolder();
  EXPECT_EQ(cache_folder, CacheFolderFor(platform::FixedDrives(), platform::UserCacheFolder()));
  if (platform::FixedDrives().empty()) {
    // Under the test's own cache home, which did not exist before.
    EXPECT_EQ(fs::path(cache_folder), folder.fs() / "xdg" / "velmora cache" / "");
  }
  EXPECT_TRUE(fs::is_directory(fs::path(cache_folder)));
}

}  // namespace
}  // namespace zentora
