// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifRuns.h"

#include <algorithm>
#include <cstddef>

void FewestRuns(const uint8_t* Merged, const uint8_t* Now, int Stride, int Width, int Height, uint8_t T,
                std::vector<uint8_t>& Out) {
  const std::size_t count = static_cast<std::size_t>(Width) * Height;
  Out.resize(count);
  // Way[i]: bit 0 set when pixel i showing its colour is best reached from
  // pixel i - 1 showing T; bit 1 the same for pixel i showing T.
  std::vector<uint8_t>& way = Out;
  constexpr uint32_t Never = 0x3FFFFFFF;
  uint32_t costColor = 0, costT = 0;
  int lastColor = -1;
  std::size_t i = 0;
  for (int y = 0; y < Height; ++y) {
    const uint8_t* now = Now + static_cast<std::size_t>(y) * Stride;
    for (int x = 0; x < Width; ++x, ++i) {
      const int color = now[x];
      const bool free = Merged[i] == T;
      // Reaching "colour" from the colour before (same value: no change) or from T.
      const uint32_t fromColor = costColor + (color != lastColor);
      const uint32_t fromT = costT + 1;
      const uint32_t nextColor = std::min(fromColor, fromT);
      uint8_t bits = fromT < fromColor ? 1 : 0;
      uint32_t nextT = Never;
      if (free) {
        const uint32_t tFromColor = costColor + 1;
        nextT = std::min(tFromColor, costT);
        if (costT <= tFromColor) bits |= 2;
      }
      way[i] = bits;
      costColor = nextColor;
      costT = nextT;
      lastColor = color;
    }
  }
  // Back from the end: the state of each pixel, then its value.
  bool showT = costT <= costColor;
  for (std::size_t k = count; k-- > 0;) {
    const bool cameFromT = (way[k] >> (showT ? 1 : 0)) & 1;
    const int y = static_cast<int>(k / static_cast<std::size_t>(Width)), x = static_cast<int>(k % Width);
    Out[k] = showT ? T : Now[static_cast<std::size_t>(y) * Stride + x];
    showT = cameFromT;
  }
}
