// SPDX-License-Identifier: GPL-3.0-or-later
#include "builder/ButtonPictures.h"

#include <QImage>
#include <QPainter>

namespace {

const QColor Black(0, 0, 0);
const QColor Red(255, 0, 0);
const QColor Grey(128, 128, 128);

void Line(QPainter& P, const QColor& Color, int Width, QPointF From, QPointF To) {
  P.setPen(QPen(Color, Width, Qt::SolidLine, Qt::RoundCap));
  P.drawLine(From, To);
}

// A handle: a small red dot, like the handles on the drawing area.
void Dot(QPainter& P, QPointF At) {
  P.setPen(Qt::NoPen);
  P.setBrush(Red);
  P.drawEllipse(At, 2.5, 2.5);
  P.setBrush(Qt::NoBrush);
}

void Ring(QPainter& P, QPointF Center, double Radius) {
  P.setPen(QPen(Black, 2));
  P.setBrush(Qt::NoBrush);
  P.drawEllipse(Center, Radius, Radius);
}

void Cross(QPainter& P, QPointF Center, double Half, int Width) {
  Line(P, Red, Width, Center + QPointF(-Half, -Half), Center + QPointF(Half, Half));
  Line(P, Red, Width, Center + QPointF(Half, -Half), Center + QPointF(-Half, Half));
}

}  // namespace

QPixmap MakeButtonPicture(TButtonPicture Which) {
  QImage picture(ButtonPictureSize, ButtonPictureSize, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QPointF centre(13.5, 13.5);
  switch (Which) {
    case TButtonPicture::AddLine:
      Line(p, Black, 2, QPointF(6, 21), QPointF(21, 6));
      Dot(p, QPointF(6, 21));
      Dot(p, QPointF(21, 6));
      break;
    case TButtonPicture::AddCircle:
      Ring(p, centre, 9);
      Dot(p, centre + QPointF(-9, 0));
      Dot(p, centre + QPointF(9, 0));
      break;
    case TButtonPicture::ChangeKind:
      Ring(p, centre, 8);
      Line(p, Black, 2, QPointF(4, 23), QPointF(23, 4));
      Dot(p, QPointF(4, 23));
      Dot(p, QPointF(23, 4));
      break;
    case TButtonPicture::Duplicate:
      Line(p, Black, 2, QPointF(4, 15), QPointF(14, 5));
      Line(p, Black, 2, QPointF(13, 23), QPointF(23, 13));
      for (QPointF at : {QPointF(4, 15), QPointF(14, 5), QPointF(13, 23), QPointF(23, 13)}) Dot(p, at);
      break;
    case TButtonPicture::ChangeStatic:
      p.fillRect(QRectF(7, 12, 14, 4), Grey);
      Cross(p, QPointF(5, 14), 3, 2);
      Dot(p, QPointF(22.5, 14));
      break;
    case TButtonPicture::Delete:
      Cross(p, centre, 7, 4);
      break;
  }
  p.end();
  return QPixmap::fromImage(picture);
}
