// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two reference animations of the export benchmarks: Stickmen walking
// across the picture while they wave one arm, in black, red and blue over a
// white background, as project files.

#include <QString>
#include <algorithm>
#include <cmath>
#include <random>

#include "files/ProjectFile.h"
#include "model/Common.h"

struct TReference {
  const char* Name;
  int Width;
  int Height;
  int Frames;
  int Figures;
  float Scale = 0;     // the figures' size; 0: 1 from 1000 rows up, else 0.8
  bool Photo = false;  // a photo-like background picture instead of white
};

inline constexpr TReference SmallReference{"walk-506x415", 506, 415, 200, 3};
inline constexpr TReference LargeReference{"walk-1920x1080", 1920, 1080, 100, 20};
// For the video comparison: a crowd of small figures, whose thin lines an
// encoder blurs first, and walkers over a photo-like picture.
inline constexpr TReference CrowdReference{"crowd-1280x720", 1280, 720, 150, 60, 0.45f};
inline constexpr TReference PhotoReference{"photo-1280x720", 1280, 720, 100, 10, 0, true};

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
  animation.Background = QImage(R.Width, R.Height, QImage::Format_RGB32);
  animation.Background.fill(Qt::white);
  if (R.Photo) {
    // Soft colour gradients with grain, as a photograph has.
    std::mt19937 grain(7);
    for (int y = 0; y < R.Height; ++y)
      for (int x = 0; x < R.Width; ++x) {
        const double u = double(x) / R.Width;
        const double v = double(y) / R.Height;
        const auto channel = [&](double Value) {
          return std::clamp(static_cast<int>(Value) + static_cast<int>(grain() % 13) - 6, 0, 255);
        };
        animation.Background.setPixel(x, y,
                                      qRgb(channel(120 + 90 * std::sin(5 * u + 2 * v)), channel(150 + 70 * v),
                                           channel(110 + 80 * std::cos(3 * u * v + 4 * u))));
      }
    animation.HasBackground = true;
  }
  const int frames = FrameCount > 0 ? FrameCount : R.Frames;
  for (int t = 0; t < frames; ++t) {
    TFigures frame;
    for (int f = 0; f < R.Figures; ++f) frame.Items.push_back(Walker(R, f, t));
    animation.Frames.push_back(std::move(frame));
  }
  return animation;
}
