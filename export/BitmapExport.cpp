// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/BitmapExport.h"

#include <QByteArray>
#include <vector>

#include "export/FrameBatches.h"
#include "files/BmpFile.h"
#include "files/FileError.h"
#include "files/WholeFile.h"
#include "model/Common.h"

namespace {
constexpr int FramesPerThread = 2;
}

int BitmapNumberWidth(int FrameCount) { return static_cast<int>(QString::number(FrameCount - 1).size()); }

QString BitmapFileName(const QString& Base, int Index, int FrameCount) {
  return Base + QStringLiteral("%1").arg(Index, BitmapNumberWidth(FrameCount), 10, QLatin1Char('0')) +
         QStringLiteral(".bmp");
}

void SaveAnimationAsBitmaps(const QString& Base, const TAnimation& Animation, const TExportProgress& Progress,
                            int Threads, TLineStyle Lines, bool Once) {
  const int frames = static_cast<int>(Animation.Frames.size());
  if (frames == 0) throw EFileError(NoFramesMessage);
  const std::vector<int> starts = SeriesFileStarts(Animation, Once);
  // Each thread draws into a picture of the animation's size and encodes a BMP file of it.
  const long long picture = 4LL * Animation.Width * Animation.Height;
  const long long file = Bmp24RowBytes(Animation.Width) * static_cast<long long>(Animation.Height);
  TFrameBatches batches(Animation, {.Lines = Lines,
                                    .Threads = Threads,
                                    .ThreadBytes = picture + file,
                                    .FramesPerThread = FramesPerThread,
                                    .FrameBytes = file});
  std::vector<QByteArray> files(static_cast<std::size_t>(batches.Size()));
  batches.Run({.Each = [&](const QImage& Picture, int J) { EncodeBmp24(Picture, files[J]); },
               .Write =
                   [&](const TFrameBatch& Batch) {
                     for (int j = 0; j < Batch.Count; ++j) {
                       const std::size_t frame = static_cast<std::size_t>(Batch.Start) + j;
                       for (int n = starts[frame]; n < starts[frame + 1]; ++n)
                         WriteWholeFile(BitmapFileName(Base, n, starts.back()), files[j]);
                       if (Progress) Progress((Batch.Start + j) * 100 / frames);
                     }
                   }});
}
