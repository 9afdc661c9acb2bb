// SPDX-License-Identifier: GPL-3.0-or-later
// The thumbnails' menu: Insert and Delete (a Shift+click range at once),
// Tween, Hold; the clipboard's frame entries are the clipboard controller's.

#include <QAction>

#include "editor/FramesController.h"
#include "editor/MainControls.h"
#include "model/Document.h"
#include "platform/Dialogs.h"

void TFramesController::FramePopup(int Index) {
  PopupFrameIndex = Index;
  const TTimelineStrip::TRange range = Ui.TimelineImages->Selection();
  Popup = range.Holds(Index) ? range : TTimelineStrip::TRange{Index, Index};
  // In-between frames need a frame after this one to lead to.
  Ui.TweenAction->setEnabled(Index + 1 < FrameCount());
}

std::vector<TFigures> TFramesController::PopupFrames() const {
  const auto& frames = Doc.Animation().Frames;
  if (Popup.First < 0 || Popup.Last >= static_cast<int>(frames.size())) return {};
  return {frames.begin() + Popup.First, frames.begin() + Popup.Last + 1};
}

void TFramesController::InsertFrameClick() {
  const int p = PopupFrameIndex;
  if (p < 0 || p >= FrameCount()) return;
  Doc.InsertFrame(p);
}

void TFramesController::DeleteFrameClick() {
  const int p = PopupFrameIndex;
  if (p < 0 || p >= FrameCount()) return;
  if (Popup.Holds(p) && Popup.Last > Popup.First) {
    Doc.DeleteFrames(Popup.First, Popup.Last - Popup.First + 1);
    ScrollStripToEnd();
    return;
  }
  const int count = FrameCount(), edited = Doc.EditedFrameIndex();
  const bool resets = count > 1 && (p == count - 1 || p == edited || p == edited - 1);
  Doc.DeleteFrame(p);
  // Starting again from the new last frame shows the end of the strip.
  if (resets && FrameCount() > 0) ScrollStripToEnd();
}

void TFramesController::HoldClick() {
  const int p = PopupFrameIndex;
  if (p < 0 || p >= FrameCount()) return;
  const TTimelineStrip::TRange range = Popup.Holds(p) ? Popup : TTimelineStrip::TRange{p, p};
  const std::optional<int> ticks = Wiring.Dialogs().AskNumber(
      Wiring.Parent(), QStringLiteral("Hold"), QStringLiteral("Ticks of playback each frame stays on:"),
      Doc.Animation().Frames[static_cast<std::size_t>(p)].Hold, 1, TFigures::MaxHold);
  if (ticks) Doc.SetHolds(range.First, range.Last - range.First + 1, *ticks);
}

void TFramesController::HoldLongerClick() { Doc.ChangeEditedHold(1); }
void TFramesController::HoldShorterClick() { Doc.ChangeEditedHold(-1); }

void TFramesController::TweenClick() {
  const int p = PopupFrameIndex;
  if (p < 0 || p + 1 >= FrameCount()) return;
  // The dialog offers what was chosen last: a run of tweens usually wants the same.
  const std::optional<TTweenChoice> choice = Wiring.Dialogs().AskTween(Wiring.Parent(), {TweenCount, TweenEasing});
  if (!choice) return;
  TweenCount = choice->Count;
  TweenEasing = choice->Easing;
  Doc.TweenFrames(p, choice->Count, choice->Easing);
}
