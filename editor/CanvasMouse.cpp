// SPDX-License-Identifier: GPL-3.0-or-later
// Selecting and dragging figures on the drawing area: a press on a handle
// or a figure's line holds it, each move turns a segment or moves the
// selected figures, a drag on empty area draws a band that selects the
// figures whose roots it holds, and the mouse wheel selects the next figure.

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLineF>
#include <QMenu>
#include <QRubberBand>
#include <QStatusBar>
#include <QWheelEvent>
#include <algorithm>

#include "editor/CanvasController.h"
#include "editor/MainControls.h"
#include "model/Document.h"
#include "model/Posing.h"
#include "platform/PictureBox.h"

namespace {
// How far from a line or circle of a figure a press still selects it.
constexpr double FigureTolerance = 3.0;
}  // namespace

int TCanvasController::FigureAt(QPointF P) const {
  const TFigures& frame = Doc.WorkingFrame();
  // The tolerance is in screen pixels.
  const double tolerance = FigureTolerance / Ui.EditImage->Zoom();
  for (int i = frame.Count() - 1; i >= 0; --i)
    if (frame.Items[static_cast<std::size_t>(i)].Touches(P, tolerance)) return i;
  return -1;
}

void TCanvasController::EditImageMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, double X, double Y) {
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
  DragStarts.clear();
  Doc.EndGesture();
  if (Shift & Qt::ControlModifier) {
    // Ctrl+click adds a figure to the selection or takes it out.
    if (found >= 0) Doc.ToggleSelected(found);
    return;
  }
  if (found < 0) return StartBand(QPointF(X, Y));
  SelectedHandle = handle;
  // A right click on a joint's handle, released where it was pressed,
  // offers to pin it; dragged, it drags as the left button does.
  RightPress = Button == Qt::RightButton && handle >= 0 ? std::optional<QPointF>(QPointF(X, Y)) : std::nullopt;
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
  PinFigure = found;
  PinVertex =
      handle == RootHandle ? 0 : frame.Items[static_cast<std::size_t>(found)].Type().Segments[handle].ChildVertex;
}

void TCanvasController::OfferPin(int Figure, int16_t Handle) {
  const TFigure& figure = Doc.WorkingFrame().Items[static_cast<std::size_t>(Figure)];
  PinFigure = Figure;
  PinVertex = figure.Type().Segments[Handle].ChildVertex;
  Ui.PinJointAction->setText(figure.Pinned(PinVertex) ? QStringLiteral("Unpin Joint") : QStringLiteral("Pin Joint"));
  Ui.JointMenu->popup(QCursor::pos());
}

void TCanvasController::PinJointClick() {
  const TFigures& frame = Doc.WorkingFrame();
  if (PinFigure < 0 || PinFigure >= frame.Count()) return;
  if (PinVertex == 0) {
    Ui.StatusBar->showMessage(QStringLiteral("The root moves the whole figure: press a joint's handle to pin it."));
    return;
  }
  Doc.TogglePin(PinFigure, PinVertex);
}

const TFigure& TCanvasController::DragStart(int Figure) {
  const TFigure& now = Doc.WorkingFrame().Items[static_cast<std::size_t>(Figure)];
  for (auto& [index, pose] : DragStarts) {
    if (index != Figure) continue;
    // A figure deleted or replaced during the drag leaves a pose of another type.
    if (pose.TypeReference() != now.TypeReference()) pose = now;
    return pose;
  }
  return DragStarts.emplace_back(Figure, now).second;
}

void TCanvasController::StartBand(QPointF At) {
  // On empty drawing area a drag draws a band; the figures whose root lies
  // inside are selected at the release.
  BandStart = At;
  if (Band == nullptr) Band = new QRubberBand(QRubberBand::Rectangle, Ui.EditImage);
  Band->setGeometry(QRect(Ui.EditImage->ToScreen(BandStart).toPoint(), QSize()));
  Band->show();
}

void TCanvasController::EditImageMouseMove(Qt::KeyboardModifiers Shift, double X, double Y) {
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
  if (SelectedHandle == RootHandle) return MoveByRoot(X, Y);
  // The wheel may have selected a figure with fewer segments during the drag:
  // it then has no such joint to turn.
  if (SelectedHandle >= held->SegmentCount()) return;
  // Shift uses the other posing mode for the drag.
  const bool ik = Ui.InverseKinematicsAction->isChecked() != ((Shift & Qt::ShiftModifier) != 0);
  const int index = Doc.SelectedFigure();
  const TFigure& start = DragStart(index);
  TFigure figure = *held;
  DragJoint(figure, static_cast<uint8_t>(SelectedHandle), RealPoint(static_cast<float>(X), static_cast<float>(Y)), ik,
            start);
  Doc.DragFigure(index, figure);
}

void TCanvasController::MoveByRoot(double X, double Y) {
  const TRealPoint offset = RealPoint(static_cast<float>(X - LastMouseX), static_cast<float>(Y - LastMouseY));
  LastMouseX = X;
  LastMouseY = Y;
  // Every selected figure moves by the same amount.
  std::vector<std::pair<int, TFigure>> moved;
  for (int index : Doc.SelectedFigures()) {
    const TFigure& start = DragStart(index);
    TFigure figure = Doc.WorkingFrame().Items[static_cast<std::size_t>(index)];
    ::DragRoot(figure, offset, start);
    moved.emplace_back(index, std::move(figure));
  }
  Doc.DragFigures(moved);
}

void TCanvasController::EditImageMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, double X, double Y) {
  const int16_t released = SelectedHandle;
  SelectedHandle = NoHandle;
  DragStarts.clear();
  if (Button == Qt::RightButton && RightPress && released >= 0 && Doc.Selected() != nullptr &&
      QLineF(*RightPress, QPointF(X, Y)).length() < 3)
    OfferPin(Doc.SelectedFigure(), released);
  RightPress.reset();
  Doc.EndGesture();
  if (Band == nullptr || Band->isHidden()) return;
  Band->hide();
  SelectInBand(QPointF(X, Y));
}

void TCanvasController::SelectInBand(QPointF End) {
  const QRectF area = QRectF(BandStart, End).normalized();
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

void TCanvasController::FormMouseWheelDown() {
  const int count = Doc.WorkingFrame().Count();
  if (count < 2) return;
  const int selected = Doc.SelectedFigure();
  Doc.Select(selected == 0 ? count - 1 : selected - 1);
}

void TCanvasController::FormMouseWheelUp() {
  const int count = Doc.WorkingFrame().Count();
  if (count < 2) return;
  const int selected = Doc.SelectedFigure();
  Doc.Select(selected + 1 >= count ? 0 : selected + 1);
}

bool TCanvasController::HandleWheel(QWheelEvent* Event) {
  // One notch is 120; finer wheels and touchpads add up to whole notches.
  WheelRemainder += Event->angleDelta().y();
  while (WheelRemainder >= 120) {
    WheelRemainder -= 120;
    Wiring.Run([this] { FormMouseWheelUp(); });
  }
  while (WheelRemainder <= -120) {
    WheelRemainder += 120;
    Wiring.Run([this] { FormMouseWheelDown(); });
  }
  return true;
}

bool TCanvasController::eventFilter(QObject* Watched, QEvent* Event) {
  // Every wheel turn over the main window selects figures, whether the
  // window is active or not; nothing in it scrolls or steps with the wheel.
  if (Event->type() == QEvent::Wheel && Watched->isWidgetType() && static_cast<QWidget*>(Watched)->window() == &Window)
    return HandleWheel(static_cast<QWheelEvent*>(Event));
  return QObject::eventFilter(Watched, Event);
}
