// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse editing on the builder's drawing area: selecting and dragging
// handles, moving the figure by its root, adding a segment in two presses
// and attaching a prepared duplicate.
//
// A press is handled by the first of these that applies: placing a new
// segment, attaching a duplicate (on a handle), choosing the start of a new
// segment (on a handle), and otherwise a normal press that selects and grabs.
// A duplicate may wait while an add does: the two are pending side by side.

#include <QLabel>
#include <QPainter>
#include <cmath>
#include <cstring>
#include <vector>

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

// What a drag step can change of the type's file: the directions shown and
// the segments' lengths.
struct TDragShape {
  std::vector<double> Angles;
  std::vector<float> Lengths;
};

TDragShape DragShape(const TFigure& Figure, const TFigureType& Type) {
  TDragShape shape{Figure.Angles, {}};
  shape.Lengths.reserve(Type.Segments.size());
  for (const TSegmentStruct& s : Type.Segments) shape.Lengths.push_back(s.Length);
  return shape;
}

// Bit for bit, as the file holds the numbers.
template <class T>
bool SameBits(const std::vector<T>& A, const std::vector<T>& B) {
  return A.size() == B.size() && (A.empty() || std::memcmp(A.data(), B.data(), A.size() * sizeof(T)) == 0);
}

bool SameShape(const TDragShape& A, const TDragShape& B) {
  return SameBits(A.Angles, B.Angles) && SameBits(A.Lengths, B.Lengths);
}

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
  if (PendingDuplicate) {
    EraseFigure();
    DrawFigure();
    PendingDuplicate.reset();
  }
  Ui.StatusLabel->setText(QStringLiteral("select a starting handle"));
  Ui.StatusLabel->adjustSize();
  if (AddStep == TAddStep::Placing) {
    EraseFigure();
    DrawFigure();
  }
  AddStep = TAddStep::ChoosingStart;
  ShowModeCues();
}

uint8_t TFigureBuilderForm::VertexOfHandle(int16_t Handle) const {
  return Handle == RootHandle ? 0 : WorkType().Segments[Handle].ChildVertex;
}

void TFigureBuilderForm::FigureImageMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
  if (AddStep == TAddStep::Placing) {
    PlaceSegment(RealPoint(static_cast<float>(X), static_cast<float>(Y)));
    return;
  }
  const int16_t hit = WorkFigure.HandleAt(QPoint(X, Y));
  if (PendingDuplicate && hit != NoHandle)
    AttachDuplicate(hit);
  else if (AddStep == TAddStep::ChoosingStart && hit != NoHandle)
    ChooseStart(hit);
  else
    SelectAndGrab(hit, QPoint(X, Y));
}

void TFigureBuilderForm::PlaceSegment(TRealPoint End) {
  if (AtSegmentLimit()) {
    GiveUpAtSegmentLimit();
    return;
  }
  TFigureType& type = Type();
  EraseFigure();
  const TRealPoint start = WorkFigure.Points()[StartVertex];
  const float length = Distance(start, End);
  const float thickness = StartThickness();
  type.AddSegment(StartVertex, NewSegmentKind, length, thickness, 0.0, 0);
  WorkFigure.AddVertex(End);
  WorkFigure.Angles.push_back(AngleBetween(start, End));
  StaticFlags.push_back(false);
  SelectedSegment = static_cast<uint8_t>(type.SegmentCount() - 1);
  Ui.ThicknessUpDown->SetPosition(TruncNumber(thickness));
  AddStep = TAddStep::None;
  ShowModeCues();
  DrawFigure();
  DisplaySegmentData();
  emit TypeChanged();
}

void TFigureBuilderForm::AttachDuplicate(int16_t Handle) {
  if (AtSegmentLimit()) {
    GiveUpAtSegmentLimit();
    return;
  }
  // The attached handle stays held: a drag goes on from the press.
  GrabbedHandle = Handle;
  const TDuplicateSource copy = *PendingDuplicate;
  TFigureType& type = Type();
  const uint8_t v = VertexOfHandle(Handle);
  type.AddSegment(v, copy.Kind, copy.Length, copy.Thickness, 0.0, 0);
  WorkFigure.AddVertex(Plus(WorkFigure.Points()[v], copy.Offset));
  WorkFigure.Angles.push_back(copy.Direction);
  EraseFigure();
  StaticFlags.push_back(copy.Static);
  PendingDuplicate.reset();
  ShowModeCues();
  SelectedSegment = static_cast<uint8_t>(type.SegmentCount() - 1);
  DisplaySegmentData();
  DrawFigure();
  emit TypeChanged();
}

void TFigureBuilderForm::ChooseStart(int16_t Handle) {
  GrabbedHandle = Handle;
  StartVertex = VertexOfHandle(Handle);
  Ui.StatusLabel->setText(QStringLiteral("click to add"));
  Ui.StatusLabel->adjustSize();
  AddStep = TAddStep::Placing;
}

void TFigureBuilderForm::SelectAndGrab(int16_t Handle, QPoint At) {
  GrabbedHandle = Handle;
  MoveUndoPending = true;
  if (Handle >= 0) {
    SelectedSegment = static_cast<uint8_t>(Handle);
    Ui.ThicknessUpDown->SetPosition(TruncNumber(WorkType().Segments[Handle].Thickness));
    DisplaySegmentData();
    EraseFigure();
    DrawFigure();
  } else if (Handle == RootHandle) {
    // Grabbing the root moves the figure and leaves the selection alone.
    LastMousePos = At;
  }
}

void TFigureBuilderForm::FigureImageMouseMove(Qt::KeyboardModifiers, int X, int Y) {
  const TRealPoint p = RealPoint(static_cast<float>(X), static_cast<float>(Y));
  if (AddStep == TAddStep::Placing)
    DrawRubberBand(p);
  else if (PendingDuplicate)
    DrawHangingDuplicate(p);
  else if (GrabbedHandle != NoHandle)
    DragGrabbedHandle(QPoint(X, Y));
}

void TFigureBuilderForm::DrawRubberBand(TRealPoint Mouse) {
  // The figure in plain black without handles, and the new segment from its
  // start vertex to the mouse.
  EraseFigure();
  QPainter canvas(&Ui.FigureImage->Picture());
  PrepareCanvas(canvas);
  WorkFigure.Draw(canvas, 1.0f);
  QPen pen = canvas.pen();
  pen.setWidth(std::max(0, RoundPixel(static_cast<double>(WorkFigure.Scale) * StartThickness())));
  canvas.setPen(pen);
  DrawGeneralSegment(canvas, WorkFigure.Points()[StartVertex], Mouse, NewSegmentKind);
  canvas.end();
  Ui.FigureImage->Changed(PictureRect());
}

void TFigureBuilderForm::DrawHangingDuplicate(TRealPoint Mouse) {
  // The copy hangs from the mouse point until it is attached.
  EraseFigure();
  DrawFigure();
  QPainter canvas(&Ui.FigureImage->Picture());
  PrepareCanvas(canvas);
  QPen pen = canvas.pen();
  pen.setColor(ToQColor(PendingDuplicate->Static ? ColorGrey : ColorBlack));
  pen.setWidth(std::max(0, RoundPixel(PendingDuplicate->Thickness)));
  canvas.setPen(pen);
  DrawGeneralSegment(canvas, Mouse, Plus(Mouse, PendingDuplicate->Offset), PendingDuplicate->Kind);
  canvas.end();
  Ui.FigureImage->Changed(PictureRect());
}

void TFigureBuilderForm::DragGrabbedHandle(QPoint Mouse) {
  if (MoveUndoPending) {
    AssignUndo();
    SetUndoCaption(QStringLiteral("Undo Move"));
  }
  EraseFigure();
  const TDragShape before = DragShape(WorkFigure, WorkType());
  const TRealPoint p = RealPoint(static_cast<float>(Mouse.x()), static_cast<float>(Mouse.y()));
  if (GrabbedHandle == RootHandle) {
    WorkFigure.MoveBy(
        RealPoint(static_cast<float>(Mouse.x() - LastMousePos.x()), static_cast<float>(Mouse.y() - LastMousePos.y())));
    LastMousePos = Mouse;
  } else if (EditMode) {
    MoveVertexOf(static_cast<uint8_t>(GrabbedHandle), p);
  } else {
    WorkFigure.TurnSegmentTowards(static_cast<uint8_t>(GrabbedHandle), p);
  }
  DrawFigure();
  MoveUndoPending = false;
  // Moving the root, or a step that leaves the directions and lengths as
  // they were, changes nothing the type's file holds.
  if (!SameShape(DragShape(WorkFigure, WorkType()), before)) emit TypeChanged();
}

void TFigureBuilderForm::MoveVertexOf(uint8_t Segment, TRealPoint To) {
  // Only the segment's end vertex moves: the segment and the segments
  // hanging from its end change length and direction to follow it.
  TFigureType& type = Type();
  const uint8_t c = type.Segments[Segment].ChildVertex;
  WorkFigure.SetVertex(c, To);
  for (uint8_t k : type.Vertices[c].Children) {
    const TRealPoint end = WorkFigure.Points()[type.Segments[k].ChildVertex];
    type.Segments[k].Length = Distance(To, end);
    WorkFigure.Angles[k] = AngleBetween(To, end);
  }
  const TRealPoint from = WorkFigure.Points()[type.Segments[Segment].ParentVertex];
  type.Segments[Segment].Length = Distance(from, To);
  WorkFigure.Angles[Segment] = AngleBetween(from, To);
}

void TFigureBuilderForm::FigureImageMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  // An edit-mode drag changed the length shown in the status text.
  if (EditMode && GrabbedHandle >= 0) DisplaySegmentData();
  GrabbedHandle = NoHandle;
  // A press that never moved takes no snapshot, now or at a later press.
  MoveUndoPending = false;
}
