// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse editing in the builder: the modes and their order, adding and
// duplicating, the hit test, dragging, and the segment limit.

#include <QCursor>

#include "tests/builder/BuilderTestUtil.h"

namespace {

using BuilderMouse = BuilderTest;

float Dist(TRealPoint A, TRealPoint B) { return std::hypot(B.X - A.X, B.Y - A.Y); }

void ExpectNear(TRealPoint A, TRealPoint B, const char* What) {
  EXPECT_NEAR(A.X, B.X, 1e-3) << What;
  EXPECT_NEAR(A.Y, B.Y, 1e-3) << What;
}

TEST_F(BuilderMouse, AddingASegmentRunsChooseThenPlaceAndTakesTheStartSegmentsThickness) {
  Load(MakeType({{0, 40, Up, 3.0f}, {1, 30, Right, 9.0f}}));
  Form->Controls().LineButton->click();
  EXPECT_TRUE(Form->IsChoosingStartVertex());
  EXPECT_EQ(Status(), "select a starting handle");
  EXPECT_EQ(Cursor(), Qt::CrossCursor);
  EXPECT_FALSE(SegmentButtonsEnabled());
  EXPECT_FALSE(Form->Controls().ThicknessUpDown->isEnabled());
  EXPECT_TRUE(Form->Controls().LineButton->isEnabled());
  EXPECT_EQ(UndoCaption(), "Undo Add");
  EXPECT_TRUE(Form->Controls().UndoAction->isEnabled());

  Click(QPoint(10, 10));  // no handle: the builder keeps waiting
  EXPECT_TRUE(Form->IsChoosingStartVertex());
  Click(At(2));
  EXPECT_TRUE(Form->IsPlacingSegment());
  EXPECT_EQ(Form->GetStartVertex(), 2);
  EXPECT_EQ(Status(), "click to add");

  // The rubber band: the figure all black without handles, and the new line.
  const QPoint end = At(2) + QPoint(20, 20);
  Move(end);
  EXPECT_EQ(Pixel(At(2) + QPoint(10, 10)), Black);
  EXPECT_EQ(Pixel(At(1) + QPoint(15, 0)), Black);  // the selected segment is not blue now
  EXPECT_EQ(Pixel(At(0) + QPoint(4, 0)), White);   // no root dot

  Click(end);
  ASSERT_EQ(Type().SegmentCount(), 3);
  const TSegmentStruct& added = Type().Segments[2];
  EXPECT_EQ(added.ParentVertex, 2);
  EXPECT_EQ(added.ChildVertex, 3);
  EXPECT_EQ(added.Kind, SegmentLine);
  EXPECT_EQ(added.Thickness, 9.0f);  // from the segment ending at the start vertex
  EXPECT_FLOAT_EQ(added.Length, std::hypot(20.0f, 20.0f));
  EXPECT_EQ(added.Angle, 0.0);
  EXPECT_DOUBLE_EQ(Figure().Angles[2], std::numbers::pi / 4);
  EXPECT_EQ(At(3), end);
  EXPECT_EQ(Form->GetSelectedSegment(), 2);
  EXPECT_EQ(Form->Controls().ThicknessUpDown->Position(), 9);
  EXPECT_EQ(Form->GetStaticFlags().size(), 3u);
  EXPECT_EQ(Status(), "line: thickness 9, length 28, dynamic");
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
  EXPECT_TRUE(SegmentButtonsEnabled());
  EXPECT_EQ(Pixel(At(2) + QPoint(10, 10)), Blue);

  // From the root, a new circle takes the thickness of segment 0.
  Form->CircleButtonClick();
  Click(At(0));
  EXPECT_EQ(Form->GetStartVertex(), 0);
  Click(At(0) + QPoint(0, 30));
  EXPECT_EQ(Type().Segments[3].ParentVertex, 0);
  EXPECT_EQ(Type().Segments[3].Kind, SegmentCircle);
  EXPECT_EQ(Type().Segments[3].Thickness, 3.0f);
  EXPECT_DOUBLE_EQ(Figure().Angles[3], Down);
}

TEST_F(BuilderMouse, PlacingOnTheStartVertexMakesAZeroLengthSegmentPointingLeft) {
  Form->LineButtonClick();
  Click(At(1));
  Click(At(1));
  ASSERT_EQ(Type().SegmentCount(), 2);
  EXPECT_EQ(Type().Segments[1].Length, 0.0f);
  EXPECT_DOUBLE_EQ(Figure().Angles[1], std::numbers::pi);
}

TEST_F(BuilderMouse, SegmentHandlesWinOverTheRootAndHigherSegmentsOverLower) {
  // Segment 1 ends 3 above the root, segment 2 ends 5 above it.
  Load(MakeType({{0, 40, Right}, {0, 3, Up}, {0, 5, Up}}));
  auto grabbedAt = [this](QPoint P) {
    Press(P);
    const int16_t grabbed = Form->GetGrabbedHandle();
    Release(P);
    return grabbed;
  };
  const QPoint root = At(0);
  EXPECT_EQ(grabbedAt(root), 1);  // inside segment 1's square and the root's
  EXPECT_EQ(Form->GetSelectedSegment(), 1);
  EXPECT_EQ(grabbedAt(root - QPoint(0, 4)), 2);  // inside both segments' squares
  EXPECT_EQ(grabbedAt(root + QPoint(0, 4)), RootHandle);
  EXPECT_EQ(Form->GetSelectedSegment(), 2);  // the root does not change the selection
  EXPECT_EQ(grabbedAt(root + QPoint(0, 5)), NoHandle);
}

TEST_F(BuilderMouse, HandleSquaresAreOpenAndSizedByThickness) {
  // Thickness 1 gives half-size 2 (0.8 raised to 2); 6.25 and more give 5.
  Load(MakeType({{0, 40, Right, 1.0f}, {0, 40, Left, 6.25f}, {0, 40, Down, 100.0f}}));
  auto grabbedAt = [this](QPoint P) {
    Press(P);
    const int16_t grabbed = Form->GetGrabbedHandle();
    Release(P);
    return grabbed;
  };
  EXPECT_EQ(grabbedAt(At(1) + QPoint(1, -1)), 0);
  EXPECT_EQ(grabbedAt(At(1) + QPoint(2, 0)), NoHandle);
  EXPECT_EQ(grabbedAt(At(2) + QPoint(-4, 4)), 1);
  EXPECT_EQ(grabbedAt(At(2) + QPoint(0, 5)), NoHandle);
  EXPECT_EQ(grabbedAt(At(3) + QPoint(4, 4)), 2);
  EXPECT_EQ(grabbedAt(At(3) + QPoint(5, 0)), NoHandle);
}

TEST_F(BuilderMouse, RotateModeTurnsTheBranchAndEditModeMovesOneVertex) {
  Load(MakeType({{0, 40, Up}, {1, 30, Right}, {2, 20, Right}, {0, 25, Down}}));
  const std::vector<TRealPoint> start = Figure().Points();
  const TRealPoint root = start[0];

  Press(At(1));
  Move(At(0) + QPoint(40, 0));
  EXPECT_EQ(UndoCaption(), "Undo Move");
  Release();
  // Segment 0 points right; the branch below it turned a quarter turn with it.
  ExpectNear(PointOf(1), RealPoint(root.X + 40, root.Y), "vertex 1");
  ExpectNear(PointOf(2), RealPoint(root.X + 40, root.Y + 30), "vertex 2");
  ExpectNear(PointOf(3), RealPoint(root.X + 40, root.Y + 50), "vertex 3");
  EXPECT_EQ(PointOf(4), start[4]);
  EXPECT_EQ(Type().Segments[1].Length, 30.0f);
  Form->Controls().UndoAction->trigger();
  EXPECT_EQ(Figure().Points(), start);

  Form->EditModeClick();
  EXPECT_TRUE(Form->Controls().EditModeAction->isChecked());
  Press(At(2));
  const TRealPoint p = RealPoint(PointOf(2).X + 5, PointOf(2).Y - 10);
  Move(QPoint(RoundPixel(p.X), RoundPixel(p.Y)));
  EXPECT_EQ(Status(), "line: thickness 5, length 30, dynamic");  // updated on release
  Release();
  EXPECT_EQ(PointOf(2), p);
  EXPECT_EQ(PointOf(1), start[1]);
  EXPECT_EQ(PointOf(3), start[3]);
  EXPECT_FLOAT_EQ(Type().Segments[1].Length, Dist(start[1], p));
  EXPECT_FLOAT_EQ(Type().Segments[2].Length, Dist(p, start[3]));
  EXPECT_EQ(Type().Segments[0].Length, 40.0f);
  EXPECT_EQ(Status(), QStringLiteral("line: thickness 5, length %1, dynamic").arg(int(Dist(start[1], p))));
  // The pose still follows from the lengths and directions.
  TFigure rebuilt = Figure();
  rebuilt.SetPosition(root);
  for (int v = 0; v <= 4; ++v) ExpectNear(rebuilt.Points()[v], PointOf(v), "rebuilt vertex");
}

TEST_F(BuilderMouse, DraggingTheRootMovesEveryVertexWithAnyButton) {
  Load(MakeType({{0, 40, Up}, {1, 30, Right}}));
  Click(At(2));
  const std::vector<TRealPoint> start = Figure().Points();
  const QPoint root = At(0);
  Press(root, Qt::RightButton);
  Move(root + QPoint(10, 5));
  Move(root + QPoint(15, -5));
  Release();
  for (std::size_t v = 0; v < start.size(); ++v) EXPECT_EQ(PointOf(v), RealPoint(start[v].X + 15, start[v].Y - 5)) << v;
  EXPECT_EQ(Form->GetSelectedSegment(), 1);
  EXPECT_EQ(Pixel(root + QPoint(15, -5)), Orange);

  // A right-button press on a handle selects it, as the left one does.
  Press(At(1), Qt::RightButton);
  Release();
  EXPECT_EQ(Form->GetSelectedSegment(), 0);
}

TEST_F(BuilderMouse, ADragTakesOneSnapshotAtItsFirstMoveAndAPressAloneNone) {
  Form->ChangeKindButtonClick();
  Click(At(1));
  EXPECT_EQ(UndoCaption(), "Undo Kind");
  const std::vector<TRealPoint> before = Figure().Points();
  Press(At(1));
  Move(At(0) + QPoint(30, 0));
  Move(At(0) + QPoint(0, 30));
  Release();
  EXPECT_EQ(UndoCaption(), "Undo Move");
  // Undo goes back to before the first move, not the second.
  Form->Controls().UndoAction->trigger();
  EXPECT_EQ(Figure().Points(), before);
  EXPECT_EQ(Type().Segments[0].Kind, SegmentCircle);  // the kind change stays

  // A press on nothing, then an attach and a drag of the attached handle:
  // the drag belongs to the duplicate's undo step.
  Click(QPoint(5, 5));
  Form->DuplicateButtonClick();
  Press(At(1));
  Move(At(1) + QPoint(20, 0));
  Release();
  EXPECT_EQ(UndoCaption(), "Undo Duplicate");
}

TEST_F(BuilderMouse, LineDropsASegmentBeingPlacedOrADuplicateAndAsksAgain) {
  Form->LineButtonClick();
  Click(At(1));
  Move(QPoint(20, 20));
  const QPoint onBand(91, 64);
  ASSERT_EQ(Pixel(onBand), Black);
  Form->CircleButtonClick();
  EXPECT_FALSE(Form->IsPlacingSegment());
  EXPECT_TRUE(Form->IsChoosingStartVertex());
  EXPECT_EQ(Pixel(onBand), White);
  EXPECT_EQ(Status(), "select a starting handle");

  Load(MakeType({{0, 40, Up}}));
  Form->DuplicateButtonClick();
  Form->LineButtonClick();
  EXPECT_FALSE(Form->IsDuplicating());
  EXPECT_TRUE(Form->IsChoosingStartVertex());
  Click(At(0));
  Click(At(0) + QPoint(30, 0));
  EXPECT_EQ(Type().Segments[1].Kind, SegmentLine);
  EXPECT_EQ(Type().SegmentCount(), 2);
}

TEST_F(BuilderMouse, ADuplicateHangsFromTheMouseAndAttachesACopyAtThePressedHandle) {
  Load(MakeType({{0, 40, Up, 3.0f}, {1, 20, Right, 6.0f, SegmentCircle, true}}));
  Click(At(2));
  Form->DuplicateButtonClick();
  EXPECT_TRUE(Form->IsDuplicating());
  EXPECT_EQ(Status(), "select a handle to attach segment");
  EXPECT_EQ(Cursor(), Qt::CrossCursor);
  EXPECT_FALSE(SegmentButtonsEnabled());
  EXPECT_EQ(UndoCaption(), "Undo Duplicate");
  // The pointer was moved onto the copied segment's parent vertex.
  EXPECT_EQ(QCursor::pos(), Form->Controls().FigureImage->mapToGlobal(At(1)));

  const QPoint mouse(40, 200);
  Move(mouse);
  EXPECT_EQ(Pixel(mouse + QPoint(10, -10)), Grey);  // top of the grey preview circle
  Click(QPoint(5, 5));                              // on no handle: a normal press, still duplicating
  EXPECT_TRUE(Form->IsDuplicating());

  Click(At(0));
  ASSERT_EQ(Type().SegmentCount(), 3);
  const TSegmentStruct& copy = Type().Segments[2];
  EXPECT_EQ(copy.ParentVertex, 0);
  EXPECT_EQ(copy.Kind, SegmentCircle);
  EXPECT_EQ(copy.Length, 20.0f);
  EXPECT_EQ(copy.Thickness, 6.0f);
  EXPECT_EQ(Figure().Angles[2], Figure().Angles[1]);
  EXPECT_EQ(PointOf(3), RealPoint(PointOf(0).X + 20, PointOf(0).Y));
  EXPECT_EQ(Form->GetStaticFlags(), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(Form->GetSelectedSegment(), 2);
  EXPECT_EQ(Status(), "circle: thickness 6, length 20, static");
  EXPECT_FALSE(Form->IsDuplicating());
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
  EXPECT_TRUE(SegmentButtonsEnabled());
}

TEST_F(BuilderMouse, AtTheSegmentLimitNothingStartsAndNoPressCompletes) {
  const QString limit = "you cannot add any more figure segments";
  Load(MakeChain(255));
  Form->LineButtonClick();
  Form->CircleButtonClick();
  Form->DuplicateButtonClick();
  EXPECT_EQ(Dialogs.Messages(), QStringList({limit, limit, limit}));
  EXPECT_FALSE(Form->IsChoosingStartVertex() || Form->IsDuplicating());
  EXPECT_FALSE(Form->Controls().UndoAction->isEnabled());
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);

  // An add and a duplicate pending together: the duplicate completes first,
  // and the placing press then finds the type full.
  Load(MakeChain(254));
  Dialogs.Calls.clear();
  Form->LineButtonClick();
  Form->DuplicateButtonClick();
  Click(At(0));  // attaches the duplicate
  ASSERT_EQ(Type().SegmentCount(), 255);
  Click(At(0));  // chooses the start
  ASSERT_TRUE(Form->IsPlacingSegment());
  Click(QPoint(20, 20));
  EXPECT_EQ(Dialogs.Messages(), QStringList({limit}));
  EXPECT_EQ(Type().SegmentCount(), 255);
  EXPECT_EQ(Figure().Points().size(), 256u);
  // The refusal ends the add: the next press selects again, without a message.
  EXPECT_FALSE(Form->IsPlacingSegment());
  Click(QPoint(20, 20));
  EXPECT_EQ(Dialogs.Messages().size(), 1);

  // The other way round: the add completes, the attaching press is refused.
  Load(MakeChain(254));
  Dialogs.Calls.clear();
  Form->LineButtonClick();
  Click(At(0));
  Form->DuplicateButtonClick();
  Click(QPoint(20, 20));
  ASSERT_EQ(Type().SegmentCount(), 255);
  Press(At(0));
  EXPECT_EQ(Form->GetGrabbedHandle(), NoHandle);  // the refused press holds nothing
  Release();
  EXPECT_EQ(Dialogs.Messages(), QStringList({limit}));
  EXPECT_EQ(Type().SegmentCount(), 255);
  EXPECT_EQ(Form->GetStaticFlags().size(), 255u);
  EXPECT_FALSE(Form->IsDuplicating());
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
}

}  // namespace
