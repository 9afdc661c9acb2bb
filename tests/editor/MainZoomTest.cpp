// SPDX-License-Identifier: GPL-3.0-or-later
// Zooming the drawing area: the steps and keys, poses made at any zoom in
// animation coordinates, and handles that keep their screen size.

#include <QScrollArea>
#include <cmath>

#include "tests/editor/MainFormFixture.h"

namespace {

class MainZoomTest : public MainFormTest {
 protected:
  // Two bars, lines of length 40 pointing right from their roots at
  // (100, 100) and (30, 160).
  void SetUp() override {
    MainFormTest::SetUp();
    StartAnimation(300, 200);
    AddType("bar", {Segment(0, SegmentLine, 40, 3, 0)});
    TAnimation animation = Anim();
    TEditState edit;
    for (TRealPoint root : {RealPoint(100, 100), RealPoint(30, 160)}) {
      TFigure bar;
      bar.SetType(animation.Types, static_cast<uint8_t>(animation.Types.Count() - 1));
      bar.MoveBy(root);
      edit.WorkingFrame.Items.push_back(std::move(bar));
    }
    Doc().Reset(std::move(animation), std::move(edit));
  }
  // Where the drawing area shows the animation's point P.
  QPoint Shown(QPointF P) const { return Form->Controls().EditImage->ToScreen(P).toPoint(); }
  void Drag(QPointF From, QPointF To) {
    Press(Shown(From));
    MoveTo(Shown((From + To) / 2));
    MoveTo(Shown(To));
    Release(Shown(To));
  }
  // The width of the run of Color through Centre along its row.
  static int RunWidth(const QImage& Image, QPoint Centre, QRgb Color) {
    int left = Centre.x(), right = Centre.x();
    while (left > 0 && Image.pixel(left - 1, Centre.y()) == Color) --left;
    while (right + 1 < Image.width() && Image.pixel(right + 1, Centre.y()) == Color) ++right;
    return Image.pixel(Centre) == Color ? right - left + 1 : 0;
  }
};

TEST_F(MainZoomTest, KeysStepTheZoomWithinItsLimitsAndTheAreaTakesTheZoomedSize) {
  ShowActive();
  struct TRow {
    Qt::Key Key;
    int Times;
    double Zoom;
    QSize Size;
  };
  const std::vector<TRow> rows{{Qt::Key_Equal, 1, 1.5, {450, 300}},    {Qt::Key_Plus, 1, 2.0, {600, 400}},
                               {Qt::Key_Minus, 1, 1.5, {450, 300}},    {Qt::Key_0, 1, 1.0, {300, 200}},
                               {Qt::Key_Equal, 20, 8.0, {2400, 1600}}, {Qt::Key_Minus, 3, 3.0, {900, 600}},
                               {Qt::Key_Minus, 20, 0.1, {30, 20}},     {Qt::Key_0, 1, 1.0, {300, 200}}};
  for (const TRow& row : rows) {
    for (int i = 0; i < row.Times; ++i) QTest::keyClick(Form.get(), row.Key, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(Form->Canvas().Zoom(), row.Zoom) << row.Key << " x" << row.Times;
    EXPECT_EQ(Form->Controls().EditImage->size(), row.Size) << row.Key << " x" << row.Times;
  }
  // Fit to Window: the whole drawing in view, touching two of its sides.
  StartAnimation(1500, 1000);
  Form->Canvas().FitToWindowClick();
  const QSize view = Form->Controls().DrawingScrollBox->maximumViewportSize();
  const QSize shown = Form->Controls().EditImage->size();
  EXPECT_LE(shown.width() + 4, view.width());
  EXPECT_LE(shown.height() + 4, view.height());
  EXPECT_TRUE(shown.width() + 6 >= view.width() || shown.height() + 6 >= view.height()) << shown.width();
}

// Every whole point of the animation has a screen pixel at every zoom of
// at least 100 % (and every other one at 50 %), which maps back to it
// exactly; so a joint drag and a root drag made zoomed store the same
// record as at 100 %, and a band selects by animation coordinates.
TEST_F(MainZoomTest, PosesAndBandsAreMadeInAnimationCoordinatesAtAnyZoom) {
  QByteArray actual;
  for (double zoom : {1.0, 0.5, 1.5, 3.0, 4.0, 8.0}) {
    SetUp();
    Form->Canvas().SetZoom(zoom);
    for (QPointF p : {QPointF(0, 0), QPointF(2, 4), QPointF(130, 124), QPointF(298, 198)}) {
      const QPointF shown = Form->Controls().EditImage->ToScreen(p);
      EXPECT_EQ(shown, shown.toPoint()) << zoom;
      EXPECT_EQ(Form->Controls().EditImage->ToPicture(shown), p) << zoom;
    }
    Drag(QPointF(140, 100), QPointF(130, 124));  // the joint: the bar turns down
    Drag(QPointF(100, 100), QPointF(160, 70));   // the root
    QByteArray record;
    Figure(0).SaveToBytes(record);
    if (zoom == 1.0) actual = record;
    EXPECT_EQ(record, actual) << zoom;
    EXPECT_EQ(Figure(0).Root().X, 160.0f) << zoom;
    // A band selects the figure whose root it holds.
    Drag(QPointF(20, 150), QPointF(40, 170));
    EXPECT_EQ(Doc().SelectedFigures(), std::vector<int>{1}) << zoom;
    Drag(QPointF(150, 60), QPointF(170, 80));
    EXPECT_EQ(Doc().SelectedFigures(), std::vector<int>{0}) << zoom;
  }
}

// Handles are as wide on the screen at 400 % and 50 % as at 100 %; back at
// actual size the drawing is the full repaint again.
TEST_F(MainZoomTest, HandlesKeepTheirScreenSize) {
  Doc().Select(0);
  const QPointF joint(140, 100);
  const int actual = RunWidth(Picture(), joint.toPoint(), QColor(Qt::red).rgb());
  ASSERT_GE(actual, 4);
  for (double zoom : {4.0, 0.5}) {
    Form->Canvas().SetZoom(zoom);
    const QImage shown = Form->Controls().EditImage->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_NEAR(RunWidth(shown, Shown(joint), QColor(Qt::red).rgb()), actual, 1) << zoom;
  }
  Form->Canvas().ActualSizeClick();
  EXPECT_EQ(Picture(), FullRepaint());
}

}  // namespace
