// A database the user may read but not write (a read-only folder, read-only files): every
// command says so, with the file, and asks no "try again" that could never work. Played by a
// user whom permission bits stop (the tests may run as root, whom they do not stop).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "dialogs/database_dialogs.h"
#include "dialogs/entry_dialogs.h"
#include "platform/headless/script.h"
#include "sample_records.h"
#include "shell/main_window.h"
#include "storage/data_file.h"
#include "storage/structure_file.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
namespace headless = platform::headless;

constexpr std::int32_t kEnglish = 5;

// Child exit codes, so that the parent says which check failed.
enum Outcome { kPassed = 0, kLeftover = 2, kQuestionAsked = 4, kFilesChanged = 5 };

struct ReadOnlyCase {
  const char* what;
  bool with_data;  // a data file with one record
  int command;
  // The steps after the database's name, and the message that ends them ("%1": the file).
  std::function<void(headless::Script&)> steps;
  const char16_t* message;
  const char* file;  // the file the message names, within the program folder
};

const ReadOnlyCase kCases[] = {
    {"a new field", false, kCommandNewField,
     [](headless::Script& s) {
       s.ExpectDialog(u"Define a field").Type(kFieldNameEditId, u"Edad").Click(kIntegerOptionId)
           .Type(kSizeEditId, u"3").Click(kFieldAcceptId);
     },
     u"The field was not stored in the database “Base”: permission denied (read-only or no access): %1.", "Base/Base.z04"},
    {"a record into a read-only data file", true, kCommandInsertData,
     [](headless::Script& s) {
       s.ExpectDialog(u"Insert text string").Type(kTextEntryEditId, u"Luis").Click(kTextEntryAcceptId);
     },
     u"The record could not be stored in the database “Base”: permission denied (read-only or no access): %1. "
     u"Nothing of it was stored ...",
     "Base/Base.zbd"},
    {"a record where no data file can be made", false, kCommandInsertData, [](headless::Script&) {},
     u"The data file of the database “Base” cannot be opened: permission denied (read-only or no access): %1. "
     u"Nothing was stored ...",
     "Base/Base.zbd"},
    {"a new database in a read-only program folder", false, kCommandNewDatabase, [](headless::Script&) {},
     u"The database “Base” could not be made: permission denied (read-only or no access): %1.", "Base/"},
};

// Every entry under `root`, with its bytes: what "nothing changed" is checked against.
std::string Snapshot(const fs::path& root) {
  std::string all;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
    all += entry.path().string() + "=" + (entry.is_regular_file() ? testing::ReadAll(entry.path()) : "") + ";";
  return all;
}

TEST(ReadOnlyDatabase, EveryCommandSaysPermissionDeniedWithTheFileAndNeverAsksToTryAgain) {
  for (const ReadOnlyCase& c : kCases) {
    SCOPED_TRACE(c.what);
    testing::TempFolder program;
    const Database db{program.path(), u"Base"};
    const FieldDefinition name = testing::Field(u"Nombre", FieldType::String, 5);
    if (c.command != kCommandNewDatabase) {
      testing::MakeDatabaseFolder(db);
      testing::Define(db, name);
      if (c.with_data) testing::Store(db, name, 1, u"Ana");
    }
    // Readable by all, writable by nobody: the files, the database folder, the program folder.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(program.fs()))
      ::chmod(entry.path().c_str(), entry.is_directory() ? 0555 : 0444);
    ::chmod(program.fs().c_str(), 0555);
    const std::string before = Snapshot(program.fs());

    const int outcome = testing::AsUnprivilegedUser([&] {
      AppState state = MakeAppState(program.path(), kEnglish);
      state.attachments.cache_folder = program.path();
      headless::Script script;
      script.ExpectDialog(u"Database name").Type(kDatabaseNameEditId, u"Base").Click(kDatabaseNameAcceptId);
      c.steps(script);
      std::u16string message = c.message;
      message.replace(message.find(u"%1"), 2, program.path() + std::u16string(c.file, c.file + std::strlen(c.file)));
      script.ExpectMessage(message, u"Programmer");
      RunMenuCommand(state, c.command);
      if (!script.Leftover().empty()) return kLeftover;
      if (!headless::QuestionsShown().empty()) return kQuestionAsked;
      return Snapshot(program.fs()) == before ? kPassed : kFilesChanged;
    });
    ::chmod(program.fs().c_str(), 0755);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(program.fs()))
      ::chmod(entry.path().c_str(), 0755);
    if (outcome == testing::kCannotDropPrivilege)
      GTEST_SKIP() << "running as root, which permission bits do not stop, and unable to become another user";
    EXPECT_EQ(outcome, kPassed) << "2: steps left, 3: another window or message, 4: a question, 5: files changed";
  }
}

}  // namespace
}  // namespace zentora
