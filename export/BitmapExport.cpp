// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/BitmapExport.h"

#include <QByteArray>
#include <algorithm>
#include <vector>

#include "export/Workers.h"
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
                            int Threads, TLineStyle Lines) {
  const int frames = static_cast<int>(Animation.Frames.size());
  if (frames == 0) throw EFileError(NoFramesMessage);
  // Each thread draws into a picture of the animation's size and encodes a BMP file of it.
  const long long picture = 4LL * Animation.Width * Animation.Height;
  const long long file = Bmp24RowBytes(Animation.Width) * static_cast<long long>(Animation.Height);
  TWorkers workers(ExportThreads(Threads, picture + file));
  std::vector<TFrameRenderer> renderers;
  renderers.reserve(static_cast<std::size_t>(workers.Count()));
  for (int w = 0; w < workers.Count(); ++w) renderers.emplace_back(Animation, 1, Lines);
  const int batch = BatchSize(workers, FramesPerThread, file);
  std::vector<QByteArray> files(batch);
  for (int start = 0; start < frames; start += batch) {
    const int n = std::min(batch, frames - start);
    workers.Run(n, [&](int J, int W) { EncodeBmp24(renderers[W].Render(Animation.Frames[start + J]), files[J]); });
    for (int j = 0; j < n; ++j) {
      WriteWholeFile(BitmapFileName(Base, start + j, frames), files[j]);
      if (Progress) Progress((start + j) * 100 / frames);
    }
  }
}
