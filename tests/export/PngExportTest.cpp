// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG sequence and the animated PNG: every frame, decoded by Qt's PNG
// reader (and by ffmpeg when it is installed), is the BMP export's frame.

#include <gtest/gtest.h>
#include <zlib.h>

#include <QBuffer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "export/BitmapExport.h"
#include "export/PngExport.h"
#include "files/FileError.h"
#include "files/WholeFile.h"
#include "tests/export/ExportTestUtil.h"
#include "tests/support/TestPictures.h"

namespace {

uint32_t Big32(const QByteArray& B, qsizetype At) {
  const auto* p = reinterpret_cast<const unsigned char*>(B.constData() + At);
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

struct TChunk {
  QByteArray Type;
  QByteArray Data;
};

// The chunks of a PNG file; a wrong CRC fails the test.
std::vector<TChunk> Chunks(const QByteArray& File) {
  std::vector<TChunk> chunks;
  EXPECT_TRUE(File.startsWith("\x89PNG\r\n\x1a\n"));
  for (qsizetype at = 8; at + 12 <= File.size();) {
    const qsizetype length = Big32(File, at);
    const QByteArray typed = File.mid(at + 4, length + 4);
    const uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(typed.data()), typed.size());
    EXPECT_EQ(crc, Big32(File, at + 8 + length)) << typed.left(4).toStdString();
    chunks.push_back({typed.left(4), typed.mid(4)});
    at += 12 + length;
  }
  return chunks;
}

QByteArray Chunk(const char* Type, const QByteArray& Data) {
  QByteArray out(4, '\0');
  const QByteArray typed = QByteArray(Type) + Data;
  for (int i = 0; i < 4; ++i) out[i] = char(Data.size() >> (24 - 8 * i));
  const uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(typed.data()), typed.size());
  out += typed;
  for (int i = 0; i < 4; ++i) out += char(crc >> (24 - 8 * i));
  return out;
}

struct TAnimatedPng {
  uint32_t Frames = 0, Plays = 99;
  std::vector<QImage> Screens;  // the picture after each frame
  std::vector<std::pair<int, int>> Delays;
};

// Decodes an animated PNG: each frame's data becomes a PNG of its own, read
// by Qt and drawn at its place over the frame before.
TAnimatedPng DecodeAnimatedPng(const QByteArray& File) {
  TAnimatedPng result;
  QByteArray header;
  QImage screen;
  uint32_t sequence = 0;
  QRect area;
  QByteArray data;
  auto finish = [&] {
    if (data.isEmpty()) return;
    QByteArray ihdr = header;
    for (int i = 0; i < 4; ++i) {
      ihdr[i] = char(area.width() >> (24 - 8 * i));
      ihdr[4 + i] = char(area.height() >> (24 - 8 * i));
    }
    const QImage part = QImage::fromData(QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) +
                                         Chunk("IDAT", data) + Chunk("IEND", {}))
                            .convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(part.size(), area.size());
    for (int y = 0; y < part.height(); ++y)
      for (int x = 0; x < part.width(); ++x) screen.setPixel(area.left() + x, area.top() + y, part.pixel(x, y));
    result.Screens.push_back(screen);
    data.clear();
  };
  for (const TChunk& c : Chunks(File)) {
    if (c.Type == "IHDR") {
      header = c.Data;
      screen = QImage(int(Big32(c.Data, 0)), int(Big32(c.Data, 4)), QImage::Format_RGB32);
    } else if (c.Type == "acTL") {
      result.Frames = Big32(c.Data, 0);
      result.Plays = Big32(c.Data, 4);
    } else if (c.Type == "fcTL" || c.Type == "fdAT") {
      EXPECT_EQ(Big32(c.Data, 0), sequence++) << c.Type.toStdString();
      if (c.Type == "fdAT") {
        data += c.Data.mid(4);
        continue;
      }
      finish();
      area = QRect(int(Big32(c.Data, 12)), int(Big32(c.Data, 16)), int(Big32(c.Data, 4)), int(Big32(c.Data, 8)));
      const auto* d = reinterpret_cast<const unsigned char*>(c.Data.constData());
      result.Delays.emplace_back(d[20] << 8 | d[21], d[22] << 8 | d[23]);
      EXPECT_EQ(d[24], 0);
      EXPECT_EQ(d[25], 0);
    } else if (c.Type == "IDAT") {
      data += c.Data;
    }
  }
  finish();
  return result;
}

}  // namespace

class PngExportTest : public testing::Test {
 protected:
  void TearDown() override { Anim = TAnimation(); }
  QString Path(const QString& Name) const { return Dir.filePath(Name); }

  // The BMP export's frames, read back.
  std::vector<QImage> BmpFrames() {
    SaveAnimationAsBitmaps(Path("bmp"), Anim);
    std::vector<QImage> frames;
    frames.reserve(Anim.Frames.size());
    for (int i = 0; i < static_cast<int>(Anim.Frames.size()); ++i)
      frames.push_back(
          QImage(BitmapFileName(Path("bmp"), i, int(Anim.Frames.size()))).convertToFormat(QImage::Format_RGB32));
    return frames;
  }
  QTemporaryDir Dir;
};

TEST_F(PngExportTest, TheSequenceIsTheBmpFramesIn24BitPngFilesNamedTheSameWay) {
  InstallAnimation({.Width = 61, .Height = 47, .Frames = 11, .Seed = 41, .Gradient = true});
  const std::vector<QImage> expected = BmpFrames();
  std::vector<int> progress;
  SaveAnimationAsPngs(
      Path("walk"), Anim, [&](int P) { progress.push_back(P); }, 2);
  EXPECT_EQ(progress.back(), 10 * 100 / 11);
  EXPECT_EQ(PngFileName("walk", 10, 11), "walk10.png");
  for (int i = 0; i < 11; ++i) {
    const QByteArray file = ReadTestFile(Path("walk%1.png").arg(i, 2, 10, QLatin1Char('0')));
    ASSERT_EQ(file.mid(12, 4), "IHDR");
    EXPECT_EQ(file.mid(24, 2).toHex(), "0802") << "8 bits, RGB";
    EXPECT_TRUE(QImage::fromData(file).convertToFormat(QImage::Format_RGB32) == expected[i]) << i;
  }
}

TEST_F(PngExportTest, EveryAnimatedFrameIsTheBmpFrameWithTheDelayLoopingForEver) {
  // In the first, frames 2 and 4 repeat the frame before them; in the
  // second, several figures move in every frame, so the frame that begins
  // each batch of one thread's export differs from the one before it.
  for (const TAnimationRecipe& recipe :
       {TAnimationRecipe{
            .Width = 200, .Height = 150, .Frames = 6, .Figures = 1, .Seed = 42, .Gradient = true, .RepeatEvery = 2},
        TAnimationRecipe{.Width = 200, .Height = 150, .Frames = 6, .Figures = 5, .Seed = 44, .Gradient = true}}) {
    InstallAnimation(recipe);
    const std::vector<QImage> expected = BmpFrames();
    for (int shrink : {1, 3}) {
      ExportAnimatedPngFile(Path("walk.apng"), Anim, 70000, shrink, {}, 1);
      const QByteArray file = ReadTestFile(Path("walk.apng"));
      QByteArray again;
      QBuffer buffer(&again);
      buffer.open(QIODevice::WriteOnly);
      WriteAnimatedPng(buffer, Anim, 70000, shrink, {}, 3);
      EXPECT_TRUE(again == file);
      const TAnimatedPng decoded = DecodeAnimatedPng(file);
      EXPECT_EQ(decoded.Frames, 6u);
      EXPECT_EQ(decoded.Plays, 0u);
      ASSERT_EQ(decoded.Screens.size(), 6u);
      for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(decoded.Delays[i], std::make_pair(65535, 100));
        const QImage want = shrink == 1 ? expected[i] : ExpectedFrame(i, shrink, false);
        EXPECT_TRUE(decoded.Screens[i] == want) << "seed " << recipe.Seed << " shrink " << shrink << " frame " << i;
      }
    }
  }
  // A held frame's delay is its hold's ticks of the delay.
  Anim.Frames[1].Hold = 3;
  Anim.Frames[2].Hold = 100;
  ExportAnimatedPngFile(Path("held.apng"), Anim, 7, 1, {}, 2);
  const TAnimatedPng held = DecodeAnimatedPng(ReadTestFile(Path("held.apng")));
  ASSERT_EQ(held.Delays.size(), 6u);
  EXPECT_EQ(held.Delays[0], std::make_pair(7, 100));
  EXPECT_EQ(held.Delays[1], std::make_pair(21, 100));
  EXPECT_EQ(held.Delays[2], std::make_pair(700, 100));
  EXPECT_THROW(ExportAnimatedPngFile(Path("no folder/walk.apng"), Anim, 1, 1), EFileError);
}

TEST_F(PngExportTest, FfmpegReadsTheAnimatedFramesAsTheBmpFrames) {
  const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
  if (ffmpeg.isEmpty()) GTEST_SKIP() << "ffmpeg is not installed";
  InstallAnimation({.Width = 64, .Height = 48, .Frames = 5, .Seed = 43, .Gradient = true, .RepeatEvery = 3});
  const std::vector<QImage> expected = BmpFrames();
  ExportAnimatedPngFile(Path("walk.apng"), Anim, 4, 1);
  QProcess process;
  process.start(ffmpeg, {"-v", "error", "-i", Path("walk.apng"), "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
  ASSERT_TRUE(process.waitForFinished(60000));
  const QByteArray raw = process.readAllStandardOutput();
  ASSERT_EQ(raw.size(), 5 * 64 * 48 * 3) << process.readAllStandardError().toStdString();
  for (int i = 0; i < 5; ++i) {
    const QImage frame = QImage(reinterpret_cast<const uchar*>(raw.constData()) + ptrdiff_t{i} * 64 * 48 * 3, 64, 48,
                                qsizetype{64} * 3, QImage::Format_RGB888)
                             .convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(frame == expected[i]) << i;
  }
}
