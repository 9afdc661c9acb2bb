// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifRuns.h"

std::size_t ChooseTransparency(const uint8_t* Now, const uint8_t* Before, int Stride, int Width, int Height, uint8_t T,
                               std::vector<uint8_t>& Chosen, std::vector<uint8_t>& Other) {
  const std::size_t count = static_cast<std::size_t>(Width) * Height;
  Chosen.resize(count);
  Other.resize(count);
  std::size_t unchanged = 0;
  // The stretch of unchanged pixels being gathered: where it starts in the
  // area, and whether its pixels are all of one colour so far.
  std::size_t start = 0;
  bool open = false, one = true;
  uint8_t color = 0;
  auto close = [&](std::size_t End) {
    if (!open) return;
    const bool keep = one && End - start <= static_cast<std::size_t>(LongestKeptStretch);
    for (std::size_t k = start; k < End; ++k) {
      const uint8_t value = Other[k];  // the colour, put there while gathering
      Chosen[k] = keep ? value : T;
      Other[k] = keep ? T : value;
    }
    unchanged += End - start;
    open = false;
  };
  std::size_t i = 0;
  for (int y = 0; y < Height; ++y) {
    const uint8_t* now = Now + static_cast<std::ptrdiff_t>(y) * Stride;
    const uint8_t* was = Before + static_cast<std::ptrdiff_t>(y) * Stride;
    for (int x = 0; x < Width; ++x, ++i) {
      const uint8_t value = now[x];
      if (value != was[x]) {
        close(i);
        Chosen[i] = Other[i] = value;
        continue;
      }
      if (!open) {
        open = true;
        one = true;
        start = i;
        color = value;
      }
      one = one && value == color;
      Other[i] = value;
    }
  }
  close(count);
  return unchanged;
}
