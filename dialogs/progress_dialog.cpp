#include "dialogs/progress_dialog.h"

#include <algorithm>
#include <cstdint>
#include <variant>

namespace zentora {

platform::DialogTemplate ProgressDialogTemplate() {
  platform::DialogTemplate dialog;
  // No title bar shows the caption; it names the dialog all the same.
  dialog.caption = u"Dialog1";
  dialog.rect = {0, 0, 100, 10};
  dialog.style = platform::kStyleCentred | platform::kStyleTopmost | platform::kStyleModalFrame |
                 platform::kStyleNoTitleBar;
  platform::ControlTemplate bar;
  bar.id = kProgressBarId;
  bar.kind = platform::ControlKind::ProgressBar;
  bar.rect = {0, 0, 100, 10};
  bar.text = u"ProgressBar1";
  dialog.controls.push_back(bar);
  return dialog;
}

void ShowProgressDialog(ProgressState& state) {
  EndProgressDialog(state);
  state.window = platform::CreateModeless(
      ProgressDialogTemplate(), [](platform::Dialog dialog, const platform::DialogEvent& event) {
        if (std::holds_alternative<platform::InitEvent>(event)) {
          platform::SetProgressRange(dialog, kProgressBarId, 0, 100);
        }
      });
  platform::ShowNormal(state.window);
}

int ProgressPercent(uint64_t done, uint64_t total) {
  if (total == 0 || done >= total) return 100;
  // Past 2^57 units the product would overflow: drop low bits of both counts, which a percent
  // cannot show anyway, and keep 100 for the last unit.
  while (done > UINT64_MAX / 100) {
    done >>= 1;
    total >>= 1;
  }
  return std::min(static_cast<int>(done * 100 / total), 99);
}

void AdvanceProgress(ProgressState& state, uint64_t done, uint64_t total) {
  platform::PumpMessages();
  if (!state.window) return;
  platform::SetProgressPosition(state.window, kProgressBarId, ProgressPercent(done, total));
}

void EndProgressDialog(ProgressState& state) {
  if (!state.window) return;
  platform::DestroyDialog(state.window);
  state.window = {};
}

}  // namespace zentora
