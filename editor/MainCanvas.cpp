// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing area: painting the working frame over the underlay, the silver
// ghost of a frame, and posing figures by dragging their handles. Each drag
// is one step of the document's history.

#include <QPainter>

#include "editor/MainUnit.h"
#include "model/Common.h"
#include "platform/PictureBox.h"

void TMainForm::DrawFigures() {
  const TFigures& frame = Doc.WorkingFrame();
  PaintEditScene(EditImage->Picture(), Underlay, frame, frame.Count() > 0 ? Doc.SelectedFigure() : -1);
  // Anything may have changed: the next drag step starts from fresh layers.
  DragLayers.Invalidate();
  EditImage->Changed();
}

void TMainForm::DrawGhost(QImage& Canvas, const std::optional<TFigures>& Ghost) const {
  TUnderFrames frames;
  if (Ghost) frames.emplace_back(*Ghost, GhostColor);
  DrawUnderFrames(Canvas, frames);
}

TMainForm::TUnderFrames TMainForm::UnderFrames() const {
  TUnderFrames frames;
  if (!OnionSkin.Shown) return frames;
  const std::vector<TFigures>& stored = Animation().Frames;
  const int count = static_cast<int>(stored.size());
  const int edited = Doc.EditedFrameIndex();
  // Frames count from the frame under edit, or from the new frame after the last.
  const int here = edited >= 0 ? edited : count;
  const int before = OnionSkin.Before, after = edited >= 0 ? OnionSkin.After : 0;
  for (int d = std::max(before, after); d >= 1; --d) {
    if (d <= after && here + d < count) frames.emplace_back(stored[static_cast<std::size_t>(here + d)], TOnionSkin::Color(false, d));
    if (d > before) continue;
    // The nearest frame before is the ghost the path to the working frame left.
    if (d == 1) {
      if (Doc.Edit().Ghost) frames.emplace_back(*Doc.Edit().Ghost, GhostColor);
    } else if (here - d >= 0) {
      frames.emplace_back(stored[static_cast<std::size_t>(here - d)], TOnionSkin::Color(true, d));
    }
  }
  return frames;
}

void TMainForm::DrawUnderFrames(QImage& Canvas, const TUnderFrames& Frames) const {
  const TAnimation& animation = Animation();
  const QImage& background = animation.Background;
  // Where the background does not cover the picture, it is white beneath.
  if (background.width() < Canvas.width() || background.height() < Canvas.height() || background.hasAlphaChannel())
    Canvas.fill(Qt::white);
  QPainter canvas(&Canvas);
  PrepareCanvas(canvas);
  canvas.drawImage(QPoint(0, 0), background);
  for (const auto& [frame, color] : Frames)
    for (const TFigure& figure : frame.Items) {
      TFigure ghost = figure;
      ghost.Color = color;
      ghost.Draw(canvas, 1.0f);
    }
}

void TMainForm::EditImageMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
  const TFigures& frame = Doc.WorkingFrame();
  if (frame.Count() == 0) return;
  int found = -1;
  int16_t handle = NoHandle;
  for (int i = frame.Count() - 1; i >= 0; --i) {
    handle = frame.Items[static_cast<std::size_t>(i)].HandleAt(QPoint(X, Y));
    if (handle != NoHandle) {
      found = i;
      break;
    }
  }
  SelectedHandle = handle;
  if (found < 0) return;
  if (SelectedHandle == RootHandle) {
    LastMouseX = X;
    LastMouseY = Y;
  }
  // Every press starts a new gesture, also on the figure selected already.
  Doc.EndGesture();
  Doc.Select(found);
}

void TMainForm::EditImageMouseMove(Qt::KeyboardModifiers, int X, int Y) {
  if (SelectedHandle == NoHandle) return;
  // The held figure may have gone (deleted by its hotkey during the drag).
  const TFigure* held = Doc.Selected();
  if (held == nullptr) return;
  TFigure figure = *held;
  if (SelectedHandle == RootHandle) {
    figure.MoveBy(RealPoint(static_cast<float>(X - LastMouseX), static_cast<float>(Y - LastMouseY)));
    LastMouseX = X;
    LastMouseY = Y;
  } else {
    // The wheel may have selected a figure with fewer segments during the drag:
    // it then has no such joint to turn.
    if (SelectedHandle >= figure.SegmentCount()) return;
    figure.TurnSegmentTowards(static_cast<uint8_t>(SelectedHandle),
                              RealPoint(static_cast<float>(X), static_cast<float>(Y)));
  }
  Doc.DragFigure(Doc.SelectedFigure(), figure);
}

void TMainForm::EditImageMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  SelectedHandle = NoHandle;
  Doc.EndGesture();
}
