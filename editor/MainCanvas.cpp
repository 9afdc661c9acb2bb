// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing area: painting the working frame over the underlay, the silver
// ghost of a frame, and posing figures by dragging their handles. Each drag
// is one step of the document's history.

#include <QPainter>
#include <QRubberBand>
#include <algorithm>

#include "editor/MainUnit.h"
#include "model/Common.h"
#include "platform/PictureBox.h"

void TMainForm::DrawFigures() {
  const TFigures& frame = Doc.WorkingFrame();
  // Away from actual size the drawing area draws the handles itself.
  const bool handles = Ui.EditImage->Zoom() == 1.0;
  PaintEditScene(Ui.EditImage->Picture(), Underlay, frame, frame.Count() > 0 ? Doc.SelectedFigure() : -1,
                 Doc.Edit().AlsoSelected, handles, Lines());
  // Anything may have changed: the next drag step starts from fresh layers.
  DragLayers.SetHandles(handles);
  DragLayers.SetLines(Lines());
  DragLayers.Invalidate();
  Ui.EditImage->Changed();
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
    if (d <= after && here + d < count)
      frames.emplace_back(stored[static_cast<std::size_t>(here) + d], TOnionSkin::Color(false, d));
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
      ghost.Draw(canvas, 1.0f, Lines());
    }
}

namespace {
// How far from a line or circle of a figure a press still selects it.
constexpr double FigureTolerance = 3.0;
}  // namespace

int TMainForm::FigureAt(QPointF P) const {
  const TFigures& frame = Doc.WorkingFrame();
  // The tolerance is in screen pixels.
  const double tolerance = FigureTolerance / Ui.EditImage->Zoom();
  for (int i = frame.Count() - 1; i >= 0; --i)
    if (frame.Items[static_cast<std::size_t>(i)].Touches(P, tolerance)) return i;
  return -1;
}

void TMainForm::EditImageMouseDown(Qt::MouseButton, Qt::KeyboardModifiers Shift, double X, double Y) {
  const TFigures& frame = Doc.WorkingFrame();
  if (frame.Count() == 0) return;
  // Handles first, from the figure on top down; then the figures' lines and
  // circles, where a press holds the figure as its root handle would.
  int found = -1;
  int16_t handle = NoHandle;
  for (int i = frame.Count() - 1; i >= 0; --i) {
    handle = frame.Items[static_cast<std::size_t>(i)].HandleAt(QPointF(X, Y), static_cast<float>(Ui.EditImage->Zoom()));
    if (handle != NoHandle) {
      found = i;
      break;
    }
  }
  if (found < 0 && (found = FigureAt(QPointF(X, Y))) >= 0) handle = RootHandle;
  SelectedHandle = NoHandle;
  Doc.EndGesture();
  if (Shift & Qt::ControlModifier) {
    // Ctrl+click adds a figure to the selection or takes it out.
    if (found >= 0) Doc.ToggleSelected(found);
    return;
  }
  if (found < 0) {
    // On empty drawing area a drag draws a band; the figures whose root lies
    // inside are selected at the release.
    BandStart = QPointF(X, Y);
    if (Band == nullptr) Band = new QRubberBand(QRubberBand::Rectangle, Ui.EditImage);
    Band->setGeometry(QRect(Ui.EditImage->ToScreen(BandStart).toPoint(), QSize()));
    Band->show();
    return;
  }
  SelectedHandle = handle;
  if (SelectedHandle == RootHandle) {
    LastMouseX = X;
    LastMouseY = Y;
  }
  // A press on one of several selected figures keeps them all: they move together.
  const std::vector<int> selected = Doc.SelectedFigures();
  if (std::find(selected.begin(), selected.end(), found) != selected.end())
    Doc.SelectFigures(selected, found);
  else
    Doc.Select(found);
}

void TMainForm::EditImageMouseMove(Qt::KeyboardModifiers, double X, double Y) {
  if (Band != nullptr && !Band->isHidden()) {
    Band->setGeometry(
        QRect(Ui.EditImage->ToScreen(BandStart).toPoint(), Ui.EditImage->ToScreen(QPointF(X, Y)).toPoint())
            .normalized());
    return;
  }
  if (SelectedHandle == NoHandle) return;
  // The held figure may have gone (deleted by its hotkey during the drag).
  const TFigure* held = Doc.Selected();
  if (held == nullptr) return;
  if (SelectedHandle == RootHandle) {
    const TRealPoint offset = RealPoint(static_cast<float>(X - LastMouseX), static_cast<float>(Y - LastMouseY));
    LastMouseX = X;
    LastMouseY = Y;
    // Every selected figure moves by the same amount.
    std::vector<std::pair<int, TFigure>> moved;
    for (int index : Doc.SelectedFigures()) {
      TFigure figure = Doc.WorkingFrame().Items[static_cast<std::size_t>(index)];
      figure.MoveBy(offset);
      moved.emplace_back(index, std::move(figure));
    }
    Doc.DragFigures(moved);
    return;
  }
  // The wheel may have selected a figure with fewer segments during the drag:
  // it then has no such joint to turn.
  if (SelectedHandle >= held->SegmentCount()) return;
  TFigure figure = *held;
  figure.TurnSegmentTowards(static_cast<uint8_t>(SelectedHandle),
                            RealPoint(static_cast<float>(X), static_cast<float>(Y)));
  Doc.DragFigure(Doc.SelectedFigure(), figure);
}

void TMainForm::EditImageMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, double X, double Y) {
  SelectedHandle = NoHandle;
  Doc.EndGesture();
  if (Band == nullptr || Band->isHidden()) return;
  Band->hide();
  const QRectF area = QRectF(BandStart, QPointF(X, Y)).normalized();
  std::vector<int> inside;
  const TFigures& frame = Doc.WorkingFrame();
  for (int i = 0; i < frame.Count(); ++i) {
    const TRealPoint root = frame.Items[static_cast<std::size_t>(i)].Root();
    // The root's pixel counts; the band's edges are inside.
    const int x = qRound(root.X), y = qRound(root.Y);
    if (x >= area.left() && x <= area.right() && y >= area.top() && y <= area.bottom()) inside.push_back(i);
  }
  // The figure on top of those inside shows in the controls.
  if (!inside.empty()) Doc.SelectFigures(inside, inside.back());
}
