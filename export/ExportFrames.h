// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What both exports share: drawing a stored frame as it is exported, and the
// progress report.

#include <QImage>
#include <QSize>
#include <functional>
#include <vector>

#include "model/Animation.h"

// Receives the export's progress, 0 to 100.
using TExportProgress = std::function<void(int Percent)>;

// The file numbers of a numbered series (BMP, PNG): a held frame is written
// once for each tick of its hold, so that a series imported at the rate
// keeps the animation's timing, or, with Once, every frame once. Element i
// is frame i's first file number; the last element is the count of files.
std::vector<int> SeriesFileStarts(const TAnimation& Animation, bool Once);

// The resolution of exported pictures that record one: 96 dots per inch.
inline constexpr int PngDotsPerMeter = 3780;

// The message the exports give for an animation without stored frames.
inline constexpr const char* NoFramesMessage = "You must create at least 1 frame before saving an animation";

// Draws frames of an animation over its background at zoom 1, with the
// figures' lines as Lines says, into a picture of the animation's size it
// reuses, and reduces them by a whole factor with the box filter when asked. One renderer per thread: drawing
// different frames at once is safe (so is drawing the same frame, whose
// figures place their vertices once), sharing one renderer is not.
class TFrameRenderer {
 public:
  // Reduced to (width div Shrink) x (height div Shrink) when Shrink is 2 or
  // more. Animation must outlive the renderer.
  TFrameRenderer(const TAnimation& Animation, int Shrink, TLineStyle Lines = TLineStyle::Pixel);

  // Frame drawn as exported; valid until the next call.
  const QImage& Render(const TFigures& Frame);

 private:
  const TAnimation* Animation;
  QImage Work;
  QImage Small;
  int Shrink;
  TLineStyle Lines;
  bool ClearFirst;  // the background does not cover the picture on its own
};
