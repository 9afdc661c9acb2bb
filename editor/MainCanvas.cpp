// The drawing area: painting the working frame over the underlay, the silver
// ghost of the previous frame, and posing figures by dragging their handles.

#include <QPainter>

#include "editor/MainUnit.h"
#include "model/Common.h"
#include "platform/PictureBox.h"

void TMainForm::DrawFigures() {
  const int selected = EditFrame.Count() > 0 ? SelectedFigure : -1;
  PaintEditScene(EditImage->Picture(), Underlay, EditFrame, selected);
  // Anything may have changed: the next drag step starts from fresh layers.
  DragLayers.Invalidate();
  EditImage->Changed();
}

void TMainForm::DrawGhost(QImage& Canvas, const TFigures& Frame) {
  // Where the background does not cover the picture, it is white beneath.
  if (Background.width() < Canvas.width() || Background.height() < Canvas.height() || Background.hasAlphaChannel())
    Canvas.fill(Qt::white);
  QPainter canvas(&Canvas);
  PrepareCanvas(canvas);
  canvas.drawImage(QPoint(0, 0), Background);
  for (const TFigure& figure : Frame.Items) {
    TFigure ghost = figure;
    ghost.Color = GhostColor;
    ghost.Draw(canvas, 1.0f);
  }
}

void TMainForm::EditImageMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
  if (EditFrame.Count() == 0) return;
  int found = -1;
  for (int i = EditFrame.Count() - 1; i >= 0; --i) {
    SelectedHandle = EditFrame.Items[i].HandleAt(QPoint(X, Y));
    if (SelectedHandle != NoHandle) {
      found = i;
      break;
    }
  }
  if (found < 0) return;
  if (SelectedHandle == RootHandle) {
    LastMouseX = X;
    LastMouseY = Y;
  }
  if (found != SelectedFigure) {
    SelectedFigure = static_cast<uint8_t>(found);
    SetFigureControls(found);
    DrawFigures();
  }
}

void TMainForm::EditImageMouseMove(Qt::KeyboardModifiers, int X, int Y) {
  if (SelectedHandle == NoHandle) return;
  // The held figure may have gone (deleted by its hotkey during the drag).
  if (SelectedFigure >= EditFrame.Count()) return;
  TFigure& figure = EditFrame.Items[SelectedFigure];
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
  EditImage->Changed(DragLayers.Repaint(EditImage->Picture(), Underlay, EditFrame, SelectedFigure));
}

void TMainForm::EditImageMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) { SelectedHandle = NoHandle; }
