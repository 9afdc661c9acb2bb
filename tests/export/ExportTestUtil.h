// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Animations for the export tests, and the pictures an exported frame must show.

#include <QPainter>
#include <random>

#include "model/Common.h"

// A picture of W x H from its pixels, row by row.
inline QImage Picture(int W, int H, std::initializer_list<QRgb> Pixels) {
  QImage p(W, H, QImage::Format_RGB32);
  auto it = Pixels.begin();
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p.setPixel(x, y, *it++);
  return p;
}

// The animation the export tests work on, set up by InstallAnimation.
inline TAnimation Anim;

struct TAnimationRecipe {
  int Width = 120;
  int Height = 100;
  int Frames = 5;
  int Figures = 3;
  unsigned Seed = 1;
  bool Gradient = false;  // a colourful background instead of white
  int RepeatEvery = 0;    // every n-th frame repeats the one before it
};

// Replaces the animation with Stickmen posed at random, in random colours.
inline void InstallAnimation(const TAnimationRecipe& Recipe) {
  Anim = TAnimation();
  Anim.Width = Recipe.Width;
  Anim.Height = Recipe.Height;
  QImage& background = Anim.Background;
  background = QImage(Recipe.Width, Recipe.Height, QImage::Format_RGB32);
  background.fill(Qt::white);
  if (Recipe.Gradient)
    for (int y = 0; y < Recipe.Height; ++y)
      for (int x = 0; x < Recipe.Width; ++x)
        background.setPixel(x, y, qRgb(x * 255 / Recipe.Width, y * 255 / Recipe.Height, (x * y) % 256));
  std::mt19937 random(Recipe.Seed);
  for (int i = 0; i < Recipe.Frames; ++i) {
    if (Recipe.RepeatEvery > 0 && i > 0 && i % Recipe.RepeatEvery == 0) {
      Anim.Frames.push_back(Anim.Frames.back());
      continue;
    }
    TFigures frame;
    for (int f = 0; f < Recipe.Figures; ++f) {
      TFigure figure;
      figure.SetType(1, StickmanType());
      figure.SetScale(0.4f + static_cast<float>(random() % 60) / 100.0f);
      figure.SetPosition(
          RealPoint(static_cast<float>(random() % Recipe.Width), static_cast<float>(random() % Recipe.Height)));
      for (uint8_t s = 0; s < figure.SegmentCount(); ++s)
        figure.RotateSegment(s, static_cast<double>(random() % 100 - 50) / 60.0);
      figure.Color = static_cast<TColor>(random() & 0xFFFFFF);
      frame.Items.push_back(figure);
    }
    Anim.Frames.push_back(frame);
  }
}

// Frame I as the export must show it: drawn over the background, shrunk by
// the box filter, each channel taken to the nearest of the six cube levels
// (unless Cube is off: the rendered colours themselves). Lines as Lines says.
inline QImage ExpectedFrame(int I, int Shrink, bool Cube = true, TLineStyle Lines = TLineStyle::Pixel) {
  QImage full(Anim.Size(), QImage::Format_RGB32);
  {
    QPainter canvas(&full);
    PrepareCanvas(canvas);
    DrawFrame(canvas, Anim, Anim.Frames[static_cast<std::size_t>(I)], 1.0f, Lines);
  }
  QImage picture = full;
  if (Shrink > 1) {
    picture = QImage(full.width() / Shrink, full.height() / Shrink, QImage::Format_RGB32);
    ShrinkBitmap(full, picture, Shrink);
  }
  if (!Cube) return picture;
  auto level = [](int V) { return 51 * ((V + 3) / 51); };
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb c = picture.pixel(x, y);
      picture.setPixel(x, y, qRgb(level(qRed(c)), level(qGreen(c)), level(qBlue(c))));
    }
  return picture;
}
