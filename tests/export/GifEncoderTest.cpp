// SPDX-License-Identifier: GPL-3.0-or-later
// The GIF encoder's document: colour reduction, the palette step, merge and
// crop, delays, the block layout and LZW, read back by giflib.

#include <gtest/gtest.h>

#include <random>

#include "export/GIFImage.h"
#include "export/GifExport.h"
#include "export/GifLzw.h"
#include "files/FileError.h"
#include "tests/export/ExportTestUtil.h"
#include "tests/support/GifFrames.h"

namespace {

constexpr QRgb W = 0xFFFFFFFF, K = 0xFF000000, R = 0xFFFF0000, B = 0xFF0000FF;

std::string Refusal(const std::function<void()>& Do) {
  try {
    Do();
  } catch (const EFileError& e) {
    return e.what();
  }
  return "accepted";
}

}  // namespace

TEST(GifEncoder, OneSmallFrameByteForByte) {
  TGIFImage gif;
  AddGifFrame(gif, Picture(2, 2, {W, W, K, R}), false, 100);
  gif.OptimizeColorMap();
  gif.Optimize(true, true);
  // Screen 2 x 2 with a sorted global table of 2 bits: white (used twice),
  // then black and red (once each, in colour order), padded with black.
  // Loop extension, delay 100, the frame at (0, 0), LZW codes 4 0 0 1 2 5.
  const QByteArray expected =
      QByteArray("GIF89a") + QByteArray::fromHex("020002009900 00 ffffff 000000 ff0000 000000") +
      QByteArray::fromHex("21ff0b") + "NETSCAPE2.0" + QByteArray::fromHex("0301000000") +
      QByteArray::fromHex("21f904 00 6400 00 00") + QByteArray::fromHex("2c 0000 0000 0200 0200 00") +
      QByteArray::fromHex("02 03042205 00 3b");
  EXPECT_EQ(gif.SaveToBytes().toHex(' '), expected.toHex(' '));
}

TEST(GifEncoder, ReducesEachPixelToTheColourCube) {
  struct TCase {
    QRgb Pixel;
    uint8_t Index;
  } cases[] = {{qRgb(255, 255, 255), 215}, {qRgb(0, 0, 0), 0},       {qRgb(48, 0, 0), 36},
               {qRgb(47, 0, 0), 0},        {qRgb(0, 48, 0), 6},      {qRgb(0, 0, 48), 1},
               {qRgb(0, 0, 47), 0},        {qRgb(25, 128, 230), 16}, {qRgb(255, 0, 0), 180}};
  TGIFImage gif;
  for (const TCase& c : cases) {
    gif.Add(Picture(1, 1, {c.Pixel}));
    EXPECT_EQ(gif.Images.back().Data.at(0), c.Index) << std::hex << c.Pixel;
  }
  const TGIFColorMap& table = gif.Images.front().ColorMap;
  ASSERT_EQ(table.Count(), 256);
  EXPECT_EQ(table.Colors[215], (TGIFColor{255, 255, 255}));
  EXPECT_EQ(table.Colors[16], (TGIFColor{0, 102, 204}));
  for (int k = 216; k < 256; ++k) EXPECT_EQ(table.Colors[k], (TGIFColor{0, 0, 0})) << k;
}

TEST(GifEncoder, DelaysAreHeldAtTheLargestTheFieldTakes) {
  struct TCase {
    long long Asked;
    uint16_t Written;
  } cases[] = {{1, 1}, {100, 100}, {65535, 65535}, {65536, 65535}, {1000000, 65535}};
  for (const TCase& c : cases) {
    TGIFImage gif;
    AddGifFrame(gif, Picture(1, 1, {W}), false, c.Asked);
    EXPECT_EQ(gif.Images[0].GraphicControlExtension()->Delay, c.Written) << c.Asked;
  }
}

TEST(GifEncoder, LzwCodesReadBackAtEveryCodeSize) {
  std::mt19937 random(7);
  for (int bits = 1; bits <= 8; ++bits) {
    // Random pixels fill the code table many times over; long runs build long strings.
    for (bool runs : {false, true}) {
      TGIFImage gif;
      gif.Width = 300;
      gif.Height = 200;
      for (int k = 0; k < (1 << bits); ++k) gif.GlobalColorMap.Add({uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)});
      TGIFSubImage frame;
      frame.Width = gif.Width;
      frame.Height = gif.Height;
      uint8_t value = 0;
      for (int i = 0; i < 300 * 200; ++i) {
        if (!runs || random() % 500 == 0) value = static_cast<uint8_t>(random() % (1 << bits));
        frame.Data.push_back(value);
      }
      gif.Images.push_back(frame);
      const TDecodedGif decoded = DecodeGif(gif.SaveToBytes());
      ASSERT_TRUE(decoded.Error.isEmpty()) << decoded.Error.toStdString();
      ASSERT_EQ(decoded.Frames.size(), 1u);
      const QImage& screen = decoded.Frames[0];
      int wrong = 0;
      for (int i = 0; i < 300 * 200; ++i) {
        const TGIFColor c = gif.GlobalColorMap.Colors[frame.Data[i]];
        wrong += screen.pixel(i % 300, i / 300) != qRgb(c.Red, c.Green, c.Blue);
      }
      EXPECT_EQ(wrong, 0) << "bits " << bits << (runs ? " runs" : " random");
    }
  }
}

TEST(GifEncoder, AKeptFullTableReadsBackAndIsNotClearedAgain) {
  // The smaller file's encoding: once full, the table is used as it stands.
  std::mt19937 random(9);
  for (int bits : {2, 8})
    for (bool runs : {false, true}) {
      std::vector<uint8_t> pixels;
      uint8_t value = 0;
      for (int i = 0; i < 300 * 200; ++i) {
        if (!runs || random() % 5 == 0) value = static_cast<uint8_t>(random() % (1 << bits));
        pixels.push_back(value);
      }
      std::vector<TGIFColor> table;
      table.reserve(size_t{1} << bits);
      for (int k = 0; k < (1 << bits); ++k) table.push_back({uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)});
      TGifLzwEncoder lzw;
      QByteArray cleared, kept;
      lzw.Encode(pixels.data(), 300, 200, 300, bits, 1 << bits, cleared);
      EXPECT_TRUE(lzw.Full);
      lzw.KeepFullTable = true;
      lzw.Encode(pixels.data(), 300, 200, 300, bits, 1 << bits, kept);
      EXPECT_TRUE(lzw.Full);
      EXPECT_NE(kept, cleared);
      QByteArray gif;
      WriteGifHeader(gif, false);
      WriteScreenDescriptor(gif, 300, 200, true, false, bits);
      WriteColorTable(gif, table.data(), 1 << bits, bits);
      WriteImageDescriptor(gif, 0, 0, 300, 200, 0, false);
      const TDecodedGif decoded = DecodeGif(gif + kept + QByteArray(1, GifTrailer));
      ASSERT_TRUE(decoded.Error.isEmpty()) << decoded.Error.toStdString();
      int wrong = 0;
      for (int i = 0; i < 300 * 200; ++i) {
        const TGIFColor c = table[pixels[i]];
        wrong += decoded.Frames.at(0).pixel(i % 300, i / 300) != qRgb(c.Red, c.Green, c.Blue);
      }
      EXPECT_EQ(wrong, 0) << "bits " << bits << (runs ? " runs" : " random");
    }
}

// The smaller file's encoding of pixels that may take either of two values:
// each reads back as one of its two, the choices make it shorter than the
// first values alone, and without a choice it is the plain encoding byte for
// byte.
TEST(GifEncoder, EitherOfTwoValuesReadsBackAsOneOfThem) {
  std::mt19937 random(11);
  for (int bits : {2, 8})
    for (bool keep : {false, true}) {
      // Runs broken by the last index at one pixel in three, which may
      // instead continue the run.
      const int w = 300, h = 200, last = (1 << bits) - 1;
      std::vector<uint8_t> pixels, others;
      uint8_t value = 0;
      for (int i = 0; i < w * h; ++i) {
        if (random() % 7 == 0) value = static_cast<uint8_t>(random() % last);
        pixels.push_back(random() % 3 == 0 ? static_cast<uint8_t>(last) : value);
        others.push_back(value);
      }
      std::vector<TGIFColor> table;
      table.reserve(size_t{1} << bits);
      for (int k = 0; k < (1 << bits); ++k) table.push_back({uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)});
      SCOPED_TRACE(testing::Message() << "bits " << bits << " keep " << keep);
      TGifLzwEncoder lzw;
      lzw.KeepFullTable = keep;
      QByteArray plain, same, either;
      lzw.Encode(pixels.data(), w, h, w, bits, 1 << bits, plain);
      lzw.EncodeEither(pixels.data(), pixels.data(), w, h, w, bits, 1 << bits, same);
      EXPECT_TRUE(same == plain);
      lzw.EncodeEither(pixels.data(), others.data(), w, h, w, bits, 1 << bits, either);
      EXPECT_LT(either.size(), plain.size() * 9 / 10);
      QByteArray gif;
      WriteGifHeader(gif, false);
      WriteScreenDescriptor(gif, uint16_t(w), uint16_t(h), true, false, bits);
      WriteColorTable(gif, table.data(), 1 << bits, bits);
      WriteImageDescriptor(gif, 0, 0, uint16_t(w), uint16_t(h), 0, false);
      const TDecodedGif decoded = DecodeGif(gif + either + QByteArray(1, GifTrailer));
      ASSERT_TRUE(decoded.Error.isEmpty()) << decoded.Error.toStdString();
      int wrong = 0;
      for (int i = 0; i < w * h; ++i) {
        const QRgb shown = decoded.Frames.at(0).pixel(i % w, i / w);
        const TGIFColor a = table[pixels[i]], b = table[others[i]];
        wrong += shown != qRgb(a.Red, a.Green, a.Blue) && shown != qRgb(b.Red, b.Green, b.Blue);
      }
      EXPECT_EQ(wrong, 0);
    }
}

// The ends of a picture's codes: no pixels give the clear and end codes
// alone, one pixel its code between them; a first pixel outside the table
// is refused like any other.
TEST(GifEncoder, PicturesOfNoPixelOrOne) {
  const struct {
    int Width, Height;
    uint8_t Pixel;
    QByteArray Bytes;
  } rows[] = {{0, 3, 0, QByteArray("\x02\x01\x2C\x00", 4)},
              {3, 0, 0, QByteArray("\x02\x01\x2C\x00", 4)},
              {1, 1, 1, QByteArray("\x02\x02\x4C\x01\x00", 5)}};
  for (const auto& row : rows) {
    TGifLzwEncoder lzw;
    QByteArray out;
    lzw.Encode(&row.Pixel, row.Width, row.Height, 1, 2, 4, out);
    EXPECT_EQ(out.toHex().toStdString(), row.Bytes.toHex().toStdString()) << row.Width << " x " << row.Height;
  }
  const uint8_t outside = 4;
  TGifLzwEncoder lzw;
  QByteArray out;
  EXPECT_EQ(Refusal([&] { lzw.Encode(&outside, 1, 1, 1, 2, 4, out); }), "Color not in color table");
}

TEST(GifEncoder, RefusesFullTablesAndPixelsOutsideTheirTable) {
  TGIFColorMap full;
  for (int k = 0; k < 256; ++k) full.Add({});
  EXPECT_EQ(Refusal([&] { full.Add({}); }), "Color table overflow");

  TGIFImage gif;
  gif.Width = gif.Height = 2;
  for (int k = 0; k < 3; ++k) gif.GlobalColorMap.Add({uint8_t(k), 0, 0});
  TGIFSubImage frame;
  frame.Width = frame.Height = 2;
  frame.Data = {0, 1, 2, 3};  // the table has 3 entries, padded to 4: index 3 is still inside
  gif.Images.push_back(frame);
  EXPECT_EQ(Refusal([&] { gif.SaveToBytes(); }), "accepted");
  gif.Images[0].Data[3] = 4;
  EXPECT_EQ(Refusal([&] { gif.SaveToBytes(); }), "Color not in color table");
}

TEST(GifEncoder, PaletteWithoutMergeIsOneSortedTableOfTheUsedColours) {
  TGIFImage gif;
  AddGifFrame(gif, Picture(3, 1, {R, W, B}), false, 1);
  AddGifFrame(gif, Picture(3, 1, {R, R, B}), false, 1);
  AddGifFrame(gif, Picture(3, 1, {R, K, B}), false, 1);
  gif.OptimizeColorMap();
  gif.Optimize(false, true);
  // Red 4 times, blue 3, then black and white once each, in colour order.
  const std::vector<TGIFColor> expected = {{255, 0, 0}, {0, 0, 255}, {0, 0, 0}, {255, 255, 255}};
  EXPECT_EQ(gif.GlobalColorMap.Colors, expected);
  EXPECT_TRUE(gif.GlobalColorMap.Sorted);
  for (const TGIFSubImage& frame : gif.Images) EXPECT_EQ(frame.ColorMap.Count(), 0);
  EXPECT_EQ(gif.Images[2].Data, (std::vector<uint8_t>{0, 2, 1}));
  const QByteArray bytes = gif.SaveToBytes();
  EXPECT_EQ(uint8_t(bytes[10]), 0x80 | 0x08 | 0x10 | 0x01);  // global, sorted, 2 bits
}

// Frames written for a few short animations of 4 x 2 pixels.
TEST(GifEncoder, MergeAndCropKeepOnlyWhatChanged) {
  const QImage a = Picture(4, 2, {W, W, W, W, K, K, W, W});
  const QImage b = Picture(4, 2, {W, R, W, W, K, K, W, W});  // one pixel of a changed
  const QImage c = Picture(4, 2, {R, K, K, R, W, W, R, R});  // no pixel in common with a
  struct TCase {
    const char* Name;
    std::vector<QImage> Pictures;
    long long Delay;
    bool Palette, Merge, Crop;
    std::vector<QRect> Rects;  // of the frames written
    std::vector<bool> Transparent;
    std::vector<int> Delays;
  } cases[] = {
      {"repeats vanish into frame 0 with their delays",
       {a, a, a, a},
       5,
       true,
       true,
       true,
       {{0, 0, 4, 2}},
       {false},
       {20}},
      {"repeat passes its delay to a transparent frame",
       {a, b, b},
       5,
       true,
       true,
       true,
       {{0, 0, 4, 2}, {1, 0, 1, 1}},
       {false, true},
       {5, 10}},
      {"a time beyond the delay field goes on in one transparent pixel",
       {a, b, b, b},
       40000,
       true,
       true,
       true,
       {{0, 0, 4, 2}, {1, 0, 1, 1}, {0, 0, 1, 1}},
       {false, true, true},
       {40000, 65535, 54465}},
      {"repeat of an opaque frame passes it its delay",
       {a, c, c},
       5,
       true,
       true,
       true,
       {{0, 0, 4, 2}, {0, 0, 4, 2}},
       {false, false},
       {5, 10}},
      {"merge without crop keeps frames whole",
       {a, b, b},
       5,
       true,
       true,
       false,
       {{0, 0, 4, 2}, {0, 0, 4, 2}, {0, 0, 4, 2}},
       {false, true, true},
       {5, 5, 5}},
      {"crop without merge has nothing to cut",
       {a, b, b},
       5,
       true,
       false,
       true,
       {{0, 0, 4, 2}, {0, 0, 4, 2}, {0, 0, 4, 2}},
       {false, false, false},
       {5, 5, 5}},
      {"without palette every frame stays whole and opaque",
       {a, b, b},
       5,
       false,
       true,
       true,
       {{0, 0, 4, 2}, {0, 0, 4, 2}, {0, 0, 4, 2}},
       {false, false, false},
       {5, 5, 5}},
  };
  for (const TCase& t : cases) {
    SCOPED_TRACE(t.Name);
    TGIFImage gif;
    for (const QImage& p : t.Pictures) AddGifFrame(gif, p, false, t.Delay);
    if (t.Palette) gif.OptimizeColorMap();
    gif.Optimize(t.Merge, t.Crop);
    const TDecodedGif decoded = DecodeGif(gif.SaveToBytes());
    ASSERT_TRUE(decoded.Error.isEmpty()) << decoded.Error.toStdString();
    EXPECT_EQ(decoded.Rects, t.Rects);
    EXPECT_EQ(decoded.Transparent, t.Transparent);
    EXPECT_EQ(decoded.Delays, t.Delays);
    for (int local : decoded.LocalColors) EXPECT_EQ(local, t.Palette ? 0 : 256);
    // Whatever was left out, the screen after the last frame is the last picture.
    EXPECT_EQ(decoded.Frames.back(), t.Pictures.back());
  }
}
