// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reference animations of the export benchmarks: Stickmen walking
// across the picture while they wave one arm, in black, red and blue, as
// project files. The two of the speed benchmarks are over a white
// background; the comparison with other GIF tools adds a crowd and walks
// over background pictures: a photograph-like JPEG and a painted BMP.

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <algorithm>
#include <cmath>
#include <random>

#include "files/BmpFile.h"
#include "files/PictureDecoders.h"
#include "files/ProjectFile.h"
#include "model/Common.h"

enum class TScenery { White, PhotoJpeg, PaintedBmp };

struct TReference {
  const char* Name;
  int Width;
  int Height;
  int Frames;
  int Figures;
  TScenery Scenery = TScenery::White;
  float Scale = 0;  // the figures' size; 0: 1 from 1000 rows up, else 0.8
};

inline constexpr TReference SmallReference{"walk-506x415", 506, 415, 200, 3};
inline constexpr TReference LargeReference{"walk-1920x1080", 1920, 1080, 100, 20};
// For the video comparison: a crowd of small figures, whose thin lines an
// encoder blurs first, and walkers over a photo-like picture.
inline constexpr TReference CrowdReference{"crowd-1280x720", 1280, 720, 150, 60, TScenery::White, 0.45f};
inline constexpr TReference PhotoReference{"photo-1280x720", 1280, 720, 100, 10, TScenery::PhotoJpeg};
inline constexpr TReference GifToolReferences[] = {
    SmallReference,
    LargeReference,
    {"crowd-800x600", 800, 600, 100, 40},
    {"photo-800x600", 800, 600, 120, 6, TScenery::PhotoJpeg},
    {"photo-1920x1080", 1920, 1080, 60, 20, TScenery::PhotoJpeg},
    {"painted-1024x768", 1024, 768, 120, 8, TScenery::PaintedBmp},
};

// A photograph-like picture: soft colour fields that drift across it, fine
// grain, stored as a JPEG of quality 85 (so its blocks and ringing are there too).
inline QByteArray PhotoJpeg(int Width, int Height) {
  QImage picture(Width, Height, QImage::Format_RGB32);
  std::mt19937 random(11);
  std::uniform_int_distribution<int> grain(-10, 10);
  for (int y = 0; y < Height; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < Width; ++x) {
      const double u = x * 1.0 / Width, v = y * 1.0 / Height;
      const double r = 120 + 70 * std::sin(5.1 * u + 2.3 * v) + 30 * std::sin(17.0 * u * v + 1.0);
      const double g = 130 + 60 * std::sin(3.7 * v - 4.1 * u + 0.5) + 25 * std::cos(11.0 * (u - v));
      const double b = 110 + 80 * std::cos(6.3 * v + 1.9 * u) + 20 * std::sin(23.0 * u + 3.0 * v);
      const int n = grain(random);
      line[x] = qRgb(std::clamp(int(r) + n, 0, 255), std::clamp(int(g) + n, 0, 255), std::clamp(int(b) + n, 0, 255));
    }
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpg");
  writer.setQuality(85);
  writer.write(picture);
  return bytes;
}

// A painted picture: a sky that fades towards the horizon, a sun, hills in
// two greens and a row of houses, stored as a 24-bit BMP.
inline QByteArray PaintedBmp(int Width, int Height) {
  QImage picture(Width, Height, QImage::Format_RGB32);
  QPainter painter(&picture);
  QLinearGradient sky(0, 0, 0, Height * 0.6);
  sky.setColorAt(0, QColor(40, 90, 200));
  sky.setColorAt(1, QColor(235, 240, 255));
  painter.fillRect(picture.rect(), sky);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 210, 60));
  painter.drawEllipse(QPointF(Width * 0.8, Height * 0.18), Height * 0.08, Height * 0.08);
  for (int hill = 0; hill < 2; ++hill) {
    QPainterPath path(QPointF(0, Height));
    for (int x = 0; x <= Width; x += 8)
      path.lineTo(x, Height * (0.55 + 0.1 * hill) + Height * 0.06 * std::sin(x * (3.0 + hill) / Width + hill));
    path.lineTo(Width, Height);
    QLinearGradient grass(0, Height * 0.5, 0, Height);
    grass.setColorAt(0, hill == 0 ? QColor(90, 170, 60) : QColor(60, 140, 40));
    grass.setColorAt(1, hill == 0 ? QColor(40, 110, 30) : QColor(20, 80, 20));
    painter.setBrush(grass);
    painter.drawPath(path);
  }
  for (int house = 0; house < 5; ++house) {
    const double x = Width * (0.08 + 0.18 * house), y = Height * 0.62, w = Width * 0.1, h = Height * 0.1;
    painter.setBrush(QColor(200 - 20 * house, 160, 120 + 20 * house));
    painter.drawRect(QRectF(x, y, w, h));
    painter.setBrush(QColor(150, 40, 30));
    painter.drawPolygon(QPolygonF({QPointF(x - w * 0.1, y), QPointF(x + w / 2, y - h * 0.6), QPointF(x + w * 1.1, y)}));
  }
  painter.end();
  return BmpFileBytes(picture);
}

// Figure F of frame T: walking to the right (and round again), legs swinging,
// the right forearm waving.
inline TFigure Walker(const TReference& R, int F, int T) {
  constexpr double Pi = 3.14159265358979323846;
  const float scale = R.Scale > 0 ? R.Scale : R.Height >= 1000 ? 1.0f : 0.8f;
  const int rows = std::max(1, (R.Figures + 4) / 5);
  const int row = F % rows;
  const double phase = T * 0.35 + F * 1.3;
  TFigure figure;
  figure.SetType(1, StickmanType());
  figure.SetScale(scale);
  const float x = std::fmod(30.0f + F * 397.0f + T * 3.0f, static_cast<float>(R.Width - 40)) + 20.0f;
  const float y = (row + 0.55f) * R.Height / rows;
  figure.SetPosition(RealPoint(x, y));
  const double swing = 0.45 * std::sin(phase);
  figure.RotateSegment(6, swing);  // thighs
  figure.RotateSegment(7, -swing);
  figure.RotateSegment(8, std::max(0.0, -swing) * 0.8);  // knees bend on the back step
  figure.RotateSegment(9, std::max(0.0, swing) * 0.8);
  figure.RotateSegment(2, -swing * 0.6);                          // the left arm swings with the step
  figure.RotateSegment(3, -Pi / 2.2);                             // the right arm is raised ...
  figure.RotateSegment(5, -0.6 * (1.0 + std::sin(phase * 1.7)));  // ... and waves
  const TColor colours[] = {ColorBlack, ColorRed, ColorBlue};
  figure.Color = colours[F % 3];
  return figure;
}

// The reference as an animation (its frames limited to FrameCount when given).
inline TAnimation MakeReference(const TReference& R, int FrameCount = 0) {
  TAnimation animation;
  animation.Width = R.Width;
  animation.Height = R.Height;
  if (R.Scenery == TScenery::White) {
    animation.Background = QImage(R.Width, R.Height, QImage::Format_RGB32);
    animation.Background.fill(Qt::white);
  } else if (R.Scenery == TScenery::PhotoJpeg) {
    // As Load Background takes a JPEG: the file kept, the picture decoded from it.
    animation.HasBackground = true;
    animation.BackgroundKind = BackgroundFromJpeg;
    animation.BackgroundJpeg = PhotoJpeg(R.Width, R.Height);
    animation.Background = DecodeJpeg(animation.BackgroundJpeg);
    animation.JpegSize = animation.JpegShown = animation.Background.size();
  } else {
    animation.HasBackground = true;
    animation.Background = DecodeBmp(PaintedBmp(R.Width, R.Height));
  }
  const int frames = FrameCount > 0 ? FrameCount : R.Frames;
  for (int t = 0; t < frames; ++t) {
    TFigures frame;
    for (int f = 0; f < R.Figures; ++f) frame.Items.push_back(Walker(R, f, t));
    animation.Frames.push_back(std::move(frame));
  }
  return animation;
}
