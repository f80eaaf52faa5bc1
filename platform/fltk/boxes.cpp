// The desktop's own windows on Linux: the message box, the input box (a small dialog of
// ours), the open-file dialog, the desktop's "open" (xdg-open), and menu bars with their
// pictures.
#include <FL/Fl.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_draw.H>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <variant>

#include "platform/encoding.h"
#include "platform/fltk/internal.h"
#include "platform/menu_letters.h"
#include "platform/text_wrap.h"

extern char** environ;

namespace zentora::platform {

using fltk::Deliver;

namespace {

void MenuCallback(Fl_Widget* widget, void* data) {
  const auto* bar = static_cast<fltk::DialogMenuBar*>(widget);
  Deliver(Dialog{bar->dialog}, CommandEvent{static_cast<int>(reinterpret_cast<std::intptr_t>(data)), kCodeClicked});
}

// One level of items, then the end mark FLTK reads; popups nest their items after them.
// Each item's letter is underlined: Alt plus it on the bar, the letter alone in an open popup.
void AddMenuItems(fltk::DialogMenuBar& bar, const std::vector<MenuItem>& items) {
  std::size_t previous = bar.items.size();  // the item of this level before the next one
  const std::vector<std::size_t> letters = MenuLetters(items);
  for (std::size_t index = 0; index < items.size(); ++index) {
    const MenuItem& item = items[index];
    if (item.text == u"-") {
      // FLTK draws a separator as a line under the item before it (a popup's own item, not
      // its last one).
      if (previous < bar.items.size()) bar.items[previous].flags |= FL_MENU_DIVIDER;
      continue;
    }
    previous = bar.items.size();
    Fl_Menu_Item entry{};
    bar.labels.push_back(fltk::LabelText(MarkedMenuText(item.text, letters[index])));
    entry.text = bar.labels.back().c_str();
    if (item.items.empty()) {
      entry.callback_ = &MenuCallback;
      entry.user_data_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(item.id));
    } else {
      entry.flags = FL_SUBMENU;
    }
    bar.items.push_back(entry);
    if (item.bitmap != 0) {
      if (Fl_RGB_Image* picture = fltk::ResourceImage(item.bitmap)) {
        // Labelling an item with a picture once makes FLTK know how to draw picture labels.
        static const bool known = [picture] {
          Fl_Menu_Item scratch{};
          picture->label(&scratch);
          return true;
        }();
        (void)known;
        // The picture before the text, in both states of the item.
        Fl_Multi_Label& both = bar.pictures.emplace_back();
        both.labela = reinterpret_cast<const char*>(picture);
        both.typea = _FL_IMAGE_LABEL;
        both.labelb = bar.labels.back().c_str();
        both.typeb = FL_NORMAL_LABEL;
        both.label(&bar.items.back());
      }
    }
    if (!item.items.empty()) {
      AddMenuItems(bar, item.items);
      bar.items.push_back(Fl_Menu_Item{});
    }
  }
}

// Moves every control of the window down by the height of a menu bar, and the window's
// bottom with them; a control inside a frame of its own (a scrolling surface, a scrolling
// dialog's content) goes with its frame.
void MakeMenuRoom(fltk::DialogRecord& record, int by) {
  for (int i = 0; i < record.window->children(); ++i) {
    Fl_Widget* widget = record.window->child(i);
    widget->position(widget->x(), widget->y() + by);
  }
  record.window->size(record.window->w(), record.window->h() + by);
  record.menu_room = by;
}

std::set<pid_t> opened_children;
constexpr int kOpenerVerdictMs = 3000;  // how long the opener is given to say it found no program

// Children that have ended are collected, so none is left a zombie.
void ReapChildren(void*) {
  for (auto it = opened_children.begin(); it != opened_children.end();) {
    int status = 0;
    it = waitpid(*it, &status, WNOHANG) != 0 ? opened_children.erase(it) : std::next(it);
  }
  if (!opened_children.empty()) Fl::repeat_timeout(1.0, &ReapChildren);
}

}  // namespace

// A message box of ours rather than FLTK's, which shows CR LF as "^M" and appears under
// the pointer: the text's lines as lines, the box in the middle of the screen.
void ShowMessage(const std::u16string& text, const std::u16string& caption, const std::u16string& accept) {
  fltk::OpenDisplay();
  constexpr int kTextId = 100;
  constexpr int kOkId = 1;
  // Measured in the very font the text is drawn in, at the width it is drawn at: a label set
  // to the left is drawn 3 pixels in from either side of its box.
  constexpr int kLabelInset = 3;
  const ControlTemplate measured = MakeControl(kTextId, ControlKind::Static, {});
  const fltk::FontChoice font = fltk::ChooseFont(measured.font);
  fl_font(font.face, font.size);
  // The text wraps at this width, a word wider than it (a long name, a path) inside itself, so
  // the box never grows past the screen.
  int width = MessageTextWidth(WorkArea());
  const std::u16string wrapped = JoinLines(
      WrapText(text, width, [](std::u16string_view line) {
        const std::string utf8 = Utf16ToUtf8(std::u16string(line));
        return static_cast<int>(fl_width(utf8.c_str(), static_cast<int>(utf8.size())) + 0.5);
      }),
      u"\n");
  int height = 0;
  const std::string label = fltk::LabelText(wrapped);
  fl_measure(label.c_str(), width, height, 0);
  width = std::max(width + 2 * kLabelInset, 240);  // room for the caption too
  DialogTemplate box;
  box.caption = caption;
  box.units = Units::Pixels;
  box.rect = {0, 0, width + 24, height + 64};
  box.style = kStyleCaption | kStyleSystemMenu | kStyleModalFrame | kStyleCentred;
  box.controls = {
      MakeControl(kTextId, ControlKind::Static, {12, 12, width, height}, wrapped),
      MakeControl(kOkId, ControlKind::Button, {(width + 24 - 80) / 2, height + 24, 80, 28}, accept),
  };
  RunModal(box, [](Dialog dialog, const DialogEvent& event) {
    const auto* command = std::get_if<CommandEvent>(&event);
    if ((command != nullptr && command->id == kOkId) || std::holds_alternative<CloseEvent>(event)) EndDialog(dialog, 1);
  });
}

std::optional<std::u16string> ChooseFileToOpen(const OpenFileRequest& request) {
  fltk::OpenDisplay();
  Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
  const std::string title = Utf16ToUtf8(request.title);
  if (!title.empty()) chooser.title(title.c_str());
  // "Description\tPattern" lines; Windows lists patterns with ';', FLTK with '|' inside braces.
  std::string filter;
  for (const FileFilter& entry : request.filters) {
    std::string pattern = Utf16ToUtf8(entry.pattern);
    if (pattern.find(';') != std::string::npos) {
      std::replace(pattern.begin(), pattern.end(), ';', '|');
      pattern = "{" + pattern + "}";
    }
    filter += Utf16ToUtf8(entry.description) + "\t" + pattern + "\n";
  }
  if (!filter.empty()) chooser.filter(filter.c_str());
  const std::string folder = Utf16ToUtf8(request.initial_folder);
  if (!folder.empty()) chooser.directory(folder.c_str());
  const std::string name = Utf16ToUtf8(request.initial_name);
  if (!name.empty()) chooser.preset_file(name.c_str());
  // The chooser may change the current folder; the program's stays as it was.
  std::error_code ignored;
  const std::filesystem::path current = std::filesystem::current_path(ignored);
  const int outcome = chooser.show();
  if (!current.empty()) std::filesystem::current_path(current, ignored);
  if (outcome != 0 || chooser.filename() == nullptr) return std::nullopt;
  const std::string chosen = chooser.filename();
  // Only a file that exists is an answer.
  if (chosen.empty() || !std::filesystem::is_regular_file(chosen, ignored)) return std::nullopt;
  return Utf8ToUtf16(chosen);
}

// xdg-open says at once when the desktop has no program for a file (exit status 3 or 4); one
// that is still running a moment later has handed the file on, or is showing it itself.
bool ShellOpen(const std::u16string& path) {
  const std::string file = Utf16ToUtf8(path);
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(file.c_str()), nullptr};
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // A session of its own: the opened program outlives this one and takes none of its signals.
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t child = 0;
  const bool started = posix_spawnp(&child, program.c_str(), nullptr, &attributes, argv, environ) == 0;
  posix_spawnattr_destroy(&attributes);
  if (!started) return false;
  for (int waited_ms = 0; waited_ms < kOpenerVerdictMs; waited_ms += 20) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    Fl::check();  // the windows keep repainting meanwhile
    usleep(20000);
  }
  if (opened_children.empty()) Fl::add_timeout(1.0, &ReapChildren);
  opened_children.insert(child);
  return true;
}

void AttachMenu(Dialog dialog, const Menu& bar) {
  fltk::DialogRecord* record = fltk::RecordOf(dialog);
  if (record == nullptr) return;
  if (record->menu == nullptr) {
    // The strip a bar once had stays when the bar is taken away, so the window keeps its size.
    if (record->menu_room == 0) MakeMenuRoom(*record, fltk::ChooseFont(Font{}).size + 12);
    record->window->begin();
    record->menu = new fltk::DialogMenuBar(0, 0, record->window->w(), record->menu_room, dialog.value);
    record->window->end();
    const fltk::FontChoice font = fltk::ChooseFont(Font{});
    record->menu->textfont(font.face);
    record->menu->textsize(font.size);
  }
  fltk::DialogMenuBar& menu = *record->menu;
  menu.menu(nullptr);  // the old items are about to go
  menu.items.clear();
  menu.labels.clear();
  menu.pictures.clear();
  AddMenuItems(menu, bar);
  menu.items.push_back(Fl_Menu_Item{});
  menu.menu(menu.items.data());
  menu.redraw();
}

void DetachMenu(Dialog dialog) {
  fltk::DialogRecord* record = fltk::RecordOf(dialog);
  if (record == nullptr || record->menu == nullptr) return;
  record->window->remove(record->menu);
  Fl::delete_widget(record->menu);  // it may be the widget whose item is being chosen now
  record->menu = nullptr;
  record->window->redraw();
}

}  // namespace zentora::platform
