// SPDX-License-Identifier: GPL-3.0-or-later
// Box-filter reduction of a picture, working on raw scan lines.

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "model/Common.h"

namespace {

// The source range [First, Last) that destination index I covers, clipped to
// [0, Size) and never empty.
struct TSpan {
  int First;
  int Last;
};

TSpan Block(int I, double Factor, int Size) {
  int first = static_cast<int>(I * Factor);
  int last = static_cast<int>((I + 1) * Factor);
  first = std::clamp(first, 0, Size - 1);
  last = std::clamp(last, 0, Size);
  if (last <= first) last = first + 1;
  return {first, last};
}

}  // namespace

void ShrinkBitmap(const QImage& Source, QImage& Dest, double Factor) {
  if (Dest.format() != QImage::Format_RGB32) Dest = QImage(Dest.size(), QImage::Format_RGB32);
  const int dw = Dest.width(), dh = Dest.height();
  if (dw <= 0 || dh <= 0) return;
  if (Source.isNull() || Source.width() <= 0 || Source.height() <= 0 || !(Factor > 0)) {
    Dest.fill(Qt::white);
    return;
  }
  const bool direct = Source.format() == QImage::Format_RGB32 || Source.format() == QImage::Format_ARGB32;
  const QImage converted = direct ? QImage() : Source.convertToFormat(QImage::Format_RGB32);
  const QImage& src = direct ? Source : converted;
  const int sw = src.width(), sh = src.height();

  std::vector<TSpan> columns(dw);
  for (int x = 0; x < dw; ++x) columns[x] = Block(x, Factor, sw);
  std::vector<uint64_t> sums(static_cast<std::size_t>(dw) * 3);

  for (int y = 0; y < dh; ++y) {
    const TSpan rows = Block(y, Factor, sh);
    std::fill(sums.begin(), sums.end(), 0);
    for (int sy = rows.First; sy < rows.Last; ++sy) {
      const uint32_t* line = reinterpret_cast<const uint32_t*>(src.constScanLine(sy));
      uint64_t* sum = sums.data();
      for (int x = 0; x < dw; ++x, sum += 3) {
        uint64_t b = 0, g = 0, r = 0;
        for (int sx = columns[x].First; sx < columns[x].Last; ++sx) {
          const uint32_t p = line[sx];
          b += p & 0xFF;
          g += (p >> 8) & 0xFF;
          r += (p >> 16) & 0xFF;
        }
        sum[0] += b;
        sum[1] += g;
        sum[2] += r;
      }
    }
    const uint64_t blockRows = static_cast<uint64_t>(rows.Last - rows.First);
    uint32_t* out = reinterpret_cast<uint32_t*>(Dest.scanLine(y));
    const uint64_t* sum = sums.data();
    for (int x = 0; x < dw; ++x, sum += 3) {
      const uint64_t n = blockRows * static_cast<uint64_t>(columns[x].Last - columns[x].First);
      out[x] = 0xFF000000u | static_cast<uint32_t>((sum[2] / n) << 16) | static_cast<uint32_t>((sum[1] / n) << 8) |
               static_cast<uint32_t>(sum[0] / n);
    }
  }
}
