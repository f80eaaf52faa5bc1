// The record browser's menu bar: one popup with the Go to command.
#include "dialogs/record_browser.h"

namespace zentora {

platform::Menu BrowserMenu(const Texts& texts) {
  platform::MenuItem go_to;
  go_to.id = kCommandGoTo;
  go_to.text = texts.Text(text::kMenuGoTo);

  platform::MenuItem operations;
  operations.text = texts.Text(text::kMenuOperations);
  operations.items.push_back(go_to);
  return {operations};
}

void BuildBrowserMenu(const Texts& texts, platform::Dialog window) {
  platform::AttachMenu(window, BrowserMenu(texts));
}

}  // namespace zentora
