// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces the GIF and animated PNG exports cut frames with, on short rows:
// the area that changed, and the smaller GIF's choice of transparent pixels.

#include <gtest/gtest.h>

#include <vector>

#include "export/ChangedArea.h"
#include "export/GifRuns.h"

namespace {

// Rows of 11 pixels (past one block of eight), two rows; the changed area
// is the same for 8-bit indices and 32-bit pixels.
TEST(FrameArea, TheChangedAreaHoldsEveryDifferingPixelAndNoMore) {
  struct TRow {
    const char* Name;
    std::vector<std::pair<int, int>> Changed;  // (x, y)
    QRect Area;
  };
  const std::vector<TRow> rows{
      {"equal", {}, QRect()},
      {"first pixel", {{0, 0}}, QRect(0, 0, 1, 1)},
      {"last pixel", {{10, 1}}, QRect(10, 1, 1, 1)},
      {"either side of a block of eight", {{1, 0}, {9, 0}}, QRect(1, 0, 9, 1)},
      {"both rows, different columns", {{8, 0}, {3, 1}}, QRect(3, 0, 6, 2)},
  };
  constexpr int Width = 11, Height = 2, Stride = 13;
  for (const TRow& row : rows) {
    std::vector<uint8_t> was8(size_t{Stride} * Height, 7), now8 = was8;
    std::vector<uint32_t> was32(size_t{Stride} * Height, 0xFF102030u), now32 = was32;
    // Past each row's width the pictures differ, which must not count.
    for (int y = 0; y < Height; ++y) now8[y * Stride + Width] = now32[y * Stride + Width + 1] = 1;
    for (auto [x, y] : row.Changed) {
      now8[y * Stride + x] = 8;
      now32[y * Stride + x] = 0xFF102031u;
    }
    EXPECT_EQ(ChangedArea(now8.data(), Stride, was8.data(), Stride, Width, Height), row.Area) << row.Name;
    EXPECT_EQ(ChangedArea(now32.data(), Stride, was32.data(), Stride, Width, Height), row.Area) << row.Name;
  }
}

// T = 9. An unchanged pixel may be transparent: a stretch of them of one
// colour, at most LongestKeptStretch long, keeps its colour (Other then
// offers T), any other turns transparent (Other offers the colour). The
// changes of value are counted in data order, the first value as one.
TEST(FrameArea, UnchangedStretchesOfOneColourKeepItAndOthersTurnTransparent) {
  struct TRow {
    const char* Name;
    std::vector<uint8_t> Before, Now, Chosen, Other;
    std::size_t PlainChanges, ChosenChanges;
    int Width = 0;  // 0: one row of Now's size; else rows of Width pixels, Width + 1 apart
  };
  const int longest = LongestKeptStretch;
  auto stretch = [](int Length, uint8_t Value, uint8_t Ends) {
    std::vector<uint8_t> row(static_cast<std::size_t>(Length) + 2, Value);
    row.front() = row.back() = Ends;
    return row;
  };
  const std::vector<TRow> rows{
      {"nothing unchanged", {4, 5, 6}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, 3, 3},
      {"one colour between changes keeps it", {3, 5, 5, 4}, {1, 5, 5, 2}, {1, 5, 5, 2}, {1, 9, 9, 2}, 3, 3},
      {"several colours are one transparent run",
       {3, 5, 6, 5, 6, 4},
       {1, 5, 6, 5, 6, 2},
       {1, 9, 9, 9, 9, 2},
       {1, 5, 6, 5, 6, 2},
       6,
       3},
      {"eight at once, of two colours",
       {3, 5, 5, 5, 5, 5, 5, 5, 6, 4},
       {1, 5, 5, 5, 5, 5, 5, 5, 6, 2},
       {1, 9, 9, 9, 9, 9, 9, 9, 9, 2},
       {1, 5, 5, 5, 5, 5, 5, 5, 6, 2},
       4,
       3},
      {"at either end of the area too", {5, 3, 6, 6}, {5, 1, 6, 6}, {5, 1, 6, 6}, {9, 1, 9, 9}, 3, 3},
      {"through the end of a row", {3, 5, 0, 5, 4, 0}, {1, 5, 7, 5, 2, 7}, {1, 5, 5, 2}, {1, 9, 9, 2}, 3, 3, 2},
      {"the longest kept", stretch(longest, 5, 0), stretch(longest, 5, 1), stretch(longest, 5, 1),
       stretch(longest, 9, 1), 3, 3},
      {"one longer", stretch(longest + 1, 5, 0), stretch(longest + 1, 5, 1), stretch(longest + 1, 9, 1),
       stretch(longest + 1, 5, 1), 3, 3},
  };
  for (const TRow& row : rows) {
    const int width = row.Width > 0 ? row.Width : static_cast<int>(row.Now.size());
    const int stride = row.Width > 0 ? width + 1 : width;
    const int height = static_cast<int>(row.Now.size()) / stride;
    std::vector<uint8_t> chosen, other;
    const TTransparencyChoice choice =
        ChooseTransparency(row.Now.data(), row.Before.data(), stride, width, height, 9, chosen, other);
    EXPECT_EQ(chosen, row.Chosen) << row.Name;
    EXPECT_EQ(other, row.Other) << row.Name;
    std::size_t free = 0;
    for (std::size_t i = 0; i < chosen.size(); ++i) free += chosen[i] != other[i];
    EXPECT_EQ(choice.Unchanged, free) << row.Name;
    EXPECT_EQ(choice.PlainChanges, row.PlainChanges) << row.Name;
    EXPECT_EQ(choice.ChosenChanges, row.ChosenChanges) << row.Name;
  }
}

}  // namespace
