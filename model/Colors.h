// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours are 32-bit values 0x00BBGGRR throughout the model and the files.

#include <QColor>
#include <cstdint>

using TColor = uint32_t;

inline QColor ToQColor(TColor Color) {
  return QColor(static_cast<int>(Color & 0xFF), static_cast<int>((Color >> 8) & 0xFF),
                static_cast<int>((Color >> 16) & 0xFF));
}

inline TColor FromQColor(const QColor& Color) {
  return static_cast<TColor>(Color.red()) | (static_cast<TColor>(Color.green()) << 8) |
         (static_cast<TColor>(Color.blue()) << 16);
}

constexpr TColor ColorBlack = 0x00000000;
constexpr TColor ColorWhite = 0x00FFFFFF;
constexpr TColor ColorRed = 0x000000FF;
constexpr TColor ColorBlue = 0x00FF0000;
constexpr TColor ColorGrey = 0x00808080;
// Root handle of the selected figure (orange: red 255, green 136, blue 0).
constexpr TColor RootHandleColor = 0x000088FF;
// Figures of the ghost frame under the working frame (silver).
constexpr TColor GhostColor = 0x00C0C0C0;
