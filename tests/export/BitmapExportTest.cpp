// SPDX-License-Identifier: GPL-3.0-or-later
// The BMP sequence: names, bytes, replacing and failures.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "export/BitmapExport.h"
#include "export/PngExport.h"
#include "files/BmpFile.h"
#include "files/FileError.h"
#include "files/WholeFile.h"
#include "tests/export/ExportTestUtil.h"
#include "tests/support/TestPictures.h"

class BitmapExportTest : public testing::Test {
 protected:
  void TearDown() override { Anim = TAnimation(); }
  QTemporaryDir Dir;
};

TEST_F(BitmapExportTest, NumbersHaveTheDigitsOfTheHighestFrame) {
  struct TCase {
    int Frames;
    const char* First;
    const char* Last;
  } cases[] = {{1, "walk0.bmp", "walk0.bmp"},
               {10, "walk0.bmp", "walk9.bmp"},
               {11, "walk00.bmp", "walk10.bmp"},
               {101, "walk000.bmp", "walk100.bmp"}};
  for (const TCase& c : cases) {
    EXPECT_EQ(BitmapFileName("walk", 0, c.Frames), c.First);
    EXPECT_EQ(BitmapFileName("walk", c.Frames - 1, c.Frames), c.Last);
  }
}

TEST_F(BitmapExportTest, WritesEveryFrameByteForByteReplacingOldFiles) {
  InstallAnimation({.Width = 3, .Height = 2, .Frames = 4, .Figures = 0});
  Anim.Background = Picture(
      3, 2, {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9), qRgb(10, 11, 12), qRgb(13, 14, 15), qRgb(16, 17, 18)});
  Anim.Frames[2].Items.resize(1);
  Anim.Frames[2].Items[0].SetType(1, StickmanType());
  Anim.Frames[2].Items[0].SetPosition(RealPoint(1, 1));
  const QString base = Dir.filePath("walk");
  WriteWholeFile(base + "1.bmp", "an older file");
  std::vector<int> progress;
  SaveAnimationAsBitmaps(
      base, Anim, [&](int P) { progress.push_back(P); }, 2);

  EXPECT_EQ(progress, (std::vector<int>{0, 25, 50, 75}));
  // 54-byte header, no colour table, bottom row first, rows padded from 9 to 12 bytes.
  const QByteArray plain = QByteArray::fromHex(
      "424d4e000000000000003600000028000000030000000200000001001800000000001800000000000000000000000000000000000000"
      "0c0b0a0f0e0d121110000000030201060504090807000000");
  for (int i : {0, 1, 3}) EXPECT_EQ(ReadTestFile(BitmapFileName(base, i, 4)).toHex(), plain.toHex()) << i;
  // The frame with a figure is the picture DrawFrame makes.
  QImage drawn(3, 2, QImage::Format_RGB32);
  {
    QPainter canvas(&drawn);
    PrepareCanvas(canvas);
    DrawFrame(canvas, Anim, Anim.Frames[2], 1.0f);
  }
  const QByteArray withFigure = ReadTestFile(base + "2.bmp");
  EXPECT_EQ(withFigure, BmpFileBytes(drawn));
  EXPECT_NE(withFigure, plain);
}

TEST_F(BitmapExportTest, AFileThatCannotBeWrittenStopsTheExportAndKeepsTheFramesBefore) {
  InstallAnimation({.Width = 20, .Height = 10, .Frames = 4});
  const QString base = Dir.filePath("walk");
  QDir(Dir.path()).mkdir("walk1.bmp");  // a folder where frame 1 should go
  EXPECT_THROW(SaveAnimationAsBitmaps(base, Anim, {}, 2), EFileError);
  EXPECT_TRUE(QFileInfo(base + "0.bmp").isFile());
  EXPECT_FALSE(QFileInfo::exists(base + "2.bmp"));
  EXPECT_FALSE(QFileInfo::exists(base + "3.bmp"));
}

// A held frame is a file for each tick of its hold, in both series, unless
// once a frame is asked for.
TEST_F(BitmapExportTest, AHeldFrameIsAFileForEachTickOfItsHold) {
  InstallAnimation({.Width = 30, .Height = 20, .Frames = 3, .Figures = 1, .Seed = 5});
  Anim.Frames[1].Hold = 3;
  const QString base = Dir.filePath("held");
  struct TRow {
    bool Png;
    bool Once;
    std::vector<int> FrameOfFile;
  } rows[] = {{false, false, {0, 1, 1, 1, 2}}, {true, false, {0, 1, 1, 1, 2}}, {false, true, {0, 1, 2}}};
  for (const TRow& row : rows) {
    QDir(Dir.path()).removeRecursively();
    QDir().mkpath(Dir.path());
    if (row.Png)
      SaveAnimationAsPngs(base, Anim, {}, 2, TLineStyle::Pixel, row.Once);
    else
      SaveAnimationAsBitmaps(base, Anim, {}, 2, TLineStyle::Pixel, row.Once);
    const int files = static_cast<int>(row.FrameOfFile.size());
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files).size(), files) << row.Png << row.Once;
    for (int n = 0; n < files; ++n) {
      const QString name = row.Png ? PngFileName(base, n, files) : BitmapFileName(base, n, files);
      const QImage want = ExpectedFrame(row.FrameOfFile[static_cast<std::size_t>(n)], 1, false);
      EXPECT_TRUE(QImage(name).convertToFormat(QImage::Format_RGB32) == want.convertToFormat(QImage::Format_RGB32))
          << row.Png << row.Once << " file " << n;
    }
  }
}
