// SPDX-License-Identifier: GPL-3.0-or-later
// The GIF export's colour counting and frame encoder on a few pixels.

#include <gtest/gtest.h>

#include <numeric>

#include "export/GifColors.h"
#include "export/GifFrameEncoder.h"

namespace {

QImage Row(const std::vector<QRgb>& Pixels) {
  QImage image(static_cast<int>(Pixels.size()), 1, QImage::Format_RGB32);
  for (int x = 0; x < image.width(); ++x) image.setPixel(x, 0, Pixels[static_cast<std::size_t>(x)]);
  return image;
}

constexpr QRgb A = 0xFF102030, B = 0xFF0000FF, C = 0xFFFFFFFF;

TEST(GifPieces, ColorsAreCountedRankedAndReduced) {
  TColorCounts counts;
  CountPictureColors(Row({A, A, B, C, C, C, A}), counts);
  ASSERT_EQ(counts.Count(), 3);
  EXPECT_EQ(counts.Get(A & 0xFFFFFF), 3u);
  EXPECT_EQ(counts.Get(C & 0xFFFFFF), 3u);
  // Most used first, a tie in ascending colour order; each pixel its rank.
  TColorCounts index;
  std::vector<TGIFColor> colors;
  RankExactColors(counts, index, colors);
  ASSERT_EQ(colors.size(), 3u);
  EXPECT_EQ(colors[0].Blue, 0x30);
  EXPECT_EQ(colors[2].Blue, 0xFF);
  std::vector<uint8_t> out(7);
  ReduceToExact(Row({A, A, B, C, C, C, A}), out.data(), index);
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 2, 1, 1, 1, 0}));
  // Cube colours: the histogram counts runs; ranks follow use, ties the cube's order.
  THistogram histogram{};
  ReduceToCube(Row({C, B, B, C, C}), out.data(), nullptr, histogram.data());
  const uint8_t white = CubeIndex(C & 0xFFFFFF), blue = CubeIndex(B & 0xFFFFFF);
  EXPECT_EQ(histogram[white], 3u);
  EXPECT_EQ(histogram[blue], 2u);
  std::array<uint8_t, 256> map{};
  colors.clear();
  RankCubeColors(histogram, map, colors);
  EXPECT_EQ(map[white], 0);
  EXPECT_EQ(map[blue], 1);
  // Long runs go eight pixels at a time, through a map: each pixel its
  // mapped cube index, each run counted whole.
  std::vector<QRgb> runs(19, C);
  for (QRgb colour : {B, A, B, C, A}) runs.push_back(colour);
  runs.insert(runs.end(), 17, A);
  std::iota(map.begin(), map.end(), uint8_t(1));
  histogram.fill(0);
  out.resize(runs.size());
  ReduceToCube(Row(runs), out.data(), map.data(), histogram.data());
  for (std::size_t x = 0; x < runs.size(); ++x) EXPECT_EQ(out[x], CubeIndex(runs[x] & 0xFFFFFF) + 1) << x;
  EXPECT_EQ(histogram[white], 20u);
  EXPECT_EQ(histogram[CubeIndex(A & 0xFFFFFF)], 19u);
  EXPECT_EQ(histogram[blue], 2u);
}

// Exactly MaxColors colours fit; one more overflows and adds nothing more.
TEST(GifPieces, CountingOverflowsOnlyPastTheTableSize) {
  for (const auto& [colors, overflowed] : {std::pair{256, false}, {257, true}}) {
    std::vector<QRgb> pixels;
    pixels.reserve(colors);
    for (int k = 0; k < colors; ++k) pixels.push_back(0xFF000000u | static_cast<QRgb>(k * 3));
    TColorCounts counts;
    CountPictureColors(Row(pixels), counts);
    EXPECT_EQ(counts.Overflowed(), overflowed) << colors;
    EXPECT_EQ(counts.Count(), 256) << colors;
  }
}

// Four colours in the table: where the transparent index goes, and the
// table's bits and sorted flag that follow.
TEST(GifPieces, TheTransparentIndexFollowsTheColors) {
  struct TRow {
    bool Wanted, Smaller;
    int Transparent, TableSize, Bits;
    bool Sorted;
  };
  const std::vector<TRow> rows{
      {false, false, -1, 4, 2, true},
      {true, false, 4, 5, 3, false},  // a black entry after the colours
      {true, true, 4, 4, 2, true},    // outside the table
  };
  for (const TRow& row : rows) {
    TStreamPalette palette;
    palette.Colors.assign(4, TGIFColor{1, 2, 3});
    palette.Sorted = true;
    palette.AddTransparentIndex(row.Wanted, row.Smaller);
    SCOPED_TRACE(testing::Message() << "wanted " << row.Wanted << " smaller " << row.Smaller);
    EXPECT_EQ(palette.Transparent, row.Transparent);
    EXPECT_EQ(palette.Colors.size(), static_cast<std::size_t>(row.TableSize));
    EXPECT_EQ(palette.Bits, row.Bits);
    EXPECT_EQ(palette.Sorted, row.Sorted);
  }
}

// A frame of six indices after the frame before: its image descriptor's
// left and width, whether it turns transparent, or dropped when nothing
// changed. The smaller file (whose palette here never drops a frame) shows
// an unchanged frame as one transparent pixel, and a changed area without
// an unchanged pixel plainly.
TEST(GifPieces, TheEncoderCropsAFrameToWhatChanged) {
  const std::vector<uint8_t> before{0, 1, 2, 3, 0, 1};
  struct TRow {
    bool Smaller;
    std::vector<uint8_t> Now;
    bool Vanished, Transparent;
    int Left, Width;
  };
  const std::vector<TRow> rows{
      {false, {0, 1, 2, 3, 0, 1}, true, false, 0, 0}, {false, {0, 1, 3, 3, 0, 1}, false, true, 2, 1},
      {false, {2, 1, 2, 3, 0, 0}, false, true, 0, 6}, {true, {0, 1, 2, 3, 0, 1}, false, true, 0, 1},
      {true, {0, 1, 3, 0, 0, 1}, false, false, 2, 2},
  };
  TEncoderScratch scratch;
  for (const TRow& row : rows) {
    TStreamPalette palette;
    palette.Global = true;
    palette.Colors.assign(4, TGIFColor{});
    palette.AddTransparentIndex(true, row.Smaller);
    TGifExportOptions options;
    options.Smaller = row.Smaller;
    const TGifFrameEncoder encoder(palette, options, QSize(6, 1));
    TEncodedFrame frame;
    encoder.Encode(row.Now.data(), before.data(), scratch, frame);
    SCOPED_TRACE(testing::Message() << "smaller " << row.Smaller << " frame " << testing::PrintToString(row.Now));
    EXPECT_EQ(frame.Vanished, row.Vanished);
    if (row.Vanished) continue;
    EXPECT_EQ(frame.Transparent, row.Transparent);
    ASSERT_GE(frame.Bytes.size(), 10);
    EXPECT_EQ(frame.Bytes[0], 0x2C);
    EXPECT_EQ(frame.Bytes[1], row.Left);
    EXPECT_EQ(frame.Bytes[5], row.Width);
  }
}

}  // namespace
