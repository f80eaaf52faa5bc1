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
  state.waiting = false;
  state.window = platform::CreateModeless(
      ProgressDialogTemplate(), [](platform::Dialog dialog, const platform::DialogEvent& event) {
        if (std::holds_alternative<platform::InitEvent>(event)) {
          platform::SetProgressRange(dialog, kProgressBarId, 0, 100);
        }
      });
  platform::ShowNormal(state.window);
}

platform::DialogTemplate WaitingDialogTemplate(const std::u16string& caption, const std::u16string& line,
                                               const std::u16string& cancel) {
  platform::DialogTemplate dialog;
  dialog.caption = caption;
  dialog.rect = {0, 0, 200, 62};
  dialog.style = platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleCentred |
                 platform::kStyleTopmost | platform::kStyleModalFrame;
  dialog.controls.push_back(
      platform::MakeControl(kWaitingLineId, platform::ControlKind::Static, {7, 7, 186, 28}, line, platform::kWrap));
  dialog.controls.push_back(
      platform::MakeControl(kWaitingCancelId, platform::ControlKind::Button, {70, 40, 60, 15}, cancel));
  return dialog;
}

void ShowWaitingDialog(ProgressState& state, const std::u16string& caption, const std::u16string& line,
                       const std::u16string& cancel) {
  if (state.window && state.waiting) return;
  EndProgressDialog(state);
  state.cancelled = false;
  bool* cancelled = &state.cancelled;
  state.window = platform::CreateModeless(
      WaitingDialogTemplate(caption, line, cancel), [cancelled](platform::Dialog, const platform::DialogEvent& event) {
        const auto* command = std::get_if<platform::CommandEvent>(&event);
        if ((command != nullptr && platform::IsActivation(*command, kWaitingCancelId)) ||
            std::holds_alternative<platform::CloseEvent>(event))
          *cancelled = true;
      });
  state.waiting = true;
  platform::FocusControl(state.window, kWaitingCancelId);
  platform::ShowNormal(state.window);
}

bool StillWaiting(ProgressState& state) {
  platform::PumpMessages();
  return !state.cancelled;
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
  state.waiting = false;
}

}  // namespace zentora
