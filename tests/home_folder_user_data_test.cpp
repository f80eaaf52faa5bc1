// The installed Linux program's home folder: the user's data folder, as the XDG rules name
// it, created when missing. (The development builds link the folder beside the program.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/encoding.h"
#include "platform/system.h"
#include "support/temp_folder.h"

namespace zentora::platform {
namespace {

// Sets (or, given nothing, unsets) a variable for one case and puts back what was there.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedVariable() { Set(old_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) ::setenv(name_, value->c_str(), 1);
    else ::unsetenv(name_);
  }
  const char* name_;
  std::optional<std::string> old_;
};

struct FolderCase {
  const char* what;
  std::optional<std::string> xdg_data_home;  // nothing: unset
  std::string expected;
};

TEST(UserDataHomeFolder, FollowsXdgDataHomeElseTheHomeFolder) {
  const testing::TempFolder temp;
  const std::string root = temp.fs().string();
  const std::string home = root + "/home";
  const std::string from_home = home + "/.local/share/zentora/";
  const FolderCase cases[] = {
      {"absolute", root + "/xdg", root + "/xdg/zentora/"},
      {"ending with a slash", root + "/xdg2/", root + "/xdg2/zentora/"},
      {"below folders still missing", root + "/a/b/c", root + "/a/b/c/zentora/"},
      {"unset", std::nullopt, from_home},
      {"empty", "", from_home},
      {"relative, which the rules say to ignore", "relative/xdg", from_home},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(home);  // each case must make ~/.local/share itself
    const ScopedVariable home_variable("HOME", home);
    const ScopedVariable xdg("XDG_DATA_HOME", c.xdg_data_home);
    // A reader asks first: the same folder, and nothing made.
    EXPECT_EQ(Utf16ToUtf8(HomeFolder(MakeHome::No)), c.expected);
    EXPECT_FALSE(std::filesystem::exists(c.expected)) << "a reader made the folder";
    EXPECT_EQ(Utf16ToUtf8(HomeFolder()), c.expected);
    EXPECT_TRUE(std::filesystem::is_directory(c.expected));
  }
  EXPECT_FALSE(std::filesystem::exists("relative")) << "a relative XDG_DATA_HOME was created";
}

TEST(UserDataHomeFolder, KeepsWhatAnExistingFolderHolds) {
  const testing::TempFolder temp;
  const ScopedVariable xdg("XDG_DATA_HOME", temp.fs().string());
  const std::filesystem::path database = temp.fs() / "zentora" / "Muestra";
  std::filesystem::create_directories(database);
  testing::WriteAll(database / "Muestra.z04", "structure");
  EXPECT_EQ(Utf16ToUtf8(HomeFolder()), (temp.fs() / "zentora").string() + "/");
  EXPECT_EQ(testing::ReadAll(database / "Muestra.z04"), "structure");
}

}  // namespace
}  // namespace zentora::platform
