#include "shell/main_window.h"

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "attachments/cache_folder.h"
#include "dialogs/database_dialogs.h"
#include "dialogs/record_entry.h"
#include "dialogs/value_viewers.h"
#include "platform/system.h"
#include "display/failure_words.h"
#include "shell/about_box.h"
#include "shell/configuration.h"
#include "storage/structure_file.h"

namespace zentora {
namespace {

platform::MenuItem Item(int id, std::u16string text, int bitmap = 0) { return {id, std::move(text), bitmap, {}}; }
platform::MenuItem Separator() { return Item(0, u"-"); }
platform::MenuItem Popup(std::u16string text, std::vector<platform::MenuItem> items) {
  return {0, std::move(text), 0, std::move(items)};
}

void Message(const Texts& texts, const std::u16string& text) { platform::ShowMessage(text, texts.MessageCaption(), texts.Text(text::kOkButton)); }

void Message(const Texts& texts, TextId first, TextId second) {
  Message(texts, texts.Text(first) + u"\r\n" + texts.Text(second));
}

void AttachMainMenu(const AppState& state) { platform::AttachMenu(state.shell.main_window, MainMenu(state.shell.texts)); }

// A command's dialog or workflow runs with the bar taken away: with ownerless dialogs the
// main window stays enabled, and a missing bar is what keeps a second command from starting.
template <class Work>
void WithoutMenu(AppState& state, Work work) {
  if (state.shell.main_window) platform::DetachMenu(state.shell.main_window);
  work();
  if (state.shell.main_window) AttachMainMenu(state);
}

// Defines one field and appends it unless the structure already has one of that name.
void DefineField(AppState& state, const Database& db) {
  const Texts& texts = state.shell.texts;
  WithoutMenu(state, [&] {
    const std::optional<FieldDefinition> field = ShowDefineFieldDialog(texts);
    if (!field) return;  // closed: nothing stored
    if (FieldNameExists(db, field->name)) {
      Message(texts, text::kDuplicateLabel, text::kNotArchived);
      return;
    }
    // A field kept out says why, and to try again only where that can work.
    const IoStatus stored = AppendFieldDefinition(db, *field);
    if (stored != IoStatus::Ok) Message(texts, FailureMessage(texts, text::kFieldNotStored, db, stored) + TryAgainAdvice(texts, stored));
  });
}

void NewDatabase(AppState& state, const Database& db) {
  const Texts& texts = state.shell.texts;
  if (PathExists(StructureFilePath(db))) {
    Message(texts, texts.Text(text::kDatabaseExists));
    return;
  }
  // A folder that exists under another case of the name (where names ignore case) will do.
  if (!FolderHasEntry(db.program_folder, db.name) && !platform::CreateFolder(DatabaseFolder(db)) &&
      !platform::IsFolder(DatabaseFolder(db))) {
    const IoStatus refused{IoStatus::Failed, platform::LastFailure(), DatabaseFolder(db)};
    Message(texts, FailureMessage(texts, text::kDatabaseNotMade, db, refused) + TryAgainAdvice(texts, refused));
    return;
  }
  if (PathExists(DataFilePath(db))) {
    Message(texts, text::kCreationStarted, text::kCannotAddField);
    return;
  }
  DefineField(state, db);
}

void NewField(AppState& state, const Database& db) {
  // Every entry of the data file repeats its field's definition: a field added now would
  // leave the records already stored without it.
  if (PathExists(DataFilePath(db))) {
    Message(state.shell.texts, text::kCreationStarted, text::kCannotAddField);
    return;
  }
  DefineField(state, db);
}

void SwitchLanguage(AppState& state, Language language) {
  Texts& texts = state.shell.texts;
  texts.language = static_cast<std::int32_t>(language);
  if (state.shell.main_window) {
    platform::DetachMenu(state.shell.main_window);
    AttachMainMenu(state);
  }
  AccessConfiguration("save", texts.language, state.program_folder);
  if (state.shell.main_window) platform::SetCaption(state.shell.main_window, texts.Text(text::kMainTitle));
}

// The commands that act on a database: each asks for its name first.
void RunDatabaseCommand(AppState& state, int command) {
  const Texts& texts = state.shell.texts;
  const std::optional<std::u16string> name = ShowDatabaseNameDialog(texts, state.program_folder);
  if (!name || name->empty()) return;
  const Database db = state.DatabaseNamed(*name);
  if (command == kCommandNewDatabase) {
    NewDatabase(state, db);
    return;
  }
  // Every other command needs the structure, See data records too: a name with nothing
  // behind it is said, never just dropped.
  if (!PathExists(StructureFilePath(db))) {
    Message(texts, texts.Filled(text::kDatabaseMissing, QuotedName(texts, db.name)));
    return;
  }
  if (command == kCommandSeeData && !PathExists(DataFilePath(db))) {
    Message(texts, texts.Text(text::kNoData));
    return;
  }
  switch (command) {
    case kCommandNewField: NewField(state, db); break;
    // The data file need not exist: the entry creates it.
    case kCommandInsertData: WithoutMenu(state, [&] { EnterRecord(texts, db, state.attachments, state.entry, state.shell.main_window); }); break;
    case kCommandSeeData:
      WithoutMenu(state, [&] { ShowRecordBrowser(texts, db, state.browser, state.attachments); });
      break;
    case kCommandDataStructure: WithoutMenu(state, [&] { ShowStructureViewer(texts, db); }); break;
    default: break;
  }
}

}  // namespace

platform::DialogTemplate MainWindowTemplate(const Texts& texts) {
  platform::DialogTemplate window;
  window.caption = texts.Text(text::kMainTitle);
  window.rect = {94, 26, 347, 30};
  window.units = platform::Units::DialogUnits;
  // A minimize-box bit without the system menu: the title bar shows no buttons at all, so
  // the window ends only through Exit (or the desktop's own close request).
  window.style = platform::kStyleCaption | platform::kStyleMinimizeBox;
  return window;
}

platform::Menu MainMenu(const Texts& texts) {
  auto text = [&](TextId id) { return texts.Text(id); };
  return {
      Popup(text(text::kMenuOperations),
            {Popup(text(text::kMenuNew), {Item(kCommandNewDatabase, text(text::kMenuNewDatabase)),
                                          Item(kCommandNewField, text(text::kMenuNewField))}),
             Separator(), Item(kCommandInsertData, text(text::kMenuInsertData)),
             Separator(), Item(kCommandSeeData, text(text::kMenuSeeData)),
             Separator(), Item(kCommandDataStructure, text(text::kMenuDataStructure)),
             Separator(), Item(kCommandAuthor, text(text::kMenuAuthor)),
             Separator(), Item(kCommandExit, text(text::kMenuExit))}),
      // Each language names itself, whatever the language in force.
      Popup(text(text::kMenuLanguages), {Item(kCommandSpanish, u"Español", kSpainFlagBitmap),
                                         Item(kCommandEnglish, u"English", kKingdomFlagBitmap)}),
  };
}

void PrepareMainWindow(AppState& state) {
  state.browser.open = false;
  state.attachments.cache_folder = PrepareCacheFolder();
}

bool RunMenuCommand(AppState& state, int command) {
  switch (command) {
    case kCommandNewDatabase:
    case kCommandNewField:
    case kCommandInsertData:
    case kCommandSeeData:
    case kCommandDataStructure: RunDatabaseCommand(state, command); return false;
    case kCommandAuthor: RunAboutCommand(state.shell); return false;  // the menu stays
    case kCommandExit: ClearCacheFolder(state.attachments.cache_folder); return true;
    case kCommandSpanish: SwitchLanguage(state, Language::Spanish); return false;
    case kCommandEnglish: SwitchLanguage(state, Language::English); return false;
    default: return false;
  }
}

int ShowMainWindow(AppState& state) {
  platform::RunModal(MainWindowTemplate(state.shell.texts),
                     [&state](platform::Dialog window, const platform::DialogEvent& event) {
                       if (std::holds_alternative<platform::InitEvent>(event)) {
                         state.shell.main_window = window;
                         AttachMainMenu(state);
                         PrepareMainWindow(state);
                       } else if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
                         if (RunMenuCommand(state, command->id)) platform::EndDialog(window, 0);
                       } else if (std::holds_alternative<platform::CloseEvent>(event)) {
                         // The desktop's close request ends the run without emptying the cache folder.
                         platform::EndDialog(window, 0);
                       } else if (std::holds_alternative<platform::DestroyEvent>(event)) {
                         state.shell.main_window = {};
                       }
                     });
  return 0;
}

}  // namespace zentora
