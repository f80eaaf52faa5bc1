// zentora-read.exe as a Windows shell starts it: the command line in UTF-16, standard output
// and error pipes read to their end, byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/system.h"
#include "reader/sample_database.h"
#include "storage/database.h"
#include "support/temp_folder.h"

namespace zentora::testing {
namespace {

struct Outcome {
  int code = -1;
  std::string out, err;
};

std::string ReadToEnd(HANDLE pipe) {
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

// One argument of a command line, quoted as the runtime splits it again: backslashes before a
// quote (or before the closing one: a folder ending in '\\') doubled, quotes escaped.
std::u16string Quoted(const std::u16string& argument) {
  std::u16string quoted = u"\"";
  std::size_t backslashes = 0;
  for (char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == u'"' ? 2 * backslashes + 1 : backslashes, u'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, u'\\');
  return quoted + u"\"";
}

// The tool lies beside this test; every argument is quoted, as a shell quotes one with spaces.
Outcome RunTool(const std::vector<std::u16string>& arguments) {
  const std::u16string tool = platform::ProgramFolder() + u"zentora-read.exe";
  std::u16string command = Quoted(tool);
  for (const std::u16string& argument : arguments) {
    command += u' ';
    command += Quoted(argument);
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out_read, out_write, err_read, err_write;
  Outcome outcome;
  if (!CreatePipe(&out_read, &out_write, &inherit, 0) || !CreatePipe(&err_read, &err_write, &inherit, 0))
    return outcome;
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(reinterpret_cast<const wchar_t*>(tool.c_str()),
                                      reinterpret_cast<wchar_t*>(command.data()), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  CloseHandle(out_write);
  CloseHandle(err_write);
  if (started) {
    outcome.out = ReadToEnd(out_read);  // the outputs here are far below a pipe's buffer
    outcome.err = ReadToEnd(err_read);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) outcome.code = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out_read);
  CloseHandle(err_read);
  return outcome;
}

std::string Utf8(const std::u16string& text) { return platform::Utf16ToUtf8(text); }

// Names a Spanish-speaking user types, and some no ANSI code page holds.
struct Named {
  std::u16string database, field;
  std::vector<std::u16string> values;
};
const Named kNamed[] = {
    {u"Año", u"Año", {u"sí", u"Tamaño"}},
    {u"José", u"Dirección", {u"Cádiz", u"Peñíscola"}},
    {u"Ёлка", u"Поле", {u"Жёлтый", u"синий"}},
    {u"Clave \U0001D11E", u"Nota \U0001F600", {u"\U0001F600 sonrisa", u"\U0001D11E"}},
};

class ReadToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = folder_root_.path() + u"Datos José Жёлтый \U0001F600";
    platform::CreateFolder(folder_);
    folder_ += platform::PathSeparator();
    WriteSampleDatabase(Database{folder_, u"muestra"});
    for (const Named& named : kNamed) WriteOneFieldDatabase(Database{folder_, named.database}, named.field, named.values);
  }

  Outcome Run(std::vector<std::u16string> arguments) {
    arguments.insert(arguments.begin(), {u"--folder", folder_});
    return RunTool(arguments);
  }

  TempFolder folder_root_;
  std::u16string folder_;
};

TEST_F(ReadToolTest, WritesTheCsvBytesAsTheyAreWithNoExtraCarriageReturn) {
  const Outcome outcome = Run({u"csv", u"muestra"});
  EXPECT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_EQ(outcome.out, SampleCsv());
  EXPECT_EQ(outcome.out.find("\r\r"), std::string::npos);
}

TEST_F(ReadToolTest, LinesOtherThanCsvRowsEndInALineFeedAlone) {
  EXPECT_EQ(Run({u"count", u"muestra"}).out, "3\n");
  EXPECT_EQ(Run({u"value", u"muestra", u"Notas", u"1"}).out, Utf8(kSampleNotes1) + "\n");
}

TEST_F(ReadToolTest, ReadsFoldersDatabasesAndFieldsOfAnyName) {
  for (const Named& named : kNamed) {
    SCOPED_TRACE(Utf8(named.database));
    const Outcome count = Run({u"count", named.database});
    EXPECT_EQ(count.code, 0) << count.err;
    EXPECT_EQ(count.out, "2\n");
    for (std::size_t record = 1; record <= named.values.size(); ++record) {
      const Outcome value = Run({u"value", named.database, named.field, std::u16string(1, static_cast<char16_t>(u'0' + record))});
      EXPECT_EQ(value.code, 0) << value.err;
      EXPECT_EQ(value.out, Utf8(named.values[record - 1]) + "\n");
    }
    std::string csv = Utf8(named.field) + "\r\n";
    for (const std::u16string& value : named.values) csv += Utf8(value) + "\r\n";
    EXPECT_EQ(Run({u"csv", named.database}).out, csv);
    EXPECT_NE(Run({u"fields", named.database}).out.find(Utf8(named.field)), std::string::npos);
  }
}

// A name the folder does not hold is told back in UTF-8 as it was typed, not as '?'.
TEST_F(ReadToolTest, NamesAMissingDatabaseAsTyped) {
  const Outcome outcome = Run({u"count", u"Añejo \U0001F600"});
  EXPECT_EQ(outcome.code, 1);
  EXPECT_NE(outcome.err.find("no database '" + Utf8(u"Añejo \U0001F600") + "'"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find(Utf8(folder_)), std::string::npos) << outcome.err;
}

}  // namespace
}  // namespace zentora::testing
