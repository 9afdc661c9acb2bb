// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ChangedArea.h"

#include <algorithm>
#include <cstring>

template <class TPixel>
QRect ChangedArea(const TPixel* Now, std::ptrdiff_t NowStride, const TPixel* Was, std::ptrdiff_t WasStride, int Width,
                  int Height) {
  const auto same = [](const TPixel* A, const TPixel* B, int Count) {
    return std::memcmp(A, B, static_cast<std::size_t>(Count) * sizeof(TPixel)) == 0;
  };
  int left = Width, right = -1, top = -1, bottom = -1;
  for (int y = 0; y < Height; ++y) {
    const TPixel* a = Now + y * NowStride;
    const TPixel* b = Was + y * WasStride;
    if (same(a, b, Width)) continue;
    int first = 0;
    while (first + 8 <= Width && same(a + first, b + first, 8)) first += 8;
    while (a[first] == b[first]) ++first;
    int last = Width - 1;
    while (last - 7 > first && same(a + last - 7, b + last - 7, 8)) last -= 8;
    while (a[last] == b[last]) --last;
    left = std::min(left, first);
    right = std::max(right, last);
    if (top < 0) top = y;
    bottom = y;
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

template QRect ChangedArea<uint8_t>(const uint8_t*, std::ptrdiff_t, const uint8_t*, std::ptrdiff_t, int, int);
template QRect ChangedArea<uint32_t>(const uint32_t*, std::ptrdiff_t, const uint32_t*, std::ptrdiff_t, int, int);
