// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifColors.h"

#include <algorithm>
#include <cstring>
#include <numeric>

void TColorCounts::Clear() {
  Keys.fill(Empty);
  Used = 0;
  Overflow = false;
}

bool TColorCounts::Add(uint32_t Color, uint64_t N) {
  if (Overflow) return false;
  std::size_t at = Slot(Color);
  if (Keys[at] == Empty) {
    if (Used == MaxColors) {
      Overflow = true;
      return false;
    }
    Keys[at] = Color;
    Values[at] = 0;
    Entries[Used++] = static_cast<uint16_t>(at);
  }
  Values[at] += N;
  return true;
}

void CountPictureColors(const QImage& Picture, TColorCounts& Counts) {
  uint32_t last = 0xFFFFFFFF;
  uint64_t run = 0;
  for (int y = 0; y < Picture.height(); ++y) {
    const uint32_t* line = reinterpret_cast<const uint32_t*>(Picture.constScanLine(y));
    for (int x = 0; x < Picture.width(); ++x) {
      const uint32_t pixel = line[x] & 0xFFFFFF;
      if (pixel == last) {
        ++run;
        continue;
      }
      if (run > 0 && !Counts.Add(last, run)) return;
      last = pixel;
      run = 1;
    }
  }
  if (run > 0) Counts.Add(last, run);
}

void RankExactColors(const TColorCounts& Total, TColorCounts& Index, std::vector<TGIFColor>& Colors) {
  std::vector<int> order(static_cast<std::size_t>(Total.Count()));
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int A, int B) {
    if (Total.Value(A) != Total.Value(B)) return Total.Value(A) > Total.Value(B);
    return Total.Color(A) < Total.Color(B);
  });
  for (int rank = 0; rank < static_cast<int>(order.size()); ++rank) {
    const uint32_t c = Total.Color(order[rank]);
    Index.Add(c, static_cast<uint64_t>(rank));
    Colors.push_back({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
  }
}

void RankCubeColors(const THistogram& Total, std::array<uint8_t, 256>& Map, std::vector<TGIFColor>& Colors) {
  std::vector<int> used;
  for (int k = 0; k < CubeColors; ++k)
    if (Total[k] > 0) used.push_back(k);
  std::stable_sort(used.begin(), used.end(), [&](int A, int B) { return Total[A] > Total[B]; });
  for (std::size_t rank = 0; rank < used.size(); ++rank) {
    const int k = used[rank];
    Map[k] = static_cast<uint8_t>(rank);
    Colors.push_back({uint8_t(CubeRed(k)), uint8_t(CubeGreen(k)), uint8_t(CubeBlue(k))});
  }
}

namespace {

// Whether the eight pixels at Line are all Pair's pixel (two of it, to compare eight bytes at once).
bool EightEqual(const uint32_t* Line, uint64_t Pair) {
  uint64_t differ = 0;
  for (int k = 0; k < 8; k += 2) {
    uint64_t two;
    std::memcpy(&two, Line + k, sizeof two);
    differ |= two ^ Pair;
  }
  return (differ & 0x00FFFFFF00FFFFFFull) == 0;
}

template <bool Count>
void ReduceRows(const QImage& Picture, uint8_t* Out, const uint8_t* Map, uint64_t* Histogram) {
  // Flat areas go eight pixels at a time while they have the last pixel's
  // colour; busy ones (a photograph) pixel by pixel, without a branch on
  // whether a pixel repeats the one before.
  uint32_t last = 0;
  uint8_t lastIndex = CubeIndex(0);
  for (int y = 0; y < Picture.height(); ++y) {
    const uint32_t* line = reinterpret_cast<const uint32_t*>(Picture.constScanLine(y));
    const int w = Picture.width();
    int x = 0;
    while (x < w) {
      const uint64_t pair = (uint64_t(last) << 32) | last;
      int end = x;
      while (end + 8 <= w && EightEqual(line + end, pair)) end += 8;
      if (end > x) {
        std::memset(Out + x, Map[lastIndex], static_cast<std::size_t>(end - x));
        if constexpr (Count) Histogram[lastIndex] += static_cast<uint64_t>(end - x);
        x = end;
      }
      const int stop = std::min(w, x + 8);
      for (; x < stop; ++x) {
        last = line[x] & 0xFFFFFF;
        lastIndex = CubeIndex(last);
        Out[x] = Map[lastIndex];
        if constexpr (Count) ++Histogram[lastIndex];
      }
    }
    Out += w;
  }
}

constexpr std::array<uint8_t, 256> Identity = [] {
  std::array<uint8_t, 256> identity{};
  for (int k = 0; k < 256; ++k) identity[k] = static_cast<uint8_t>(k);
  return identity;
}();

}  // namespace

void ReduceToCube(const QImage& Picture, uint8_t* Out, const uint8_t* Map, uint64_t* Histogram) {
  const uint8_t* map = Map != nullptr ? Map : Identity.data();
  if (Histogram != nullptr)
    ReduceRows<true>(Picture, Out, map, Histogram);
  else
    ReduceRows<false>(Picture, Out, map, nullptr);
}

void ReduceToExact(const QImage& Picture, uint8_t* Out, const TColorCounts& Index) {
  uint32_t last = 0xFFFFFFFF;
  uint8_t index = 0;
  for (int y = 0; y < Picture.height(); ++y) {
    const uint32_t* line = reinterpret_cast<const uint32_t*>(Picture.constScanLine(y));
    for (int x = 0; x < Picture.width(); ++x) {
      const uint32_t pixel = line[x] & 0xFFFFFF;
      if (pixel != last) {
        last = pixel;
        index = static_cast<uint8_t>(Index.Get(pixel));
      }
      *Out++ = index;
    }
  }
}
