#include "reader/cli/read_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/encoding.h"
#include "platform/system.h"
#include "reader/sample_database.h"
#include "storage/data_file.h"
#include "support/temp_folder.h"

namespace zentora::cli {
namespace {

using testing::ReadAll;
using testing::TempFolder;

struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

class ReadCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::WriteSampleDatabase(Database{folder_.path(), u"muestra"}); }

  Outcome Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--folder", folder_.fs().string()});
    std::ostringstream out, err;
    Outcome outcome;
    outcome.code = RunReadCommand(arguments, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
  }

  static std::string Utf8(const std::u16string& text) { return platform::Utf16ToUtf8(text); }

  TempFolder folder_;
};

TEST_F(ReadCommandTest, ShowsValuesAsTheViewersDo) {
  struct Case {
    std::vector<std::string> arguments;
    std::string expected;
  };
  const Case cases[] = {
      {{"count", "muestra"}, "3\n"},
      {{"value", "muestra", "Precio", "1"}, "1.234'50\n"},
      {{"--lang", "en", "value", "muestra", "Precio", "1"}, "1,234.50\n"},
      {{"--lang", "en", "value", "muestra", "Precio", "2"}, "-0.50\n"},
      // A number never stored is not shown as a stored 0, as in the program's viewer.
      {{"--lang", "en", "value", "muestra", "Precio", "3"}, "No data\n"},
      {{"value", "muestra", "Precio", "3"}, "No datos\n"},
      {{"value", "muestra", "Activo", "1"}, "Sí\n"},
      {{"--lang", "en", "value", "muestra", "Activo", "1"}, "Yes\n"},
      {{"--lang", "en", "value", "muestra", "Activo", "2"}, "No\n"},
      {{"value", "muestra", "Activo", "3"}, "No\n"},
      {{"value", "muestra", "Nombre", "1"}, Utf8(testing::kSampleName1) + "\n"},
      {{"value", "muestra", "nombre", "1"}, "minúscula\n"},
      {{"value", "muestra", "Notas", "1"}, Utf8(testing::kSampleNotes1) + "\n"},
      {{"value", "muestra", "Notas", "2"}, "No datos\n"},
      {{"--lang", "en", "value", "muestra", "Notas", "2"}, "No data\n"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.code, kExitOk) << outcome.err;
    EXPECT_EQ(outcome.out, c.expected) << c.arguments.back();
    EXPECT_EQ(outcome.err, "");
  }
}

TEST_F(ReadCommandTest, ReportsErrorsWithAnExitCode) {
  struct Case {
    std::vector<std::string> arguments;
    int code;
    std::string message;
  };
  const Case cases[] = {
      {{"count", "ninguna"}, kExitError, "no database 'ninguna'"},
      {{"count", ""}, kExitError, "no database ''"},
      {{"csv", ""}, kExitError, "no database ''"},
      {{"--folder", "", "count", "muestra"}, kExitUsage, "--folder takes a folder, not an empty name"},
      {{"value", "muestra", "Apellido", "1"}, kExitError, "no field 'Apellido'"},
      {{"value", "muestra", "NOMBRE", "1"}, kExitError, "no field 'NOMBRE'"},
      {{"value", "muestra", "Nombre", "0"}, kExitError, "bad record number '0': the database holds records 1 to 3"},
      {{"value", "muestra", "Nombre", "4"}, kExitError, "bad record number '4'"},
      {{"value", "muestra", "Nombre", "-1"}, kExitError, "bad record number '-1'"},
      {{"value", "muestra", "Nombre", "1x"}, kExitError, "bad record number '1x'"},
      {{"value", "muestra", "Nombre", "99999999999999999999"}, kExitError, "bad record number"},
      {{"value", "muestra", "Foto", "1"}, kExitError, "use 'attachment'"},
      {{"attachment", "muestra", "Nombre", "1", "x.jpg"}, kExitError, "holds no images or sounds"},
      {{"attachment", "muestra", "Foto", "2", "x.jpg"}, kExitError, "record 2 has nothing in field 'Foto'"},
      {{"value", "muestra", "Nombre"}, kExitUsage, "'value' takes 3 argument(s)"},
      {{"sort", "muestra"}, kExitUsage, "unknown command 'sort'"},
      {{}, kExitUsage, "no command given"},
      {{"--lang", "fr", "count", "muestra"}, kExitUsage, "--lang takes es or en"},
      {{"--color", "count", "muestra"}, kExitUsage, "unknown option --color"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.code, c.code) << outcome.err;
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists("x.jpg"));
}

TEST_F(ReadCommandTest, ListsTheFields) {
  const Outcome es = Run({"fields", "muestra"});
  EXPECT_EQ(es.code, kExitOk);
  EXPECT_NE(es.out.find("Etiqueta: Nombre"), std::string::npos);
  EXPECT_NE(es.out.find("Dato: SONIDO WAV\n"), std::string::npos);
  EXPECT_NE(es.out.find("\n7 Registros ...\n"), std::string::npos);
  EXPECT_EQ(es.out.find('\r'), std::string::npos);
  const Outcome en = Run({"--lang", "en", "fields", "muestra"});
  EXPECT_NE(en.out.find("Data: DECIMAL\nSize: 12\nDecimals: 2\n"), std::string::npos);
}

TEST_F(ReadCommandTest, WritesAnAttachmentToAFile) {
  const std::filesystem::path file = folder_.fs() / "salida.bin";
  const Outcome outcome = Run({"attachment", "muestra", "Foto", "1", file.string()});
  EXPECT_EQ(outcome.code, kExitOk) << outcome.err;
  EXPECT_EQ(ReadAll(file), testing::SampleImage());
  EXPECT_EQ(Run({"attachment", "muestra", "Voz", "2", file.string()}).code, kExitOk);
  EXPECT_EQ(ReadAll(file), testing::SampleSound(2));  // a longer old file is replaced whole
}

// A folder at the output, or a file the user made read-only, is left exactly as it was.
TEST_F(ReadCommandTest, AnOutputThatCannotBeReplacedIsLeftAsItWas) {
  const std::filesystem::path target = folder_.fs() / "salida.jpg";
  struct Case {
    const char* what;
    void (*make)(const std::filesystem::path&);
    const char* reason;
    bool (*untouched)(const std::filesystem::path&);
  };
  const Case cases[] = {
      {"a folder", [](const std::filesystem::path& at) { std::filesystem::create_directory(at); },
       "is not a regular file", [](const std::filesystem::path& at) { return std::filesystem::is_directory(at); }},
      {"a read-only file",
       [](const std::filesystem::path& at) {
         testing::WriteAll(at, "kept");
         std::filesystem::permissions(at, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
       },
       "is read-only", [](const std::filesystem::path& at) { return ReadAll(at) == "kept"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.make(target);
    const Outcome outcome = Run({"attachment", "muestra", "Foto", "1", target.string()});
    EXPECT_EQ(outcome.code, kExitError);
    EXPECT_NE(outcome.err.find("cannot write " + target.string() + ": it " + c.reason), std::string::npos)
        << outcome.err;
    EXPECT_TRUE(c.untouched(target));
    std::filesystem::permissions(target, std::filesystem::perms::owner_all);
    std::filesystem::remove(target);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.fs()), {}), 1);  // the database alone
  }
}

TEST_F(ReadCommandTest, ExportsEveryRecordAsCsv) {
  const Outcome outcome = Run({"csv", "muestra"});
  EXPECT_EQ(outcome.code, kExitOk) << outcome.err;
  EXPECT_EQ(outcome.out, testing::SampleCsv());
}

TEST_F(ReadCommandTest, ReadsADatabaseWithoutDataFileWithoutCreatingOne) {
  const std::filesystem::path data = folder_.fs() / "muestra" / "muestra.zbd";
  std::filesystem::remove(data);
  EXPECT_EQ(Run({"count", "muestra"}).out, "0\n");
  EXPECT_EQ(Run({"csv", "muestra"}).out, "Nombre,Precio,Activo,Notas,Foto,Voz,nombre\r\n");
  EXPECT_EQ(Run({"value", "muestra", "Nombre", "1"}).code, kExitError);
  EXPECT_FALSE(std::filesystem::exists(data));
}

// What each command reads: `count` only the data file, `fields` only the structure. A fault
// of one file stops only the commands that read it, each with a message that names it.
TEST_F(ReadCommandTest, AFaultOfOneFileStopsOnlyTheCommandsThatReadIt) {
  struct Case {
    const char* file;
    bool huge;  // else a folder in its place
    std::vector<std::string> arguments;
    int code;
    std::string said;  // in `out` when it succeeds, in `err` when it fails
  };
  const std::string not_a_file = "is not a regular file";
  const std::string too_long = "the structure file of 'muestra' is damaged: it holds more than 32767 fields";
  const Case cases[] = {
      {"muestra.zbd", false, {"fields", "muestra"}, kExitOk, "Etiqueta: Nombre"},
      {"muestra.zbd", false, {"count", "muestra"}, kExitError, "the data file of 'muestra' " + not_a_file},
      {"muestra.zbd", false, {"value", "muestra", "Nombre", "1"}, kExitError, not_a_file},
      {"muestra.zbd", false, {"csv", "muestra"}, kExitError, not_a_file},
      {"muestra.z04", false, {"count", "muestra"}, kExitOk, "3\n"},
      {"muestra.z04", false, {"fields", "muestra"}, kExitError, "the structure file of 'muestra' " + not_a_file},
      {"muestra.z04", true, {"count", "muestra"}, kExitOk, "3\n"},
      {"muestra.z04", true, {"fields", "muestra"}, kExitError, too_long},
      {"muestra.z04", true, {"value", "muestra", "Nombre", "1"}, kExitError, too_long},
      {"muestra.z04", true, {"csv", "muestra"}, kExitError, too_long},
  };
  const std::filesystem::path folder = folder_.fs() / "muestra";
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + (c.huge ? " huge, " : " a folder, ") + c.arguments[0]);
    std::filesystem::remove_all(folder);
    testing::WriteSampleDatabase(Database{folder_.path(), u"muestra"});
    if (c.huge) {
      std::filesystem::resize_file(folder / c.file, std::uint64_t{1} << 30);  // sparse
    } else {
      std::filesystem::remove(folder / c.file);
      std::filesystem::create_directory(folder / c.file);
    }
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.code, c.code) << outcome.err;
    const std::string& said = c.code == kExitOk ? outcome.out : outcome.err;
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
  }
}

// Every failure names its file and says why, in the system's terms.
TEST_F(ReadCommandTest, AFailureSaysWhyAndNamesTheFile) {
  const std::string data = (folder_.fs() / "muestra" / "muestra.zbd").string();
  const std::string missing = (folder_.fs() / "none" / "x.jpg").string();
  const std::string too_long = (folder_.fs() / std::string(300, 'n')).string();
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    std::string said;
  };
  const Case cases[] = {
      {"a data file held by another program", {"count", "muestra"},
       "the data file of 'muestra' cannot be read: held open by another program: " + data + "; try again"},
      {"an output folder that is not there", {"attachment", "muestra", "Foto", "1", missing},
       "cannot write " + missing + ": not found: " + missing + "; nothing was changed"},
      {"an output name too long", {"attachment", "muestra", "Foto", "1", too_long},
       "cannot write " + too_long + ": name too long for the file system: " + too_long + "; nothing was changed"},
  };
  platform::FileHandle held;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const bool holds = c.arguments[0] == "count";
    if (holds) {
      ASSERT_EQ(platform::OpenExclusive(platform::Utf8ToUtf16(data), platform::Access::Read, held),
                platform::OpenStatus::Ok);
    }
    const Outcome outcome = Run(c.arguments);
    if (holds) platform::CloseFile(held);
    EXPECT_EQ(outcome.code, kExitError);
    EXPECT_EQ(outcome.err, "zentora-read: " + c.said + "\n");
  }
}

// A last entry damaged to a record number below 1: said plainly, never as a range
// ("records 1 to -9223372036854775808").
TEST_F(ReadCommandTest, ADamagedLastRecordNumberIsSaidPlainly) {
  const FieldDefinition nombre{0, PadFieldName(u"Nombre"), static_cast<std::int16_t>(FieldType::String), 40, 0};
  const Database db{folder_.path(), u"muestra"};
  for (const std::int64_t last : {std::numeric_limits<std::int64_t>::min(), std::int64_t{-1}}) {
    ASSERT_EQ(AppendTextUnits(db, nombre, last, u"X", true), IoStatus::Ok);
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"count", "muestra"}, {"value", "muestra", "Nombre", "1"}, {"csv", "muestra"}}) {
      SCOPED_TRACE(std::to_string(last) + " " + arguments[0]);
      const Outcome outcome = Run(arguments);
      EXPECT_EQ(outcome.code, kExitError);
      EXPECT_NE(outcome.err.find("the data file of 'muestra' is damaged: its last entry holds the record number " +
                                 std::to_string(last)),
                std::string::npos)
          << outcome.err;
      EXPECT_EQ(outcome.err.find("records 1 to"), std::string::npos) << outcome.err;
    }
  }
}

// csv writes the records that hold a value, not every number up to the last: a last entry of
// record 2^63 - 1 adds one row, and the export ends.
TEST_F(ReadCommandTest, CsvWritesOnlyTheRecordsThatHoldAValue) {
  const FieldDefinition notas{0, PadFieldName(u"Notas"), static_cast<std::int16_t>(FieldType::Memo), 2000, 0};
  const std::int64_t largest = std::numeric_limits<std::int64_t>::max();
  ASSERT_EQ(AppendTextUnits(Database{folder_.path(), u"muestra"}, notas, largest, u"fin", true), IoStatus::Ok);
  const Outcome outcome = Run({"csv", "muestra"});
  EXPECT_EQ(outcome.code, kExitOk) << outcome.err;
  const std::string expected = "Nombre,Precio,Activo,Notas,Foto,Voz,nombre\r\n" + Utf8(testing::kSampleName1) +
                               ",1234.5,1,\"" + Utf8(testing::kSampleNotes1) + "\",300,56,minúscula\r\n"
                               "Ana,-0.5,0,,0,96,\r\n"
                               "\"Zoë, \"\"Z\"\"\",,,,0,0,\r\n"
                               ",,,fin,0,0,\r\n";
  EXPECT_EQ(outcome.out, expected);
  EXPECT_EQ(Run({"value", "muestra", "Notas", std::to_string(largest)}).out, "fin\n");
  EXPECT_EQ(Run({"value", "muestra", "Notas", "4"}).out, "No datos\n");
  EXPECT_NE(Run({"value", "muestra", "Notas", "0"}).err.find("records 1 to " + std::to_string(largest)),
            std::string::npos);
}

// Records that hold no value at all have no row; the others keep their order.
TEST_F(ReadCommandTest, CsvLeavesOutRecordsWithoutAnyValue) {
  const Database db{folder_.path(), u"huecos"};
  testing::WriteDatabaseEndingInEmptyValues(db);
  const FieldDefinition nombre{0, PadFieldName(u"Nombre"), static_cast<std::int16_t>(FieldType::String), 40, 0};
  ASSERT_EQ(AppendTextUnits(db, nombre, 7, u"Siete", true), IoStatus::Ok);
  const Outcome outcome = Run({"csv", "huecos"});
  EXPECT_EQ(outcome.code, kExitOk) << outcome.err;
  EXPECT_EQ(outcome.out, "Nombre,Notas\r\nAna,nota\r\nEva,\r\nSiete,\r\n");  // not records 3 to 6
  EXPECT_NE(Run({"help"}).out.find("a record with no value has no row"), std::string::npos);
}

// The habits of command-line tools: --help and --version on standard output with exit 0,
// options in both forms, -- ending them, and the default folder the start names.
TEST_F(ReadCommandTest, KeepsTheConventionsOfCommandLineTools) {
  struct Case {
    std::vector<std::string> arguments;
    int code;
    std::string out_starts;  // standard output begins with this
    std::string err_holds;   // standard error holds this ("" : stays empty)
  };
  const std::string usage = "usage: zentora-read ";
  const Case cases[] = {
      {{"--help"}, kExitOk, usage, ""},
      {{"-h"}, kExitOk, usage, ""},
      {{"help"}, kExitOk, usage, ""},
      {{"--help", "sort", "muestra"}, kExitOk, usage, ""},  // asking for help wins over the rest
      {{"--version"}, kExitOk, "zentora-read " ZENTORA_VERSION "\n", ""},
      {{"-V"}, kExitOk, "zentora-read " ZENTORA_VERSION "\n", ""},
      {{"--lang=en", "value", "muestra", "Precio", "1"}, kExitOk, "1,234.50\n", ""},
      {{"-l", "en", "value", "muestra", "Precio", "1"}, kExitOk, "1,234.50\n", ""},
      {{"count", "--", "muestra"}, kExitOk, "3\n", ""},
      {{"--", "-h"}, kExitUsage, "", "unknown command '-h'"},
      {{"--help=yes"}, kExitUsage, "", "--help takes no value"},
      {{"--lang=", "count", "muestra"}, kExitUsage, "", "--lang takes es or en, not ''"},
      {{"--folder=", "count", "muestra"}, kExitUsage, "", "--folder takes a folder, not an empty name"},
      {{"count", "muestra", "--lang"}, kExitUsage, "", "--lang needs a value"},
      {{"-x", "count", "muestra"}, kExitUsage, "", "unknown option -x"},
      {{"--colour=always", "count", "muestra"}, kExitUsage, "", "unknown option --colour\nTry 'zentora-read --help'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? "" : c.arguments[0]);
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.code, c.code) << outcome.err;
    EXPECT_TRUE(outcome.out.starts_with(c.out_starts)) << outcome.out;
    if (c.code != kExitOk) {
      EXPECT_EQ(outcome.out, "");
    }
    if (c.err_holds.empty()) {
      EXPECT_EQ(outcome.err, "");
    } else {
      EXPECT_NE(outcome.err.find(c.err_holds), std::string::npos) << outcome.err;
    }
  }

  // --folder=DIR, and without --folder the folder the start names.
  const std::string folder = folder_.fs().string();
  std::ostringstream out, err;
  EXPECT_EQ(RunReadCommand({"--folder=" + folder, "count", "muestra"}, out, err), kExitOk) << err.str();
  EXPECT_EQ(out.str(), "3\n");
  const ToolSetting setting{platform::Utf8ToUtf16(folder)};
  std::ostringstream by_default, help, none;
  EXPECT_EQ(RunReadCommand({"count", "muestra"}, by_default, err, setting), kExitOk) << err.str();
  EXPECT_EQ(by_default.str(), "3\n");
  EXPECT_EQ(RunReadCommand({"--help"}, help, err, setting), kExitOk);
  EXPECT_NE(help.str().find("DIR defaults to " + folder + ".\n"), std::string::npos) << help.str();
  EXPECT_EQ(RunReadCommand({"--help"}, none, err), kExitOk);
  EXPECT_NE(none.str().find("DIR defaults to the current folder.\n"), std::string::npos) << none.str();
}

// "-" names standard output: the bytes themselves, no file named "-" and no message after them.
TEST_F(ReadCommandTest, AnAttachmentGoesToStandardOutputForADash) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder_.fs());
  for (const auto& [field, record, expected] : {std::tuple{"Foto", "1", testing::SampleImage()},
                                                std::tuple{"Voz", "2", testing::SampleSound(2)}}) {
    const Outcome outcome = Run({"attachment", "muestra", field, record, "-"});
    EXPECT_EQ(outcome.code, kExitOk) << outcome.err;
    EXPECT_EQ(outcome.out, expected) << field;
    EXPECT_EQ(outcome.err, "");
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.fs() / "-"));
  std::filesystem::current_path(before);
}

// Output the disk does not take is an error with exit 1, never a success: a stream that
// accepts `room` bytes and fails after them, as a full disk does.
TEST_F(ReadCommandTest, OutputThatCannotBeWrittenFailsTheCommand) {
  class FullDisk : public std::streambuf {
   public:
    explicit FullDisk(std::size_t room) : room_(room) {}

   protected:
    int_type overflow(int_type c) override {
      if (room_ == 0) return traits_type::eof();
      --room_;
      return traits_type::not_eof(c);
    }

   private:
    std::size_t room_;
  };
  struct Case {
    std::vector<std::string> arguments;
    std::size_t room;  // fewer bytes than the command writes
  };
  const Case cases[] = {
      {{"count", "muestra"}, 0},
      {{"count", "muestra"}, 1},
      {{"csv", "muestra"}, 0},
      {{"csv", "muestra"}, 60},  // the header row and part of the first record
      {{"fields", "muestra"}, 40},
      {{"value", "muestra", "Nombre", "2"}, 2},
      {{"attachment", "muestra", "Foto", "1", "-"}, 299},
      {{"--help"}, 10},
      {{"--version"}, 5},
  };
  for (Case c : cases) {
    SCOPED_TRACE(c.arguments[0] + " with room for " + std::to_string(c.room) + " bytes");
    c.arguments.insert(c.arguments.begin(), {"--folder", folder_.fs().string()});
    FullDisk disk(c.room);
    std::ostream out(&disk);
    std::ostringstream err;
    EXPECT_EQ(RunReadCommand(c.arguments, out, err), kExitError);
    EXPECT_EQ(err.str(), "zentora-read: the output could not be written (the disk is full or its reader has gone)\n");
  }
}

TEST(CsvFieldTest, QuotesOnlyWhatNeedsIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},     {"", ""},           {"a,b", "\"a,b\""},       {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"a\nb", "\"a\nb\""}, {"a\rb", "\"a\rb\""}, {" spaced ", " spaced "},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(CsvField(text), expected);
}

}  // namespace
}  // namespace zentora::cli
