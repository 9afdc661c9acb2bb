// SPDX-License-Identifier: GPL-3.0-or-later
// The builder's commands on the selected segment (kind, static, thickness,
// duplicate, delete), the Edit Mode switch and the one-level undo.

#include <QAction>
#include <QLabel>
#include <bit>
#include <cstdint>

#include "builder/FigureBuilderUnit.h"
#include "builder/UpDown.h"
#include "model/Rounding.h"
#include "platform/PictureBox.h"

void TFigureBuilderForm::ChangeKindButtonClick() {
  AssignUndo();
  SetUndoCaption(QStringLiteral("Undo Kind"));
  EraseFigure();
  // Line and circle swap; any other stored kind becomes a line.
  uint8_t& kind = Type().Segments[SelectedSegment].Kind;
  kind = kind + 1 > SegmentCircle ? uint8_t{SegmentLine} : static_cast<uint8_t>(kind + 1);
  DisplaySegmentData();
  DrawFigure();
  emit TypeChanged();
}

void TFigureBuilderForm::ChangeStaticButtonClick() {
  AssignUndo();
  SetUndoCaption(QStringLiteral("Undo Static"));
  StaticFlags[SelectedSegment] = !StaticFlags[SelectedSegment];
  EraseFigure();
  DisplaySegmentData();
  DrawFigure();
  emit TypeChanged();
}

void TFigureBuilderForm::ThicknessUpDownClick() {
  AssignUndo();
  SetUndoCaption(QStringLiteral("Undo Thickness"));
  float& thickness = Type().Segments[SelectedSegment].Thickness;
  const float before = thickness;
  thickness = static_cast<float>(Ui.ThicknessUpDown->Position());
  EraseFigure();
  DisplaySegmentData();
  DrawFigure();
  // The control may still show the thickness of a segment selected before,
  // so a step can give the selected one the thickness it had.
  if (std::bit_cast<uint32_t>(thickness) != std::bit_cast<uint32_t>(before)) emit TypeChanged();
}

void TFigureBuilderForm::DuplicateButtonClick() {
  if (AtSegmentLimit()) {
    ShowSegmentLimit();
    return;
  }
  AssignUndo();
  SetUndoCaption(QStringLiteral("Undo Duplicate"));
  const TSegmentStruct& s = Type().Segments[SelectedSegment];
  const TRealPoint from = WorkFigure.Points()[s.ParentVertex];
  const TRealPoint to = WorkFigure.Points()[s.ChildVertex];
  PendingDuplicate = TDuplicateSource{.Kind = s.Kind,
                                      .Length = s.Length,
                                      .Thickness = s.Thickness,
                                      .Direction = WorkFigure.Angles[SelectedSegment],
                                      .Static = StaticFlags[SelectedSegment],
                                      .Offset = RealPoint(to.X - from.X, to.Y - from.Y)};
  ShowModeCues();
  Ui.StatusLabel->setText(QStringLiteral("select a handle to attach segment"));
  Ui.StatusLabel->adjustSize();
  // The copy starts out hanging where its original hangs.
  SetMousePos(QPoint(RoundPixel(from.X) + Ui.FigureImage->x(), RoundPixel(from.Y) + Ui.FigureImage->y()));
}

void TFigureBuilderForm::DeleteButtonClick() {
  TFigureType& type = Type();
  // The directions shown become the records' own, so that the figure can be
  // rebuilt from the records after the renumbering.
  for (std::size_t i = 0; i < WorkFigure.Angles.size(); ++i) type.Segments[i].Angle = WorkFigure.Angles[i];
  const uint8_t end = type.Segments[SelectedSegment].ChildVertex;
  if (type.SegmentCount() == 1 || type.Vertices[end].ChildCount() > 0) return;

  AssignUndo();
  SetUndoCaption(QStringLiteral("Undo Delete"));
  // The renumbering would leave a pending start vertex, duplicate source or
  // held handle naming a vertex or segment that is gone or another one, so
  // the delete ends them: the user sees the segment go and the builder back
  // to normal selecting.
  EndPendingModes();
  StaticFlags.erase(StaticFlags.begin() + SelectedSegment);
  type.RemoveSegment(SelectedSegment);
  StaticFlags.resize(type.SegmentCount());

  EraseFigure();
  const TRealPoint root = WorkFigure.Points()[0];
  WorkFigure.SetType(0, Working);
  WorkFigure.MoveBy(root);
  if (SelectedSegment >= type.SegmentCount()) SelectedSegment = static_cast<uint8_t>(type.SegmentCount() - 1);
  Ui.ThicknessUpDown->SetPosition(TruncNumber(type.Segments[SelectedSegment].Thickness));
  DisplaySegmentData();
  DrawFigure();
  emit TypeChanged();
}

void TFigureBuilderForm::EditModeClick() {
  EditMode = !EditMode;
  Ui.EditModeAction->setChecked(EditMode);
}

void TFigureBuilderForm::AssignUndo() {
  UndoFigureType.Assign(WorkType());
  UndoFigure.Assign(WorkFigure);
  UndoSelectedSegment = SelectedSegment;
  UndoStaticFlags = StaticFlags;
  UndoFigureFileName.reset();
  SetCanUndo(true);
}

void TFigureBuilderForm::SetCanUndo(bool Can) {
  CanUndo = Can;
  Ui.UndoAction->setEnabled(Can);
}

void TFigureBuilderForm::UndoClick() {
  if (!CanUndo) return;
  // The snapshot may equal what is shown (an add that was never placed).
  const TTypeFileState before = TypeFileState();
  EraseFigure();
  Type().Assign(UndoFigureType);
  WorkFigure.Assign(UndoFigure);
  SelectedSegment = UndoSelectedSegment;
  Ui.ThicknessUpDown->SetPosition(RoundPixel(Type().Segments[SelectedSegment].Thickness));
  StaticFlags = UndoStaticFlags;
  if (UndoFigureFileName) FigureFileName = *UndoFigureFileName;
  SetCanUndo(false);
  SetUndoCaption(QStringLiteral("Undo"));
  // An add or duplicate stays pending through an undo, but what it refers to
  // must exist in the restored type: a start vertex that is gone asks again
  // for a starting handle, and a held handle that is gone is let go.
  const uint8_t count = Type().SegmentCount();
  if (AddStep == TAddStep::Placing && StartVertex > count) AddStep = TAddStep::ChoosingStart;
  if (GrabbedHandle >= count) GrabbedHandle = NoHandle;
  DrawFigure();
  ShowStatus();
  ReportChangeSince(before);
}
