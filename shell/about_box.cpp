#include "shell/about_box.h"

#include <variant>

namespace zentora {

platform::DialogTemplate AboutBoxTemplate(const Texts& texts) {
  platform::DialogTemplate dialog;
  dialog.caption = texts.Text(text::kAboutTitle);
  dialog.rect = {0, 0, 221, 121};
  // A title bar but no system menu, hence no close box: the button is the way out.
  dialog.style = platform::kStyleCaption | platform::kStyleModalFrame | platform::kStyleCentred;
  // Measured in the desktop's dialog font; its texts and button carry their own.
  dialog.font = platform::kDesktopDialogFont;

  platform::ControlTemplate icon;
  icon.id = kAboutIconId;
  icon.kind = platform::ControlKind::Icon;
  icon.rect = {5, 5, 30, 30};
  icon.image = kFirstAboutFrame;
  dialog.controls.push_back(icon);

  dialog.controls.push_back(platform::MakeControl(kAboutThanksId, platform::ControlKind::Static, {40, 10, 190, 25},
                                                  texts.Text(text::kAboutThanks)));
  dialog.controls.push_back(platform::MakeControl(kAboutCreditId, platform::ControlKind::Static, {5, 50, 190, 40},
                                                  texts.Text(text::kAboutCredit)));

  platform::ControlTemplate exit;
  exit.id = kAboutExitId;
  exit.kind = platform::ControlKind::Button;
  exit.rect = {5, 100, 90, 15};
  exit.text = texts.Text(text::kAboutExit);
  exit.font.points = 14;
  dialog.controls.push_back(exit);
  return dialog;
}

int16_t NextAboutFrame(int16_t frame) {
  ++frame;
  return frame > kLastAboutFrame || frame < kFirstAboutFrame ? kFirstAboutFrame : frame;
}

int ShowAboutBox(const ShellState& state) {
  // The frame number belongs to this one box: a new box starts the figure from the beginning.
  int16_t frame = kFirstAboutFrame;
  return platform::RunModal(
      AboutBoxTemplate(state.texts),
      [&frame](platform::Dialog dialog, const platform::DialogEvent& event) {
        if (std::holds_alternative<platform::InitEvent>(event)) {
          platform::StartTimer(dialog, kAboutTimerId, kAboutFramePeriodMs);
          frame = kFirstAboutFrame;
        } else if (const auto* timer = std::get_if<platform::TimerEvent>(&event)) {
          if (timer->id != kAboutTimerId) return;
          platform::SetImage(dialog, kAboutIconId, frame);
          frame = NextAboutFrame(frame);
        } else if (const auto* command = std::get_if<platform::CommandEvent>(&event)) {
          if (platform::IsActivation(*command, kAboutExitId)) platform::EndDialog(dialog, 0);
        } else if (std::holds_alternative<platform::CloseEvent>(event)) {
          // Where the desktop gives the box a close box anyway (or Escape), that closes it too.
          platform::EndDialog(dialog, 0);
        } else if (std::holds_alternative<platform::DestroyEvent>(event)) {
          platform::StopTimer(dialog, kAboutTimerId);
        }
      });
}

void RunAboutCommand(ShellState& state) {
  if (state.about_box_open) return;
  state.about_box_open = true;
  // Cleared on every way out, so one failed box never locks the command for the run.
  struct ClearGuard {
    bool& guard;
    ~ClearGuard() { guard = false; }
  } clear{state.about_box_open};
  ShowAboutBox(state);
}

}  // namespace zentora
