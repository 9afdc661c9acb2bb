// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "model/Common.h"
#include "model/DragLayers.h"
#include "model/FigureUnit.h"

namespace {

const QRgb White = qRgb(255, 255, 255);

class DrawingTest : public testing::Test {
 protected:
  void SetUp() override {
    Picture = QImage(100, 80, QImage::Format_RGB32);
    Picture.fill(Qt::white);
  }

  // Adds a type with one segment from the root and returns a figure of it with its root at Root.
  TFigure OneSegment(uint8_t Kind, float Length, float Thickness, double Angle, TRealPoint Root, uint8_t Static = 0) {
    auto type = std::make_shared<TFigureType>();
    type->AddSegment(0, Kind, Length, Thickness, Angle, Static);
    TFigure f;
    f.SetType(2, std::move(type));
    f.SetPosition(Root);
    return f;
  }

  void Draw(const TFigure& F, float Zoom = 1.0f) {
    QPainter canvas(&Picture);
    PrepareCanvas(canvas);
    F.Draw(canvas, Zoom);
  }

  int CountNot(QRgb Colour, QRect Area) const {
    int n = 0;
    for (int y = Area.top(); y <= Area.bottom(); ++y)
      for (int x = Area.left(); x <= Area.right(); ++x) n += Picture.pixel(x, y) != Colour;
    return n;
  }

  QRect Covered() const {
    QRect r;
    for (int y = 0; y < Picture.height(); ++y)
      for (int x = 0; x < Picture.width(); ++x)
        if (Picture.pixel(x, y) != White) r |= QRect(x, y, 1, 1);
    return r;
  }

  QImage Picture;
};

TEST_F(DrawingTest, LineHasItsColourWidthAndRoundEnds) {
  TFigure f = OneSegment(SegmentLine, 40, 7, 0, RealPoint(20, 30));
  f.Color = 0x000000FF;  // red
  Draw(f);
  EXPECT_EQ(Picture.pixel(40, 30), qRgb(255, 0, 0));
  // Seven pixels wide, centred on row 30.
  EXPECT_EQ(Picture.pixel(40, 27), qRgb(255, 0, 0));
  EXPECT_EQ(Picture.pixel(40, 33), qRgb(255, 0, 0));
  EXPECT_EQ(Picture.pixel(40, 26), White);
  EXPECT_EQ(Picture.pixel(40, 34), White);
  // Round ends: the line reaches past its end points on its axis, not at the corners.
  EXPECT_EQ(Picture.pixel(62, 30), qRgb(255, 0, 0));
  EXPECT_EQ(Picture.pixel(18, 30), qRgb(255, 0, 0));
  EXPECT_EQ(Picture.pixel(63, 33), White);
  EXPECT_EQ(Picture.pixel(17, 27), White);
}

TEST_F(DrawingTest, CoordinatesRoundHalvesToEven) {
  // A 1-pixel line whose ends sit on x = 10.5 and 30.5 starts at 10 and ends at 30.
  TFigure f = OneSegment(SegmentLine, 20, 1, 0, RealPoint(10.5f, 20.5f));
  Draw(f);
  EXPECT_EQ(Covered(), QRect(10, 20, 21, 1));
}

TEST_F(DrawingTest, CircleIsFilledWhiteInside) {
  Picture.fill(Qt::black);
  TFigure f = OneSegment(SegmentCircle, 40, 3, 0, RealPoint(20, 40));
  f.Color = 0x0000FF00;  // green
  Draw(f);
  EXPECT_EQ(Picture.pixel(40, 40), White);            // centre
  EXPECT_EQ(Picture.pixel(40, 20), qRgb(0, 255, 0));  // top of the outline
  EXPECT_EQ(Picture.pixel(20, 40), qRgb(0, 255, 0));  // through the root
  EXPECT_EQ(Picture.pixel(40, 10), qRgb(0, 0, 0));    // outside untouched
}

TEST_F(DrawingTest, ZeroLengthLineIsARoundDotAsWideAsThePen) {
  TFigure f = OneSegment(SegmentLine, 0, 6, 0, RealPoint(50, 40));
  Draw(f);
  EXPECT_EQ(Covered(), QRect(47, 37, 6, 6));
  // Round: the corners of the square stay white.
  EXPECT_EQ(Picture.pixel(47, 37), White);
  EXPECT_EQ(Picture.pixel(52, 42), White);
}

TEST_F(DrawingTest, StampedDotsHaveTheStrokedDotsPixelsEverywhere) {
  // Dots are stamped from cached pictures; they must equal a dot stroked in place,
  // also where the picture cuts them off.
  const QPoint places[] = {{50, 40}, {0, 0}, {-3, 5}, {99, 79}, {97, 2}};
  for (int width = 2; width <= 40; width += (width < 12 ? 1 : 7)) {
    for (const QPoint at : places) {
      QImage stamped(100, 80, QImage::Format_RGB32), stroked(100, 80, QImage::Format_RGB32);
      stamped.fill(Qt::white);
      stroked.fill(Qt::white);
      {
        QPainter canvas(&stamped);
        PrepareCanvas(canvas);
        canvas.setPen(QPen(QColor(10, 200, 30)));
        DrawPixelLine(canvas, at, at, width);
      }
      {
        QPainter canvas(&stroked);
        canvas.setPen(QPen(QColor(10, 200, 30), width, Qt::SolidLine, Qt::RoundCap));
        const double offset = width % 2 ? 0.5 : 0.0;
        const QPointF centre(at.x() + offset, at.y() + offset);
        canvas.drawLine(centre, centre + QPointF(1.0 / 1024, 0));
      }
      EXPECT_EQ(stamped, stroked) << "width " << width << " at " << at.x() << "," << at.y();
    }
  }
}

TEST_F(DrawingTest, TinyCircleIsADotAtItsParentVertex) {
  TFigure f = OneSegment(SegmentCircle, 0.5f, 4, 0, RealPoint(30, 30));
  Draw(f);
  EXPECT_EQ(Covered(), QRect(28, 28, 4, 4));
}

TEST_F(DrawingTest, ThicknessZeroDrawsNothingButStillHasAHandle) {
  TFigure f = OneSegment(SegmentLine, 30, 0, 0, RealPoint(20, 20));
  Draw(f);
  EXPECT_TRUE(Covered().isEmpty());
  EXPECT_EQ(f.HandleAt(QPoint(50, 20)), 0);
}

TEST_F(DrawingTest, UnknownKindDrawsNothing) {
  TFigure f = OneSegment(5, 30, 4, 0, RealPoint(20, 20));
  Draw(f);
  EXPECT_TRUE(Covered().isEmpty());
}

TEST_F(DrawingTest, HandlesAreDotsInTheirColoursSizedByScaleAndThickness) {
  TFigure f = OneSegment(SegmentLine, 40, 5, 0, RealPoint(20, 30));
  {
    QPainter canvas(&Picture);
    PrepareCanvas(canvas);
    f.DrawHandles(canvas, ColorRed, RootHandleColor);
  }
  EXPECT_EQ(Picture.pixel(20, 30), qRgb(255, 136, 0));
  EXPECT_EQ(Picture.pixel(60, 30), qRgb(255, 0, 0));
  // The root dot is 10 wide (x 15..24), the joint dot 8 (thickness 5 x 1.6, x 56..63).
  EXPECT_EQ(Covered(), QRect(15, 25, 49, 10));
  EXPECT_EQ(CountNot(White, QRect(56, 26, 8, 8)), CountNot(White, QRect(40, 0, 60, 80)));
  // A static segment has no handle.
  Picture.fill(Qt::white);
  TFigure s = OneSegment(SegmentLine, 40, 5, 0, RealPoint(20, 30), 1);
  {
    QPainter canvas(&Picture);
    PrepareCanvas(canvas);
    s.DrawHandles(canvas, ColorRed, RootHandleColor);
  }
  EXPECT_EQ(Picture.pixel(60, 30), White);
  // At scale 0.2 the root dot shrinks to its smallest, 4 pixels.
  Picture.fill(Qt::white);
  s.Scale = 0.2f;
  {
    QPainter canvas(&Picture);
    PrepareCanvas(canvas);
    s.DrawHandles(canvas, ColorRed, RootHandleColor);
  }
  EXPECT_EQ(Covered(), QRect(18, 28, 4, 4));
}

TEST_F(DrawingTest, JointDotWidthFollowsThicknessWithinFourToTen) {
  for (auto [thickness, width] : {std::pair{1.0f, 4}, {5.0f, 8}, {7.0f, 10}, {20.0f, 10}}) {
    Picture.fill(Qt::white);
    TFigure f = OneSegment(SegmentLine, 40, thickness, 0, RealPoint(20, 30));
    {
      QPainter canvas(&Picture);
      PrepareCanvas(canvas);
      f.DrawHandles(canvas, ColorRed, RootHandleColor);
    }
    // Only the joint's dot, around (60, 30), away from the root's.
    EXPECT_EQ(CountNot(White, QRect(40, 0, 60, 80)),
              CountNot(White, QRect(60 - width / 2, 30 - width / 2, width, width)))
        << thickness;
    EXPECT_EQ(Picture.pixel(60 - width / 2, 30), qRgb(255, 0, 0)) << thickness;
    EXPECT_EQ(Picture.pixel(60 + (width - 1) / 2, 30), qRgb(255, 0, 0)) << thickness;
    EXPECT_EQ(Picture.pixel(60 - width / 2 - 1, 30), White) << thickness;
    EXPECT_EQ(Picture.pixel(60 + (width - 1) / 2 + 1, 30), White) << thickness;
  }
}

TEST_F(DrawingTest, DrawFrameStretchesTheBackgroundAtOtherZooms) {
  TAnimation animation;
  animation.Width = 100;
  animation.Height = 80;
  animation.Background = QImage(100, 80, QImage::Format_RGB32);
  animation.Background.fill(qRgb(10, 20, 30));
  TFigures frame;
  frame.Items.push_back(OneSegment(SegmentLine, 40, 2, 0, RealPoint(20, 20)));
  Picture.fill(Qt::white);
  {
    QPainter canvas(&Picture);
    PrepareCanvas(canvas);
    DrawFrame(canvas, animation, frame, 0.5f);
  }
  EXPECT_EQ(Picture.pixel(49, 39), qRgb(10, 20, 30));
  EXPECT_EQ(Picture.pixel(50, 40), White);          // beyond the half-size background
  EXPECT_EQ(Picture.pixel(20, 10), qRgb(0, 0, 0));  // the line at half size: 10..30 on row 10
  EXPECT_EQ(Picture.pixel(34, 10), qRgb(10, 20, 30));
  // A side shrunk below half a pixel still shows the background in one pixel.
  animation.Width = 10;
  animation.Height = 10000;
  animation.Background = QImage(10, 10000, QImage::Format_RGB32);
  animation.Background.fill(qRgb(10, 20, 30));
  Picture.fill(Qt::white);
  {
    QPainter canvas(&Picture);
    PrepareCanvas(canvas);
    DrawFrame(canvas, animation, TFigures(), 0.011f);
  }
  EXPECT_EQ(Picture.pixel(0, 50), qRgb(10, 20, 30));
  EXPECT_EQ(Picture.pixel(1, 0), White);
}

TEST_F(DrawingTest, DrawBoundsHoldEveryPixelDrawn) {
  TFigure f;
  f.SetType(1, StickmanType());
  f.SetPosition(RealPoint(50, 50));
  f.RotateSegment(2, 0.7);
  f.SetScale(0.37f);
  for (TLineStyle lines : {TLineStyle::Pixel, TLineStyle::Smooth})
    for (float zoom : {1.0f, 0.5f, 0.13f}) {
      Picture.fill(Qt::white);
      QPainter canvas(&Picture);
      PrepareCanvas(canvas);
      f.Draw(canvas, zoom, lines);
      EXPECT_TRUE(f.DrawBounds(zoom, false).contains(Covered()))
          << zoom << (lines == TLineStyle::Smooth ? " smooth" : "");
      f.DrawHandles(canvas, ColorRed, RootHandleColor);
      EXPECT_TRUE(f.DrawBounds(zoom, true).contains(Covered()))
          << zoom << (lines == TLineStyle::Smooth ? " smooth" : "");
    }
}

// How much of a pixel a black drawing on white covers: 0 untouched, 1 wholly black.
double Ink(QRgb Pixel) { return 1.0 - qRed(Pixel) / 255.0; }

TEST_F(DrawingTest, SmoothLinesBlendTheirEdgesInTheAliasedLinesPlace) {
  struct TRow {
    const char* Name;
    uint8_t Kind;
    float Length, Thickness;
  };
  const TRow rows[] = {{"thin line", SegmentLine, 50, 1},
                       {"thick line", SegmentLine, 50, 7},
                       {"thin circle", SegmentCircle, 40, 1},
                       {"thick circle", SegmentCircle, 40, 6},
                       {"round dot", SegmentLine, 0, 6}};
  for (const TRow& row : rows) {
    // From (20, 30) at 0.6 radians: a diagonal line, or the circle over it.
    const TFigure f = OneSegment(row.Kind, row.Length, row.Thickness, 0.6, RealPoint(20, 30));
    const TRealPoint a = f.Points()[0], b = f.Points()[1];
    QRect box[2];
    // How far the drawing reaches along the line, before and after the root:
    // the round ends, past the ends of the line.
    double before[2] = {0, 0}, after[2] = {0, 0};
    double across[2] = {0, 0};
    int blended[2] = {0, 0};
    for (int smooth = 0; smooth < 2; ++smooth) {
      Picture.fill(Qt::white);
      {
        QPainter canvas(&Picture);
        PrepareCanvas(canvas);
        f.Draw(canvas, 1.0f, smooth ? TLineStyle::Smooth : TLineStyle::Pixel);
        EXPECT_FALSE(canvas.testRenderHint(QPainter::Antialiasing)) << "the painter is left as it was";
      }
      box[smooth] = Covered();
      for (int y = 0; y < Picture.height(); ++y)
        for (int x = 0; x < Picture.width(); ++x) {
          const double ink = Ink(Picture.pixel(x, y));
          blended[smooth] += ink > 0 && ink < 1;
          if (ink >= 0.5) {
            const double along = (x + 0.5 - a.X) * std::cos(0.6) + (y + 0.5 - a.Y) * std::sin(0.6);
            before[smooth] = std::min(before[smooth], along);
            after[smooth] = std::max(after[smooth], along);
          }
          // The width: down the column through a line's middle, or along the
          // row through a circle's centre as far as the centre.
          const int midX = qRound((a.X + b.X) / 2), midY = qRound((a.Y + b.Y) / 2);
          if (row.Kind == SegmentLine ? x == midX : (y == midY && x < midX)) across[smooth] += ink;
        }
    }
    EXPECT_EQ(blended[0], 0) << row.Name;
    EXPECT_GT(blended[1], 0) << row.Name;
    // The same ends (every edge of the covered box, the reach along the line)
    // and width, within a pixel.
    EXPECT_LE(std::abs(box[1].left() - box[0].left()), 1) << row.Name;
    EXPECT_LE(std::abs(box[1].right() - box[0].right()), 1) << row.Name;
    EXPECT_LE(std::abs(box[1].top() - box[0].top()), 1) << row.Name;
    EXPECT_LE(std::abs(box[1].bottom() - box[0].bottom()), 1) << row.Name;
    EXPECT_NEAR(before[1], before[0], 1.0) << row.Name;
    EXPECT_NEAR(after[1], after[0], 1.0) << row.Name;
    EXPECT_NEAR(across[1], across[0], 1.0) << row.Name;
  }
}

}  // namespace
