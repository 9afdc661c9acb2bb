// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse editing on the builder's drawing area: selecting and dragging
// handles, moving the figure by its root, adding a segment in two presses
// and attaching a prepared duplicate.
//
// A press is handled by the first of these that applies: placing a new
// segment, attaching a duplicate (on a handle), choosing the start of a new
// segment (on a handle), and otherwise a normal press that selects and grabs.

#include <QLabel>
#include <QPainter>
#include <cmath>

#include "builder/FigureBuilderUnit.h"
#include "builder/UpDown.h"
#include "model/Common.h"
#include "model/Rounding.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"

namespace {

float Distance(TRealPoint A, TRealPoint B) {
  return static_cast<float>(std::hypot(static_cast<double>(B.X) - A.X, static_cast<double>(B.Y) - A.Y));
}

TRealPoint Plus(TRealPoint A, TRealPoint B) { return RealPoint(A.X + B.X, A.Y + B.Y); }

}  // namespace

bool TFigureBuilderForm::AtSegmentLimit() const { return WorkType().SegmentCount() >= TFigureType::MaxSegments; }

void TFigureBuilderForm::ShowSegmentLimit() {
  Dialogs.ShowMessage(this, QStringLiteral("you cannot add any more figure segments"));
}

void TFigureBuilderForm::GiveUpAtSegmentLimit() {
  // The pending add or duplicate ends with the message, so later presses
  // select and drag again instead of repeating it.
  EndPendingModes();
  EraseFigure();
  DrawFigure();
  ShowStatus();
  ShowSegmentLimit();
}

float TFigureBuilderForm::StartThickness() const {
  const TFigureType& type = WorkType();
  const int16_t parent = type.Vertices[StartVertex].ParentSegment;
  return type.Segments[parent >= 0 ? parent : 0].Thickness;
}

void TFigureBuilderForm::LineButtonClick() { StartAddingSegment(SegmentLine); }

void TFigureBuilderForm::CircleButtonClick() { StartAddingSegment(SegmentCircle); }

void TFigureBuilderForm::StartAddingSegment(uint8_t Kind) {
  if (AtSegmentLimit()) {
    ShowSegmentLimit();
    return;
  }
  NewSegmentKind = Kind;
  // The snapshot is taken now; an add that is given up leaves it in place.
  AssignUndo();
  SetUndoCaption(QStringLiteral("Undo Add"));
  if (Duplicating) {
    EraseFigure();
    DrawFigure();
    Duplicating = false;
  }
  Ui.StatusLabel->setText(QStringLiteral("select a starting handle"));
  Ui.StatusLabel->adjustSize();
  if (PlacingSegment) {
    EraseFigure();
    DrawFigure();
    PlacingSegment = false;
  }
  ChoosingStartVertex = true;
  ShowModeCues();
}

// NOLINTNEXTLINE(readability-function-size): listed in .clang-tidy
void TFigureBuilderForm::FigureImageMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
  const TRealPoint p = RealPoint(static_cast<float>(X), static_cast<float>(Y));
  TFigureType& type = Type();

  if (PlacingSegment) {
    if (AtSegmentLimit()) {
      GiveUpAtSegmentLimit();
      return;
    }
    EraseFigure();
    const TRealPoint start = WorkFigure.Points()[StartVertex];
    const float length = Distance(start, p);
    const float thickness = StartThickness();
    type.AddSegment(StartVertex, NewSegmentKind, length, thickness, 0.0, 0);
    WorkFigure.AddVertex(p);
    WorkFigure.Angles.push_back(AngleBetween(start, p));
    StaticFlags.push_back(false);
    SelectedSegment = static_cast<uint8_t>(type.SegmentCount() - 1);
    Ui.ThicknessUpDown->SetPosition(TruncNumber(thickness));
    PlacingSegment = false;
    ShowModeCues();
    DrawFigure();
    DisplaySegmentData();
    return;
  }

  const int16_t hit = WorkFigure.HandleAt(QPoint(X, Y));
  auto vertexOf = [&type](int16_t Handle) -> uint8_t {
    return Handle == RootHandle ? 0 : type.Segments[Handle].ChildVertex;
  };

  if (Duplicating && hit != NoHandle) {
    if (AtSegmentLimit()) {
      GiveUpAtSegmentLimit();
      return;
    }
    GrabbedHandle = hit;
    const uint8_t v = vertexOf(hit);
    type.AddSegment(v, Duplicate.Kind, Duplicate.Length, Duplicate.Thickness, 0.0, 0);
    WorkFigure.AddVertex(Plus(WorkFigure.Points()[v], Duplicate.Offset));
    WorkFigure.Angles.push_back(Duplicate.Direction);
    EraseFigure();
    StaticFlags.push_back(Duplicate.Static);
    Duplicating = false;
    ShowModeCues();
    SelectedSegment = static_cast<uint8_t>(type.SegmentCount() - 1);
    DisplaySegmentData();
    DrawFigure();
    return;
  }

  GrabbedHandle = hit;
  if (ChoosingStartVertex && hit != NoHandle) {
    StartVertex = vertexOf(hit);
    Ui.StatusLabel->setText(QStringLiteral("click to add"));
    Ui.StatusLabel->adjustSize();
    ChoosingStartVertex = false;
    PlacingSegment = true;
    return;
  }

  MoveUndoPending = true;
  if (hit >= 0) {
    SelectedSegment = static_cast<uint8_t>(hit);
    Ui.ThicknessUpDown->SetPosition(TruncNumber(type.Segments[hit].Thickness));
    DisplaySegmentData();
    EraseFigure();
    DrawFigure();
  } else if (hit == RootHandle) {
    // Grabbing the root moves the figure and leaves the selection alone.
    LastMousePos = QPoint(X, Y);
  }
}

// NOLINTNEXTLINE(readability-function-size): listed in .clang-tidy
void TFigureBuilderForm::FigureImageMouseMove(Qt::KeyboardModifiers, int X, int Y) {
  const TRealPoint p = RealPoint(static_cast<float>(X), static_cast<float>(Y));
  TFigureType& type = Type();

  if (PlacingSegment) {
    // Rubber band: the figure in plain black without handles, and the new
    // segment from its start vertex to the mouse.
    EraseFigure();
    QPainter canvas(&Ui.FigureImage->Picture());
    PrepareCanvas(canvas);
    WorkFigure.Draw(canvas, 1.0f);
    QPen pen = canvas.pen();
    pen.setWidth(std::max(0, RoundPixel(static_cast<double>(WorkFigure.Scale) * StartThickness())));
    canvas.setPen(pen);
    DrawGeneralSegment(canvas, WorkFigure.Points()[StartVertex], p, NewSegmentKind);
    canvas.end();
    Ui.FigureImage->Changed(PictureRect());
    return;
  }

  if (Duplicating) {
    // The copy hangs from the mouse point until it is attached.
    EraseFigure();
    DrawFigure();
    QPainter canvas(&Ui.FigureImage->Picture());
    PrepareCanvas(canvas);
    QPen pen = canvas.pen();
    pen.setColor(ToQColor(Duplicate.Static ? ColorGrey : ColorBlack));
    pen.setWidth(std::max(0, RoundPixel(Duplicate.Thickness)));
    canvas.setPen(pen);
    DrawGeneralSegment(canvas, p, Plus(p, Duplicate.Offset), Duplicate.Kind);
    canvas.end();
    Ui.FigureImage->Changed(PictureRect());
    return;
  }

  if (GrabbedHandle == NoHandle) return;

  if (MoveUndoPending) {
    AssignUndo();
    SetUndoCaption(QStringLiteral("Undo Move"));
  }
  EraseFigure();
  if (GrabbedHandle == RootHandle) {
    WorkFigure.MoveBy(RealPoint(static_cast<float>(X - LastMousePos.x()), static_cast<float>(Y - LastMousePos.y())));
    LastMousePos = QPoint(X, Y);
  } else if (EditMode) {
    // Only the grabbed vertex moves: the segment ending there and the
    // segments hanging from it change length and direction to follow it.
    const uint8_t h = static_cast<uint8_t>(GrabbedHandle);
    const uint8_t c = type.Segments[h].ChildVertex;
    WorkFigure.SetVertex(c, p);
    for (uint8_t k : type.Vertices[c].Children) {
      const TRealPoint end = WorkFigure.Points()[type.Segments[k].ChildVertex];
      type.Segments[k].Length = Distance(p, end);
      WorkFigure.Angles[k] = AngleBetween(p, end);
    }
    const TRealPoint from = WorkFigure.Points()[type.Segments[h].ParentVertex];
    type.Segments[h].Length = Distance(from, p);
    WorkFigure.Angles[h] = AngleBetween(from, p);
  } else {
    WorkFigure.TurnSegmentTowards(static_cast<uint8_t>(GrabbedHandle), p);
  }
  DrawFigure();
  MoveUndoPending = false;
}

void TFigureBuilderForm::FigureImageMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  // An edit-mode drag changed the length shown in the status text.
  if (EditMode && GrabbedHandle >= 0) DisplaySegmentData();
  GrabbedHandle = NoHandle;
  // A press that never moved takes no snapshot, now or at a later press.
  MoveUndoPending = false;
}
