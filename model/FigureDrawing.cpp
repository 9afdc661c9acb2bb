// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing figures and their handles onto a painter. Every coordinate and
// width is rounded to whole pixels (halves to even) before it reaches the
// painter, so pictures are exact and repeatable. Antialiasing is off, except
// for the lines and circles of figures drawn with smooth lines.

#include <QPainter>
#include <algorithm>
#include <vector>

#include "model/FigureUnit.h"
#include "model/Rounding.h"

namespace {

QPoint Rounded(TRealPoint P) { return QPoint(RoundPixel(P.X), RoundPixel(P.Y)); }

// A point of the figure on a picture drawn at Zoom, multiplied in single precision.
TRealPoint Zoomed(TRealPoint P, float Zoom) { return Zoom == 1.0f ? P : RealPoint(P.X * Zoom, P.Y * Zoom); }

// A round dot as wide as the pen, stroked as a very short line: the painter
// draws nothing for a zero-length one. Odd widths are centred on the pixel's
// middle, as the painter centres odd-width lines, so the dot covers the same
// rows and columns as the end of a line of that width at the same point.
void StrokeDot(QPainter& Canvas, QPointF At, const QColor& Colour, int Width) {
  Canvas.setPen(QPen(Colour, Width, Qt::SolidLine, Qt::RoundCap));
  const double offset = (Width % 2 == 1) ? 0.5 : 0.0;
  const QPointF centre(At.x() + offset, At.y() + offset);
  Canvas.drawLine(centre, centre + QPointF(1.0 / 1024, 0));
}

// Where a smooth shape is centred for a pixel point. The painter draws an
// aliased pen one pixel wide through the middle of the pixel a point names,
// and a wider one around the point itself (its corner); an antialiased pen
// goes exactly through the point it is given. So thin smooth lines move by
// half a pixel and wider ones stay, and each covers the aliased one's place.
double SmoothShift(int Width) { return Width <= 1 ? 0.5 : 0.0; }

QPointF SmoothPoint(QPoint At, int Width) {
  const double shift = SmoothShift(Width);
  return QPointF(At.x() + shift, At.y() + shift);
}

// An antialiased round dot as wide as the pen, centred on Centre.
void StrokeSmoothDot(QPainter& Canvas, QPointF Centre, const QColor& Colour, int Width) {
  Canvas.setPen(QPen(Colour, std::max(Width, 1), Qt::SolidLine, Qt::RoundCap));
  Canvas.drawLine(Centre, Centre + QPointF(1.0 / 1024, 0));
}

// Handles and the round ends of smooth lines are many small dots of a few
// widths and colours. Stroking one costs far more than copying a picture of
// it, and a dot stroked once into a picture and copied at a whole-pixel
// offset has the same pixels (exactly, for the aliased ones; within a unit of
// rounding of the blend, for the smooth ones, which always lie at the same
// fraction of a pixel for their width).
constexpr int MaxSpriteWidth = 32;

const QImage& DotSprite(int Width, QRgb Colour, TLineStyle Lines) {
  struct TSprite {
    int Width;
    QRgb Colour;
    TLineStyle Lines;
    QImage Picture;
  };
  thread_local std::vector<TSprite> sprites;
  for (const TSprite& s : sprites)
    if (s.Width == Width && s.Colour == Colour && s.Lines == Lines) return s.Picture;
  if (sprites.size() >= 64) sprites.clear();
  const int margin = Width / 2 + 2;
  QImage picture(2 * margin + 1, 2 * margin + 1, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  {
    QPainter canvas(&picture);
    canvas.setRenderHint(QPainter::Antialiasing, Lines == TLineStyle::Smooth);
    if (Lines == TLineStyle::Smooth)
      StrokeSmoothDot(canvas, SmoothPoint(QPoint(margin, margin), Width), QColor::fromRgb(Colour), Width);
    else
      StrokeDot(canvas, QPointF(margin, margin), QColor::fromRgb(Colour), Width);
  }
  sprites.push_back({Width, Colour, Lines, std::move(picture)});
  return sprites.back().Picture;
}

// A dot as wide as Width in the pen's colour at a pixel point, drawn as Lines
// says (the painter's antialiasing already set so).
void DrawDot(QPainter& Canvas, QPoint At, int Width, TLineStyle Lines = TLineStyle::Pixel) {
  const QPen pen = Canvas.pen();
  if (Width <= 1 && Lines == TLineStyle::Pixel) {
    Canvas.setPen(QPen(pen.color(), 1));
    Canvas.drawPoint(At);
  } else if (Width <= MaxSpriteWidth) {
    const int margin = Width / 2 + 2;
    Canvas.drawImage(At.x() - margin, At.y() - margin, DotSprite(Width, pen.color().rgb(), Lines));
  } else if (Lines == TLineStyle::Pixel) {
    StrokeDot(Canvas, At, pen.color(), Width);
  } else {
    StrokeSmoothDot(Canvas, SmoothPoint(At, Width), pen.color(), Width);
  }
  Canvas.setPen(pen);
}

void SetPenWidth(QPainter& Canvas, int Width, Qt::PenCapStyle Cap = Qt::RoundCap) {
  QPen pen = Canvas.pen();
  if (pen.style() != Qt::SolidLine || pen.width() != Width || pen.capStyle() != Cap) {
    pen.setStyle(Qt::SolidLine);
    pen.setWidth(Width);
    pen.setCapStyle(Cap);
    pen.setJoinStyle(Qt::RoundJoin);
    Canvas.setPen(pen);
  }
}

void SetPenColor(QPainter& Canvas, TColor Color) {
  QPen pen = Canvas.pen();
  pen.setColor(ToQColor(Color));
  Canvas.setPen(pen);
}

// Turns the painter's antialiasing on for smooth lines (off for pixel ones)
// and puts it back as it was.
class TSmoothing {
 public:
  TSmoothing(QPainter& Canvas, TLineStyle Lines) : Canvas(Canvas), Was(Canvas.testRenderHint(QPainter::Antialiasing)) {
    if ((Lines == TLineStyle::Smooth) != Was) Canvas.setRenderHint(QPainter::Antialiasing, !Was);
  }
  ~TSmoothing() {
    if (Canvas.testRenderHint(QPainter::Antialiasing) != Was) Canvas.setRenderHint(QPainter::Antialiasing, Was);
  }
  TSmoothing(const TSmoothing&) = delete;
  TSmoothing& operator=(const TSmoothing&) = delete;

 private:
  QPainter& Canvas;
  bool Was;
};

// A line between pixel points, or a dot where they meet, with the painter's
// antialiasing already as Lines wants it.
void LineBetween(QPainter& Canvas, QPoint From, QPoint To, int Width, TLineStyle Lines) {
  if (Lines == TLineStyle::Pixel) {
    if (From == To) {
      DrawDot(Canvas, From, Width);
    } else {
      SetPenWidth(Canvas, Width);
      Canvas.drawLine(From, To);
    }
    return;
  }
  if (From == To) {
    DrawDot(Canvas, From, Width, Lines);
  } else if (Width <= 1) {
    SetPenWidth(Canvas, Width);
    Canvas.drawLine(SmoothPoint(From, Width), SmoothPoint(To, Width));
  } else {
    // The painter fills a flat-ended antialiased line several times faster
    // than it strokes a round-ended one: the round ends are stamped dots.
    SetPenWidth(Canvas, Width, Qt::FlatCap);
    Canvas.drawLine(SmoothPoint(From, Width), SmoothPoint(To, Width));
    DrawDot(Canvas, From, Width, Lines);
    DrawDot(Canvas, To, Width, Lines);
  }
}

int SegmentPenWidth(float Thickness, float Scale, float Zoom) {
  return std::max(0, RoundPixel(static_cast<double>(Thickness) * Scale * Zoom));
}

int RootDotWidth(float Scale) { return std::min(std::max(RoundPixel(10.0 * Scale), 4), 10); }

int JointDotWidth(float Thickness, float Scale) {
  float w = Thickness * Scale * 1.6f;
  if (w < 4.0f) w = 4.0f;
  if (w > 10.0f) w = 10.0f;
  return RoundPixel(w);
}

// Corners of the box of a circle of diameter D centred between A and B.
QRect CircleBox(TRealPoint A, TRealPoint B, float D) {
  const int x1 = RoundPixel((static_cast<double>(A.X) + B.X - D) / 2);
  const int y1 = RoundPixel((static_cast<double>(A.Y) + B.Y - D) / 2);
  const int x2 = RoundPixel((static_cast<double>(A.X) + B.X + D) / 2);
  const int y2 = RoundPixel((static_cast<double>(A.Y) + B.Y + D) / 2);
  return QRect(x1, y1, x2 - x1, y2 - y1);
}

}  // namespace

void DrawPixelLine(QPainter& Canvas, QPoint From, QPoint To, int Width, TLineStyle Lines) {
  const TSmoothing smoothing(Canvas, Lines);
  LineBetween(Canvas, From, To, Width, Lines);
}

void TFigure::Draw(QPainter& Canvas, float Zoom, TLineStyle Lines) const {
  const TSmoothing smoothing(Canvas, Lines);
  SetPenColor(Canvas, Color);
  for (std::size_t i = 0; i < Angles.size(); ++i) DrawSegment(static_cast<uint8_t>(i), Canvas, Zoom, Lines);
}

void TFigure::DrawSegment(uint8_t Index, QPainter& Canvas, float Zoom, TLineStyle Lines) const {
  const TSegmentStruct& s = Type().Segments[Index];
  if (s.Thickness == 0.0f) return;
  const int width = SegmentPenWidth(s.Thickness, Scale, Zoom);
  const TRealPoint a = Zoomed(Points()[s.ParentVertex], Zoom);
  const TRealPoint b = Zoomed(Points()[s.ChildVertex], Zoom);
  const TSmoothing smoothing(Canvas, Lines);
  if (s.Kind == SegmentLine) {
    LineBetween(Canvas, Rounded(a), Rounded(b), width, Lines);
  } else if (s.Kind == SegmentCircle) {
    const float d = s.Length * Scale * Zoom;
    if (d < 1.0f) {
      LineBetween(Canvas, Rounded(a), Rounded(a), width, Lines);
    } else {
      SetPenWidth(Canvas, width);
      const QRect box = CircleBox(a, b, d);
      if (Lines == TLineStyle::Pixel) {
        Canvas.drawEllipse(box);
      } else {
        const double shift = SmoothShift(width);
        Canvas.drawEllipse(QRectF(box).translated(shift, shift));
      }
    }
  }
}

void TFigure::DrawHandles(QPainter& Canvas, TColor JointColor, TColor RootColor, float Zoom) const {
  // The middle of the block that shows the point's pixel on the screen.
  const float shift = static_cast<float>(ScreenShift(Zoom));
  auto at = [&](TRealPoint P) { return Rounded(Zoom == 1.0f ? P : RealPoint(P.X * Zoom + shift, P.Y * Zoom + shift)); };
  SetPenColor(Canvas, RootColor);
  DrawDot(Canvas, at(Points()[0]), RootDotWidth(Scale));
  SetPenColor(Canvas, JointColor);
  const TFigureType& type = Type();
  for (int i = static_cast<int>(Angles.size()) - 1; i >= 0; --i) {
    const TSegmentStruct& s = type.Segments[i];
    if (s.Static != 0) continue;
    const QPoint point = at(Points()[s.ChildVertex]);
    const int width = JointDotWidth(s.Thickness, Scale);
    // A pinned joint's handle is a square of the dot's width.
    if (Pinned(s.ChildVertex))
      Canvas.fillRect(QRect(point.x() - width / 2, point.y() - width / 2, width, width), Canvas.pen().color());
    else
      DrawDot(Canvas, point, width);
  }
}

QRect TFigure::DrawBounds(float Zoom, bool WithHandles) const {
  // Every shape is grown by half its pen and a safety pixel for the rasteriser
  // (which also holds the blended edge of smooth lines).
  auto around = [](QPoint P, int Width) {
    const int m = Width / 2 + 2;
    return QRect(P.x() - m, P.y() - m, 2 * m + 1, 2 * m + 1);
  };
  QRect bounds;
  const TFigureType& type = Type();
  for (std::size_t i = 0; i < Angles.size(); ++i) {
    const TSegmentStruct& s = type.Segments[i];
    if (s.Thickness == 0.0f || (s.Kind != SegmentLine && s.Kind != SegmentCircle)) continue;
    const int width = SegmentPenWidth(s.Thickness, Scale, Zoom);
    const TRealPoint a = Zoomed(Points()[s.ParentVertex], Zoom);
    const TRealPoint b = Zoomed(Points()[s.ChildVertex], Zoom);
    bounds |= around(Rounded(a), width);
    if (s.Kind == SegmentLine) {
      bounds |= around(Rounded(b), width);
    } else {
      const float d = s.Length * Scale * Zoom;
      if (d >= 1.0f) {
        const int m = width / 2 + 2;
        bounds |= CircleBox(a, b, d).adjusted(-m, -m, m + 1, m + 1);
      }
    }
  }
  if (WithHandles) {
    bounds |= around(Rounded(Points()[0]), 10);
    for (std::size_t i = 0; i < Angles.size(); ++i)
      if (type.Segments[i].Static == 0) bounds |= around(Rounded(Points()[type.Segments[i].ChildVertex]), 10);
  }
  return bounds;
}
