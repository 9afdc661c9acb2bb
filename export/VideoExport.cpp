// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/VideoExport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include "export/GifExport.h"
#include "export/Workers.h"
#include "files/FileError.h"
#include "files/WholeFile.h"

const char* const NoFfmpegMessage =
    "Video export needs the program ffmpeg, which was not found: install the package \"ffmpeg\".";

namespace {

constexpr int FramesPerThread = 2;
constexpr int WaitMs = 60000;

// The last line ffmpeg wrote to its error output, empty when it wrote none.
QString LastLine(QProcess& Ffmpeg) {
  const QStringList lines = QString::fromLocal8Bit(Ffmpeg.readAllStandardError())
                                .split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
  for (auto line = lines.rbegin(); line != lines.rend(); ++line)
    if (!line->trimmed().isEmpty()) return line->trimmed();
  return QString();
}

[[noreturn]] void Failed(QProcess& Ffmpeg) {
  Ffmpeg.kill();
  Ffmpeg.waitForFinished(WaitMs);
  QString reason = LastLine(Ffmpeg);
  if (reason.isEmpty()) reason = QStringLiteral("it stopped (exit status %1)").arg(Ffmpeg.exitCode());
  throw EFileError(QStringLiteral("ffmpeg could not make the video: %1").arg(reason).toStdString());
}

QStringList Arguments(TVideoFormat Format, QSize Size, long long Delay, const QString& Output) {
  QStringList arguments{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                        QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("rawvideo"),
                        // Format_RGB32 lies in memory as blue, green, red, unused.
                        QStringLiteral("-pix_fmt"), QStringLiteral("bgr0"), QStringLiteral("-s"),
                        QStringLiteral("%1x%2").arg(Size.width()).arg(Size.height()), QStringLiteral("-framerate"),
                        QStringLiteral("100/%1").arg(Delay), QStringLiteral("-i"), QStringLiteral("pipe:0")};
  if (Format == TVideoFormat::Mp4)
    arguments << QStringLiteral("-c:v") << QStringLiteral("libx264") << QStringLiteral("-pix_fmt")
              << QStringLiteral("yuv420p") << QStringLiteral("-vf") << QStringLiteral("pad=ceil(iw/2)*2:ceil(ih/2)*2")
              << QStringLiteral("-movflags") << QStringLiteral("+faststart") << QStringLiteral("-f")
              << QStringLiteral("mp4");
  else
    arguments << QStringLiteral("-c:v") << QStringLiteral("libvpx-vp9") << QStringLiteral("-pix_fmt")
              << QStringLiteral("yuv420p") << QStringLiteral("-crf") << QStringLiteral("30") << QStringLiteral("-b:v")
              << QStringLiteral("0") << QStringLiteral("-f") << QStringLiteral("webm");
  return arguments << Output;
}

}  // namespace

std::optional<TVideoFormat> VideoFormatOf(const QString& Path) {
  if (Path.endsWith(QLatin1String(".mp4"), Qt::CaseInsensitive)) return TVideoFormat::Mp4;
  if (Path.endsWith(QLatin1String(".webm"), Qt::CaseInsensitive)) return TVideoFormat::WebM;
  return std::nullopt;
}

// NOLINTNEXTLINE(readability-function-size): listed in .clang-tidy
void ExportVideoFile(const QString& Path, TVideoFormat Format, const TAnimation& Animation,
                     const TVideoOptions& Options, const TExportProgress& Progress, int Threads) {
  const int frames = static_cast<int>(Animation.Frames.size());
  if (frames == 0) throw EFileError(NoFramesMessage);
  const QSize size = GifFrameSize(Animation.Size(), Options.Shrink);
  QSaveFile file(Path);
  if (!file.open(QIODevice::WriteOnly))
    throw EFileError(QStringLiteral("%1: %2").arg(Path, file.errorString()).toStdString());
  QTemporaryDir folder;
  if (!folder.isValid())
    throw EFileError(QStringLiteral("No temporary folder: %1").arg(folder.errorString()).toStdString());
  const QString encoded = folder.filePath(Format == TVideoFormat::Mp4 ? "video.mp4" : "video.webm");

  QProcess ffmpeg;
  ffmpeg.setStandardOutputFile(QProcess::nullDevice());
  ffmpeg.start(Options.Program, Arguments(Format, size, std::max(1LL, Options.Delay), encoded));
  if (!ffmpeg.waitForStarted(WaitMs)) {
    if (ffmpeg.error() == QProcess::FailedToStart) throw EFileError(NoFfmpegMessage);
    Failed(ffmpeg);
  }

  const long long full = 4LL * Animation.Width * Animation.Height;
  const long long small = 4LL * size.width() * size.height();
  TWorkers workers(ExportThreads(Threads, full + 2 * small));
  std::vector<TFrameRenderer> renderers;
  renderers.reserve(static_cast<std::size_t>(workers.Count()));
  for (int w = 0; w < workers.Count(); ++w) renderers.emplace_back(Animation, Options.Shrink, Options.Lines);
  const int batch = BatchSize(workers, FramesPerThread, small);
  std::vector<QImage> pictures(batch);
  for (int start = 0; start < frames; start += batch) {
    const int n = std::min(batch, frames - start);
    workers.Run(n, [&](int J, int W) { pictures[J] = renderers[W].Render(Animation.Frames[start + J]).copy(); });
    for (int j = 0; j < n; ++j) {
      const QImage& picture = pictures[j];
      if (ffmpeg.state() != QProcess::Running) Failed(ffmpeg);
      // Rows of Format_RGB32 follow one another without padding.
      ffmpeg.write(reinterpret_cast<const char*>(picture.constBits()), picture.sizeInBytes());
      // One frame at a time in the pipe: memory does not grow with the frames.
      while (ffmpeg.bytesToWrite() > 0)
        if (!ffmpeg.waitForBytesWritten(WaitMs) && ffmpeg.state() != QProcess::Running) Failed(ffmpeg);
      if (Progress) Progress((start + j) * 100 / frames);
    }
  }
  ffmpeg.closeWriteChannel();
  while (!ffmpeg.waitForFinished(WaitMs))
    if (ffmpeg.state() != QProcess::Running) break;
  if (ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) Failed(ffmpeg);

  // An ffmpeg that ends well without writing anything has only its own
  // words to say why; the name of the temporary file would tell the user nothing.
  QFile video(encoded);
  if (video.size() == 0 || !video.open(QIODevice::ReadOnly)) {
    const QString last = LastLine(ffmpeg);
    throw EFileError((last.isEmpty() ? QStringLiteral("ffmpeg made no video.")
                                     : QStringLiteral("ffmpeg made no video: %1").arg(last))
                         .toStdString());
  }
  while (!video.atEnd()) {
    const QByteArray piece = video.read(1 << 20);
    if (piece.isEmpty() || !WriteFully(file, piece))
      throw EFileError(QStringLiteral("%1: %2").arg(Path, file.errorString()).toStdString());
  }
  CommitSaveFile(file);
}
