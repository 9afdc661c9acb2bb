// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "model/Common.h"

namespace {

QImage Grey(int W, int H, std::initializer_list<int> Values) {
  QImage image(W, H, QImage::Format_RGB32);
  auto v = Values.begin();
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x, ++v) image.setPixel(x, y, qRgb(*v, *v, *v));
  return image;
}

int GreyAt(const QImage& Image, int X, int Y) { return qBlue(Image.pixel(X, Y)); }

TEST(ShrinkBitmap, AveragesWholeBlocksRoundingDown) {
  const QImage source = Grey(6, 4, {1, 2, 10, 10, 0, 0,    //
                                    2, 2, 10, 11, 0, 255,  //
                                    5, 5, 9,  9,  7, 7,    //
                                    5, 5, 9,  9,  7, 8});
  QImage dest(3, 2, QImage::Format_RGB32);
  ShrinkBitmap(source, dest, 2.0);
  EXPECT_EQ(GreyAt(dest, 0, 0), 1);   // 7 / 4
  EXPECT_EQ(GreyAt(dest, 1, 0), 10);  // 41 / 4
  EXPECT_EQ(GreyAt(dest, 2, 0), 63);  // 255 / 4
  EXPECT_EQ(GreyAt(dest, 0, 1), 5);
  EXPECT_EQ(GreyAt(dest, 1, 1), 9);
  EXPECT_EQ(GreyAt(dest, 2, 1), 7);  // 29 / 4
}

TEST(ShrinkBitmap, ChannelsAreAveragedSeparately) {
  QImage source(2, 1, QImage::Format_RGB32);
  source.setPixel(0, 0, qRgb(200, 0, 11));
  source.setPixel(1, 0, qRgb(100, 255, 0));
  QImage dest(1, 1, QImage::Format_RGB32);
  ShrinkBitmap(source, dest, 2.0);
  EXPECT_EQ(dest.pixel(0, 0), qRgb(150, 127, 5));
}

TEST(ShrinkBitmap, FractionalFactorUsesTruncatedBlockEdges) {
  // Factor 1.5 over 3 columns: blocks [0,1) and [1,3).
  const QImage source = Grey(3, 3, {10, 20, 40, 10, 20, 40, 10, 20, 40});
  QImage dest(2, 2, QImage::Format_RGB32);
  ShrinkBitmap(source, dest, 1.5);
  EXPECT_EQ(GreyAt(dest, 0, 0), 10);
  EXPECT_EQ(GreyAt(dest, 1, 0), 30);
  EXPECT_EQ(GreyAt(dest, 1, 1), 30);
}

TEST(ShrinkBitmap, FactorBelowOneNeverAveragesAnEmptyBlock) {
  // A picture lower than its thumbnail: every destination pixel takes the
  // source pixel at the truncated position.
  const QImage source = Grey(2, 2, {10, 20, 30, 40});
  QImage dest(5, 5, QImage::Format_RGB32);
  ShrinkBitmap(source, dest, 0.4);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      const int sx = static_cast<int>(x * 0.4), sy = static_cast<int>(y * 0.4);
      EXPECT_EQ(GreyAt(dest, x, y), GreyAt(source, sx, sy)) << x << "," << y;
    }
}

TEST(ShrinkBitmap, BlocksReachingPastTheSourceAreClipped) {
  // Dest asks for more than the source holds: the last block is cut to the picture.
  const QImage source = Grey(3, 1, {9, 9, 90});
  QImage dest(2, 1, QImage::Format_RGB32);
  ShrinkBitmap(source, dest, 2.0);
  EXPECT_EQ(GreyAt(dest, 0, 0), 9);
  EXPECT_EQ(GreyAt(dest, 1, 0), 90);
}

TEST(ShrinkBitmap, OtherPictureFormatsGiveTheSameResult) {
  std::mt19937 random(3);
  QImage source(40, 30, QImage::Format_RGB32);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      source.setPixel(
          x, y,
          qRgb(static_cast<int>(random() % 256), static_cast<int>(random() % 256), static_cast<int>(random() % 256)));
  QImage expected(13, 10, QImage::Format_RGB32);
  ShrinkBitmap(source, expected, 3.0);
  for (QImage::Format format : {QImage::Format_RGB888, QImage::Format_BGR888, QImage::Format_ARGB32}) {
    QImage dest(13, 10, QImage::Format_RGB888);
    ShrinkBitmap(source.convertToFormat(format), dest, 3.0);
    EXPECT_EQ(dest, expected) << format;
  }
}

}  // namespace
