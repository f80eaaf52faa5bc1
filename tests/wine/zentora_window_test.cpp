// Zentora.exe on the desktop, watched from outside: each test copies the program into a
// fresh program folder, starts it, looks at its windows as the user would see them and
// drives it through its menu commands, then checks how it ended. With ZENTORA_PROGRAM set
// to a Zentora.exe (an unpacked package) the tests run that one where it is instead.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "dialogs/database_dialogs.h"
#include "shell/about_box.h"
#include "shell/main_window.h"
#include "storage/structure_file.h"
#include "support/temp_folder.h"

namespace {

constexpr DWORD kPatienceMs = 30000;  // a slow first start of the desktop included
using zentora::kAboutExitId;
using zentora::kAboutIconId;
using zentora::kCommandAuthor;
using zentora::kCommandEnglish;
using zentora::kCommandExit;
using zentora::kCommandNewDatabase;
using zentora::kDatabaseNameAcceptId;
using zentora::kDatabaseNameEditId;
using zentora::kFieldAcceptId;
using zentora::kFieldNameEditId;
using zentora::kSizeEditId;
using zentora::kStringOptionId;

std::filesystem::path OwnFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(std::wstring(path, length)).parent_path();
}

class RunningZentora : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const wchar_t* named = _wgetenv(L"ZENTORA_PROGRAM"); named != nullptr && *named != L'\0') {
      program_ = named;
    } else {
      program_ = folder_.fs() / "Zentora.exe";
      std::filesystem::copy_file(OwnFolder() / "Zentora.exe", program_);
    }
    program_folder_ = program_.parent_path();
  }

  void TearDown() override {
    if (process_.hProcess != nullptr) {
      // A program a failed test left running must not outlive it.
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }

  void Start() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + program_.wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               program_folder_.wstring().c_str(), &startup, &process_));
  }

  // The top-level window of the program with this caption, once it is shown; nullptr when
  // it does not come in time or the program ended first.
  HWND WaitForWindow(const std::wstring& caption) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kPatienceMs) {
      HWND window = FindWindowW(nullptr, caption.c_str());
      if (window != nullptr && IsWindowVisible(window)) {
        DWORD owner_process = 0;
        GetWindowThreadProcessId(window, &owner_process);
        if (owner_process == process_.dwProcessId) return window;
      }
      if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

  bool WaitUntilGone(HWND window) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kPatienceMs) {
      if (!IsWindow(window)) return true;
      Sleep(50);
    }
    return false;
  }

  // The exit code once the program has ended, or -1 when it is still running after the wait.
  long ExitCode() {
    if (WaitForSingleObject(process_.hProcess, kPatienceMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

  void Choose(HWND window, int command) {
    ASSERT_TRUE(PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0));
  }

  // A button or option of a dialog clicked, as the dialog hears it.
  void Click(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    ASSERT_NE(control, nullptr) << "no control " << id;
    ASSERT_TRUE(PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control)));
  }

  void Type(HWND dialog, int id, const wchar_t* text) { ASSERT_TRUE(SetDlgItemTextW(dialog, id, text)); }

  zentora::testing::TempFolder folder_;
  std::filesystem::path program_;
  std::filesystem::path program_folder_;
  PROCESS_INFORMATION process_{};
};

TEST_F(RunningZentora, ShowsTheMainWindowWithItsMenuAndEndsOnExit) {
  Start();
  HWND main = WaitForWindow(L"BASES DE DATOS");
  ASSERT_NE(main, nullptr) << "the main window never showed";

  // The title bar offers no buttons (no system menu), and the menu bar is in place. (The
  // desktop keeps a menu's items inside the process that built it: the backend's own tests
  // look at those.)
  EXPECT_EQ(GetWindowLongPtrW(main, GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_NE(GetMenu(main), nullptr);

  Choose(main, kCommandExit);
  EXPECT_EQ(ExitCode(), 0);
  // Nothing is saved unless the language is switched.
  EXPECT_FALSE(std::filesystem::exists(program_folder_ / "Configuracion.ini"));
}

TEST_F(RunningZentora, EnglishRenamesTheWindowAndTheNextStartKeepsIt) {
  Start();
  HWND main = WaitForWindow(L"BASES DE DATOS");
  ASSERT_NE(main, nullptr);
  Choose(main, kCommandEnglish);
  ASSERT_NE(WaitForWindow(L"DATABASES"), nullptr) << "the caption did not follow the language";
  EXPECT_NE(GetMenu(main), nullptr) << "the menu bar did not come back";
  Choose(main, kCommandExit);
  ASSERT_EQ(ExitCode(), 0);
  const std::string saved = zentora::testing::ReadAll(program_folder_ / "Configuracion.ini");
  // The desktop's profile functions may drop the space before the number; the number stays.
  const std::size_t key = saved.find("Idioma=");
  ASSERT_NE(key, std::string::npos) << saved;
  EXPECT_EQ(saved.substr(saved.find_first_not_of(' ', key + 7), 1), "5") << saved;

  CloseHandle(process_.hProcess);
  CloseHandle(process_.hThread);
  process_ = {};
  Start();
  HWND again = WaitForWindow(L"DATABASES");
  ASSERT_NE(again, nullptr) << "the second start did not run in English";
  Choose(again, kCommandExit);
  EXPECT_EQ(ExitCode(), 0);
}

TEST_F(RunningZentora, CreatesADatabaseThroughItsDialogs) {
  const zentora::Database db{program_folder_.u16string() + u"\\", u"Prueba"};
  ASSERT_FALSE(std::filesystem::exists(program_folder_ / "Prueba")) << "left by an earlier run";
  Start();
  HWND main = WaitForWindow(L"BASES DE DATOS");
  ASSERT_NE(main, nullptr);
  Choose(main, kCommandNewDatabase);
  HWND name = WaitForWindow(L"Nombre base de datos");
  ASSERT_NE(name, nullptr) << "the database-name dialog never showed";
  Type(name, kDatabaseNameEditId, L"Prueba");
  Click(name, kDatabaseNameAcceptId);

  HWND field = WaitForWindow(L"Define un campo");
  ASSERT_NE(field, nullptr) << "the define-field dialog never showed";
  Click(field, kStringOptionId);
  Type(field, kFieldNameEditId, L"Cliente");
  Type(field, kSizeEditId, L"20");
  Click(field, kFieldAcceptId);
  ASSERT_TRUE(WaitUntilGone(field)) << "the define-field dialog refused the field";

  // The definition is stored once the dialog has closed: wait for its 80 bytes, then read
  // them (reading earlier would open, and so create, the file ahead of the program).
  const std::filesystem::path structure(StructureFilePath(db));
  const DWORD start = GetTickCount();
  std::error_code missing;
  while (std::filesystem::file_size(structure, missing) < zentora::kFieldDefinitionBytes || missing) {
    ASSERT_LT(GetTickCount() - start, kPatienceMs) << "no field stored in " << structure.string();
    Sleep(50);
  }
  const auto fields = zentora::ReadStructure(db);
  ASSERT_TRUE(fields.ok());
  ASSERT_EQ(fields.value.size(), 1u);
  EXPECT_EQ(fields.value[0].name, zentora::PadFieldName(u"Cliente"));
  EXPECT_EQ(fields.value[0].type, 3);  // string
  EXPECT_EQ(fields.value[0].size, 20);
  EXPECT_EQ(fields.value[0].decimals, 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(DataFilePath(db)))) << "no record was entered";

  Choose(main, kCommandExit);
  EXPECT_EQ(ExitCode(), 0);
}

TEST_F(RunningZentora, AboutBoxRunsItsFigureAndClosesWithItsButton) {
  Start();
  HWND main = WaitForWindow(L"BASES DE DATOS");
  ASSERT_NE(main, nullptr);
  Choose(main, kCommandAuthor);
  HWND about = WaitForWindow(L"Autor");
  ASSERT_NE(about, nullptr) << "the About box never showed";
  EXPECT_EQ(GetWindowLongPtrW(about, GWL_STYLE) & WS_SYSMENU, 0);  // no close box: the button ends it

  // The frames change every 100 ms: a busy machine may be slow, but the figure must move.
  std::set<LRESULT> frames;
  const DWORD start = GetTickCount();
  while (frames.size() < 4 && GetTickCount() - start < 10000) {
    const LRESULT icon = SendMessageW(GetDlgItem(about, kAboutIconId), STM_GETICON, 0, 0);
    if (icon != 0) frames.insert(icon);
    Sleep(40);
  }
  EXPECT_GE(frames.size(), 4u) << "the running figure does not move";

  // The main menu stays usable meanwhile, and a second Author opens no second box.
  Choose(main, kCommandAuthor);
  Sleep(300);
  int boxes = 0;
  for (HWND window = FindWindowW(nullptr, L"Autor"); window != nullptr;
       window = FindWindowExW(nullptr, window, nullptr, L"Autor")) {
    ++boxes;
  }
  EXPECT_EQ(boxes, 1);

  HWND button = GetDlgItem(about, kAboutExitId);
  ASSERT_NE(button, nullptr);
  PostMessageW(about, WM_COMMAND, MAKEWPARAM(kAboutExitId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  EXPECT_TRUE(WaitUntilGone(about)) << "the About box stayed after its button";
  EXPECT_TRUE(IsWindow(main));

  Choose(main, kCommandExit);
  EXPECT_EQ(ExitCode(), 0);
}

}  // namespace
