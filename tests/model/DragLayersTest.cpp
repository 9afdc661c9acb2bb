// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <random>

#include "model/Common.h"
#include "model/DragLayers.h"

namespace {

// The cached drag repaint must give exactly the pixels of a full repaint,
// whichever figure is dragged and however the figures overlap.
class DragLayersTest : public testing::Test {
 protected:
  void SetUp() override {
    Underlay = QImage(300, 200, QImage::Format_RGB32);
    Underlay.fill(Qt::white);
    QPainter p(&Underlay);
    p.fillRect(QRect(0, 0, 150, 100), QColor(192, 192, 192));  // something that is not white
  }

  void AddStickmen(int Count, std::mt19937& Random) {
    std::uniform_real_distribution<float> x(60, 240), y(80, 130);
    for (int i = 0; i < Count; ++i) {
      TFigure f;
      f.SetType(1, StickmanType());
      f.SetPosition(RealPoint(x(Random), y(Random)));
      f.Color = static_cast<TColor>(Random() & 0xFFFFFF);
      f.SetScale(0.5f + static_cast<float>(Random() % 100) / 100.0f);
      Frame.Items.push_back(f);
    }
  }

  QImage FullRepaint(int Selected, TLineStyle Lines = TLineStyle::Pixel) const {
    QImage full;
    PaintEditScene(full, Underlay, Frame, Selected, {}, true, Lines);
    return full;
  }

  QImage Underlay;
  TFigures Frame;
};

// The largest difference of a colour channel between two pictures of the same size.
int MaxDifference(const QImage& A, const QImage& B) {
  int most = 0;
  for (int y = 0; y < A.height(); ++y)
    for (int x = 0; x < A.width(); ++x) {
      const QRgb a = A.pixel(x, y), b = B.pixel(x, y);
      most =
          std::max({most, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
    }
  return most;
}

TEST_F(DragLayersTest, DragStepsMatchAFullRepaint) {
  // Pixel lines give exactly the full repaint's pixels. Smooth edges over the
  // dragged figure are blended from their layer: a unit of rounding apart.
  for (const auto& [lines, tolerance] : {std::pair{TLineStyle::Pixel, 0}, {TLineStyle::Smooth, 1}}) {
    std::mt19937 random(99);
    Frame.Items.clear();
    AddStickmen(6, random);
    TDragLayers layers;
    layers.SetLines(lines);
    QImage picture;
    std::uniform_real_distribution<double> turn(-1.5, 1.5);
    std::uniform_real_distribution<float> step(-25, 25);
    for (int selected : {0, 3, 5}) {
      layers.Invalidate();
      for (int move = 0; move < 25; ++move) {
        TFigure& f = Frame.Items[selected];
        if (move % 3 == 0)
          f.MoveBy(RealPoint(step(random), step(random)));
        else
          f.RotateSegment(static_cast<uint8_t>(random() % 10), turn(random));
        layers.Repaint(picture, Underlay, Frame, selected);
        const QImage full = FullRepaint(selected, lines);
        if (tolerance == 0)
          ASSERT_EQ(picture, full) << "figure " << selected << ", move " << move;
        else
          ASSERT_LE(MaxDifference(picture, full), tolerance) << "figure " << selected << ", move " << move;
      }
    }
  }
}

TEST_F(DragLayersTest, FigureDraggedOffTheDrawingAndBackLeavesNoTrace) {
  std::mt19937 random(5);
  AddStickmen(2, random);
  TDragLayers layers;
  QImage picture;
  for (float dx : {100.0f, 400.0f, -600.0f, 130.0f}) {
    Frame.Items[1].MoveBy(RealPoint(dx, 0));
    layers.Repaint(picture, Underlay, Frame, 1);
    ASSERT_EQ(picture, FullRepaint(1)) << dx;
  }
}

TEST_F(DragLayersTest, ChangingTheSelectionOrTheUnderlayRebuildsTheLayers) {
  std::mt19937 random(11);
  AddStickmen(3, random);
  TDragLayers layers;
  QImage picture;
  layers.Repaint(picture, Underlay, Frame, 0);
  Frame.Items[2].RotateSegment(0, 1.0);  // a different figure moves
  layers.Repaint(picture, Underlay, Frame, 2);
  EXPECT_EQ(picture, FullRepaint(2));
  Underlay.fill(Qt::yellow);
  Frame.Items[2].RotateSegment(0, 1.0);
  layers.Repaint(picture, Underlay, Frame, 2);
  EXPECT_EQ(picture, FullRepaint(2));
}

TEST_F(DragLayersTest, StepRepaintsOnlyAroundTheDraggedFigure) {
  std::mt19937 random(1);
  AddStickmen(3, random);
  TDragLayers layers;
  QImage picture;
  layers.Repaint(picture, Underlay, Frame, 1);
  Frame.Items[1].RotateSegment(6, 0.2);
  const QRect dirty = layers.Repaint(picture, Underlay, Frame, 1);
  EXPECT_FALSE(dirty.isEmpty());
  EXPECT_LT(dirty.width() * dirty.height(), picture.width() * picture.height() / 2);
}

TEST(PaintEditScene, HandlesLieOverEveryFigureAndTheSelectedOnesAreRedAndOrange) {
  QImage underlay(200, 200, QImage::Format_RGB32);
  underlay.fill(Qt::white);
  TFigures frame;
  for (int i = 0; i < 2; ++i) {
    TFigure f;
    f.SetType(1, StickmanType());
    f.SetPosition(RealPoint(100, 100));
    frame.Items.push_back(f);
  }
  frame.Items[1].RotateSegment(6, 0.5);  // move one thigh so the two figures differ
  QImage picture;
  PaintEditScene(picture, underlay, frame, 0);
  // Figure 1 is drawn over figure 0, but figure 0's handles lie over figure 1's
  // lines; figure 1's blue handles are drawn last of all, over the root.
  EXPECT_EQ(picture.pixel(100, 100), qRgb(0, 0, 255));
  const TRealPoint neck = frame.Items[0].Points()[1];
  EXPECT_EQ(picture.pixel(static_cast<int>(neck.X), static_cast<int>(neck.Y)), qRgb(0, 0, 255));
  const TRealPoint knee0 = frame.Items[0].Points()[7];
  EXPECT_EQ(picture.pixel(qRound(knee0.X), qRound(knee0.Y)), qRgb(255, 0, 0));
  PaintEditScene(picture, underlay, frame, 1);
  EXPECT_EQ(picture.pixel(100, 100), qRgb(255, 136, 0));
}

}  // namespace
