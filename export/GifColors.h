// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GIF export's colours: counting the colours of rendered frames, ranking
// them into the file's table, and reducing a frame to colour indices (on
// the 216-colour cube or onto exact colours).

#include <QImage>
#include <array>
#include <cstdint>
#include <vector>

#include "export/ColorCube.h"
#include "export/GifBlocks.h"

// How often each cube colour is used.
using THistogram = std::array<uint64_t, CubeColors>;

// At most 256 colours (0xRRGGBB) with a number each: how often a colour is
// used, or its index in the table. Open addressing in a table four times as
// large, so a look-up rarely takes more than one probe.
class TColorCounts {
 public:
  static constexpr int MaxColors = 256;

  TColorCounts() { Clear(); }
  void Clear();
  // Adds N to Color's number; false once more than MaxColors colours were added.
  bool Add(uint32_t Color, uint64_t N);
  // The number of a colour that was added.
  uint64_t Get(uint32_t Color) const { return Values[Slot(Color)]; }
  bool Overflowed() const { return Overflow; }
  void SetOverflow() { Overflow = true; }
  int Count() const { return Used; }
  // The colours in the order they were first added, with their numbers.
  uint32_t Color(int I) const { return Keys[Entries[I]]; }
  uint64_t Value(int I) const { return Values[Entries[I]]; }

 private:
  static constexpr std::size_t Size = 1024;
  static constexpr uint32_t Empty = 0xFFFFFFFF;
  std::size_t Slot(uint32_t Color) const {
    std::size_t at = (Color * 2654435761u) >> 22;
    while (Keys[at] != Empty && Keys[at] != Color) at = (at + 1) & (Size - 1);
    return at;
  }
  std::array<uint32_t, Size> Keys;
  std::array<uint64_t, Size> Values;
  std::array<uint16_t, MaxColors> Entries;
  int Used = 0;
  bool Overflow = false;
};

// Adds the colours of a rendered picture (RGB32) to Counts, run by run; stops
// once they overflow.
void CountPictureColors(const QImage& Picture, TColorCounts& Counts);

// The table of exact colours: most used first, equal counts in ascending
// colour order. Index maps each colour to its place in Colors.
void RankExactColors(const TColorCounts& Total, TColorCounts& Index, std::vector<TGIFColor>& Colors);

// The table of the cube colours used: most used first, equal counts in the
// cube's order. Map takes each cube index used to its place in Colors.
void RankCubeColors(const THistogram& Total, std::array<uint8_t, 256>& Map, std::vector<TGIFColor>& Colors);

// Writes one index per pixel of Picture to Out, row after row: the cube
// index through Map (when given); adds each cube colour's use to Histogram
// (when given).
void ReduceToCube(const QImage& Picture, uint8_t* Out, const uint8_t* Map, uint64_t* Histogram);

// Writes each pixel's index in Index (which holds every colour of Picture) to Out.
void ReduceToExact(const QImage& Picture, uint8_t* Out, const TColorCounts& Index);
