// The record browser's menu bar: one popup with the Go to command. It lives apart from the
// main window's bar so that the browser can be built and tested on its own.
#include "platform/ui.h"
#include "shell/app_state.h"
#include "shell/main_window.h"

namespace zentora {
namespace {

constexpr int kMenuGroup = 27;
constexpr int kOperationsEntry = 1;
constexpr int kGoToEntry = 11;

}  // namespace

platform::Menu BrowserMenu(const AppState& state) {
  platform::MenuItem go_to;
  go_to.id = kCommandGoTo;
  go_to.text = state.Text(kMenuGroup, kGoToEntry);

  platform::MenuItem operations;
  operations.text = state.Text(kMenuGroup, kOperationsEntry);
  operations.items.push_back(go_to);
  return {operations};
}

void BuildBrowserMenu(AppState& state, platform::Dialog window) {
  platform::AttachMenu(window, BrowserMenu(state));
}

}  // namespace zentora
