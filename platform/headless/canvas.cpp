// Drawing surfaces without a screen: every drawing is kept as an operation, so a test can ask
// what a surface shows now (the page last copied, plus what was drawn on it since).
#include <string>
#include <utility>
#include <vector>

#include "platform/scrolling.h"
#include "platform/ui.h"
#include "platform/headless/script.h"
#include "platform/headless/session.h"

namespace zentora::platform {

using headless::LiveControl;
using headless::LiveState;
using headless::Quoted;
using headless::ScriptFailure;

namespace {

headless::ControlState& LiveSurface(Dialog dialog, int id) {
  headless::ControlState& surface = LiveControl(dialog, id);
  if (surface.control.kind != ControlKind::Surface) {
    throw ScriptFailure("control " + std::to_string(id) + " of dialog " + Quoted(LiveState(dialog).caption) +
                        " is not a drawing surface");
  }
  return surface;
}

void Draw(Canvas canvas, headless::DrawOp op) {
  headless::ControlState& surface = LiveSurface(canvas.dialog, canvas.surface_id);
  (canvas.page ? surface.page : surface.picture).push_back(std::move(op));
}

}  // namespace

Canvas OpenPage(Dialog dialog, int surface_id, int width, int height) {
  headless::ControlState& surface = LiveSurface(dialog, surface_id);
  surface.page.clear();
  headless::DrawOp clear;
  clear.rect = {0, 0, width, height};
  clear.colour = kWhite;
  surface.page.push_back(clear);
  return Canvas{dialog, surface_id, true};
}

void CopyPageToSurface(Canvas page) {
  headless::ControlState& surface = LiveSurface(page.dialog, page.surface_id);
  surface.picture = surface.page;
  ++surface.copies;
}

Canvas SurfaceCanvas(Dialog dialog, int surface_id) {
  LiveSurface(dialog, surface_id);
  return Canvas{dialog, surface_id, false};
}

void ScrollSurfaceTo(Dialog dialog, int surface_id, int top, int height) {
  headless::ControlState& surface = LiveSurface(dialog, surface_id);
  const int shown = surface.control.rect.cy;
  if (surface.control.scroll_height <= shown) return;
  surface.scroll_top = FirstRowShowing(surface.scroll_top, shown, surface.control.scroll_height, top, height);
}

void ClearCanvas(Canvas canvas, Colour colour) {
  headless::DrawOp op;
  op.kind = headless::DrawOp::Kind::Clear;
  op.colour = colour;
  Draw(canvas, op);
}

void DrawBox(Canvas canvas, Rect box, Colour border, Colour fill) {
  headless::DrawOp op;
  op.kind = headless::DrawOp::Kind::Box;
  op.rect = box;
  op.colour = border;
  op.fill = fill;
  Draw(canvas, op);
}

void DrawTextAt(Canvas canvas, int x, int y, const std::u16string& text, Colour colour, const Font& font) {
  headless::DrawOp op;
  op.kind = headless::DrawOp::Kind::Text;
  op.rect = {x, y, 0, 0};
  op.colour = colour;
  op.text = text;
  op.font = font;
  Draw(canvas, op);
}

namespace headless {

std::vector<TextSeen> TextsSeen(const std::vector<DrawOp>& picture) {
  std::vector<TextSeen> seen;
  for (const DrawOp& op : picture) {
    if (op.kind == DrawOp::Kind::Text) {
      seen.push_back({op.rect.x, op.rect.y, op.text, op.colour});
      continue;
    }
    const bool whole = op.kind == DrawOp::Kind::Clear;
    std::erase_if(seen, [&](const TextSeen& text) {
      return whole || (text.x >= op.rect.x && text.x < op.rect.x + op.rect.cx && text.y >= op.rect.y &&
                       text.y < op.rect.y + op.rect.cy);
    });
  }
  return seen;
}

}  // namespace headless

}  // namespace zentora::platform
