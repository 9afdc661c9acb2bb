// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/VideoExport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <vector>

#include "export/FramePipe.h"
#include "export/GifExport.h"
#include "export/Workers.h"
#include "files/FileError.h"
#include "files/WholeFile.h"

const char* const NoFfmpegMessage =
    "Video export needs the program ffmpeg, which was not found: install the package \"ffmpeg\".";

namespace {

constexpr int WaitMs = 60000;

// The last line ffmpeg wrote to its error output (kept in the file Log),
// empty when it wrote none.
QString LastLine(const QString& Log) {
  QFile file(Log);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  const QStringList lines =
      QString::fromLocal8Bit(file.readAll()).split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
  for (auto line = lines.rbegin(); line != lines.rend(); ++line)
    if (!line->trimmed().isEmpty()) return line->trimmed();
  return QString();
}

[[noreturn]] void Failed(QProcess& Ffmpeg, const QString& Log) {
  Ffmpeg.kill();
  Ffmpeg.waitForFinished(WaitMs);
  QString reason = LastLine(Log);
  if (reason.isEmpty()) reason = QStringLiteral("it stopped (exit status %1)").arg(Ffmpeg.exitCode());
  throw EFileError(QStringLiteral("ffmpeg could not make the video: %1").arg(reason).toStdString());
}

// Threads of the VP9 encoder: as many as the processor runs at once, from 2
// to 8. Its output is the same for every count in that range (one thread
// alone codes differently), so the same project makes the same file on
// every machine, and no more threads compete for the cores than they have.
int Vp9Threads() { return std::clamp(QThread::idealThreadCount(), 2, 8); }

// The frames in the pipe: 4:2:0 made here, in the picture's size or, for
// an MP4 (H.264 in 4:2:0 takes even sizes only), with one more column or
// row repeating the last where a side is odd. A WebM of odd height goes as
// 32-bit pixels for ffmpeg to convert: it spreads the colour rows over the
// picture rows as players do, where halving here would shift colours by up
// to half a row (2.5 dB less on the sample walk).
std::optional<QSize> Yuv420Size(TVideoFormat Format, QSize Size) {
  if (Format == TVideoFormat::Mp4) return QSize(Size.width() + Size.width() % 2, Size.height() + Size.height() % 2);
  if (Size.height() % 2 == 0) return Size;
  return std::nullopt;
}

// ffmpeg's name for a picture's 32-bit pixels as they lie in memory: blue,
// green, red and an unused byte where the lowest byte comes first.
QString PicturePixelFormat() {
  return QSysInfo::ByteOrder == QSysInfo::LittleEndian ? QStringLiteral("bgr0") : QStringLiteral("0rgb");
}

QStringList Arguments(TVideoFormat Format, QSize Size, bool Yuv420, long long Delay, const QString& Output) {
  QStringList arguments{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                        QStringLiteral("error"),        QStringLiteral("-y"),
                        QStringLiteral("-f"),           QStringLiteral("rawvideo"),
                        QStringLiteral("-pix_fmt"),     Yuv420 ? QStringLiteral("yuv420p") : PicturePixelFormat(),
                        QStringLiteral("-s"),           QStringLiteral("%1x%2").arg(Size.width()).arg(Size.height()),
                        QStringLiteral("-framerate"),   QStringLiteral("100/%1").arg(Delay),
                        QStringLiteral("-i"),           QStringLiteral("pipe:0")};
  // Where ffmpeg converts: its quick path takes each colour sample from one
  // pixel instead of filtering, and thin coloured lines would lose 6 dB.
  if (!Yuv420) arguments << QStringLiteral("-sws_flags") << QStringLiteral("bicubic+accurate_rnd");
  if (Format == TVideoFormat::Mp4)
    arguments << QStringLiteral("-c:v") << QStringLiteral("libx264") << QStringLiteral("-pix_fmt")
              << QStringLiteral("yuv420p") << QStringLiteral("-movflags") << QStringLiteral("+faststart")
              << QStringLiteral("-f") << QStringLiteral("mp4");
  else
    // The real-time settings encode several times faster than the default
    // ones; quality 15 keeps one-pixel lines as sharp as quality 30 did
    // there. The container gets no random segment identifier (bitexact),
    // so the file depends only on the frames.
    arguments << QStringLiteral("-c:v") << QStringLiteral("libvpx-vp9") << QStringLiteral("-pix_fmt")
              << QStringLiteral("yuv420p") << QStringLiteral("-deadline") << QStringLiteral("realtime")
              << QStringLiteral("-cpu-used") << QStringLiteral("8") << QStringLiteral("-row-mt") << QStringLiteral("1")
              << QStringLiteral("-threads") << QString::number(Vp9Threads()) << QStringLiteral("-crf")
              << QStringLiteral("15") << QStringLiteral("-b:v") << QStringLiteral("0") << QStringLiteral("-fflags")
              << QStringLiteral("+bitexact") << QStringLiteral("-f") << QStringLiteral("webm");
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

  const QString log = folder.filePath(QStringLiteral("ffmpeg.log"));

  // Its error output goes to a file: a pipe that filled up while this
  // thread waits to write a frame would stop both programs.
  QProcess ffmpeg;
  ffmpeg.setStandardOutputFile(QProcess::nullDevice());
  ffmpeg.setStandardErrorFile(log);
  // Each renderer keeps the picture it drew until the pipe has written it.
  // Two sets of them, while the picture budget allows, let one set be
  // rendered while the other is written; otherwise rendering waits for the
  // writing, and no more pictures are held than the GIF export holds.
  const long long full = 4LL * Animation.Width * Animation.Height;
  const long long small = Options.Shrink >= 2 ? 4LL * size.width() * size.height() : 0;
  TWorkers workers(ExportThreads(Threads, full + small));
  const int batch = workers.Count();
  const int sets = TFramePipe::Overlaps() && 2LL * batch * (full + small) <= ExportPictureBudget ? 2 : 1;
  const int rendererCount = sets * batch;
  std::vector<TFrameRenderer> renderers;
  renderers.reserve(static_cast<std::size_t>(rendererCount));
  for (int r = 0; r < rendererCount; ++r) renderers.emplace_back(Animation, Options.Shrink, Options.Lines);
  std::vector<const QImage*> pictures(renderers.size());

  const std::optional<QSize> yuv420 = Yuv420Size(Format, size);
  TFramePipe pipe(ffmpeg, yuv420);
  ffmpeg.start(Options.Program,
               Arguments(Format, yuv420.value_or(size), yuv420.has_value(), std::max(1LL, Options.Delay), encoded));
  if (!ffmpeg.waitForStarted(WaitMs)) {
    if (ffmpeg.error() == QProcess::FailedToStart) throw EFileError(NoFfmpegMessage);
    Failed(ffmpeg, log);
  }
  pipe.Started();

  int reported = 0;
  const auto report = [&](int Written) {
    for (; reported < Written; ++reported)
      if (Progress) Progress(reported * 100 / frames);
  };
  for (int start = 0; start < frames; start += batch) {
    const int n = std::min(batch, frames - start);
    const int set = (start / batch) % sets;
    const std::size_t first = static_cast<std::size_t>(set) * static_cast<std::size_t>(batch);
    // This set's pictures were sent sets batches ago: they must be written.
    report(pipe.WaitWritten(start - (sets - 1) * batch));
    if (pipe.Failed()) Failed(ffmpeg, log);
    workers.Run(n, [&](int J, int) {
      const std::size_t slot = first + static_cast<std::size_t>(J);
      pictures[slot] = &renderers[slot].Render(Animation.Frames[start + J]);
    });
    for (int j = 0; j < n; ++j) pipe.Send(*pictures[first + static_cast<std::size_t>(j)]);
  }
  if (!pipe.Finish()) Failed(ffmpeg, log);
  report(frames);
  while (!ffmpeg.waitForFinished(WaitMs))
    if (ffmpeg.state() != QProcess::Running) break;
  if (ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) Failed(ffmpeg, log);

  // An ffmpeg that ends well without writing anything has only its own
  // words to say why; the name of the temporary file would tell the user nothing.
  QFile video(encoded);
  if (video.size() == 0 || !video.open(QIODevice::ReadOnly)) {
    const QString last = LastLine(log);
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
