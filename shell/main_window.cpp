#include "shell/main_window.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <variant>
#include <vector>

#include "dialogs/database_dialogs.h"
#include "dialogs/record_browser.h"
#include "dialogs/value_viewers.h"
#include "platform/system.h"
#include "shell/about_box.h"
#include "shell/configuration.h"
#include "storage/record_entry.h"
#include "storage/structure_file.h"

namespace zentora {
namespace {

constexpr char16_t kCacheFolderName[] = u"velmora cache";

// Text-table groups of the main window.
constexpr int kMainTitleGroup = 22;
constexpr int kDatabaseExistsGroup = 23;
constexpr int kDuplicateLabelGroup = 24;
constexpr int kCreationStartedGroup = 25;
constexpr int kMenuGroup = 27;
// A folder pass looks at this many entries at most, so a huge folder cannot stall a command.
constexpr std::size_t kListingLimit = 1000;

enum MenuText {
  kOperationsText = 1, kNewText, kNewDatabaseText, kNewFieldText, kInsertDataText, kSeeDataText,
  kDataStructureText, kAuthorText, kExitText, kLanguagesText,
};

platform::MenuItem Item(int id, std::u16string text, int bitmap = 0) { return {id, std::move(text), bitmap, {}}; }
platform::MenuItem Separator() { return Item(0, u"-"); }
platform::MenuItem Popup(std::u16string text, std::vector<platform::MenuItem> items) {
  return {0, std::move(text), 0, std::move(items)};
}

std::u16string TwoLines(const AppState& state, int group) {
  return state.Text(group, 1) + u"\r\n" + state.Text(group, 2);
}

void Message(const AppState& state, const std::u16string& text) {
  platform::ShowMessage(text, state.MessageCaption());
}

// A command's dialog or workflow runs with the bar taken away: with ownerless dialogs the
// main window stays enabled, and a missing bar is what keeps a second command from starting.
template <class Work>
void WithoutMenu(AppState& state, Work work) {
  if (state.main.window) platform::DetachMenu(state.main.window);
  work();
  if (state.main.window) BuildMainMenu(state, state.main.window);
}

// Defines one field and appends it unless the structure already has one of that name.
void DefineField(AppState& state, const Database& db) {
  WithoutMenu(state, [&] {
    if (!ShowDefineFieldDialog(state)) return;  // closed: nothing stored
    if (FieldNameExists(db, state.dialogs.pending_field.name)) {
      state.dialogs.pending_field = FieldDefinition{};
      Message(state, TwoLines(state, kDuplicateLabelGroup));
      return;
    }
    AppendFieldDefinition(db, state.dialogs.pending_field);
  });
}

void NewDatabase(AppState& state, const Database& db) {
  if (PathExists(StructureFilePath(db))) {
    Message(state, state.Text(kDatabaseExistsGroup, 1));
    return;
  }
  if (!FolderHasEntry(db.program_folder, db.name)) platform::CreateFolder(DatabaseFolder(db));
  if (PathExists(DataFilePath(db))) {
    Message(state, TwoLines(state, kCreationStartedGroup));
    return;
  }
  DefineField(state, db);
}

void NewField(AppState& state, const Database& db) {
  if (!PathExists(StructureFilePath(db))) return;
  // Every entry of the data file repeats its field's definition: a field added now would
  // leave the records already stored without it.
  if (PathExists(DataFilePath(db))) {
    Message(state, TwoLines(state, kCreationStartedGroup));
    return;
  }
  DefineField(state, db);
}

void SwitchLanguage(AppState& state, Language language) {
  state.shell.language = static_cast<std::int32_t>(language);
  if (state.main.window) {
    platform::DetachMenu(state.main.window);
    BuildMainMenu(state, state.main.window);
  }
  AccessConfiguration("save", state.shell.language, state.program_folder);
  if (state.main.window) platform::SetCaption(state.main.window, state.Text(kMainTitleGroup, 1));
}

// The commands that act on a database: each asks for its name first.
void RunDatabaseCommand(AppState& state, int command) {
  if (!ShowDatabaseNameDialog(state) || state.dialogs.database_name.empty()) return;
  const Database db = state.CurrentDatabase();
  switch (command) {
    case kCommandNewDatabase: NewDatabase(state, db); break;
    case kCommandNewField: NewField(state, db); break;
    case kCommandInsertData:
      // The data file need not exist: the entry creates it.
      if (PathExists(StructureFilePath(db))) WithoutMenu(state, [&] { EnterRecord(state); });
      break;
    case kCommandSeeData:
      if (PathExists(StructureFilePath(db)) && PathExists(DataFilePath(db))) {
        WithoutMenu(state, [&] { ShowRecordBrowser(state); });
      }
      break;
    case kCommandDataStructure:
      if (!PathExists(StructureFilePath(db))) break;
      state.main.structure_view = true;
      WithoutMenu(state, [&] { ShowMemoViewer(state); });
      state.main.structure_view = false;
      break;
    default: break;
  }
}

bool IsFolder(const std::u16string& path) {
  std::error_code ignored;
  return std::filesystem::is_directory(std::filesystem::path(path), ignored);
}

}  // namespace

platform::DialogTemplate MainWindowTemplate(const AppState& state) {
  platform::DialogTemplate window;
  window.caption = state.Text(kMainTitleGroup, 1);
  window.rect = {94, 26, 347, 30};
  window.units = platform::Units::DialogUnits;
  // A minimize-box bit without the system menu: the title bar shows no buttons at all, so
  // the window ends only through Exit (or the desktop's own close request).
  window.style = platform::kStyleCaption | platform::kStyleMinimizeBox;
  return window;
}

platform::Menu MainMenu(const AppState& state) {
  auto text = [&](int entry) { return state.Text(kMenuGroup, entry); };
  return {
      Popup(text(kOperationsText),
            {Popup(text(kNewText), {Item(kCommandNewDatabase, text(kNewDatabaseText)),
                                    Item(kCommandNewField, text(kNewFieldText))}),
             Separator(), Item(kCommandInsertData, text(kInsertDataText)),
             Separator(), Item(kCommandSeeData, text(kSeeDataText)),
             Separator(), Item(kCommandDataStructure, text(kDataStructureText)),
             Separator(), Item(kCommandAuthor, text(kAuthorText)),
             Separator(), Item(kCommandExit, text(kExitText))}),
      // Each language names itself, whatever the language in force.
      Popup(text(kLanguagesText), {Item(kCommandSpanish, u"Español", kSpainFlagBitmap),
                                   Item(kCommandEnglish, u"English", kKingdomFlagBitmap)}),
  };
}

void BuildMainMenu(AppState& state, platform::Dialog window) { platform::AttachMenu(window, MainMenu(state)); }

std::u16string CacheFolderFor(const std::vector<std::u16string>& fixed_drives, const std::u16string& user_cache) {
  const char16_t separator = platform::PathSeparator();
  std::u16string base = fixed_drives.empty() ? user_cache : fixed_drives.front();
  if (!base.empty() && base.back() != separator) base += separator;
  return base + kCacheFolderName + separator;
}

void PrepareMainWindow(AppState& state) {
  state.dialogs.browser_open = false;
  state.main.fixed_drives = platform::FixedDrives();
  const std::u16string user_cache = state.main.fixed_drives.empty() ? platform::UserCacheFolder() : u"";
  state.main.cache_folder = CacheFolderFor(state.main.fixed_drives, user_cache);
  const std::u16string parent = state.main.fixed_drives.empty() ? user_cache : state.main.fixed_drives.front();
  if (!FolderHasEntry(parent, kCacheFolderName)) {
    // A fresh account may have no cache folder of its own yet.
    if (!parent.empty() && !platform::PathExists(parent)) platform::CreateFolder(parent);
    platform::CreateFolder(state.main.cache_folder);
  }
  state.main.structure_view = false;
}

bool RunMenuCommand(AppState& state, int command) {
  switch (command) {
    case kCommandNewDatabase:
    case kCommandNewField:
    case kCommandInsertData:
    case kCommandSeeData:
    case kCommandDataStructure: RunDatabaseCommand(state, command); return false;
    case kCommandAuthor: RunAboutCommand(state.shell); return false;  // the menu stays
    case kCommandExit: ClearCacheFolder(state.main.cache_folder); return true;
    case kCommandSpanish: SwitchLanguage(state, Language::Spanish); return false;
    case kCommandEnglish: SwitchLanguage(state, Language::English); return false;
    default: return false;
  }
}

int ShowMainWindow(AppState& state) {
  platform::RunModal(MainWindowTemplate(state), [&state](platform::Dialog window, const platform::DialogEvent& event) {
    if (std::holds_alternative<platform::InitEvent>(event)) {
      state.main.window = window;
      BuildMainMenu(state, window);
      PrepareMainWindow(state);
    } else if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
      if (RunMenuCommand(state, command->id)) platform::EndDialog(window, 0);
    } else if (std::holds_alternative<platform::CloseEvent>(event)) {
      // The desktop's close request ends the run without emptying the cache folder.
      platform::EndDialog(window, 0);
    } else if (std::holds_alternative<platform::DestroyEvent>(event)) {
      state.main.window = {};
    }
  });
  return 0;
}

bool FolderHasEntry(const std::u16string& folder, const std::u16string& name) {
  const std::vector<std::u16string> entries = platform::ListFolder(folder);
  const std::size_t count = std::min(entries.size(), kListingLimit);
  for (std::size_t i = 0; i < count; ++i) {
    if (entries[i] == name) return true;
  }
  return false;
}

void ClearCacheFolder(const std::u16string& folder) {
  if (folder.empty()) return;  // never the current folder by accident
  const std::vector<std::u16string> entries = platform::ListFolder(folder);
  const std::size_t count = std::min(entries.size(), kListingLimit);
  for (std::size_t i = 0; i < count; ++i) {
    const std::u16string path = folder + entries[i];
    // Folders stay; clearing their attributes as a file's would also lock them on POSIX.
    if (IsFolder(path)) continue;
    platform::DeleteFileForced(path);  // a file the desktop still holds stays; Exit goes on
  }
}

}  // namespace zentora
