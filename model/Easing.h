// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Easing: how in-between frames are spread along the way from one frame to
// the next.

#include <QString>
#include <array>

// Evenly; slow at the start and quicker towards the end (Ease In); quick at
// the start and slowing down (Ease Out); slow at both ends (Ease In-Out).
enum class TEasing { Linear, EaseIn, EaseOut, EaseInOut };

// The names the Tween dialog offers, in the order of TEasing.
inline const std::array<QString, 4>& EasingNames() {
  static const std::array<QString, 4> Names{QStringLiteral("Linear"), QStringLiteral("Ease In"),
                                            QStringLiteral("Ease Out"), QStringLiteral("Ease In-Out")};
  return Names;
}

// The share of the way at time T (0 to 1): T itself (Linear), T squared
// (Ease In), 1 - (1 - T) squared (Ease Out), 3T^2 - 2T^3 (Ease In-Out, the
// smoothstep curve). Each gives 0 at 0 and 1 at 1.
double Eased(TEasing Easing, double T);
