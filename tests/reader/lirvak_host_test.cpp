// A program of someone else's, as far as Lirvak.dll can tell: it is not linked against the
// library, loads it by name and calls the four exports through pointers of the exported
// types, with BSTR names, the way callers of the library always have; then the exports added
// for callers elsewhere (the folder, the status, quiet mode). A 64-bit build loads
// Lirvak64.dll, as a 64-bit host does; LIRVAK_DLL names the library by its full path when
// it lies in another folder than this program.
#include <windows.h>
#include <oleauto.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "reader/sample_database.h"
#include "reader/stack_check.h"
#include "storage/database.h"
#include "support/hostile_files.h"
#include "support/temp_folder.h"

namespace zentora::testing {
namespace {

using GetRegiFunction = double(__stdcall*)(BSTR* database);
using GetDatosStrFunction = BSTR(__stdcall*)(BSTR* database, const unsigned char* field, const std::int64_t* record);
using GetDatosFileFunction = std::int32_t(__stdcall*)(BSTR* database, const unsigned char* field,
                                                      const std::int64_t* record, BSTR* output);
using SetFolderFunction = void(__stdcall*)(const wchar_t* folder);
using GetFolderFunction = BSTR(__stdcall*)();
using GetStatusFunction = std::int32_t(__stdcall*)();
using SetQuietFunction = void(__stdcall*)(std::int32_t quiet);

// The library a host of this bitness loads, as the Python module picks it.
const wchar_t* LibraryName() { return sizeof(void*) == 8 ? L"Lirvak64.dll" : L"Lirvak.dll"; }

// An ANSI string handle as callers build it: the bytes, the length prefix counting bytes.
class AnsiBstr {
 public:
  explicit AnsiBstr(const std::string& bytes)
      : handle_(SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size()))) {}
  ~AnsiBstr() { SysFreeString(handle_); }
  AnsiBstr(const AnsiBstr&) = delete;
  AnsiBstr& operator=(const AnsiBstr&) = delete;
  BSTR* address() { return &handle_; }

 private:
  BSTR handle_;
};

struct ShownMessage {
  std::wstring text;
  std::wstring caption;
};

std::vector<ShownMessage> g_messages;
HWND g_open_box = nullptr;  // a box is activated more than once while it closes

BOOL CALLBACK CollectStaticText(HWND child, LPARAM into) {
  wchar_t kind[32] = {}, text[256] = {};
  GetClassNameW(child, kind, 32);
  GetWindowTextW(child, text, 256);
  if (lstrcmpiW(kind, L"Static") == 0 && text[0] != L'\0') *reinterpret_cast<std::wstring*>(into) += text;
  return TRUE;
}

// Other windows get activated too when a box closes (the desktop's, under Wine).
bool IsDialogBox(HWND window) {
  wchar_t kind[32] = {};
  GetClassNameW(window, kind, 32);
  return lstrcmpW(kind, L"#32770") == 0;
}

// Records every message box the library raises and closes it at once, as a user pressing OK.
LRESULT CALLBACK CloseMessageBoxes(int code, WPARAM window, LPARAM detail) {
  if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(window) == g_open_box) g_open_box = nullptr;
  const HWND box = reinterpret_cast<HWND>(window);
  if (code == HCBT_ACTIVATE && box != g_open_box && IsDialogBox(box)) {
    g_open_box = box;
    ShownMessage shown;
    wchar_t caption[256] = {};
    GetWindowTextW(box, caption, 256);
    shown.caption = caption;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&shown.text));
    g_messages.push_back(shown);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, window, detail);
}

class LirvakHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    name_ = "lirvak-host-" + std::to_string(GetCurrentProcessId());
    WriteSampleDatabase(Database{platform::ProgramFolder(), std::u16string(name_.begin(), name_.end())});
    const char* path = std::getenv("LIRVAK_DLL");
    module_ = path ? LoadLibraryW(std::filesystem::path(path).c_str()) : LoadLibraryW(LibraryName());
    ASSERT_NE(module_, nullptr) << (path ? path : "beside the host");
    set_folder_ = reinterpret_cast<SetFolderFunction>(Export("Lirvak_set_folder"));
    get_folder_ = reinterpret_cast<GetFolderFunction>(Export("Lirvak_get_folder"));
    get_status_ = reinterpret_cast<GetStatusFunction>(Export("Lirvak_get_status"));
    set_quiet_ = reinterpret_cast<SetQuietFunction>(Export("Lirvak_set_quiet"));
    get_regi_ = reinterpret_cast<GetRegiFunction>(Export("GetRegi"));
    get_datos_str_ = reinterpret_cast<GetDatosStrFunction>(Export("Get_datos_str"));
    get_datos_image_ = reinterpret_cast<GetDatosFileFunction>(Export("Get_datos_image"));
    get_datos_sonido_ = reinterpret_cast<GetDatosFileFunction>(Export("Get_datos_sonido"));
    hook_ = SetWindowsHookExW(WH_CBT, CloseMessageBoxes, nullptr, GetCurrentThreadId());
  }

  static void TearDownTestSuite() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (module_) FreeLibrary(module_);
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
  }

  void SetUp() override {
    ASSERT_NE(get_regi_, nullptr);
    ASSERT_NE(get_datos_str_, nullptr);
    ASSERT_NE(get_datos_image_, nullptr);
    ASSERT_NE(get_datos_sonido_, nullptr);
    ASSERT_NE(hook_, nullptr);
    ASSERT_NE(set_folder_, nullptr);
    ASSERT_NE(get_folder_, nullptr);
    ASSERT_NE(get_status_, nullptr);
    ASSERT_NE(set_quiet_, nullptr);
    g_messages.clear();
  }

  void TearDown() override {
    if (set_folder_) set_folder_(nullptr);
    if (set_quiet_) set_quiet_(0);
  }

  static std::wstring FolderRead() {
    const BSTR folder = get_folder_();
    std::wstring result(folder, SysStringLen(folder));
    SysFreeString(folder);
    return result;
  }

  static AnyFunction Export(const char* name) {
    return reinterpret_cast<AnyFunction>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  static std::filesystem::path Folder() {
    return std::filesystem::path(platform::ProgramFolder()) / name_;
  }

  std::u16string Text(const std::u16string& field, std::int64_t record, char16_t pad = u' ') {
    return TextIn(name_, field, record, pad);
  }

  std::u16string TextIn(const std::string& name, const std::u16string& field, std::int64_t record,
                        char16_t pad = u' ') {
    AnsiBstr database(name);
    const std::string buffer = FieldNameBuffer(field, pad);
    const BSTR text =
        get_datos_str_(database.address(), reinterpret_cast<const unsigned char*>(buffer.data()), &record);
    std::u16string result(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
    SysFreeString(text);
    return result;
  }

  // The output goes into the database folder, so that the suite's clean-up takes it along.
  std::int32_t Attach(GetDatosFileFunction function, const std::u16string& field, std::int64_t record,
                      const std::string& output) {
    AnsiBstr database(name_), out(name_ + "\\" + output);
    const std::string buffer = FieldNameBuffer(field);
    return function(database.address(), reinterpret_cast<const unsigned char*>(buffer.data()), &record,
                    out.address());
  }

  static inline std::string name_;
  static inline HMODULE module_ = nullptr;
  static inline HHOOK hook_ = nullptr;
  static inline GetRegiFunction get_regi_ = nullptr;
  static inline GetDatosStrFunction get_datos_str_ = nullptr;
  static inline GetDatosFileFunction get_datos_image_ = nullptr;
  static inline GetDatosFileFunction get_datos_sonido_ = nullptr;
  static inline SetFolderFunction set_folder_ = nullptr;
  static inline GetFolderFunction get_folder_ = nullptr;
  static inline GetStatusFunction get_status_ = nullptr;
  static inline SetQuietFunction set_quiet_ = nullptr;
};

TEST_F(LirvakHostTest, ExportsItsNamesUndecorated) {
  for (const char* name : {"GetRegi@4", "_GetRegi@4", "Get_datos_str@12", "Get_datos_image@16",
                           "Lirvak_set_folder@4", "_Lirvak_get_folder@0", "Lirvak_get_status@0", "Lirvak_set_quiet@4"})
    EXPECT_EQ(Export(name), nullptr) << name;
}

TEST_F(LirvakHostTest, CountsRecords) {
  AnsiBstr database(name_), missing("ninguna"), escaping("..\\" + name_);
  EXPECT_EQ(get_regi_(database.address()), 3.0);
  EXPECT_EQ(get_regi_(missing.address()), 0.0);
  EXPECT_EQ(get_regi_(escaping.address()), 0.0);
  BSTR null_handle = nullptr;
  EXPECT_EQ(get_regi_(&null_handle), 0.0);
}

TEST_F(LirvakHostTest, CountsTheNewestRecordThatHoldsAnEntry) {
  const std::string name = name_ + "-vacios";
  WriteDatabaseEndingInEmptyValues(Database{platform::ProgramFolder(), std::u16string(name.begin(), name.end())});
  AnsiBstr database(name);
  EXPECT_EQ(get_regi_(database.address()), static_cast<double>(kRecordsBeforeEmptyOnes));
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(platform::ProgramFolder()) / name, ignored);
}

TEST_F(LirvakHostTest, ReturnsTextsAsStored) {
  EXPECT_EQ(Text(u"Nombre", 1), kSampleName1);  // above U+00FF and a surrogate pair
  EXPECT_EQ(Text(u"Nombre", 3), kSampleName3);
  EXPECT_EQ(Text(u"Precio", 1), u"1234.5");
  EXPECT_EQ(Text(u"Notas", 1), kSampleNotes1);
  EXPECT_EQ(Text(u"nombre", 1), u"minúscula");
}

TEST_F(LirvakHostTest, ReturnsNoDatosWhenNothingMatches) {
  EXPECT_EQ(Text(u"Nombre", 1, u'\0'), u"No datos");  // padded with NUL instead of spaces
  EXPECT_EQ(Text(u"NOMBRE", 1), u"No datos");
  EXPECT_EQ(Text(u"Nombre", 0), u"No datos");
  EXPECT_EQ(Text(u"Foto", 1), u"No datos");  // an image is outside the text types
  EXPECT_EQ(Text(u"Notas", 2), u"No datos");
}

TEST_F(LirvakHostTest, WritesAttachmentsByteForByte) {
  EXPECT_EQ(Attach(get_datos_image_, u"Foto", 1, "foto"), 0);
  EXPECT_EQ(ReadAll(Folder() / "foto.jpg"), SampleImage());
  EXPECT_EQ(Attach(get_datos_sonido_, u"Voz", 2, "voz"), 0);
  EXPECT_EQ(ReadAll(Folder() / "voz.wav"), SampleSound(2));
  EXPECT_EQ(Attach(get_datos_image_, u"Voz", 1, "voz"), 0);
  EXPECT_EQ(ReadAll(Folder() / "voz.jpg"), SampleSound(1));
  EXPECT_TRUE(g_messages.empty());
}

TEST_F(LirvakHostTest, AMissingAttachmentIsReportedAndLeavesNoFile) {
  WriteAll(Folder() / "vieja.jpg", "stale");
  WriteAll(Folder() / "vieja.wav", "stale");
  EXPECT_EQ(Attach(get_datos_image_, u"Foto", 2, "vieja"), 0);
  EXPECT_EQ(Attach(get_datos_sonido_, u"Nombre", 1, "vieja"), 0);
  EXPECT_FALSE(std::filesystem::exists(Folder() / "vieja.jpg"));
  EXPECT_FALSE(std::filesystem::exists(Folder() / "vieja.wav"));
  ASSERT_EQ(g_messages.size(), 2u);
  EXPECT_EQ(g_messages[0].text, L"La imagen NO existe ...");
  EXPECT_EQ(g_messages[1].text, L"El sonido NO existe ...");
  for (const ShownMessage& shown : g_messages) EXPECT_EQ(shown.caption, L"Programador");
}

TEST_F(LirvakHostTest, RefusesOutputNamesThatLeaveTheHostFolder) {
  const std::filesystem::path outside = std::filesystem::path(platform::ProgramFolder()) / ".." / "fuera.jpg";
  std::error_code ignored;
  std::filesystem::remove(outside, ignored);  // left by an earlier, failed run
  EXPECT_EQ(Attach(get_datos_image_, u"Foto", 1, "..\\..\\fuera"), 0);
  EXPECT_FALSE(std::filesystem::exists(outside));
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0].text.rfind(L"No se ha podido escribir el fichero ", 0), 0u) << g_messages[0].text;
}

// What stands at the output: a folder is left as it was and the caller told; a larger file,
// read-only or not, is replaced whole, with no tail of it kept and no part file beside it.
TEST_F(LirvakHostTest, ReplacesOnlyARegularOutputFileAndReportsTheRest) {
  const std::filesystem::path target = Folder() / "salida.jpg";
  const std::string larger(SampleImage().size() * 3, 'x');
  struct Case {
    const char* what;
    void (*make)(const std::filesystem::path& target, const std::string& larger);
    bool written;
  };
  const Case cases[] = {
      {"a folder", [](const std::filesystem::path& at, const std::string&) { std::filesystem::create_directory(at); },
       false},
      {"a larger file", [](const std::filesystem::path& at, const std::string& bytes) { WriteAll(at, bytes); }, true},
      {"a larger read-only file",
       [](const std::filesystem::path& at, const std::string& bytes) {
         WriteAll(at, bytes);
         SetFileAttributesW(at.c_str(), FILE_ATTRIBUTE_READONLY);
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    g_messages.clear();
    c.make(target, larger);
    EXPECT_EQ(Attach(get_datos_image_, u"Foto", 1, "salida"), 0);
    if (c.written) {
      EXPECT_EQ(ReadAll(target), SampleImage());
      EXPECT_TRUE(g_messages.empty());
    } else {
      EXPECT_TRUE(std::filesystem::is_directory(target));
      ASSERT_EQ(g_messages.size(), 1u);
      EXPECT_EQ(g_messages[0].text, L"No se ha podido escribir el fichero " + target.wstring() +
                                        L" (no es un fichero normal, no hay permiso o el disco est\u00e1 lleno) ...");
    }
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove(target);
    for (const auto& entry : std::filesystem::directory_iterator(Folder()))
      EXPECT_NE(entry.path().extension(), ".part") << entry.path();
  }
}

// A link at the output is never written through nor removed through. Where the system marks it
// as a reparse point (Windows; Wine 8 shows its links as plain files), a value to write replaces
// the link itself, and no value leaves it alone with the caller told; the file it pointed to is
// untouched either way.
TEST_F(LirvakHostTest, NeverWritesThroughALinkAtTheOutput) {
  const TempFolder outside;
  const std::filesystem::path kept = outside.fs() / "kept.jpg", link = Folder() / "enlace.jpg";
  WriteAll(kept, "outside");
  for (std::int64_t record : {1, 2}) {
    SCOPED_TRACE(record);
    if (!CreateSymbolicLinkW(link.c_str(), kept.c_str(), 0))
      GTEST_SKIP() << "no symbolic links here: error " << GetLastError();
    const DWORD attributes = GetFileAttributesW(link.c_str());
    g_messages.clear();
    EXPECT_EQ(Attach(get_datos_image_, u"Foto", record, "enlace"), 0);
    EXPECT_EQ(ReadAll(kept), "outside");
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      if (record == 1) {
        EXPECT_EQ(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
        EXPECT_EQ(ReadAll(link), SampleImage());
        EXPECT_TRUE(g_messages.empty());
      } else {
        EXPECT_EQ(GetFileAttributesW(link.c_str()), attributes);
        EXPECT_EQ(g_messages.size(), 1u);
      }
    }
    DeleteFileW(link.c_str());
  }
}

// Hostile data files that once ended a 32-bit caller (numbers far apart grew the index by a
// megabyte an entry): every export answers rightly, within 64 MB of the process's peak.
TEST_F(LirvakHostTest, HostileDataFilesAreReadWithinBoundedMemory) {
  PROCESS_MEMORY_COUNTERS before{};
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));
  for (const HostileFile& file : HostileFiles()) {
    SCOPED_TRACE(file.what);
    const std::string name = name_ + "-hostil";
    const std::filesystem::path folder = std::filesystem::path(platform::ProgramFolder()) / name;
    std::filesystem::create_directories(folder);
    WriteAll(folder / (name + ".zbd"), file.data);
    AnsiBstr database(name), out(name + "\\salida");
    EXPECT_GE(get_regi_(database.address()), -9.3e18);  // a number, whatever the last entry holds
    const std::string nombre = FieldNameBuffer(u"Nombre"), foto = FieldNameBuffer(u"Foto");
    std::int64_t record = file.record;
    const BSTR text = get_datos_str_(database.address(), reinterpret_cast<const unsigned char*>(nombre.data()), &record);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text)),
              file.text.empty() ? u"No datos" : file.text);
    SysFreeString(text);
    g_messages.clear();
    EXPECT_EQ(get_datos_image_(database.address(), reinterpret_cast<const unsigned char*>(foto.data()), &record,
                               out.address()),
              0);
    EXPECT_EQ(std::filesystem::exists(folder / "salida.jpg"), file.image_bytes > 0);
    EXPECT_EQ(g_messages.size(), file.image_bytes > 0 ? 0u : 1u);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  PROCESS_MEMORY_COUNTERS after{};
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
  EXPECT_LT(after.PeakWorkingSetSize, before.PeakWorkingSetSize + (std::size_t{64} << 20));
}

TEST_F(LirvakHostTest, ARefusedDatabaseIsReportedAsMissing) {
  WriteAll(Folder() / "vieja.jpg", "stale");
  AnsiBstr escaping("..\\" + name_), out(name_ + "\\vieja");
  const std::string buffer = FieldNameBuffer(u"Foto");
  std::int64_t record = 1;
  EXPECT_EQ(get_datos_image_(escaping.address(), reinterpret_cast<const unsigned char*>(buffer.data()), &record,
                             out.address()),
            0);
  EXPECT_FALSE(std::filesystem::exists(Folder() / "vieja.jpg"));
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0].text, L"La imagen NO existe ...");
}

TEST_F(LirvakHostTest, ReadsNothingWhileTheDataFileIsHeldOpen) {
  const std::u16string name(name_.begin(), name_.end());
  const std::u16string data = DataFilePath(Database{platform::ProgramFolder(), name});
  platform::FileHandle held;
  ASSERT_EQ(platform::OpenExclusive(data, platform::Access::Read, held), platform::OpenStatus::Ok);
  AnsiBstr database(name_);
  EXPECT_EQ(Text(u"Nombre", 2), u"No datos");
  EXPECT_EQ(get_regi_(database.address()), 0.0);
  platform::CloseFile(held);
  EXPECT_EQ(Text(u"Nombre", 2), u"Ana");
}

TEST_F(LirvakHostTest, ConvertsNamesFromTheAnsiCodePage) {
  const std::u16string wide = u"lirvak-host-" + std::u16string(name_.begin() + 12, name_.end()) + u"-año";
  BOOL lossy = FALSE;
  char ansi[64] = {};
  const int length = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(wide.c_str()), -1, ansi,
                                         sizeof ansi, nullptr, &lossy);
  if (length == 0 || lossy) GTEST_SKIP() << "the ANSI code page has no ñ";
  WriteSampleDatabase(Database{platform::ProgramFolder(), wide});
  AnsiBstr database(ansi);
  EXPECT_EQ(get_regi_(database.address()), 3.0);
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(platform::ProgramFolder()) / std::filesystem::path(wide), ignored);
}

// A program elsewhere names the folder of the databases: any name, with or without its
// backslash, or relative to the current folder; NULL or "" goes back to the folder of the
// program that loaded the library.
TEST_F(LirvakHostTest, ReadsAndWritesInTheFolderItIsGiven) {
  const TempFolder elsewhere;
  const std::wstring named = elsewhere.fs().wstring() + L"\\Datos Jos\u00e9 \u0416\u0451\u043b\u0442\u044b\u0439 \U0001F600";
  const std::wstring with_slash = named + L"\\";
  ASSERT_TRUE(std::filesystem::create_directory(named));
  WriteSampleDatabase(Database{std::u16string(with_slash.begin(), with_slash.end()), u"muestra"});
  AnsiBstr database("muestra"), output("foto");
  const std::string field = FieldNameBuffer(u"Foto");
  std::int64_t record = 1;
  for (const std::wstring& spelling : {with_slash, named}) {
    SCOPED_TRACE(std::filesystem::path(spelling).string());
    set_folder_(spelling.c_str());
    EXPECT_EQ(FolderRead(), with_slash);
    EXPECT_EQ(get_regi_(database.address()), 3.0);
    EXPECT_EQ(TextIn("muestra", u"Nombre", 2), u"Ana");
    EXPECT_EQ(get_datos_image_(database.address(), reinterpret_cast<const unsigned char*>(field.data()), &record,
                               output.address()),
              0);
    EXPECT_EQ(ReadAll(std::filesystem::path(with_slash + L"foto.jpg")), SampleImage());
  }
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.fs().c_str()));
  set_folder_(std::filesystem::path(named).filename().c_str());
  SetCurrentDirectoryW(current);
  EXPECT_EQ(FolderRead(), with_slash);
  EXPECT_EQ(get_regi_(database.address()), 3.0);
  const std::u16string program = platform::ProgramFolder();
  for (const wchar_t* by_default : {static_cast<const wchar_t*>(nullptr), L""}) {
    set_folder_(with_slash.c_str());
    set_folder_(by_default);
    EXPECT_EQ(FolderRead(), std::wstring(program.begin(), program.end()));
    EXPECT_EQ(get_regi_(database.address()), 0.0);  // no "muestra" beside the program
  }
  EXPECT_TRUE(g_messages.empty());
}

// The status of the calling thread's last attachment call, and quiet mode: a failed call then
// shows no box. Off, as by default, the box shows as it always has.
TEST_F(LirvakHostTest, TellsWhatTheLastAttachmentCallDidAndIsQuietWhenAsked) {
  std::int32_t fresh = 99;
  std::thread([&] { fresh = get_status_(); }).join();
  EXPECT_EQ(fresh, -1);  // a thread that made no call
  struct Case {
    std::int32_t quiet;
    const char* function;
    const char16_t* field;
    std::int64_t record;
    const char* output;
    std::int32_t status;
  };
  const Case cases[] = {
      {0, "Get_datos_image", u"Foto", 1, "estado", 0},
      {0, "Get_datos_image", u"Foto", 2, "estado", 1},
      {1, "Get_datos_image", u"Foto", 2, "estado", 1},
      {1, "Get_datos_sonido", u"Voz", 1, "..\\..\\fuera", 2},
      {1, "Get_datos_sonido", u"Voz", 1, "estado", 0},
      {1, "Get_datos_image", u"Nombre", 1, "estado", 1},
      {0, "Get_datos_image", u"Foto", 9, "estado", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.function) + " quiet " + std::to_string(c.quiet) + " record " + std::to_string(c.record));
    g_messages.clear();
    set_quiet_(c.quiet);
    const auto function = reinterpret_cast<GetDatosFileFunction>(Export(c.function));
    EXPECT_EQ(Attach(function, c.field, c.record, c.output), 0);
    EXPECT_EQ(get_status_(), c.status);
    EXPECT_EQ(g_messages.size(), c.quiet == 0 && c.status != 0 ? 1u : 0u);
  }
}

// Each export of the 32-bit library removes exactly its own arguments (stdcall). A template,
// so that the 64-bit build, whose one convention leaves that to the caller, never needs the
// 32-bit thunk.
template <std::size_t PointerSize>
void CheckEveryExportRemovesItsOwnArguments(const std::string& name, AnyFunction (*exported)(const char*)) {
  if constexpr (PointerSize == 4) {
    AnsiBstr database(name), output(name + "\\pila");
    const std::string field = FieldNameBuffer(u"Foto");
    std::int64_t record = 1;
    void* database_name = database.address();
    void* buffer = const_cast<char*>(field.data());
    const CheckedCall regi = CallAndCheckStack(exported("GetRegi"), {database_name}, true);
    EXPECT_TRUE(regi.balanced);
    EXPECT_EQ(regi.floating, 3.0);
    const CheckedCall text = CallAndCheckStack(exported("Get_datos_str"), {database_name, buffer, &record}, false);
    EXPECT_TRUE(text.balanced);
    SysFreeString(reinterpret_cast<BSTR>(text.integer));
    for (const char* function : {"Get_datos_image", "Get_datos_sonido"}) {
      const CheckedCall file =
          CallAndCheckStack(exported(function), {database_name, buffer, &record, output.address()}, false);
      EXPECT_TRUE(file.balanced) << function;
      EXPECT_EQ(file.integer, 0u) << function;
    }
    // The added exports: none, one pointer, one integer.
    const CheckedCall folder = CallAndCheckStack(exported("Lirvak_get_folder"), {}, false);
    EXPECT_TRUE(folder.balanced);
    SysFreeString(reinterpret_cast<BSTR>(folder.integer));
    EXPECT_TRUE(CallAndCheckStack(exported("Lirvak_set_folder"), {nullptr}, false).balanced);
    const CheckedCall status = CallAndCheckStack(exported("Lirvak_get_status"), {}, false);
    EXPECT_TRUE(status.balanced);
    EXPECT_EQ(status.integer, 0u);  // the sound above was written
    EXPECT_TRUE(CallAndCheckStack(exported("Lirvak_set_quiet"), {nullptr}, false).balanced);
  } else {
    GTEST_SKIP() << "64-bit Windows has one calling convention: the caller removes the arguments";
  }
}

TEST_F(LirvakHostTest, EveryExportRemovesItsOwnArguments) {
  CheckEveryExportRemovesItsOwnArguments<sizeof(void*)>(name_, &LirvakHostTest::Export);
}

}  // namespace
}  // namespace zentora::testing
