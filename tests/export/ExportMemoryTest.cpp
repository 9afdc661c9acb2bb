// SPDX-License-Identifier: GPL-3.0-or-later
// The heap each export holds at most, counted in pictures of the
// animation's size, with one thread and two frames, as the largest
// animations are exported (bench/ExportMemoryBench.cpp has those).

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "export/FrameBatches.h"
#include "export/GifExport.h"
#include "export/PngExport.h"
#include "export/VideoExport.h"
#include "files/WholeFile.h"
#include "tests/export/ExportTestUtil.h"
#include "tests/support/HeapPeak.h"

// The GIF export holds its work picture and the frames reduced to one byte
// a pixel; the video hands its renderers' pictures to ffmpeg as they are
// (two renderers take turns; the pipe takes a MiB of rows at a time) and
// the animated PNG compares each frame with the one before in its
// renderers' pictures. Copying each frame on the way, as both did before,
// took the video to four pictures and the animated PNG to more than three.
TEST(ExportMemory, NoExportHoldsMoreThanTwoPicturesAndAHalf) {
  if (!HeapPeak::Available()) GTEST_SKIP() << "needs a sanitizer's allocation hooks";
  InstallAnimation({.Width = 2000, .Height = 1500, .Frames = 2, .Seed = 5});
  const double picture = 4.0 * 2000 * 1500;
  const double buffers = 2.0 * (1 << 20);  // a piece of the video file, rows for the pipe
  QTemporaryDir dir;
  // A program that keeps the raw frames it is given as the video it is asked for.
  const QString keep = dir.filePath("keep");
  WriteWholeFile(keep, "#!/bin/sh\nfor last; do :; done\ncat >\"$last\"\n");
  QFile::setPermissions(keep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const struct {
    const char* Name;
    std::function<void()> Export;
  } cases[] = {
      {"GIF", [&] { ExportGifFile(dir.filePath("a.gif"), Anim, {}, {}, 1); }},
      {"video", [&] { ExportVideoFile(dir.filePath("a.mp4"), TVideoFormat::Mp4, Anim, {.Program = keep}, {}, 1); }},
      {"animated PNG", [&] { ExportAnimatedPngFile(dir.filePath("a.apng"), Anim, 1, 1, {}, 1); }},
  };
  for (const auto& c : cases) {
    const double held = static_cast<double>(HeapPeak::Above(c.Export));
    EXPECT_GT(held, 0.9 * picture) << c.Name;  // at least the picture it draws in
    EXPECT_LE(held, 2.5 * picture + buffers) << c.Name << ": " << held / picture << " pictures";
  }
  Anim = TAnimation();
}

// The batch loop of the frame exports: every frame in order, and the
// pictures as drawn for as long as each way of keeping them promises.
TEST(FrameBatches, FramesComeInOrderAndKeptPicturesStayAsDrawn) {
  InstallAnimation({.Width = 40, .Height = 30, .Frames = 11, .Seed = 4});
  std::vector<QImage> drawn;
  drawn.reserve(11);
  for (int i = 0; i < 11; ++i) drawn.push_back(ExpectedFrame(i, 1, false));
  // Two threads, two frames each: batches of 4, 4 and 3. Two sets fall
  // back to one when both would pass the picture budget.
  const struct {
    TKeptPictures Kept;
    long long ThreadBytes;
    int Sets;
  } rows[] = {{TKeptPictures::None, 1, 0},
              {TKeptPictures::OneSet, 1, 1},
              {TKeptPictures::TwoSets, 1, 2},
              {TKeptPictures::TwoSets, ExportPictureBudget / 8 + 1, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Sets);
    TFrameBatches batches(
        Anim, {.Threads = 2, .ThreadBytes = row.ThreadBytes, .FramesPerThread = 2, .FrameBytes = 1, .Kept = row.Kept});
    ASSERT_EQ(batches.Size(), 4);
    EXPECT_EQ(batches.Sets(), row.Sets);
    const auto same = [&](const QImage& Picture, int Frame) { EXPECT_TRUE(Picture == drawn[Frame]) << Frame; };
    std::vector<QImage> each(4);
    std::vector<int> written;
    TFrameBatch before;  // the batch written before this one
    batches.Run({.Each = [&](const QImage& Picture, int J) { each[J] = Picture.copy(); },
                 .Write =
                     [&](const TFrameBatch& Batch) {
                       for (int j = 0; j < Batch.Count; ++j) {
                         written.push_back(Batch.Start + j);
                         same(each[j], Batch.Start + j);
                         if (row.Sets > 0) same(Batch.Picture(j), Batch.Start + j);
                         // The other set still holds the batch before.
                         if (row.Sets == 2 && j < before.Count) same(before.Picture(j), before.Start + j);
                       }
                       before = Batch;
                     }});
    EXPECT_EQ(written, std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  }
  Anim = TAnimation();
}
