// SPDX-License-Identifier: GPL-3.0-or-later
// The GIF export of the stored frames: what a decoder shows, the streaming
// writer against the document, progress, and failures.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <set>

#include "export/GifExport.h"
#include "files/FileError.h"
#include "files/WholeFile.h"
#include "tests/export/ExportTestUtil.h"
#include "tests/support/GifFrames.h"
#include "tests/support/TestPictures.h"

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

class GifExportTest : public testing::Test {
 protected:
  void TearDown() override { Anim = TAnimation(); }
};

TEST_F(GifExportTest, EveryDecodedFrameIsTheRenderedFrameInCubeColours) {
  // Frames 3 and 6 repeat the frame before them.
  InstallAnimation(
      {.Width = 120, .Height = 100, .Frames = 7, .Figures = 3, .Seed = 3, .Gradient = true, .RepeatEvery = 3});
  for (int shrink : {1, 3}) {
    std::vector<QImage> expected;
    expected.reserve(Anim.Frames.size());
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

TEST_F(GifExportTest, ShrinkThreeOfTheStartSize) {
  InstallAnimation({.Width = 506, .Height = 415, .Frames = 1, .Figures = 1});
  TGifExportOptions options;
  options.Shrink = 3;
  const TDecodedGif decoded = DecodeGif(BuildGifDocument(Anim, options).SaveToBytes());
  EXPECT_EQ(QSize(decoded.Width, decoded.Height), QSize(168, 138));
  EXPECT_EQ(decoded.Rects.at(0), QRect(0, 0, 168, 138));
}

TEST_F(GifExportTest, StreamingWritesTheDocumentsBytesWithAnyNumberOfThreads) {
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

TEST_F(GifExportTest, ProgressRunsToAHundredAndIsNotSetForOneFrame) {
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

TEST_F(GifExportTest, AFailedExportLeavesTheEarlierFileAsItWas) {
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

TEST_F(GifExportTest, RefusesFramesShrunkBelowOnePixel) {
  InstallAnimation({.Width = 8, .Height = 20, .Frames = 1});
  TGifExportOptions options;
  options.Shrink = 9;
  EXPECT_THROW(BuildGifDocument(Anim, options), EFileError);
  EXPECT_THROW(Streamed(options, 1), EFileError);
}

namespace {

int CountColours(const std::vector<QImage>& Frames) {
  std::set<QRgb> colours;
  for (const QImage& f : Frames)
    for (int y = 0; y < f.height(); ++y)
      for (int x = 0; x < f.width(); ++x) colours.insert(f.pixel(x, y) & 0xFFFFFF);
  return static_cast<int>(colours.size());
}

std::vector<QImage> RenderedFrames(int Shrink) {
  std::vector<QImage> frames;
  frames.reserve(Anim.Frames.size());
  for (int i = 0; i < static_cast<int>(Anim.Frames.size()); ++i) frames.push_back(ExpectedFrame(i, Shrink, false));
  return frames;
}

}  // namespace

TEST_F(GifExportTest, ExactColoursShowEveryRenderedFrameWhenAtMost256AreUsed) {
  // Random colours that the cube would move, over white; frames repeat.
  InstallAnimation({.Width = 90, .Height = 70, .Frames = 6, .Figures = 3, .Seed = 21, .RepeatEvery = 3});
  for (int shrink : {1, 2}) {
    const std::vector<QImage> rendered = RenderedFrames(shrink);
    ASSERT_LE(CountColours(rendered), 256);
    ASSERT_GT(CountColours(rendered), 4);
    for (TGifExportOptions options : EveryOptionCombination(shrink)) {
      options.ExactColors = true;
      SCOPED_TRACE(Describe(options));
      const QByteArray bytes = Streamed(options, 1);
      EXPECT_TRUE(Streamed(options, 3) == bytes);
      const TDecodedGif decoded = DecodeGif(bytes);
      ASSERT_TRUE(decoded.Error.isEmpty()) << decoded.Error.toStdString();
      EXPECT_EQ(decoded.GlobalColors, 1 << ColorTableBits(CountColours(rendered) + options.Merge));
      std::vector<QImage> shown;
      for (std::size_t i = 0; i < rendered.size(); ++i)
        if (!(options.Merge && options.Crop) || i == 0 || rendered[i] != rendered[i - 1]) shown.push_back(rendered[i]);
      ASSERT_EQ(decoded.Frames.size(), shown.size());
      for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_TRUE(decoded.Frames[i] == shown[i]) << "frame " << i;
    }
  }
}

TEST_F(GifExportTest, ExactColoursFillTheTableWithoutATransparentEntryAt256) {
  // A background of exactly 255 or 256 colours and no figures: every frame
  // repeats the first, so merging wants the transparent index.
  for (int colours : {255, 256}) {
    InstallAnimation({.Width = 16, .Height = 16, .Frames = 3, .Figures = 0});
    for (int i = 0; i < 256; ++i) {
      const int k = std::min(i, colours - 1);
      Anim.Background.setPixel(i % 16, i / 16, qRgb(k, 255 - k, k * 7 % 256));
    }
    const TDecodedGif decoded = DecodeGif(Streamed({.ExactColors = true}, 2));
    ASSERT_TRUE(decoded.Error.isEmpty()) << decoded.Error.toStdString();
    EXPECT_EQ(decoded.GlobalColors, 256);
    const QImage expected = ExpectedFrame(0, 1, false);
    // With a free entry the repeated frames merge away; without one they stay whole.
    ASSERT_EQ(decoded.Frames.size(), colours == 255 ? 1u : 3u) << colours;
    for (const QImage& frame : decoded.Frames) EXPECT_TRUE(frame == expected);
  }
}

TEST_F(GifExportTest, ExactColoursBeyond256AreChosenFromAllFramesAndDithered) {
  InstallAnimation({.Width = 120, .Height = 90, .Frames = 5, .Figures = 3, .Seed = 4, .Gradient = true});
  const std::vector<QImage> rendered = RenderedFrames(1);
  ASSERT_GT(CountColours(rendered), 256);
  // The average difference of each channel from the rendered frames.
  auto error = [&](const TDecodedGif& Gif) {
    double sum = 0;
    for (std::size_t i = 0; i < rendered.size(); ++i)
      for (int y = 0; y < rendered[i].height(); ++y)
        for (int x = 0; x < rendered[i].width(); ++x) {
          const QRgb a = rendered[i].pixel(x, y), b = Gif.Frames.at(i).pixel(x, y);
          sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    return sum / (3.0 * static_cast<double>(rendered.size()) * 120 * 90);
  };
  const TGifExportOptions exact{.Merge = false, .ExactColors = true};
  const QByteArray bytes = Streamed(exact, 1);
  EXPECT_TRUE(Streamed(exact, 3) == bytes);
  const TDecodedGif decoded = DecodeGif(bytes);
  ASSERT_TRUE(decoded.Error.isEmpty()) << decoded.Error.toStdString();
  ASSERT_EQ(decoded.Frames.size(), rendered.size());
  EXPECT_EQ(decoded.GlobalColors, 256);
  EXPECT_EQ(std::count(decoded.LocalColors.begin(), decoded.LocalColors.end(), 0), 5);
  const double cubeError = error(DecodeGif(Streamed({.Merge = false}, 1)));
  EXPECT_LT(error(decoded), cubeError / 2) << "cube " << cubeError;

  // Merging keeps an entry for the transparent index, and the frames still decode.
  const TDecodedGif merged = DecodeGif(Streamed({.ExactColors = true}, 2));
  ASSERT_TRUE(merged.Error.isEmpty()) << merged.Error.toStdString();
  EXPECT_EQ(merged.Frames.size(), rendered.size());
  EXPECT_LT(error(merged), cubeError / 2);
}

TEST_F(GifExportTest, SmoothLinesKeepTheirBlendedColoursWhateverThePalette) {
  // Black figures over white blend into greys, at most 256 of them: every
  // decoded frame is the rendered one, no grey moved to the cube's six.
  InstallAnimation({.Width = 90, .Height = 70, .Frames = 3, .Figures = 2, .Seed = 21});
  for (TFigures& frame : Anim.Frames)
    for (TFigure& figure : frame.Items) figure.Color = ColorBlack;
  std::vector<QImage> rendered;
  rendered.reserve(3);
  for (int i = 0; i < 3; ++i) rendered.push_back(ExpectedFrame(i, 1, false, TLineStyle::Smooth));
  ASSERT_LE(CountColours(rendered), 256);
  ASSERT_GT(CountColours(rendered), CountColours(RenderedFrames(1)));
  for (bool palette : {true, false}) {
    const TDecodedGif decoded = DecodeGif(Streamed({.Palette = palette, .Lines = TLineStyle::Smooth}, 2));
    ASSERT_TRUE(decoded.Error.isEmpty()) << decoded.Error.toStdString();
    ASSERT_EQ(decoded.Frames.size(), rendered.size());
    for (std::size_t i = 0; i < rendered.size(); ++i)
      EXPECT_TRUE(decoded.Frames[i] == rendered[i]) << "palette " << palette << " frame " << i;
  }
}

TEST_F(GifExportTest, SmallerFilesShowTheSameFramesWithTheSameDelaysInFewerBytes) {
  const TAnimationRecipe animations[] = {
      {.Width = 120, .Height = 100, .Frames = 8, .Figures = 3, .Seed = 31, .RepeatEvery = 3},
      {.Width = 97, .Height = 61, .Frames = 6, .Figures = 2, .Seed = 32, .Gradient = true, .RepeatEvery = 2},
      {.Width = 50, .Height = 40, .Frames = 3, .Figures = 0, .Seed = 33},  // nothing ever changes
  };
  qsizetype plainBytes = 0, smallerBytes = 0;
  for (const TAnimationRecipe& recipe : animations) {
    InstallAnimation(recipe);
    for (bool exact : {false, true})
      for (int shrink : {1, 3})
        for (TGifExportOptions options : EveryOptionCombination(shrink)) {
          options.ExactColors = exact;
          SCOPED_TRACE(Describe(options) + " exact " + std::to_string(exact) + " seed " + std::to_string(recipe.Seed));
          const QByteArray plain = Streamed(options, 2);
          options.Smaller = true;
          const QByteArray smaller = Streamed(options, 1);
          EXPECT_TRUE(Streamed(options, 3) == smaller);
          const TDecodedGif a = DecodeGif(plain), b = DecodeGif(smaller);
          ASSERT_TRUE(b.Error.isEmpty()) << b.Error.toStdString();
          ASSERT_EQ(a.Frames.size(), b.Frames.size());
          for (std::size_t i = 0; i < a.Frames.size(); ++i) EXPECT_TRUE(a.Frames[i] == b.Frames[i]) << "frame " << i;
          EXPECT_EQ(a.Delays, b.Delays);
          plainBytes += plain.size();
          smallerBytes += smaller.size();
          // The default options on moving figures: strictly fewer bytes.
          if (recipe.Seed == 31 && options.Palette && options.Merge && options.Crop && !exact) {
            EXPECT_LT(smaller.size(), plain.size());
          }
        }
  }
  EXPECT_LT(smallerBytes, plainBytes * 3 / 4);
}

// A frame left out because it repeats the one before leaves its time to the
// frame kept, so the GIF plays as long as the other formats; a time beyond
// the 16-bit delay field goes on in frames that change nothing. A held frame
// plays for its hold's delays.
TEST_F(GifExportTest, RepeatedFramesKeepTheirTimeInEveryWayOfWriting) {
  struct TRow {
    const char* Frames;  // one letter per stored frame, equal letters equal frames
    long long Delay;
    std::vector<int> Holds;  // of the frames in turn; none: 1 each
  } rows[] = {{"AAB", 10, {}},          {"AAAA", 10, {}},        {"ABBB", 40000, {}},
              {"ABBA", 65535, {}},      {"AB", 70000, {}},       {"AB", 10, {1, 3}},
              {"ABA", 10, {3, 1, 100}}, {"AAB", 7, {2, 100, 3}}, {"AB", 40000, {1, 2}}};
  InstallAnimation({.Width = 60, .Height = 40, .Frames = 2, .Figures = 2, .Seed = 41});
  const std::vector<TFigures> distinct = Anim.Frames;
  for (const TRow& row : rows) {
    Anim.Frames.clear();
    for (const char* f = row.Frames; *f != 0; ++f) Anim.Frames.push_back(distinct[static_cast<std::size_t>(*f - 'A')]);
    for (std::size_t i = 0; i < row.Holds.size(); ++i) Anim.Frames[i].Hold = static_cast<uint8_t>(row.Holds[i]);
    // The screens a viewer shows and for how long, equal neighbours joined.
    using TTimeline = std::vector<std::pair<QImage, long long>>;
    auto join = [](TTimeline& Timeline, const QImage& Screen, long long Delay) {
      if (!Timeline.empty() && Timeline.back().first == Screen)
        Timeline.back().second += Delay;
      else
        Timeline.emplace_back(Screen, Delay);
    };
    for (const bool smaller : {false, true})
      for (const bool exact : {false, true}) {
        SCOPED_TRACE(std::string(row.Frames) + " delay " + std::to_string(row.Delay) + " smaller " +
                     std::to_string(smaller) + " exact " + std::to_string(exact));
        // Each stored frame for its delay, held at what the field takes.
        TTimeline expected;
        for (int i = 0; i < static_cast<int>(Anim.Frames.size()); ++i)
          join(expected, ExpectedFrame(i, 1, !exact), std::min(row.Delay * Anim.Frames[i].Hold, 65535LL));
        const TGifExportOptions options{.Delay = row.Delay, .ExactColors = exact, .Smaller = smaller};
        const QByteArray bytes = Streamed(options, 2);
        if (!smaller && !exact) {
          EXPECT_TRUE(bytes == BuildGifDocument(Anim, options).SaveToBytes());
        }
        const TDecodedGif decoded = DecodeGif(bytes);
        ASSERT_TRUE(decoded.Error.isEmpty()) << decoded.Error.toStdString();
        TTimeline shown;
        for (std::size_t i = 0; i < decoded.Frames.size(); ++i) join(shown, decoded.Frames[i], decoded.Delays[i]);
        ASSERT_EQ(shown.size(), expected.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
          EXPECT_TRUE(shown[i].first == expected[i].first) << "screen " << i;
          EXPECT_EQ(shown[i].second, expected[i].second) << "screen " << i;
        }
      }
  }
}
