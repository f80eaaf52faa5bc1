// The language setting through the platform's own profile functions: these hold on every build.
#include "shell/configuration.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/system.h"
#include "support/temp_folder.h"

namespace zentora {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

constexpr char kFile[] = "Configuracion.ini";

TEST(LanguageNumberFromText, ReadsTheNearestIntegerWithHalvesToEven) {
  const struct {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"5", 5},          {" 5", 5},          {"5 ", 5},          {"\t\r\n 5", 5},    {"+5", 5},
      {"0005", 5},       {"5.", 5},          {"1.6", 2},         {"1.4", 1},         {"1.5", 2},
      {"2.5", 2},        {"3.5", 4},         {"0.5", 0},         {".6", 1},          {"2.50", 2},
      {"2.5000001", 3},  {"-1.6", -2},       {"-2.5", -2},       {"-3.5", -4},       {"1e1", 10},
      {"15e-1", 2},      {"25E-1", 2},       {"0.55e1", 6},      {"45d-1", 4},       {"5D0", 5},
      {"1e", 1},         {"1e+", 1},         {"5abc", 5},        {"1,6", 1},         {"1 6", 1},
      {"abc", 0},        {"", 0},            {"-", 0},           {".", 0},           {"e5", 0},
      {"0.000", 0},      {"1e-400", 0},      {"0e99999999999", 0},
      {"2147483647", 2147483647},            {"-2147483648", INT32_MIN},
      {"2147483648", 0}, {"2147483647.5", 0}, {"99999999999", 0}, {"1e400", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    EXPECT_EQ(LanguageNumberFromText(c.text), c.expected);
  }
}

TEST(LanguageNumberToText, NonNegativeNumbersGetALeadingSpace) {
  EXPECT_EQ(LanguageNumberToText(1), " 1");
  EXPECT_EQ(LanguageNumberToText(5), " 5");
  EXPECT_EQ(LanguageNumberToText(0), " 0");
  EXPECT_EQ(LanguageNumberToText(-3), "-3");
}

TEST(AccessConfiguration, FirstStartReadsSpanishAndWritesNothing) {
  TempFolder folder;
  int32_t language = 0;
  AccessConfiguration("get", language, folder.path());
  EXPECT_EQ(language, 1);
  EXPECT_FALSE(std::filesystem::exists(folder.fs() / kFile));
}

TEST(AccessConfiguration, SavedLanguageIsReadOnTheNextStart) {
  TempFolder folder;
  for (int32_t saved : {5, 1, 5}) {
    int32_t language = saved;
    AccessConfiguration("save", language, folder.path());
    EXPECT_EQ(language, saved) << "saving must not change the language";
    language = 0;
    AccessConfiguration("get", language, folder.path());
    EXPECT_EQ(language, saved);
  }
  EXPECT_EQ(platform::ReadIniString("Configuraci\xF3n", "Idioma", "", folder.path() + u"Configuracion.ini"), "5");
}

TEST(AccessConfiguration, HandWrittenFilesReadAsTheirNearestNumber) {
  const struct {
    const char* name;
    const char* file;
    int32_t expected;
  } cases[] = {
      {"no space", "[Configuraci\xF3n]\r\nIdioma=5\r\n", 5},
      {"spaces around", "[Configuraci\xF3n]\r\nIdioma = 5 \r\n", 5},
      {"as saved", "[Configuraci\xF3n]\r\nIdioma= 5\r\n", 5},
      {"fraction", "[Configuraci\xF3n]\r\nIdioma=1.6\r\n", 2},
      {"half to even", "[Configuraci\xF3n]\r\nIdioma=2.5\r\n", 2},
      {"not a number", "[Configuraci\xF3n]\r\nIdioma=abc\r\n", 0},
      {"empty", "[Configuraci\xF3n]\r\nIdioma=\r\n", 0},
      {"other number kept as read", "[Configuraci\xF3n]\r\nIdioma=3\r\n", 3},
      {"section in other case", "[configuraci\xF3n]\r\nidioma=5\r\n", 5},
      {"key missing", "[Configuraci\xF3n]\r\nLanguage=5\r\n", 1},
      {"section missing", "[Config]\r\nIdioma=5\r\n", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    WriteAll(folder.fs() / kFile, c.file);
    int32_t language = -7;
    AccessConfiguration("get", language, folder.path());
    EXPECT_EQ(language, c.expected);
  }
}

TEST(AccessConfiguration, SavingKeepsOtherSectionsAndKeys) {
  TempFolder folder;
  WriteAll(folder.fs() / kFile, "[Ventana]\r\nAncho=640\r\n[Configuraci\xF3n]\r\nOtro=x\r\nIdioma= 1\r\n[Fin]\r\nz=9\r\n");
  int32_t language = 5;
  AccessConfiguration("save", language, folder.path());
  const std::u16string path = folder.path() + u"Configuracion.ini";
  EXPECT_EQ(platform::ReadIniString("Ventana", "Ancho", "", path), "640");
  EXPECT_EQ(platform::ReadIniString("Configuraci\xF3n", "Otro", "", path), "x");
  EXPECT_EQ(platform::ReadIniString("Fin", "z", "", path), "9");
  language = 0;
  AccessConfiguration("get", language, folder.path());
  EXPECT_EQ(language, 5);
  EXPECT_EQ(ReadAll(folder.fs() / kFile).find("Idioma= 1"), std::string::npos);
}

TEST(AccessConfiguration, OtherModesDoNothing) {
  TempFolder folder;
  for (const char* mode : {"Get", "SAVE", "", "get ", "load"}) {
    SCOPED_TRACE(mode);
    int32_t language = 5;
    AccessConfiguration(mode, language, folder.path());
    EXPECT_EQ(language, 5);
    EXPECT_FALSE(std::filesystem::exists(folder.fs() / kFile));
  }
}

// A program folder nobody can write into: the switch holds for the run, nothing is reported,
// and the next start reads what was there before.
TEST(AccessConfiguration, FailedSaveLeavesTheLanguageAndTheOldFile) {
  TempFolder folder;
  const std::u16string missing = folder.path() + u"no such folder" + platform::PathSeparator();
  int32_t language = 5;
  AccessConfiguration("save", language, missing);
  EXPECT_EQ(language, 5);
  AccessConfiguration("get", language, missing);
  EXPECT_EQ(language, 1);
}

}  // namespace
}  // namespace zentora
