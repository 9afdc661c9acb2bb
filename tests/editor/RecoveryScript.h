// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fixed run of edits, the same in every process that runs it: the
// recovery tests compare what a killed program left behind with what this
// run gives in the test itself.

#include <functional>
#include <vector>

#include "builder/FigureBuilderUnit.h"
#include "model/Document.h"

// The edits, one per entry, each a command (or an undo) of the document.
inline std::vector<std::function<void(TDocument&)>> RecoverySteps() {
  const auto move = [](TDocument& D, float X, float Y) {
    TFigure figure = D.WorkingFrame().Items.at(0);
    figure.MoveBy(RealPoint(X, Y));
    figure.RotateSegment(1, 0.25);
    D.EndGesture();
    D.DragFigure(0, figure);
    D.EndGesture();
  };
  return {
      [=](TDocument& D) { move(D, 7, 3); },
      [](TDocument& D) { D.NextFrame(); },
      [=](TDocument& D) { move(D, -4, 11); },
      [](TDocument& D) { D.NextFrame(); },
      [](TDocument& D) { D.AddFigure(1); },
      [](TDocument& D) { D.NextFrame(); },
      [](TDocument& D) { D.TweenFrames(0, 3); },
      [](TDocument& D) { D.DeleteFrame(2); },
      [](TDocument& D) { D.InsertFrame(1); },
      [](TDocument& D) { D.Undo(); },
      [](TDocument& D) { D.ShowFrame(1); },
      [](TDocument& D) { D.SetFigureColor(0x00FF00); },
      [](TDocument& D) { D.FlipFigure(); },
      [](TDocument& D) { D.NextFrame(); },  // stores the frame under edit
      [](TDocument& D) { D.ChangeDimensions(300, 200); },
      [](TDocument& D) { D.ShowFrame(2); },
      [=](TDocument& D) { move(D, 2, 2); },
      [](TDocument& D) { D.SetFigureScale(1.5f); },
      [](TDocument& D) { D.SetPlaybackInterval(80); },
      [](TDocument& D) { D.SetHolds(0, 2, 4); },
      [](TDocument& D) { D.ChangeEditedHold(2); },  // the working frame's hold too
  };
}

inline void RunRecoveryScript(TDocument& Doc) {
  for (const auto& step : RecoverySteps()) step(Doc);
}

// The builder's edit: the Stickman opened for editing.
inline void RunBuilderScript(TFigureBuilderForm& Builder, const TFigureTypeTable& Types) {
  Builder.EditFigureType(*Types.Type(1));
}
