// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frame: an ordered list of figures, drawn first to last.

#include <cstdint>
#include <vector>

#include "model/FigureUnit.h"

class QPainter;

class TFigures {
 public:
  static constexpr int MaxFigures = 255;
  static constexpr int MaxHold = 100;

  // The figures in drawing order; later ones lie over earlier ones.
  std::vector<TFigure> Items;
  // How many ticks of playback the frame stays on, 1 to MaxHold.
  uint8_t Hold = 1;

  uint8_t Count() const { return static_cast<uint8_t>(Items.size()); }
  // Grows with new figures that have no type yet, or drops the last ones.
  uint8_t SetCount(uint8_t N);
  void Assign(const TFigures& Source) { Items = Source.Items; }
  // Hold kept within 1 to MaxHold.
  static uint8_t ClampHold(int Ticks) {
    return static_cast<uint8_t>(Ticks < 1 ? 1 : Ticks > MaxHold ? MaxHold : Ticks);
  }
  void Draw(QPainter& Canvas, float Zoom, TLineStyle Lines = TLineStyle::Pixel) const;
  friend bool operator==(const TFigures& A, const TFigures& B) { return A.Hold == B.Hold && A.Items == B.Items; }
};
