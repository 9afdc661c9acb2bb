// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture every frame is drawn over: Load Background (a BMP or JPEG
// file, which sets the animation's size), Clear Background, and the
// animation's dimensions, which the dimensions window sets.

#include <QObject>
#include <cstdint>

#include "platform/GuardedHandlers.h"

class TCanvasController;
class TDocument;
struct TMainControls;

class TBackgroundController : public QObject {
  Q_OBJECT
 public:
  // Canvas makes the drawing area's pictures of a new size first.
  TBackgroundController(TDocument& Doc, TMainControls& Ui, const TWiring& Wiring, TCanvasController& Canvas);

  void LoadBackgroundClick();
  void ClearBackgroundClick();
  // Gives the animation a new size: the background is cut or extended in
  // white, then the drawing area and the thumbnails follow.
  void ChangeDimensions(int32_t Width, int32_t Height);

 private:
  TDocument& Doc;
  TMainControls& Ui;
  TWiring Wiring;
  TCanvasController& Canvas;
};
