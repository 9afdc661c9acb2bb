// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Conversions of model coordinates and widths to whole pixels.

#include <QRect>
#include <cmath>

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4). Values beyond a few million pixels are clamped, and NaN gives 0,
// so a figure scaled or dragged far off the drawing never overflows an int.
inline int RoundPixel(double Value) {
  constexpr double Limit = 1 << 26;
  if (!(Value == Value)) return 0;
  if (Value > Limit) return static_cast<int>(Limit);
  if (Value < -Limit) return -static_cast<int>(Limit);
  double r = std::round(Value);
  if (std::fabs(Value - std::trunc(Value)) == 0.5) r = 2.0 * std::round(Value / 2.0);
  return static_cast<int>(r);
}

// Truncation towards zero, as numbers shown to the user are truncated; clamped like RoundPixel.
inline int TruncNumber(double Value) {
  constexpr double Limit = 2147483647.0;
  if (!(Value == Value)) return 0;
  if (Value >= Limit) return 2147483647;
  if (Value <= -Limit) return -2147483647;
  return static_cast<int>(std::trunc(Value));
}
