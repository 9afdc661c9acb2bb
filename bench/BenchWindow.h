// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Filling the main window's document quickly for the benchmarks that need
// many stored frames.

#include "editor/MainUnit.h"

// Stores Count frames: the working frame as Next Frame stores it, repeated;
// with Vary each copy moves its first figure a pixel to and fro, so that
// no two neighbours are alike. The history starts again, as after an open.
inline void StoreFrames(TMainForm& Form, int Count, bool Vary) {
  TAnimation animation = Form.Animation();
  const TFigures frame = Form.Document().WorkingFrame();
  animation.Frames.reserve(animation.Frames.size() + static_cast<std::size_t>(Count));
  for (int i = 0; i < Count; ++i) {
    animation.Frames.push_back(frame);
    if (Vary && !frame.Items.empty()) animation.Frames.back().Items[0].MoveBy(RealPoint(i % 2 ? 1.0f : -1.0f, 0));
  }
  TEditState opened = TDocument::OpenedState(animation);
  Form.Document().Reset(std::move(animation), std::move(opened));
}
