// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Scenes the drawing benchmarks share.

#include <QImage>
#include <random>

#include "model/Common.h"
#include "model/FigureTypeUnit.h"
#include "model/FiguresUnit.h"

// A type of Segments segments hung as a random tree, lines and a few circles.
inline TFigureTypeRef RandomType(int Segments, unsigned Seed) {
  std::mt19937 random(Seed);
  auto type = std::make_shared<TFigureType>();
  for (int i = 0; i < Segments; ++i) {
    const uint8_t parent = static_cast<uint8_t>(random() % (i + 1));
    const uint8_t kind = random() % 8 == 0 ? SegmentCircle : SegmentLine;
    const float length = 10.0f + static_cast<float>(random() % 30);
    const float thickness = 2.0f + static_cast<float>(random() % 6);
    const double angle = (random() % 628) / 100.0;
    type->AddSegment(parent, kind, length, thickness, angle, 0);
  }
  return type;
}

// Count figures of type Type (at table entry Index) scattered over a
// Width x Height drawing.
inline TFigures Scatter(int Count, uint8_t Index, const TFigureTypeRef& Type, int Width, int Height, unsigned Seed) {
  std::mt19937 random(Seed);
  TFigures frame;
  for (int i = 0; i < Count; ++i) {
    TFigure f;
    f.SetType(Index, Type);
    f.SetPosition(RealPoint(static_cast<float>(random() % Width), static_cast<float>(random() % Height)));
    f.Color = static_cast<TColor>(random() & 0xFFFFFF);
    frame.Items.push_back(f);
  }
  return frame;
}

inline QImage WhitePicture(int Width, int Height) {
  QImage image(Width, Height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}
