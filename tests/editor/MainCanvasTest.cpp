// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QWheelEvent>
#include <array>
#include <numbers>

#include "editor/TimelineStrip.h"
#include "tests/editor/MainFormFixture.h"

namespace {

using std::numbers::pi;

TEST_F(MainFormTest, DraggingTheRootMovesTheWholeFigure) {
  const TFigure before = Figure(0);
  Press(QPoint(253, 207));
  EXPECT_EQ(Form->Canvas().GetSelectedHandle(), RootHandle);
  MoveTo(QPoint(263, 210));
  MoveTo(QPoint(283, 197));
  Release(QPoint(283, 197));
  EXPECT_EQ(Form->Canvas().GetSelectedHandle(), NoHandle);
  for (std::size_t v = 0; v < before.Points().size(); ++v) {
    EXPECT_FLOAT_EQ(Figure(0).Points()[v].X, before.Points()[v].X + 30);
    EXPECT_FLOAT_EQ(Figure(0).Points()[v].Y, before.Points()[v].Y - 10);
  }
  EXPECT_EQ(Figure(0).Angles, before.Angles);
  EXPECT_EQ(Picture(), FullRepaint());
}

TEST_F(MainFormTest, DraggingAJointTurnsItsBranchTowardsThePointerWithAnyButton) {
  const TRealPoint neck = Figure(0).Points()[1];
  const QPoint elbow = At(Figure(0).Points()[3]);
  Press(elbow, Qt::RightButton);
  EXPECT_EQ(Form->Canvas().GetSelectedHandle(), 2);
  // Level with the neck and to its left: the upper arm points at pi.
  MoveTo(QPoint(qRound(neck.X) - 100, qRound(neck.Y)));
  EXPECT_DOUBLE_EQ(Figure(0).Angles[2], pi);
  EXPECT_NEAR(Figure(0).Points()[3].X, neck.X - 40, 1e-3);
  // The forearm turned with it, keeping its length; the other arm did not move.
  const TFigure& f = Figure(0);
  EXPECT_NEAR(std::hypot(f.Points()[5].X - f.Points()[3].X, f.Points()[5].Y - f.Points()[3].Y), 40, 1e-3);
  Release(QPoint(0, 0), Qt::RightButton);
  EXPECT_EQ(Picture(), FullRepaint());
}

TEST_F(MainFormTest, DragGoesOnOutsideTheDrawingAreaUntilRelease) {
  Press(QPoint(253, 207));
  MoveTo(QPoint(-40, -30));
  EXPECT_EQ(Figure(0).Points()[0], RealPoint(-40, -30));
  Release(QPoint(-40, -30));
  MoveTo(QPoint(100, 100));
  EXPECT_EQ(Figure(0).Points()[0], RealPoint(-40, -30));
  EXPECT_EQ(Picture(), FullRepaint());
}

TEST_F(MainFormTest, PressSelectsTheTopmostFigureAndRedrawsOnlyOnAChange) {
  Form->Figures().AddFigureButtonClick();  // figure 1, the same pose, on top of figure 0
  MoveFigure(1, RealPoint(0, -60));        // its root now covers figure 0's neck joint
  Doc().Select(0);
  Form->Canvas().DrawFigures();
  const QPoint neck0 = At(Figure(0).Points()[1]);
  Press(neck0);
  EXPECT_EQ(Form->Document().SelectedFigure(), 1);
  EXPECT_EQ(Form->Canvas().GetSelectedHandle(), RootHandle);
  EXPECT_EQ(Picture().pixel(neck0), qRgb(255, 136, 0));  // figure 1's root, now orange
  Release(neck0);

  // A press on the selected figure, or on nothing, repaints nothing.
  Picture().setPixel(5, 5, qRgb(1, 2, 3));
  Press(At(Figure(1).Points()[3]));
  Release(At(Figure(1).Points()[3]));
  Press(QPoint(480, 20));
  EXPECT_EQ(Form->Canvas().GetSelectedHandle(), NoHandle);
  EXPECT_EQ(Form->Document().SelectedFigure(), 1);
  EXPECT_EQ(Picture().pixel(5, 5), qRgb(1, 2, 3));
}

TEST_F(MainFormTest, SelectingAnotherFigureShowsItsScaleAndColour) {
  Form->Figures().AddFigureButtonClick();
  MoveFigure(1, RealPoint(120, 0));
  ChangeFigure(0, [&](TFigure& F) { F.Scale = 2.5f; });
  ChangeFigure(0, [&](TFigure& F) { F.Color = 0x00336699; });
  Form->Canvas().DrawFigures();
  Press(QPoint(253, 207));
  EXPECT_EQ(Form->Document().SelectedFigure(), 0);
  EXPECT_EQ(Form->Controls().ScaleSpinEdit->value(), 250);
  EXPECT_EQ(Form->Figures().GetDialogColor(), 0x00336699u);
  EXPECT_EQ(Figure(0).Scale, 2.5f);  // showing the scale changed nothing
}

class MainWheelTest : public MainFormTest {
 protected:
  void Wheel(int Delta) {
    QWheelEvent event(QPointF(100, 100), Form->Controls().EditImage->mapToGlobal(QPointF(100, 100)), QPoint(),
                      QPoint(0, Delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Form->Controls().EditImage, &event);
  }
};

TEST_F(MainWheelTest, WheelCyclesThroughTheFiguresAndNeverScrolls) {
  ShowActive();
  Wheel(-120);
  EXPECT_EQ(Form->Document().SelectedFigure(), 0);  // one figure: nothing changes
  Form->Figures().AddFigureButtonClick();
  Form->Figures().AddFigureButtonClick();
  Doc().Select(0);
  Wheel(-120);  // towards the user
  EXPECT_EQ(Form->Document().SelectedFigure(), 2);
  Wheel(120);
  EXPECT_EQ(Form->Document().SelectedFigure(), 0);
  Wheel(60);  // half a notch waits for the other half
  EXPECT_EQ(Form->Document().SelectedFigure(), 0);
  Wheel(60);
  EXPECT_EQ(Form->Document().SelectedFigure(), 1);
  EXPECT_EQ(Picture(), FullRepaint());
}

TEST_F(MainWheelTest, WheelOverAnyControlOnlySelectsFiguresActiveOrNot) {
  StartAnimation(1920, 1080);                                          // larger than the drawing box: it could scroll
  for (int i = 0; i < 12; ++i) Form->Frames().NextFrameButtonClick();  // the strip could scroll too
  Form->Figures().AddFigureButtonClick();
  ShowActive();
  QScrollBar* strip = Form->Controls().TimelineScrollBox->horizontalScrollBar();
  strip->setValue(strip->maximum() / 2);
  QWidget other;
  for (bool active : {true, false}) {
    SCOPED_TRACE(active);
    if (!active) {
      other.show();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }
    const QList<QWidget*> targets = {
        Form->Controls().ScaleSpinEdit,  Form->Controls().ScaleSpinEdit->findChild<QLineEdit*>(),
        Form->Controls().FigureComboBox, Form->Controls().DrawingScrollBox->viewport(),
        Form->Controls().EditImage,      Form->Controls().DrawingScrollBox->verticalScrollBar(),
        Form->Controls().TimelineImages, strip};
    for (QWidget* target : targets) {
      const int selected = Form->Document().SelectedFigure();
      const std::array<int, 5> before = {
          Form->Controls().ScaleSpinEdit->value(), Form->Controls().FigureComboBox->currentIndex(),
          Form->Controls().DrawingScrollBox->verticalScrollBar()->value(),
          Form->Controls().DrawingScrollBox->horizontalScrollBar()->value(), strip->value()};
      QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(target, &event);
      const std::array<int, 5> after = {
          Form->Controls().ScaleSpinEdit->value(), Form->Controls().FigureComboBox->currentIndex(),
          Form->Controls().DrawingScrollBox->verticalScrollBar()->value(),
          Form->Controls().DrawingScrollBox->horizontalScrollBar()->value(), strip->value()};
      EXPECT_EQ(after, before) << target->metaObject()->className();
      EXPECT_NE(Form->Document().SelectedFigure(), selected) << target->metaObject()->className();
    }
  }
}

TEST_F(MainWheelTest, RootDragContinuesOnTheFigureTheWheelSelects) {
  ShowActive();
  Form->Figures().AddFigureButtonClick();
  MoveFigure(1, RealPoint(100, 0));
  const TRealPoint root0 = Figure(0).Points()[0];
  Press(At(Figure(1).Points()[0]));
  MoveTo(QPoint(363, 217));
  Wheel(120);  // selects figure 0
  ASSERT_EQ(Form->Document().SelectedFigure(), 0);
  MoveTo(QPoint(373, 227));
  EXPECT_EQ(Figure(0).Points()[0], RealPoint(root0.X + 10, root0.Y + 10));
  EXPECT_EQ(Figure(1).Points()[0], RealPoint(363, 217));
  Release(QPoint(373, 227));
  EXPECT_EQ(Picture(), FullRepaint());
}

TEST_F(MainWheelTest, JointDragNeverTurnsASegmentTheNewFigureLacks) {
  ShowActive();
  // A type of two segments beside the Stickman's ten.
  AddType("small", {Segment(0, SegmentLine, 30, 5, 0), Segment(1, SegmentLine, 30, 5, 0)});
  Form->Figures().AddFigureButtonClick();
  MoveFigure(1, RealPoint(-150, 0));
  Doc().Select(0);
  Form->Canvas().DrawFigures();
  Press(At(Figure(0).Points()[10]));  // the last shin: segment 9
  ASSERT_EQ(Form->Canvas().GetSelectedHandle(), 9);
  Wheel(120);  // figure 1 has segments 0 and 1 only
  ASSERT_EQ(Form->Document().SelectedFigure(), 1);
  const TFigure before = Figure(1);
  MoveTo(QPoint(20, 20));
  EXPECT_EQ(Figure(1).Angles, before.Angles);
  EXPECT_EQ(Figure(1).Points(), before.Points());
  Release(QPoint(20, 20));
}

}  // namespace
