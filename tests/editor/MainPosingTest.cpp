// SPDX-License-Identifier: GPL-3.0-or-later
// Posing on the drawing area: the IK mode and Shift, pins set with P and
// with a right click, a crouch with pinned feet, and the steps they make.

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QTest>
#include <cmath>

#include "tests/editor/MainFormFixture.h"

namespace {

// The Stickman's left hand, left foot and right foot (vertices), and the
// segments that end there.
constexpr uint8_t Hand = 5, LeftFoot = 9, RightFoot = 10;
constexpr uint8_t Forearm = 4;

class MainPosingTest : public MainFormTest {
 protected:
  void SetUp() override {
    QSettings().remove(QStringLiteral("Edit"));
    MainFormTest::SetUp();
  }
  // A drag with Keys held throughout (QTest's moves carry no keys).
  void Drag(QPoint From, QPoint To, Qt::KeyboardModifiers Keys = Qt::NoModifier) {
    TCanvasController& canvas = Form->Canvas();
    canvas.EditImageMouseDown(Qt::LeftButton, Keys, From.x(), From.y());
    canvas.EditImageMouseMove(Keys, (From.x() + To.x()) / 2.0, (From.y() + To.y()) / 2.0);
    canvas.EditImageMouseMove(Keys, To.x(), To.y());
    canvas.EditImageMouseUp(Qt::LeftButton, Keys, To.x(), To.y());
  }
  void Pin(uint8_t Vertex) {
    const QPoint at = At(Figure(0).Points()[Vertex]);
    Press(at);
    Release(at);
    Form->Controls().PinJointAction->trigger();
  }
  static double Distance(TRealPoint A, QPoint B) { return std::hypot(double(A.X) - B.x(), double(A.Y) - B.y()); }
};

TEST_F(MainPosingTest, InIkModeTheHandGoesToThePointerAndShiftTurnsTheForearmAlone) {
  // Nearer the shoulder than the arm is long: the elbow bends to get there.
  const QPoint target = At(Figure(0).Points()[Hand]) + QPoint(20, -25);
  Form->Controls().InverseKinematicsAction->trigger();
  ASSERT_TRUE(Form->Controls().InverseKinematicsAction->isChecked());
  const TFigure before = Figure(0);
  Drag(At(before.Points()[Hand]), target);
  EXPECT_LT(Distance(Figure(0).Points()[Hand], target), 0.01);
  EXPECT_NE(Figure(0).Angles[2], before.Angles[2]);  // the upper arm turned too
  EXPECT_EQ(Doc().History().count(), 1);
  // With Shift, the drag is the other mode's: the forearm points at the pointer.
  const QPoint elsewhere = At(Figure(0).Points()[Hand]) + QPoint(30, 0);
  const double upper = Figure(0).Angles[2];
  Drag(At(Figure(0).Points()[Hand]), elsewhere, Qt::ShiftModifier);
  EXPECT_EQ(Figure(0).Angles[2], upper);
  EXPECT_NEAR(std::remainder(Figure(0).Angles[Forearm] -
                                 AngleBetween(Figure(0).Points()[3], RealPoint(elsewhere.x(), elsewhere.y())),
                             2 * std::numbers::pi),
              0, 1e-6);
  EXPECT_EQ(Picture(), FullRepaint());
  // The mode is the user's, kept for the next start.
  EXPECT_TRUE(QSettings().value(QStringLiteral("Edit/InverseKinematics")).toBool());
}

TEST_F(MainPosingTest, PinnedFeetStayWhenTheHipGoesDownAndPinsAreStepsOfTheirOwn) {
  Pin(LeftFoot);
  Pin(RightFoot);
  ASSERT_EQ(Figure(0).Pins, (std::vector<uint8_t>{LeftFoot, RightFoot}));
  EXPECT_EQ(Doc().History().undoText(), "Pin Joint");
  // A pinned joint's handle is a square ten pixels wide: its corner, which
  // a round handle leaves out, is the handle's colour.
  const QPoint foot = At(Figure(0).Points()[LeftFoot]);
  EXPECT_EQ(Picture().pixel(foot + QPoint(4, 4)), ToQColor(SelectedJointColor).rgb());
  const TFigure pinned = Figure(0);
  const int steps = Doc().History().count();
  const QPoint hip = At(pinned.Root());
  Press(hip);
  for (int y = 1; y <= 30; ++y) MoveTo(hip + QPoint(0, y));
  Release(hip + QPoint(0, 30));
  for (uint8_t v : {LeftFoot, RightFoot}) {
    const TRealPoint now = Figure(0).Points()[v], held = pinned.Points()[v];
    EXPECT_LT(std::hypot(now.X - held.X, now.Y - held.Y), 0.01) << int(v);
  }
  EXPECT_EQ(Doc().History().count(), steps + 1);
  EXPECT_EQ(Picture(), FullRepaint());
  // Undo takes back the crouch, then a pin.
  Form->History().UndoClick();
  EXPECT_EQ(Figure(0), pinned);
  Form->History().UndoClick();
  EXPECT_EQ(Figure(0).Pins, std::vector<uint8_t>{LeftFoot});
}

TEST_F(MainPosingTest, ARightClickOnAJointOffersItsPinAndARightDragStillDrags) {
  ShowActive();
  const QPoint hand = At(Figure(0).Points()[Hand]);
  Press(hand, Qt::RightButton);
  Release(hand, Qt::RightButton);
  WAIT_ASSERT(Form->Controls().JointMenu->isVisible());
  EXPECT_EQ(Form->Controls().PinJointAction->text(), "Pin Joint");
  Form->Controls().JointMenu->hide();
  Form->Controls().PinJointAction->trigger();
  EXPECT_TRUE(Figure(0).Pinned(Hand));
  // The root is no joint to pin.
  Pin(0);
  EXPECT_FALSE(Figure(0).Pinned(0));
}

}  // namespace
