// SPDX-License-Identifier: GPL-3.0-or-later
// The GIF export of the stored frames: what a decoder shows, the streaming
// writer against the document, progress, and failures.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include "tests/support/TestPictures.h"
#include "export/GifExport.h"
#include "files/FileError.h"
#include "files/WholeFile.h"
#include "tests/export/ExportTestUtil.h"
#include "tests/support/GifFrames.h"

namespace {

QByteArray Streamed(const TGifExportOptions& Options, int Threads, const TExportProgress& Progress = {}) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  WriteGifAnimation(buffer, Anim, Options, Progress, Threads);
  return bytes;
}

std::vector<TGifExportOptions> EveryOptionCombination(int Shrink) {
  std::vector<TGifExportOptions> all;
  for (int bits = 0; bits < 8; ++bits) {
    TGifExportOptions o;
    o.Delay = 7;
    o.Shrink = Shrink;
    o.Palette = bits & 1;
    o.Merge = bits & 2;
    o.Crop = bits & 4;
    all.push_back(o);
  }
  return all;
}

std::string Describe(const TGifExportOptions& O) {
  return "palette " + std::to_string(O.Palette) + " merge " + std::to_string(O.Merge) + " crop " +
         std::to_string(O.Crop) + " shrink " + std::to_string(O.Shrink);
}

}  // namespace

class GifExport : public testing::Test {
 protected:
  void TearDown() override { Anim = TAnimation(); }
};

TEST_F(GifExport, EveryDecodedFrameIsTheRenderedFrameInCubeColours) {
  // Frames 3 and 6 repeat the frame before them.
  InstallAnimation(
      {.Width = 120, .Height = 100, .Frames = 7, .Figures = 3, .Seed = 3, .Gradient = true, .RepeatEvery = 3});
  for (int shrink : {1, 3}) {
    std::vector<QImage> expected;
    for (int i = 0; i < static_cast<int>(Anim.Frames.size()); ++i) expected.push_back(ExpectedFrame(i, shrink));
    for (const TGifExportOptions& options : EveryOptionCombination(shrink)) {
      SCOPED_TRACE(Describe(options));
      const TDecodedGif decoded = DecodeGif(BuildGifDocument(Anim, options).SaveToBytes());
      ASSERT_TRUE(decoded.Error.isEmpty()) << decoded.Error.toStdString();
      EXPECT_EQ(decoded.Width, 120 / shrink);
      EXPECT_EQ(decoded.Height, 100 / shrink);
      // With all three steps a frame equal to the one before it is left out.
      std::vector<QImage> shown;
      for (std::size_t i = 0; i < expected.size(); ++i)
        if (!(options.Palette && options.Merge && options.Crop) || i == 0 || expected[i] != expected[i - 1])
          shown.push_back(expected[i]);
      ASSERT_EQ(decoded.Frames.size(), shown.size());
      for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_TRUE(decoded.Frames[i] == shown[i]) << "frame " << i;
    }
  }
}

TEST_F(GifExport, ShrinkThreeOfTheStartSize) {
  InstallAnimation({.Width = 506, .Height = 415, .Frames = 1, .Figures = 1});
  TGifExportOptions options;
  options.Shrink = 3;
  const TDecodedGif decoded = DecodeGif(BuildGifDocument(Anim, options).SaveToBytes());
  EXPECT_EQ(QSize(decoded.Width, decoded.Height), QSize(168, 138));
  EXPECT_EQ(decoded.Rects.at(0), QRect(0, 0, 168, 138));
}

TEST_F(GifExport, StreamingWritesTheDocumentsBytesWithAnyNumberOfThreads) {
  const TAnimationRecipe animations[] = {
      {.Frames = 9, .Seed = 11},
      {.Frames = 10, .Seed = 12, .RepeatEvery = 2},
      {.Frames = 1, .Seed = 13},
      {.Width = 97, .Height = 61, .Frames = 6, .Seed = 14, .Gradient = true, .RepeatEvery = 4},
      {.Frames = 5, .Figures = 0, .Seed = 15},  // every frame the bare background
  };
  for (const TAnimationRecipe& recipe : animations) {
    InstallAnimation(recipe);
    for (int shrink : {1, 3})
      for (const TGifExportOptions& options : EveryOptionCombination(shrink)) {
        SCOPED_TRACE(Describe(options) + " seed " + std::to_string(recipe.Seed));
        const QByteArray document = BuildGifDocument(Anim, options).SaveToBytes();
        for (int threads : {1, 2, 3}) EXPECT_TRUE(Streamed(options, threads) == document) << threads << " threads";
      }
  }
}

TEST_F(GifExport, ProgressRunsToAHundredAndIsNotSetForOneFrame) {
  for (int frames : {1, 5}) {
    InstallAnimation({.Frames = frames});
    for (bool palette : {false, true}) {
      TGifExportOptions options;
      options.Palette = palette;
      std::vector<int> document, streamed;
      BuildGifDocument(Anim, options, [&](int P) { document.push_back(P); });
      Streamed(options, 2, [&](int P) { streamed.push_back(P); });
      if (frames == 1) {
        EXPECT_TRUE(document.empty());
        EXPECT_TRUE(streamed.empty());
        continue;
      }
      EXPECT_EQ(document, (std::vector<int>{0, 25, 50, 75, 100}));
      ASSERT_FALSE(streamed.empty());
      EXPECT_TRUE(std::is_sorted(streamed.begin(), streamed.end()));
      EXPECT_EQ(streamed.back(), 100);
    }
  }
}

TEST_F(GifExport, AFailedExportLeavesTheEarlierFileAsItWas) {
  InstallAnimation({.Frames = 20});
  QTemporaryDir dir;
  const QString path = dir.filePath("walk.gif");
  ExportGifFile(path, Anim, {});
  const QByteArray before = ReadTestFile(path);
  EXPECT_EQ(before, BuildGifDocument(Anim, {}).SaveToBytes());

  // The export stops half-way (any error while rendering, encoding or writing).
  Anim.Frames.push_back(Anim.Frames.front());
  EXPECT_THROW(ExportGifFile(
                   path, Anim, {},
                   [](int P) {
                     if (P >= 50) throw EFileError("stopped");
                   },
                   1),
               EFileError);
  EXPECT_EQ(ReadTestFile(path), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"walk.gif"});

  // A folder that does not exist: the message names the file.
  const QString missing = dir.filePath("no such folder/walk.gif");
  try {
    ExportGifFile(missing, Anim, {});
    ADD_FAILURE() << "no error";
  } catch (const EFileError& e) {
    EXPECT_TRUE(QString(e.what()).startsWith(missing + ": ")) << e.what();
  }
}

TEST_F(GifExport, RefusesFramesShrunkBelowOnePixel) {
  InstallAnimation({.Width = 8, .Height = 20, .Frames = 1});
  TGifExportOptions options;
  options.Shrink = 9;
  EXPECT_THROW(BuildGifDocument(Anim, options), EFileError);
  EXPECT_THROW(Streamed(options, 1), EFileError);
}
