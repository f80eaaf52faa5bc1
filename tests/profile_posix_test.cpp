// The POSIX profile must read and write Configuracion.ini exactly as the Windows profile
// functions do, so these tests pin the bytes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/system.h"
#include "shell/configuration.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using platform::ReadIniString;
using platform::WriteIniString;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

const std::string kSection = "Configuraci\xF3n";
const std::string kKey = "Idioma";

struct ReadCase {
  const char* name;
  std::string file;
  std::string expected;
};

TEST(ProfilePosix, ReadsLikeTheWindowsProfile) {
  const ReadCase cases[] = {
      {"plain", "[Configuraci\xF3n]\r\nIdioma=5\r\n", "5"},
      {"value trimmed", "[Configuraci\xF3n]\r\nIdioma= 5 \r\n", "5"},
      {"blanks everywhere", "  [ Configuraci\xF3n ]  \r\n\t Idioma \t=  5\t \r\n", "5"},
      {"case of section and key", "[CONFIGURACI\xD3N]\r\nIDIOMA=5", "5"},
      {"line feeds only", "[Configuraci\xF3n]\nIdioma=5\n", "5"},
      {"carriage returns only", "[Configuraci\xF3n]\rIdioma=5\r", "5"},
      {"double quotes removed", "[Configuraci\xF3n]\r\nIdioma=\" 5\"\r\n", " 5"},
      {"single quotes removed", "[Configuraci\xF3n]\r\nIdioma='7'\r\n", "7"},
      {"lone quote kept", "[Configuraci\xF3n]\r\nIdioma=\"\r\n", "\""},
      {"unmatched quotes kept", "[Configuraci\xF3n]\r\nIdioma=\"5'\r\n", "\"5'"},
      {"empty value", "[Configuraci\xF3n]\r\nIdioma=\r\n", ""},
      {"equals sign in value", "[Configuraci\xF3n]\r\nIdioma=a=b\r\n", "a=b"},
      {"comments and blank lines", "; note\r\n\r\n[Configuraci\xF3n]\r\n\r\n;x=1\r\nIdioma=5\r\n\r\n", "5"},
      {"first key wins", "[Configuraci\xF3n]\r\nIdioma=5\r\nIdioma=1\r\n", "5"},
      {"text after the bracket", "[Configuraci\xF3n] ; note\r\nIdioma=5\r\n", "5"},
      {"value ends at a zero byte", std::string("[Configuraci\xF3n]\r\nIdioma=5\0" "9\r\n", 26), "5"},
      {"key without equals sign", "[Configuraci\xF3n]\r\nIdioma\r\n", "1"},
      {"key in another section", "[Otra]\r\nIdioma=5\r\n[Configuraci\xF3n]\r\nx=2\r\n", "1"},
      {"key before any section", "Idioma=5\r\n[Configuraci\xF3n]\r\n", "1"},
      {"second section of the same name unread", "[Configuraci\xF3n]\r\nx=1\r\n[configuraci\xF3n]\r\nIdioma=5\r\n", "1"},
      {"section name in UTF-8 is another name", "[Configuraci\xC3\xB3n]\r\nIdioma=5\r\n", "1"},
      {"bracket never closed", "[Configuraci\xF3n\r\nIdioma=5\r\n", "1"},
      {"empty file", "", "1"},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    WriteAll(folder.fs() / "p.ini", c.file);
    EXPECT_EQ(ReadIniString(kSection, kKey, "1", folder.path() + u"p.ini"), c.expected);
  }
}

TEST(ProfilePosix, MissingFileGivesTheDefaultWithoutTrailingSpacesAndCreatesNothing) {
  TempFolder folder;
  EXPECT_EQ(ReadIniString(kSection, kKey, "1  ", folder.path() + u"p.ini"), "1");
  EXPECT_FALSE(std::filesystem::exists(folder.fs() / "p.ini"));
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string after;
};

TEST(ProfilePosix, WritesLikeTheWindowsProfileKeepingEveryOtherLine) {
  const WriteCase cases[] = {
      {"empty file", "", "[Configuraci\xF3n]\r\nIdioma= 5\r\n"},
      {"value replaced", "[Configuraci\xF3n]\r\nIdioma= 1\r\n", "[Configuraci\xF3n]\r\nIdioma= 5\r\n"},
      {"longer value replaced", "[Configuraci\xF3n]\r\nIdioma=123456789\r\nx=1\r\n",
       "[Configuraci\xF3n]\r\nIdioma= 5\r\nx=1\r\n"},
      {"key line with blanks replaced", "[Configuraci\xF3n]\r\n  idioma = 1  \r\n", "[Configuraci\xF3n]\r\nIdioma= 5\r\n"},
      {"section matched without case", "[CONFIGURACI\xD3N]\r\nIdioma=1\r\n", "[CONFIGURACI\xD3N]\r\nIdioma= 5\r\n"},
      {"line feeds kept", "[Configuraci\xF3n]\nIdioma=1\nx=2\n", "[Configuraci\xF3n]\nIdioma= 5\nx=2\n"},
      {"key added before the blank lines that end the section",
       "[a]\r\nx=1\r\n\r\n[Configuraci\xF3n]\r\nother=2\r\n\r\n\r\n[z]\r\nq=1",
       "[a]\r\nx=1\r\n\r\n[Configuraci\xF3n]\r\nother=2\r\nIdioma= 5\r\n\r\n\r\n[z]\r\nq=1"},
      // The profile knows no comments: a ";" line is a line of the section like any other.
      {"key added after a comment that ends the section",
       "[Configuraci\xF3n]\r\nother=2\r\n; z\r\n\r\n[z]\r\n",
       "[Configuraci\xF3n]\r\nother=2\r\n; z\r\nIdioma= 5\r\n\r\n[z]\r\n"},
      {"key added to a section at the end without a line break", "[a]\r\nx=1\r\n[Configuraci\xF3n]",
       "[a]\r\nx=1\r\n[Configuraci\xF3n]\r\nIdioma= 5\r\n"},
      {"section added after a last line without a line break", "[a]\r\nx=1",
       "[a]\r\nx=1\r\n[Configuraci\xF3n]\r\nIdioma= 5\r\n"},
      {"section added after other sections", "[a]\r\nIdioma=1\r\n",
       "[a]\r\nIdioma=1\r\n[Configuraci\xF3n]\r\nIdioma= 5\r\n"},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    WriteAll(folder.fs() / "p.ini", c.before);
    EXPECT_TRUE(WriteIniString(kSection, kKey, " 5", folder.path() + u"p.ini"));
    EXPECT_EQ(ReadAll(folder.fs() / "p.ini"), c.after);
  }
}

TEST(ProfilePosix, SavingEnglishCreatesTheFileInCodePage1252) {
  TempFolder folder;
  int32_t language = 5;
  AccessConfiguration("save", language, folder.path());
  EXPECT_EQ(ReadAll(folder.fs() / "Configuracion.ini"), "[Configuraci\xF3n]\r\nIdioma= 5\r\n");
  language = 1;
  AccessConfiguration("save", language, folder.path());
  EXPECT_EQ(ReadAll(folder.fs() / "Configuracion.ini"), "[Configuraci\xF3n]\r\nIdioma= 1\r\n");
}

TEST(ProfilePosix, PathsOutsideCodePage1252Work) {
  TempFolder folder;
  const std::u16string inner = folder.path() + u"Ж ñ\U0001F600/";
  std::filesystem::create_directory(std::filesystem::path(inner));
  ASSERT_TRUE(WriteIniString(kSection, kKey, " 5", inner + u"p.ini"));
  EXPECT_EQ(ReadIniString(kSection, kKey, "1", inner + u"p.ini"), "5");
}

TEST(ProfilePosix, WriteFailsWhereNoFileCanBe) {
  TempFolder folder;
  std::filesystem::create_directory(folder.fs() / "a folder");
  EXPECT_FALSE(WriteIniString(kSection, kKey, " 5", folder.path() + u"a folder"));
  EXPECT_FALSE(WriteIniString(kSection, kKey, " 5", folder.path() + u"missing/p.ini"));
  EXPECT_FALSE(std::filesystem::exists(folder.fs() / "missing"));
}

// A write that cannot grow the file (here: a file-size limit) must leave the old file intact,
// and must not leave behind a file it created.
TEST(ProfilePosix, WriteThatCannotGrowTheFileLeavesItUntouched) {
  TempFolder folder;
  const std::string before = "[Configuraci\xF3n]\r\nIdioma=1\r\n";  // one byte short of the new text
  WriteAll(folder.fs() / "p.ini", before);
  const std::u16string existing = folder.path() + u"p.ini";
  const std::u16string fresh = folder.path() + u"new.ini";
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{before.size(), before.size()};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool grew = WriteIniString(kSection, kKey, " 5", existing);
    const bool created = WriteIniString(kSection, kKey, " 5", fresh);
    ::_exit(grew || created ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a write past the size limit reported success";
  EXPECT_EQ(ReadAll(folder.fs() / "p.ini"), before);
  EXPECT_FALSE(std::filesystem::exists(folder.fs() / "new.ini"));
}

// What stands at Configuracion.ini and is not a regular file is neither waited on nor read nor
// written: the program starts with its defaults. A pipe with no writer would block an open
// for reading for ever, so each case runs in a child that the test ends if it does not return.
TEST(ProfilePosix, WhatIsNotAFileAtTheConfigurationNameIsLeftAloneAndDefaultsHold) {
  const struct {
    const char* what;
    void (*make)(const std::filesystem::path&);
  } cases[] = {
      {"a pipe", [](const std::filesystem::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0666), 0); }},
      {"a device", [](const std::filesystem::path& at) { std::filesystem::create_symlink("/dev/null", at); }},
      {"a folder", [](const std::filesystem::path& at) { std::filesystem::create_directory(at); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    const std::filesystem::path ini = folder.fs() / "Configuracion.ini";
    c.make(ini);
    const auto type_before = std::filesystem::symlink_status(ini).type();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int32_t language = 5;
      AccessConfiguration("get", language, folder.path());
      const bool got_default = language == 1;
      language = 5;
      AccessConfiguration("save", language, folder.path());
      const bool written = WriteIniString(kSection, kKey, " 5", folder.path() + u"Configuracion.ini");
      ::_exit(got_default && !written ? 0 : 1);
    }
    int status = 0;
    pid_t ended = 0;
    for (int round = 0; round < 1000 && ended == 0; ++round) {
      ended = ::waitpid(child, &status, WNOHANG);
      if (ended == 0) ::usleep(10000);
    }
    if (ended == 0) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      ADD_FAILURE() << "the configuration blocked on it";
      continue;
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "no default, or a write reported as done";
    EXPECT_EQ(std::filesystem::symlink_status(ini).type(), type_before) << "it was replaced";
  }
}

}  // namespace
}  // namespace zentora
