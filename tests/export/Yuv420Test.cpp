// SPDX-License-Identifier: GPL-3.0-or-later
// The video frames' 4:2:0 colours and layout: the studio-range values every
// player expects of the primaries, an added column and row repeating the
// edge, and frames longer than one piece coming out whole and in order.

#include <gtest/gtest.h>

#include <vector>

#include "export/Yuv420.h"

namespace {

QByteArray Frame(TYuv420Writer& Writer, const QImage& Picture) {
  QByteArray bytes;
  EXPECT_TRUE(Writer.Write(Picture, [&](const char* Data, qsizetype Bytes) {
    bytes.append(Data, Bytes);
    return true;
  }));
  EXPECT_EQ(bytes.size(), Writer.FrameBytes());
  return bytes;
}

QByteArray Bytes(std::initializer_list<int> Values) {
  QByteArray bytes;
  for (int v : Values) bytes.append(static_cast<char>(v));
  return bytes;
}

struct TColour {
  const char* Name;
  QRgb Rgb;
  int Y, Cb, Cr;
};
// BT.601 in studio range, as ffmpeg converts RGB by default.
const std::vector<TColour> Colours{
    {"white", 0xFFFFFFFF, 235, 128, 128}, {"black", 0xFF000000, 16, 128, 128}, {"grey", 0xFF808080, 126, 128, 128},
    {"red", 0xFFFF0000, 81, 90, 240},     {"green", 0xFF00FF00, 145, 54, 34},  {"blue", 0xFF0000FF, 41, 240, 110},
};

TEST(Yuv420, PrimariesTakeTheirStudioRangeValues) {
  for (const TColour& c : Colours) {
    QImage picture(1, 1, QImage::Format_RGB32);
    picture.fill(c.Rgb);
    TYuv420Writer writer(QSize(1, 1));
    EXPECT_EQ(Frame(writer, picture), Bytes({c.Y, c.Cb, c.Cr})) << c.Name;
  }
}

// Red, green, blue in a row: the colour of the first two is that of their
// mean; an odd last column, and an added column and row, repeat the edge.
TEST(Yuv420, AnAddedColumnAndRowRepeatTheEdge) {
  QImage picture(3, 1, QImage::Format_RGB32);
  for (int x = 0; x < 3; ++x) picture.setPixel(x, 0, Colours[3 + x].Rgb);
  TYuv420Writer asIs(QSize(3, 1));
  EXPECT_EQ(Frame(asIs, picture), Bytes({81, 145, 41, 72, 240, 137, 110}));
  TYuv420Writer even(QSize(4, 2));
  EXPECT_EQ(Frame(even, picture), Bytes({81, 145, 41, 41, 81, 145, 41, 41, 72, 240, 137, 110}));
}

// 1200 rows of 4000 pixels go out in several pieces of luma and of colour;
// each pair of rows takes the next colour, so each luma row and each colour
// row has one known value throughout.
TEST(Yuv420, AFrameOfManyPiecesComesOutWholeAndInOrder) {
  constexpr int Width = 4000, Height = 1200;
  QImage picture(Width, Height, QImage::Format_RGB32);
  const auto colour = [](int PairOfRows) { return Colours[static_cast<std::size_t>(PairOfRows) % Colours.size()]; };
  for (int y = 0; y < Height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    std::fill(row, row + Width, colour(y / 2).Rgb);
  }
  TYuv420Writer writer(picture.size());
  int pieces = 0;
  QByteArray bytes;
  ASSERT_TRUE(writer.Write(picture, [&](const char* Data, qsizetype Count) {
    ++pieces;
    bytes.append(Data, Count);
    return true;
  }));
  EXPECT_GT(pieces, 4);
  ASSERT_EQ(bytes.size(), Width * Height * 3 / 2);
  const char* blue = bytes.constData() + ptrdiff_t{Width} * Height;
  const char* red = blue + Width * Height / 4;
  int wrong = 0;
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; x += 97) wrong += static_cast<uchar>(bytes[y * Width + x]) != colour(y / 2).Y;
  for (int y = 0; y < Height / 2; ++y)
    for (int x = 0; x < Width / 2; x += 31) {
      wrong += static_cast<uchar>(blue[y * Width / 2 + x]) != colour(y).Cb;
      wrong += static_cast<uchar>(red[y * Width / 2 + x]) != colour(y).Cr;
    }
  EXPECT_EQ(wrong, 0);
  // A sink that refuses ends the frame there.
  pieces = 0;
  EXPECT_FALSE(writer.Write(picture, [&](const char*, qsizetype) { return ++pieces < 2; }));
  EXPECT_EQ(pieces, 2);
}

}  // namespace
