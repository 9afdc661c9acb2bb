// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Tween.h"

#include <cmath>
#include <numbers>

namespace {

double Lerp(double A, double B, double T) { return A + (B - A) * T; }

TColor LerpColor(TColor A, TColor B, double T) {
  TColor color = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double a = (A >> shift) & 0xFF, b = (B >> shift) & 0xFF;
    color |= static_cast<TColor>(std::lround(Lerp(a, b, T))) << shift;
  }
  return color;
}

}  // namespace

double Eased(TEasing Easing, double T) {
  switch (Easing) {
    case TEasing::Linear:
      break;
    case TEasing::EaseIn:
      return T * T;
    case TEasing::EaseOut:
      return 1 - (1 - T) * (1 - T);
    case TEasing::EaseInOut:
      return T * T * (3 - 2 * T);
  }
  // Linear is T itself, untouched, so its frames are those made before
  // easing existed.
  return T;
}

TFigures InBetween(const TFigures& From, const TFigures& To, int I, int Count, TEasing Easing) {
  const double t = Eased(Easing, static_cast<double>(I) / (Count + 1));
  TFigures frame = From;
  frame.Hold = 1;  // an in-between lasts one tick, whatever From's hold
  for (std::size_t k = 0; k < frame.Items.size() && k < To.Items.size(); ++k) {
    TFigure& figure = frame.Items[k];
    const TFigure& target = To.Items[k];
    if (figure.TypeIndex != target.TypeIndex || figure.Angles.size() != target.Angles.size()) continue;
    for (std::size_t s = 0; s < figure.Angles.size(); ++s) {
      // The difference brought into [-pi, pi]: the shorter way round.
      const double turn = std::remainder(target.Angles[s] - figure.Angles[s], 2 * std::numbers::pi);
      figure.Angles[s] += turn * t;
    }
    figure.Scale = static_cast<float>(Lerp(figure.Scale, target.Scale, t));
    figure.Color = LerpColor(figure.Color, target.Color, t);
    const TRealPoint a = figure.Root(), b = target.Root();
    figure.SetPosition(RealPoint(static_cast<float>(Lerp(a.X, b.X, t)), static_cast<float>(Lerp(a.Y, b.Y, t))));
  }
  return frame;
}
