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

#include "export/FrameBatches.h"
#include "export/FramePipe.h"
#include "export/GifExport.h"
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

// ffmpeg making one video: the temporary folder that holds the video it
// writes and its error output, and the process.
class TFfmpegRun {
 public:
  explicit TFfmpegRun(TVideoFormat Format) {
    if (!Folder.isValid())
      throw EFileError(QStringLiteral("No temporary folder: %1").arg(Folder.errorString()).toStdString());
    Encoded = Folder.filePath(Format == TVideoFormat::Mp4 ? "video.mp4" : "video.webm");
    Log = Folder.filePath(QStringLiteral("ffmpeg.log"));
    // Its error output goes to a file: a pipe that filled up while this
    // thread waits to write a frame would stop both programs.
    Ffmpeg.setStandardOutputFile(QProcess::nullDevice());
    Ffmpeg.setStandardErrorFile(Log);
  }

  QProcess& Process() { return Ffmpeg; }
  // The video ffmpeg writes.
  const QString& Output() const { return Encoded; }

  void Start(const QString& Program, const QStringList& Arguments) {
    Ffmpeg.start(Program, Arguments);
    if (Ffmpeg.waitForStarted(WaitMs)) return;
    if (Ffmpeg.error() == QProcess::FailedToStart) throw EFileError(NoFfmpegMessage);
    Fail();
  }

  // Stops ffmpeg and throws its last words.
  [[noreturn]] void Fail() {
    Ffmpeg.kill();
    Ffmpeg.waitForFinished(WaitMs);
    QString reason = LastLine(Log);
    if (reason.isEmpty()) reason = QStringLiteral("it stopped (exit status %1)").arg(Ffmpeg.exitCode());
    throw EFileError(QStringLiteral("ffmpeg could not make the video: %1").arg(reason).toStdString());
  }

  // Once its input has ended: waits for ffmpeg, which must end well.
  void Finish() {
    while (!Ffmpeg.waitForFinished(WaitMs))
      if (Ffmpeg.state() != QProcess::Running) break;
    if (Ffmpeg.exitStatus() != QProcess::NormalExit || Ffmpeg.exitCode() != 0) Fail();
  }

  // Copies the video into File, which is Path.
  void CopyVideo(QSaveFile& File, const QString& Path) const {
    // An ffmpeg that ends well without writing anything has only its own
    // words to say why; the name of the temporary file would tell the user nothing.
    QFile video(Encoded);
    if (video.size() == 0 || !video.open(QIODevice::ReadOnly)) {
      const QString last = LastLine(Log);
      throw EFileError((last.isEmpty() ? QStringLiteral("ffmpeg made no video.")
                                       : QStringLiteral("ffmpeg made no video: %1").arg(last))
                           .toStdString());
    }
    while (!video.atEnd()) {
      const QByteArray piece = video.read(1 << 20);
      if (piece.isEmpty() || !WriteFully(File, piece))
        throw EFileError(QStringLiteral("%1: %2").arg(Path, File.errorString()).toStdString());
    }
  }

 private:
  QTemporaryDir Folder;
  QString Encoded;
  QString Log;
  QProcess Ffmpeg;
};

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

// Draws the frames in batches and sends them down Pipe, a held frame once
// for each tick of its hold, reporting each frame once the pipe has written
// it; then ends ffmpeg's input.
void SendFrames(TFrameBatches& Batches, TFramePipe& Pipe, TFfmpegRun& Ffmpeg, const TExportProgress& Progress,
                const TAnimation& Animation) {
  const int frames = static_cast<int>(Animation.Frames.size());
  // The pictures sent before each frame.
  std::vector<int> sentBefore(static_cast<std::size_t>(frames) + 1, 0);
  for (int i = 0; i < frames; ++i)
    sentBefore[static_cast<std::size_t>(i) + 1] =
        sentBefore[static_cast<std::size_t>(i)] + Animation.Frames[static_cast<std::size_t>(i)].Hold;
  int reported = 0;
  const auto report = [&](int Written) {
    const auto done = std::upper_bound(sentBefore.begin(), sentBefore.end(), Written) - sentBefore.begin() - 1;
    for (; reported < done; ++reported)
      if (Progress) Progress(reported * 100 / frames);
  };
  const int batch = Batches.Size();
  const int sets = Batches.Sets();
  Batches.Run({.Before =
                   [&](const TFrameBatch& Batch) {
                     // This set's pictures were sent sets batches ago: they must be written.
                     const int sent = std::max(0, Batch.Start - (sets - 1) * batch);
                     report(Pipe.WaitWritten(sentBefore[static_cast<std::size_t>(sent)]));
                     if (Pipe.Failed()) Ffmpeg.Fail();
                   },
               .Write =
                   [&](const TFrameBatch& Batch) {
                     for (int j = 0; j < Batch.Count; ++j)
                       for (int tick = Animation.Frames[static_cast<std::size_t>(Batch.Start) + j].Hold; tick > 0;
                            --tick)
                         Pipe.Send(Batch.Picture(j));
                   }});
  if (!Pipe.Finish()) Ffmpeg.Fail();
  report(sentBefore.back());
}

}  // namespace

std::optional<TVideoFormat> VideoFormatOf(const QString& Path) {
  if (Path.endsWith(QLatin1String(".mp4"), Qt::CaseInsensitive)) return TVideoFormat::Mp4;
  if (Path.endsWith(QLatin1String(".webm"), Qt::CaseInsensitive)) return TVideoFormat::WebM;
  return std::nullopt;
}

void ExportVideoFile(const QString& Path, TVideoFormat Format, const TAnimation& Animation,
                     const TVideoOptions& Options, const TExportProgress& Progress, int Threads) {
  const int frames = static_cast<int>(Animation.Frames.size());
  if (frames == 0) throw EFileError(NoFramesMessage);
  const QSize size = GifFrameSize(Animation.Size(), Options.Shrink);
  QSaveFile file(Path);
  if (!file.open(QIODevice::WriteOnly))
    throw EFileError(QStringLiteral("%1: %2").arg(Path, file.errorString()).toStdString());
  TFfmpegRun ffmpeg(Format);
  // Each renderer keeps the picture it drew until the pipe has written it.
  // Two sets of them, while the picture budget allows, let one set be
  // rendered while the other is written; otherwise rendering waits for the
  // writing, and no more pictures are held than the GIF export holds.
  const long long full = 4LL * Animation.Width * Animation.Height;
  const long long small = Options.Shrink >= 2 ? 4LL * size.width() * size.height() : 0;
  TFrameBatches batches(Animation, {.Shrink = Options.Shrink,
                                    .Lines = Options.Lines,
                                    .Threads = Threads,
                                    .ThreadBytes = full + small,
                                    .FramesPerThread = 1,
                                    .FrameBytes = full + small,
                                    .Kept = TFramePipe::Overlaps() ? TKeptPictures::TwoSets : TKeptPictures::OneSet});
  // The pipe, made after the renderers, ends before them: its thread may
  // still be writing their pictures.
  const std::optional<QSize> yuv420 = Yuv420Size(Format, size);
  TFramePipe pipe(ffmpeg.Process(), yuv420);
  ffmpeg.Start(Options.Program, Arguments(Format, yuv420.value_or(size), yuv420.has_value(),
                                          std::max(1LL, Options.Delay), ffmpeg.Output()));
  pipe.Started();
  SendFrames(batches, pipe, ffmpeg, Progress, Animation);
  ffmpeg.Finish();
  ffmpeg.CopyVideo(file, Path);
  CommitSaveFile(file);
}
