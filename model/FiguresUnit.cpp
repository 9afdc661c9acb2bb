// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FiguresUnit.h"

uint8_t TFigures::SetCount(uint8_t N) {
  Items.resize(N);
  return N;
}

void TFigures::Draw(QPainter& Canvas, float Zoom, TLineStyle Lines) const {
  for (const TFigure& figure : Items) figure.Draw(Canvas, Zoom, Lines);
}
