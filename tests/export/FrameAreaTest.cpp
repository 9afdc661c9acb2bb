// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces the GIF and animated PNG exports cut frames with, on short rows:
// the area that changed, and the smaller GIF's choice of transparent runs.

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
    std::vector<uint8_t> was8(Stride * Height, 7), now8 = was8;
    std::vector<uint32_t> was32(Stride * Height, 0xFF102030u), now32 = was32;
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

// T = 9. Where Merged holds T the pixel may be transparent; the choice has
// the fewest changes of value, ties kept transparent.
TEST(FrameArea, TransparentRunsAreChosenForTheFewestChanges) {
  struct TRow {
    const char* Name;
    std::vector<uint8_t> Merged, Now, Out;
    int Width = 0;  // 0: one row of Merged's size; else rows of Now are Width + 1 apart
  };
  const std::vector<TRow> rows{
      {"nothing free", {1, 2, 3}, {1, 2, 3}, {1, 2, 3}},
      {"all free: one transparent run", {9, 9, 9}, {1, 2, 3}, {9, 9, 9}},
      {"a free pixel inside a run of its colour keeps it", {1, 9, 1}, {1, 1, 1}, {1, 1, 1}},
      {"free pixels bridge between two transparent stretches", {9, 9, 2, 9}, {4, 5, 2, 6}, {9, 9, 2, 9}},
      {"a tie keeps the transparent index", {9, 3}, {5, 3}, {9, 3}},
      {"a run goes on into the next row", {9, 9, 9, 2}, {4, 5, 0, 6, 2, 0}, {9, 9, 9, 2}, 2},
  };
  for (const TRow& row : rows) {
    std::vector<uint8_t> out;
    const int width = row.Width > 0 ? row.Width : static_cast<int>(row.Merged.size());
    const int stride = row.Width > 0 ? width + 1 : width;
    FewestRuns(row.Merged.data(), row.Now.data(), stride, width, static_cast<int>(row.Merged.size()) / width, 9, out);
    EXPECT_EQ(out, row.Out) << row.Name;
  }
}

}  // namespace
