// SPDX-License-Identifier: GPL-3.0-or-later
// The builder's drawing area: the working figure with the selection and
// static colours and every handle, and the free segment of an add or a
// duplicate in progress. Every step erases and redraws the whole area.

#include <QPainter>
#include <cmath>

#include "builder/FigureBuilderUnit.h"
#include "model/Common.h"
#include "model/Rounding.h"
#include "platform/PictureBox.h"

namespace {

constexpr TColor SelectedSegmentColor = ColorBlue;
constexpr TColor StaticSegmentColor = ColorGrey;
constexpr TColor DynamicSegmentColor = ColorBlack;
constexpr TColor SegmentHandleColor = ColorRed;

void SetPenColor(QPainter& Canvas, TColor Color) {
  QPen pen = Canvas.pen();
  pen.setColor(ToQColor(Color));
  Canvas.setPen(pen);
}

}  // namespace

void TFigureBuilderForm::EraseFigure() {
  Ui.FigureImage->Picture().fill(Qt::white);
  Ui.FigureImage->Changed(PictureRect());
}

void TFigureBuilderForm::DrawFigure() {
  QPainter canvas(&Ui.FigureImage->Picture());
  PrepareCanvas(canvas);
  TFigureType& type = Type();
  for (uint8_t i = 0; i < WorkFigure.SegmentCount(); ++i) {
    if (i == SelectedSegment) {
      SetPenColor(canvas, SelectedSegmentColor);
      // The selected segment is always visible, even when it has no thickness.
      TSegmentStruct& s = type.Segments[i];
      const bool invisible = s.Thickness == 0.0f;
      if (invisible) s.Thickness = 1.0f;
      WorkFigure.DrawSegment(i, canvas, 1.0f);
      if (invisible) s.Thickness = 0.0f;
    } else {
      SetPenColor(canvas, StaticFlags[i] ? StaticSegmentColor : DynamicSegmentColor);
      WorkFigure.DrawSegment(i, canvas, 1.0f);
    }
  }
  WorkFigure.DrawHandles(canvas, SegmentHandleColor, RootHandleColor);
  canvas.end();
  Ui.FigureImage->Changed(PictureRect());
}

void TFigureBuilderForm::DrawGeneralSegment(QPainter& Canvas, TRealPoint From, TRealPoint To, uint8_t Kind) {
  const int width = Canvas.pen().width();
  if (Kind == SegmentLine) {
    DrawPixelLine(Canvas, QPoint(RoundPixel(From.X), RoundPixel(From.Y)), QPoint(RoundPixel(To.X), RoundPixel(To.Y)),
                  width);
    return;
  }
  // The circle that has the segment as its diameter, however small.
  const float d =
      static_cast<float>(std::hypot(static_cast<double>(To.X) - From.X, static_cast<double>(To.Y) - From.Y));
  const int x1 = RoundPixel((static_cast<double>(From.X) + To.X + d) * 0.5);
  const int y1 = RoundPixel((static_cast<double>(From.Y) + To.Y + d) * 0.5);
  const int x2 = RoundPixel((static_cast<double>(From.X) + To.X - d) * 0.5);
  const int y2 = RoundPixel((static_cast<double>(From.Y) + To.Y - d) * 0.5);
  QPen pen = Canvas.pen();
  pen.setCapStyle(Qt::RoundCap);
  Canvas.setPen(pen);
  Canvas.drawEllipse(QRect(x2, y2, x1 - x2, y1 - y2));
}
